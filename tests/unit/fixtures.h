// Shared set-up of the unit tests: a scripted platform installed for the test
// and fresh module state.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "automation/variant.h"
#include "component_definition/module_state.h"
#include "platform/scripted/scripted_platform.h"

namespace korvid::testing {

// Three real components with their constants.
std::vector<component_definition::ComponentRecord> ThreeComponents();

class ScriptedTest : public ::testing::Test {
protected:
    explicit ScriptedTest(uint32_t lcid = 0x0409);
    ~ScriptedTest() override;

    // Resets the thread's module state to a fresh one.
    void ResetModule();
    // Puts `records` into the component table as a load would.
    void DefineComponents(const std::vector<component_definition::ComponentRecord>& records);
    // Queues a form script that fills row 1, names the report (empty: none),
    // picks the id option and presses OK.
    void QueueOkForm(const std::wstring& reportName, bool casAsId = false);
    // Path of a report named `name` in the scripted file system.
    std::wstring ReportPath(const std::wstring& name) const;

    platform::ScriptedPlatform platform_;  // its locale: the constructor's lcid
    platform::ScopedPlatform scope_{platform_};
    component_definition::Module1State& module_;
};

}  // namespace korvid::testing
