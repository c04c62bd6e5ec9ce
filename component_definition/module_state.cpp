#include "component_definition/module_state.h"

#include "component_definition/mo_def_frm.h"
#include "platform/per_thread.h"

namespace korvid::component_definition {

Module1State::Module1State() = default;
Module1State::~Module1State() = default;

MODefFrm& Module1State::Form() {
    if (!form_) form_ = std::make_unique<MODefFrm>(*this);
    return *form_;
}

void Module1State::Clear() {
    static_cast<Module1Values&>(*this) = Module1Values{};
    form_.reset();
}

Module1State& Module1() {
    // One copy per apartment thread: the objects of a single-threaded
    // apartment all run on the thread that created them.
    static platform::PerThread<Module1State> states;
    return states.Get();
}

}  // namespace korvid::component_definition
