// The published slot procedures: writing and reading one slot of the store,
// and the two fraction helpers that a client may call.
//
// Values are taken by their absolute index from 0, whatever the lower bound
// of the caller's array, and converted with the platform's VARIANT rules in
// the user's locale. Errors 9 and 13 come up as the loop reaches the element;
// the cells written before stay written. The component loops run on the
// member i.
#include <optional>
#include <vector>

#include "automation/com_error.h"
#include "material_object/tessel.h"
#include "component_definition/trace_report.h"
#include "platform/platform.h"

namespace korvid::material_object {

using component_definition::WriteTraceLine;

namespace {

// True when `value` holds an array of doubles (VT_ARRAY | VT_R8, also by
// reference), whether or not an array stands behind it.
bool HoldsDoubleArray(const VARIANT& value) {
    return (com::Deref(value).vt & ~VT_BYREF) == (VT_ARRAY | VT_R8);
}

// Cell `index` of a client's one-dimensional array of doubles, or nullptr
// when there is no such cell.
double* DoubleCell(SAFEARRAY* psa, LONG index) {
    VARTYPE vt = VT_EMPTY;
    if (!psa || SafeArrayGetDim(psa) != 1 || FAILED(SafeArrayGetVartype(psa, &vt)) || vt != VT_R8) {
        return nullptr;
    }
    void* cell = nullptr;
    if (FAILED(SafeArrayPtrOfIndex(psa, &index, &cell))) return nullptr;
    return static_cast<double*>(cell);
}

}  // namespace

// A Cpindex other than -1 addresses that one component: its cell receives
// element Cpindex of the values (element 0 when the upper bound is 0).
com::Variant Tessel::setValues(SlotRef variable, int16_t Phindex, int16_t Cpindex, int16_t BaIndex,
                               const VARIANT& value) {
    const com::ArrayArg values = com::ArrayArg::Require(value);
    const LONG upper = values.Upper();
    if (upper < 0) return com::Variant();  // nothing to write
    const LCID lcid = platform::CurrentPlatform().Lcid();
    if (Cpindex != -1) {
        double& cell = variable.Cell(Phindex, Cpindex, BaIndex);
        cell = values.ElementAsDouble(upper > 0 ? Cpindex : 0, lcid);
        return com::Variant();
    }
    if (upper > 0) {
        for (i = 0; i < compCount; ++i) {
            variable.Cell(Phindex, i, BaIndex) = values.ElementAsDouble(i, lcid);
        }
    } else {
        i = 0;
        const double single = values.ElementAsDouble(0, lcid);
        for (; i < compCount; ++i) variable.Cell(Phindex, i, BaIndex) = single;
    }
    return com::Variant();
}

com::Variant Tessel::setVariantValues(SlotRef variable, int16_t Phindex, int16_t Cpindex,
                                      int16_t BaIndex, const VARIANT& value) {
    return setValues(variable, Phindex, Cpindex, BaIndex, value);
}

com::Variant Tessel::GetValues(SlotRef tableau, int16_t Phindex, int16_t Cpindex, int16_t BaIndex) {
    // With every component addressed, the first stands for the material.
    const double value = tableau.Cell(Phindex, Cpindex == -1 ? 0 : Cpindex, BaIndex);
    return com::MakeDoubleArray(&value, 1);
}

com::Variant Tessel::GetVariantValues(SlotRef tableau, int16_t Phindex, int16_t, int16_t BaIndex) {
    constexpr int kInline = 16;
    double onStack[kInline];
    std::vector<double> spill;
    double* values = onStack;
    if (compCount > kInline) {
        spill.resize(static_cast<size_t>(compCount));
        values = spill.data();
    }
    for (i = 0; i < compCount; ++i) values[i] = tableau.Cell(Phindex, i, BaIndex);
    return com::MakeDoubleArray(values, static_cast<size_t>(compCount));
}

void Tessel::setFraction(SAFEARRAY** leTableau, VARIANT* LesValeurs) {
    if (!HoldsDoubleArray(*LesValeurs)) {
        WriteTraceLine(L"Values type error");
        return;
    }
    // Any failure of the copy (no array behind the value, an index outside
    // leTableau) ends it with the size error; what was copied stays.
    const std::optional<com::ArrayArg> values = com::ArrayArg::Readable(*LesValeurs);
    if (!values || values->Dims() != 1) {
        if (values && values->HasElements()) i = values->Lower();
        WriteTraceLine(L"Values size error");
        return;
    }
    const LCID lcid = platform::CurrentPlatform().Lcid();
    int64_t k = values->Lower();
    i = static_cast<int32_t>(k);
    for (; k <= values->Upper(); i = static_cast<int32_t>(++k)) {
        double* cell = DoubleCell(*leTableau, static_cast<LONG>(k));
        if (!cell) {
            WriteTraceLine(L"Values size error");
            return;
        }
        *cell = values->ElementAsDouble(static_cast<LONG>(k), lcid);
    }
}

void Tessel::setFractionValue(int16_t*, SAFEARRAY**, VARIANT* LesValeurs) {
    // The cell would receive the array converted to one double, a conversion
    // that always fails: nothing is ever stored, only the outcome is traced.
    WriteTraceLine(HoldsDoubleArray(*LesValeurs) ? L"Values size error" : L"Values type error");
}

}  // namespace korvid::material_object
