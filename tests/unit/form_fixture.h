// The thread's definition form over the scripted platform as its window.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "component_definition/mo_def_frm.h"
#include "tests/unit/fixtures.h"

namespace korvid::testing {

class FormTest : public ScriptedTest {
protected:
    component_definition::MODefFrm& Form() { return module_.Form(); }
    platform::DefinitionFormState& State() { return Form().State(); }
    platform::GridModel& Grid() { return Form().Grid(); }
    platform::FormWindow& Window() { return platform_; }

    void FillRow(int row, const std::vector<std::wstring>& cells) {
        for (size_t c = 0; c < cells.size(); ++c)
            Grid().SetTextMatrix(row, static_cast<int>(c), cells[c]);
    }
    // Paste of `clipboard` (nullopt: no text) at cell (2, 3), every data cell "old".
    void PasteOverOld(const std::optional<std::wstring>& clipboard) {
        for (int r = 1; r < Grid().Rows(); ++r)
            FillRow(r, std::vector<std::wstring>(Grid().Cols(), L"old"));
        Grid().SetRow(2);
        Grid().SetCol(3);
        platform_.messages.clear();
        platform_.clipboard = clipboard;
        Form().OnMenuPaste(Window());
    }

    struct Cell {
        int row, col;
        std::wstring text;
    };
    void ExpectCells(const std::vector<Cell>& cells, const char* proves) {
        for (const Cell& cell : cells) {
            EXPECT_EQ(Grid().TextMatrix(cell.row, cell.col), cell.text)
                << proves << " at " << cell.row << "," << cell.col;
        }
    }
};

// A record with the given texts, every number 0.
inline component_definition::ComponentRecord Record(std::wstring name, std::wstring cas = L"",
                                                    std::wstring family = L"",
                                                    std::wstring formula = L"") {
    component_definition::ComponentRecord record;
    record.name = std::move(name);
    record.cas = std::move(cas);
    record.family = std::move(family);
    record.formula = std::move(formula);
    return record;
}

inline void ExpectSameRecord(const component_definition::ComponentRecord& actual,
                             const component_definition::ComponentRecord& expected,
                             const std::string& where) {
    using namespace component_definition;
    for (int c = 0; c < kTextFields; ++c) {
        EXPECT_EQ(TextField(actual, c), TextField(expected, c)) << where << ", column " << c;
    }
    for (int c = kTextFields; c < kRecordFields; ++c) {
        EXPECT_EQ(NumberField(actual, c), NumberField(expected, c)) << where << ", column " << c;
    }
}

}  // namespace korvid::testing
