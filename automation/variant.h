// The one place where VARIANT, SAFEARRAY and BSTR rules live: reading the
// arguments that clients pass (any array element type, any lower bound,
// by-reference variants, NULL BSTRs) and building the results they own.
#pragma once

#include <windows.h>
#include <oleauto.h>

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/text_buffer.h"

namespace korvid::com {

// An owned VARIANT, cleared when it goes.
class Variant {
public:
    Variant() { VariantInit(&v_); }
    ~Variant() { VariantClear(&v_); }
    Variant(const Variant&) = delete;
    Variant& operator=(const Variant&) = delete;
    Variant(Variant&& other) noexcept : v_(other.v_) { VariantInit(&other.v_); }
    Variant& operator=(Variant&& other) noexcept;

    // Deep copy of `source` (VariantCopy); raises on failure.
    static Variant CopyOf(const VARIANT& source);
    // An independent copy of the value `source` holds: by-reference values are
    // copied as the value they point at (VariantCopyInd), arrays element by
    // element, so later changes to either side do not reach the other.
    static Variant IndependentCopyOf(const VARIANT& source);
    static Variant FromDouble(double value);
    static Variant FromText(std::wstring_view text);

    VARIANT* get() { return &v_; }
    const VARIANT& operator*() const { return v_; }
    const VARIANT* operator->() const { return &v_; }
    VARTYPE vt() const { return v_.vt; }

    // Hands the value to a caller's [out] VARIANT (which must be cleared or
    // uninitialised); this one becomes Empty.
    void DetachTo(VARIANT* out) noexcept;

private:
    VARIANT v_;
};

// A BSTR argument as text; a NULL BSTR is the empty text.
inline std::wstring_view Text(BSTR s) { return s ? std::wstring_view(s, SysStringLen(s)) : std::wstring_view(); }
// A freshly allocated BSTR for a caller; raises error 7 when out of memory.
BSTR AllocBstr(std::wstring_view text);

// The VARIANT that actually holds a value: follows VT_BYREF|VT_VARIANT.
const VARIANT& Deref(const VARIANT& value);
// True when the value is Empty (also through a by-reference variant).
bool IsEmpty(const VARIANT& value);

// Read access to the array an argument holds (VT_ARRAY, possibly by reference).
class ArrayArg {
public:
    // The array that `value` holds, or nothing when it holds none. An array
    // type without an array behind it (declared, never dimensioned) is an
    // array whose bounds cannot be read: error 9, as LBound raises it.
    static std::optional<ArrayArg> Of(const VARIANT& value);
    // The array that `value` holds, or nothing when it holds none or its
    // bounds cannot be read: for the callers that ignore that error.
    static std::optional<ArrayArg> Readable(const VARIANT& value);
    // The array that `value` holds, as LBound/UBound see it: error 13 when
    // it holds no array, error 9 when it is an array type without an array
    // behind it (an array never dimensioned).
    static ArrayArg Require(const VARIANT& value);

    SAFEARRAY* psa() const { return psa_; }
    UINT Dims() const { return dims_; }
    // Bounds of the first dimension (LBound/UBound).
    LONG Lower() const { return lower_; }
    LONG Upper() const { return upper_; }
    bool HasElements() const { return upper_ >= lower_; }
    VARTYPE ElementType() const { return elementType_; }

    // Element `index` as a VARIANT copy. Error 9 when the index lies outside
    // the bounds or the array has more than one dimension.
    Variant Element(LONG index) const;
    // Element `index` as a double (error 9, or 13 when it does not convert).
    double ElementAsDouble(LONG index, LCID lcid) const;
    // Element `index` as text, as ToText converts it (error 9 first).
    std::wstring ElementAsText(LONG index, LCID lcid) const;
    // Appends element `index` to `line` as AppendName does (error 9 first).
    void AppendElementName(platform::TextBuffer& line, LONG index) const;
    // Appends element `index` to `line` as AppendText does (error 9 first).
    void AppendElementText(platform::TextBuffer& line, LONG index, LCID lcid) const;

private:
    ArrayArg(SAFEARRAY* psa, VARTYPE elementType);
    const void* ElementPtr(LONG index) const;
    // Element `index` as a VARIANT that borrows the array's own data: valid
    // while the array lives, never to be cleared.
    VARIANT BorrowElement(LONG index) const;

    SAFEARRAY* psa_;
    VARTYPE elementType_;
    UINT dims_;
    LONG lower_ = 0;
    LONG upper_ = -1;
};

// True when the argument holds an array (IsArray).
inline bool IsArray(const VARIANT& value) { return (Deref(value).vt & VT_ARRAY) != 0; }

// Conversions with the platform's VARIANT rules and the user's locale.
// To a double: Empty gives 0, True -1, numeric strings convert; error 13
// for anything that does not convert, Null included.
double ToDouble(const VARIANT& value, LCID lcid);
// To text as a string conversion does it (CStr): texts unchanged, Empty "",
// numbers in the general number format, Booleans "True"/"False"; arrays and
// objects without a value give error 13, Null error 94.
std::wstring ToText(const VARIANT& value, LCID lcid);
// Appends ToText(value) to `line`.
void AppendText(platform::TextBuffer& line, const VARIANT& value, LCID lcid);
// Appends `value` to `line` as text concatenation with numeric-addition
// semantics does: a text or Empty appends; anything else makes the sum fail
// with error 13 (94 for Null), since the line itself is no number.
void AppendName(platform::TextBuffer& line, const VARIANT& value);

// A number as the Str() form shows it: a blank before a value that is not
// negative, a minus sign before a negative one, digits as the general number
// format gives them with "." as the decimal separator in every locale.
// Nothing when the value is not a number (texts, Booleans, dates, Empty...).
std::optional<std::wstring> StrNumberText(const VARIANT& value);

// Largest result the builders make. A client's absurd array bounds would ask
// for more; the builders then raise error 7 as a failed allocation would.
inline constexpr size_t kMaxResultElements = size_t{1} << 24;
// Number of elements of a result indexed 0..upper: 0 when upper < 0, error 7
// above kMaxResultElements. Check sizes with it before building anything.
size_t ResultLength(int64_t upper);

// Stores `value` in a caller's [in, out] VARIANT, which is cleared first; a
// by-reference variant passes the value on to the variable it refers to.
void Assign(VARIANT* target, Variant value);

// Fresh one-dimensional results indexed from 0.
Variant MakeStringArray(const std::vector<std::wstring>& items);
Variant MakeStringArray(const wchar_t* const* items, size_t count);
// A string array with the bounds lower..lower+count-1 (lower bound kept).
Variant MakeStringArray(const std::vector<std::wstring>& items, LONG lower);
Variant MakeDoubleArray(const double* values, size_t count);
inline Variant MakeDoubleArray(const std::vector<double>& values) {
    return MakeDoubleArray(values.data(), values.size());
}
Variant MakeBoolArray(size_t count, bool value);
// A VARIANT typed as an array of `elementType` that holds no array (a null
// array pointer), as an unassigned typed array reaches a caller.
Variant MakeArrayTypeWithoutArray(VARTYPE elementType);
// A two-dimensional array of doubles (rows x cols), element (r, c) at
// values[r + c * rows]: the first index varies fastest.
Variant MakeDoubleArray2D(const std::vector<double>& values, size_t rows, size_t cols);

}  // namespace korvid::com
