// State of the component definition module, shared by every material object
// and the definition form of one apartment thread. Each thread that uses the
// component sees its own copy; it outlives the objects of that thread.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "component_definition/component_record.h"

namespace korvid::component_definition {

class MODefFrm;

// The module's values: what a thread's objects and form share.
struct Module1Values {
    std::vector<ComponentRecord> g_components;  // records 0..g_numComponents-1 are defined
    int32_t g_numComponents = 0;
    bool g_useCasAsId = false;
    bool g_reportOn = false;
    int16_t g_reportFileNo = 0;
    std::wstring g_filePath;
    bool g_pppWarned = false;
    // CAPE-OPEN 1.1 materials made on this thread: each traces under its number.
    int32_t g_materialsMade = 0;
};

struct Module1State : Module1Values {
    Module1State();
    ~Module1State();

    // The one definition form of this thread, created when first used.
    MODefFrm& Form();

    // Back to the state of a thread that never used the component.
    void Clear();

private:
    std::unique_ptr<MODefFrm> form_;
};

// The calling thread's module state.
Module1State& Module1();

}  // namespace korvid::component_definition
