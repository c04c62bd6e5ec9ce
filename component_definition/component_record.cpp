#include "component_definition/component_record.h"

#include <stdexcept>

namespace korvid::component_definition {

namespace {

template <typename Record>
auto& TextFieldOf(Record& r, int column) {
    switch (column) {
        case 0: return r.name;
        case 1: return r.cas;
        case 2: return r.family;
        case 3: return r.formula;
    }
    throw std::out_of_range("component text column");
}

template <typename Record>
auto& NumberFieldOf(Record& r, int column) {
    switch (column) {
        case 4: return r.tb;
        case 5: return r.pc;
        case 6: return r.tc;
        case 7: return r.omega;
        case 8: return r.mw;
        case 9: return r.parachor;
        case 10: return r.cp0;
        case 11: return r.cp1;
        case 12: return r.cp2;
        case 13: return r.cp3;
        case 14: return r.cp4;
        case 15: return r.hf;
        case 16: return r.ild;
    }
    throw std::out_of_range("component number column");
}

}  // namespace

std::wstring& TextField(ComponentRecord& record, int column) { return TextFieldOf(record, column); }
const std::wstring& TextField(const ComponentRecord& record, int column) {
    return TextFieldOf(record, column);
}
double& NumberField(ComponentRecord& record, int column) { return NumberFieldOf(record, column); }
double NumberField(const ComponentRecord& record, int column) {
    return NumberFieldOf(record, column);
}

void SetNumberField(ComponentRecord& record, int column, double value) {
    NumberFieldOf(record, column) = value;
    record.given |= 1u << column;
}
bool IsGiven(const ComponentRecord& record, int column) {
    return column < kTextFields ? !TextFieldOf(record, column).empty()
                                : (record.given >> column & 1u) != 0;
}

}  // namespace korvid::component_definition
