#include "component_definition/new_object_definition.h"

#include <utility>

#include "automation/com_error.h"
#include "component_definition/headless_definition.h"
#include "component_definition/mo_def_frm.h"
#include "component_definition/module_state.h"
#include "component_definition/trace_report.h"
#include "platform/platform.h"

namespace korvid::component_definition {

namespace {

[[noreturn]] void RaiseUnfinishedForm(platform::FormEnd end) {
    RaisedError error{0, kComponentSource, L""};
    if (end == platform::FormEnd::NoWindow) {
        error.hresult = E_FAIL;
        error.description =
            L"The Material Object Definition form could not be shown (no desktop for its "
            L"window): no object was created.";
    } else {
        error.hresult = HRESULT_FROM_WIN32(ERROR_CANCELLED);
        error.description =
            L"The Material Object Definition form was ended by WM_QUIT before OK: no object "
            L"was created.";
    }
    throw error;
}

}  // namespace

platform::MessageMode DefineNewObject() {
    auto& module = Module1();
    // The module's values as this creation found them: a creation whose form
    // cannot finish puts them back and leaves no trace.
    Module1Values before = module;

    // A new object resets the thread's report switch and mismatch flag.
    module.g_pppWarned = false;
    module.g_reportOn = true;

    // The user defines the components. A host that gave the definition up
    // front sees no form: where the form would stay open, the creation fails
    // with what its status line says.
    component_definition::TraceFlush();
    if (const auto definition = HeadlessDefinitionFromEnvironment()) {
        std::wstring refusal = module.Form().DefineWithoutWindow(*definition);
        if (!refusal.empty()) {
            static_cast<Module1Values&>(module) = std::move(before);
            throw RaisedError{0, kComponentSource, std::move(refusal), E_FAIL};
        }
        return platform::MessageMode::Unattended;
    } else if (const platform::FormEnd end = module.Form().ShowModal();
               end != platform::FormEnd::Closed) {
        static_cast<Module1Values&>(module) = std::move(before);
        RaiseUnfinishedForm(end);
    }
    return platform::MessageMode::Modal;
}

}  // namespace korvid::component_definition
