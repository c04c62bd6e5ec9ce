// Set-up shared by the tests of the material object's operations: an object
// over the three test components, report blocks, and raised error numbers.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "automation/com_error.h"
#include "material_object/tessel.h"
#include "tests/unit/fixtures.h"

namespace korvid::testing {

class OperationTest : public ScriptedTest {
protected:
    // A new object over the three test components, its report named `report`
    // (empty: reporting off).
    std::unique_ptr<material_object::Tessel> NewTessel(const std::wstring& report = L"ops",
                                                       bool casAsId = false) {
        if (module_.g_numComponents == 0) DefineComponents(ThreeComponents());
        QueueOkForm(report, casAsId);
        return std::make_unique<material_object::Tessel>();
    }

    // A nested form closed without OK: no new report is opened and reporting
    // goes off for the whole thread, so no object writes lines afterwards.
    void QueueCloseForm() {
        platform_.formScripts.push_back([](platform::DefinitionFormState& state,
                                           platform::DefinitionFormHandler& handler,
                                           platform::FormWindow& window) {
            state.grid.SetTextMatrix(1, 0, L"a");
            state.grid.SetTextMatrix(1, 1, L"b");
            ASSERT_TRUE(handler.OnCloseRequest(window));
        });
    }

    // The call block of `operation` ("ICapeThermoMaterialObject_PhaseIds"...)
    // followed by `lines`.
    static std::vector<std::wstring> Block(const std::wstring& operation,
                                           const std::vector<std::wstring>& lines = {}) {
        const std::wstring banner(85, L'*');
        std::vector<std::wstring> block = {banner, L"* " + operation, banner};
        block.insert(block.end(), lines.begin(), lines.end());
        return block;
    }

    // The number of the error `body` raises, 0 when it raises none.
    static int ErrorOf(const std::function<void()>& body) {
        try {
            body();
        } catch (const RaisedError& e) {
            return e.number;
        }
        return 0;
    }
};

// A list of owned VARIANTs for VariantArray: VariantList(Txt(L"a"), Num(5)).
template <typename... Items>
std::vector<com::Variant> VariantList(Items&&... items) {
    std::vector<com::Variant> list;
    (list.push_back(std::forward<Items>(items)), ...);
    return list;
}

inline com::Variant Txt(const wchar_t* text) { return com::Variant::FromText(text); }
inline com::Variant Num(double value) { return com::Variant::FromDouble(value); }

}  // namespace korvid::testing
