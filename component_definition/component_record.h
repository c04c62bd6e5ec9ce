// One component as the user defines it: the grid's 17 columns, the
// definition file's 17 keys and the record's fields share one order.
#pragma once

#include <cstdint>
#include <string>

namespace korvid::component_definition {

struct ComponentRecord {
    std::wstring name;
    std::wstring cas;
    std::wstring family;
    std::wstring formula;
    double tb = 0.0;
    double pc = 0.0;
    double tc = 0.0;
    double omega = 0.0;
    double mw = 0.0;
    double parachor = 0.0;
    double cp0 = 0.0;
    double cp1 = 0.0;
    double cp2 = 0.0;
    double cp3 = 0.0;
    double cp4 = 0.0;
    double hf = 0.0;
    double ild = 0.0;
    // The number columns (4..16) that were given a number, one bit per
    // column: a key of a file line whose value reads as a number, a grid cell
    // that holds one. A fresh record has none; a text is given when not empty.
    uint32_t given = 0;
};

constexpr int kRecordFields = 17;
constexpr int kTextFields = 4;  // columns 0..3 are texts, 4..16 numbers

// Text field of column 0..3.
std::wstring& TextField(ComponentRecord& record, int column);
const std::wstring& TextField(const ComponentRecord& record, int column);
// Number field of column 4..16.
double& NumberField(ComponentRecord& record, int column);
double NumberField(const ComponentRecord& record, int column);
// Sets the number field of column 4..16 and marks it given.
void SetNumberField(ComponentRecord& record, int column, double value);
// True when column 0..16 was given (a text: when it is not empty).
bool IsGiven(const ComponentRecord& record, int column);

}  // namespace korvid::component_definition
