#include "thermo_material/arguments.h"

#include "automation/variant.h"
#include "platform/platform.h"
#include "thermo_material/identifiers.h"

namespace korvid::thermo_material {

namespace {

bool IsNumericType(VARTYPE vt) {
    switch (vt) {
        case VT_R8: case VT_R4: case VT_I1: case VT_I2: case VT_I4: case VT_I8: case VT_INT:
        case VT_UI1: case VT_UI2: case VT_UI4: case VT_UI8: case VT_UINT: case VT_CY:
        case VT_DECIMAL:
            return true;
        default:
            return false;
    }
}

// The one-dimensional array behind `value`, or nothing for Empty.
std::optional<com::ArrayArg> ListOf(const VARIANT& value, Argument argument,
                                    std::wstring_view kind) {
    if (com::IsEmpty(value)) return std::nullopt;
    std::optional<com::ArrayArg> array;
    try {
        array = com::ArrayArg::Of(value);
    } catch (const RaisedError&) {
        RaiseInvalid(argument, L"is an array that was never dimensioned");
    }
    if (!array) RaiseInvalid(argument, std::wstring(L"is no array of ") + std::wstring(kind));
    if (array->Dims() != 1) RaiseInvalid(argument, L"has more than one dimension");
    return array;
}

// Element `index` of `array`, checked to be of the kind `accepts` takes. An
// array of variants is read in place: a copy of an element that no VARIANT
// may hold would fail before the check could refuse it. An element of another
// type is copied into `held`.
template <typename Accepts>
const VARIANT& CheckedElement(const com::ArrayArg& array, LONG index, Argument argument,
                              std::wstring_view kind, Accepts accepts, com::Variant& held) {
    const VARIANT* element = nullptr;
    if (array.ElementType() == VT_VARIANT && array.psa()->pvData) {
        element =
            static_cast<const VARIANT*>(array.psa()->pvData) + (int64_t{index} - array.Lower());
    } else {
        held = array.Element(index);
        element = &*held;
    }
    const VARIANT& value = com::Deref(*element);
    if (!accepts(value.vt)) {
        RaiseInvalid(argument, L"element " + std::to_wstring(index) + L" is no " +
                                   std::wstring(kind));
    }
    return value;
}

}  // namespace

std::optional<std::vector<std::wstring>> TextList(const VARIANT& value, Argument argument) {
    const auto array = ListOf(value, argument, L"texts");
    if (!array) return std::nullopt;
    std::vector<std::wstring> texts;
    const LCID lcid = platform::CurrentPlatform().Lcid();
    if (array->ElementType() == VT_BSTR) {  // no element to check, none to copy
        for (LONG k = array->Lower(); k <= array->Upper(); ++k)
            texts.push_back(array->ElementAsText(k, lcid));
        return texts;
    }
    for (LONG k = array->Lower(); k <= array->Upper(); ++k) {
        com::Variant held;
        const VARIANT& element = CheckedElement(*array, k, argument, L"text",
                                                [](VARTYPE vt) { return vt == VT_BSTR; }, held);
        texts.push_back(com::ToText(element, lcid));
    }
    return texts;
}

std::vector<double> NumberList(const VARIANT& value, Argument argument) {
    const auto array = ListOf(value, argument, L"numbers");
    if (!array) RaiseInvalid(argument, L"is UNDEFINED: an array of numbers is expected");
    std::vector<double> numbers;
    if (array->HasElements())
        numbers.reserve(static_cast<size_t>(int64_t{array->Upper()} - array->Lower() + 1));
    const LCID lcid = platform::CurrentPlatform().Lcid();
    if (array->ElementType() != VT_VARIANT) {
        // One element type for all: checked once, the numbers read in place.
        if (array->HasElements() && !IsNumericType(array->ElementType()))
            RaiseInvalid(argument,
                         L"element " + std::to_wstring(array->Lower()) + L" is no number");
        for (LONG k = array->Lower(); k <= array->Upper(); ++k)
            numbers.push_back(array->ElementAsDouble(k, lcid));
        return numbers;
    }
    for (LONG k = array->Lower(); k <= array->Upper(); ++k) {
        com::Variant held;
        const VARIANT& element =
            CheckedElement(*array, k, argument, L"number", IsNumericType, held);
        numbers.push_back(com::ToDouble(element, lcid));
    }
    return numbers;
}

std::vector<long> WholeNumberList(const VARIANT& value, Argument argument) {
    std::vector<long> whole;
    for (double number : NumberList(value, argument)) {
        if (!(number >= -2147483648.0 && number <= 2147483647.0) ||
            number != static_cast<double>(static_cast<long>(number))) {
            RaiseInvalid(argument, L"holds a number that is not whole");
        }
        whole.push_back(static_cast<long>(number));
    }
    return whole;
}

Basis ReadBasis(std::wstring_view basis, Argument argument) {
    if (basis.empty()) return Basis::Undefined;
    if (SameIdentifier(basis, L"Mole")) return Basis::Mole;
    if (SameIdentifier(basis, L"Mass")) return Basis::Mass;
    RaiseInvalid(argument, L"is \"" + std::wstring(basis) + L"\": it must be Mole, Mass or empty");
}

}  // namespace korvid::thermo_material
