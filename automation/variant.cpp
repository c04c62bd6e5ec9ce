#include "automation/variant.h"

#include <algorithm>
#include <cstring>

#include "automation/com_error.h"
#include "platform/platform.h"

namespace korvid::com {

namespace {

// Locks an array's data for the lifetime of the guard.
class DataLock {
public:
    explicit DataLock(SAFEARRAY* psa) : psa_(psa) {
        Check(SafeArrayAccessData(psa_, &data_));
    }
    ~DataLock() { SafeArrayUnaccessData(psa_); }
    DataLock(const DataLock&) = delete;
    DataLock& operator=(const DataLock&) = delete;
    template <typename T>
    T* As() const { return static_cast<T*>(data_); }

private:
    SAFEARRAY* psa_;
    void* data_ = nullptr;
};

Variant MakeVector(VARTYPE vt, size_t count, SAFEARRAY** out) {
    if (count > kMaxResultElements) RaiseRuntime(7);
    SAFEARRAY* psa = SafeArrayCreateVector(vt, 0, static_cast<ULONG>(count));
    if (!psa) RaiseRuntime(7);
    Variant result;
    result.get()->vt = VT_ARRAY | vt;
    result.get()->parray = psa;
    *out = psa;
    return result;
}

// Windows writes a number's exponent form with the locale's decimal
// separator ("1,5E-07" in German); Wine keeps a ".". Gives Windows' text.
void UseLocaleSeparatorInExponent(std::wstring& text, LCID lcid) {
    const size_t point = text.find(L'.');
    if (point == std::wstring::npos || text.find(L'E') == std::wstring::npos) return;
    wchar_t separator[8] = L".";
    if (GetLocaleInfoW(lcid, LOCALE_SDECIMAL, separator, 8) == 0) return;
    text.replace(point, 1, separator);
}

}  // namespace

Variant& Variant::operator=(Variant&& other) noexcept {
    if (this != &other) {
        VariantClear(&v_);
        v_ = other.v_;
        VariantInit(&other.v_);
    }
    return *this;
}

Variant Variant::CopyOf(const VARIANT& source) {
    Variant copy;
    Check(VariantCopy(copy.get(), const_cast<VARIANT*>(&source)));
    return copy;
}

Variant Variant::IndependentCopyOf(const VARIANT& source) {
    Variant copy;
    Check(VariantCopyInd(copy.get(), const_cast<VARIANT*>(&Deref(source))));
    return copy;
}

Variant Variant::FromDouble(double value) {
    Variant v;
    v.v_.vt = VT_R8;
    v.v_.dblVal = value;
    return v;
}

Variant Variant::FromText(std::wstring_view text) {
    Variant v;
    v.v_.bstrVal = AllocBstr(text);
    v.v_.vt = VT_BSTR;
    return v;
}

void Variant::DetachTo(VARIANT* out) noexcept {
    *out = v_;
    VariantInit(&v_);
}

BSTR AllocBstr(std::wstring_view text) {
    BSTR s = SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
    if (!s) RaiseRuntime(7);
    return s;
}

const VARIANT& Deref(const VARIANT& value) {
    const VARIANT* v = &value;
    // A by-reference variant may point at another by-reference variant.
    for (int depth = 0; v->vt == (VT_BYREF | VT_VARIANT) && v->pvarVal && depth < 8; ++depth) {
        v = v->pvarVal;
    }
    return *v;
}

bool IsEmpty(const VARIANT& value) { return Deref(value).vt == VT_EMPTY; }

std::optional<ArrayArg> ArrayArg::Readable(const VARIANT& value) {
    const VARIANT& v = Deref(value);
    if (!(v.vt & VT_ARRAY)) return std::nullopt;
    SAFEARRAY* psa = (v.vt & VT_BYREF) ? (v.pparray ? *v.pparray : nullptr) : v.parray;
    if (!psa) return std::nullopt;
    return ArrayArg(psa, static_cast<VARTYPE>(v.vt & VT_TYPEMASK));
}

std::optional<ArrayArg> ArrayArg::Of(const VARIANT& value) {
    if (!IsArray(value)) return std::nullopt;
    std::optional<ArrayArg> array = Readable(value);
    if (!array) RaiseRuntime(kSubscriptOutOfRange);
    return array;
}

ArrayArg::ArrayArg(SAFEARRAY* psa, VARTYPE elementType)
    : psa_(psa), elementType_(elementType), dims_(SafeArrayGetDim(psa)) {
    if (dims_ >= 1) {
        SafeArrayGetLBound(psa_, 1, &lower_);
        SafeArrayGetUBound(psa_, 1, &upper_);
    }
}

const void* ArrayArg::ElementPtr(LONG index) const {
    if (dims_ != 1 || index < lower_ || index > upper_ || !psa_->pvData) {
        RaiseRuntime(kSubscriptOutOfRange);
    }
    // A one-dimensional array's elements lie one after the other from its
    // lower bound on (the SAFEARRAY layout that SafeArrayPtrOfIndex reads).
    return static_cast<const char*>(psa_->pvData) +
           static_cast<size_t>(int64_t{index} - lower_) * psa_->cbElements;
}

ArrayArg ArrayArg::Require(const VARIANT& value) {
    if (!IsArray(value)) RaiseRuntime(kTypeMismatch);
    return *Of(value);
}

VARIANT ArrayArg::BorrowElement(LONG index) const {
    const void* p = ElementPtr(index);
    VARIANT v;
    VariantInit(&v);
    switch (elementType_) {
        case VT_VARIANT:
            return *static_cast<const VARIANT*>(p);
        case VT_BSTR:
            v.bstrVal = *static_cast<const BSTR*>(p);
            v.vt = VT_BSTR;
            return v;
        case VT_DISPATCH:
        case VT_UNKNOWN:
            v.punkVal = *static_cast<IUnknown* const*>(p);
            v.vt = elementType_;
            return v;
        case VT_DECIMAL:  // fills the whole VARIANT, its type field included
            std::memcpy(&v.decVal, p, sizeof(DECIMAL));
            v.vt = VT_DECIMAL;
            return v;
        case VT_I1: case VT_UI1: case VT_I2: case VT_UI2: case VT_I4: case VT_UI4:
        case VT_INT: case VT_UINT: case VT_I8: case VT_UI8: case VT_R4: case VT_R8:
        case VT_CY: case VT_DATE: case VT_BOOL: case VT_ERROR:
            // An array whose element size claims more than its type holds
            // gives what fits.
            std::memcpy(&v.llVal, p, std::min<size_t>(psa_->cbElements, sizeof v.llVal));
            v.vt = elementType_;
            return v;
        default:  // records and other types no conversion understands
            RaiseRuntime(kTypeMismatch);
    }
}

Variant ArrayArg::Element(LONG index) const { return Variant::CopyOf(BorrowElement(index)); }

double ArrayArg::ElementAsDouble(LONG index, LCID lcid) const {
    if (elementType_ == VT_R8) return *static_cast<const double*>(ElementPtr(index));
    return ToDouble(BorrowElement(index), lcid);
}

std::wstring ArrayArg::ElementAsText(LONG index, LCID lcid) const {
    return ToText(BorrowElement(index), lcid);
}

void ArrayArg::AppendElementName(platform::TextBuffer& line, LONG index) const {
    AppendName(line, BorrowElement(index));
}

void ArrayArg::AppendElementText(platform::TextBuffer& line, LONG index, LCID lcid) const {
    AppendText(line, BorrowElement(index), lcid);
}

double ToDouble(const VARIANT& value, LCID lcid) {
    const VARIANT& v = Deref(value);
    switch (v.vt) {
        case VT_R8: return v.dblVal;
        case VT_I4: return v.lVal;
        case VT_EMPTY: return 0.0;
        default: break;  // Null fails the conversion below: a type mismatch
    }
    VARIANT converted;
    VariantInit(&converted);
    HRESULT hr = VariantChangeTypeEx(&converted, const_cast<VARIANT*>(&v), lcid, 0, VT_R8);
    if (FAILED(hr)) RaiseFromHresult(hr);
    return converted.dblVal;
}

std::wstring ToText(const VARIANT& value, LCID lcid) {
    const VARIANT& v = Deref(value);
    switch (v.vt) {
        case VT_BSTR: return std::wstring(Text(v.bstrVal));
        case VT_EMPTY: return std::wstring();
        case VT_R8: return platform::CurrentPlatform().FormatNumber(v.dblVal);
        case VT_NULL: RaiseRuntime(kInvalidUseOfNull);
        default: break;
    }
    if (v.vt & VT_ARRAY) RaiseRuntime(kTypeMismatch);
    Variant converted;
    HRESULT hr = VariantChangeTypeEx(converted.get(), const_cast<VARIANT*>(&v), lcid,
                                     VARIANT_ALPHABOOL, VT_BSTR);
    if (FAILED(hr)) RaiseFromHresult(hr);
    std::wstring text(Text(converted->bstrVal));
    if ((v.vt & VT_TYPEMASK) == VT_R4) UseLocaleSeparatorInExponent(text, lcid);
    return text;
}

void AppendText(platform::TextBuffer& line, const VARIANT& value, LCID lcid) {
    const VARIANT& v = Deref(value);
    switch (v.vt) {
        case VT_BSTR: line.Append(Text(v.bstrVal)); return;
        case VT_EMPTY: return;
        case VT_R8: platform::CurrentPlatform().AppendNumber(line, v.dblVal); return;
        default: line.Append(ToText(v, lcid)); return;
    }
}

void AppendName(platform::TextBuffer& line, const VARIANT& value) {
    const VARIANT& v = Deref(value);
    switch (v.vt) {
        case VT_BSTR: line.Append(Text(v.bstrVal)); return;
        case VT_EMPTY: return;
        case VT_NULL: RaiseRuntime(kInvalidUseOfNull);
        default: break;
    }
    // Text + array is a type mismatch. VarAdd is handed only values: Wine's
    // takes an array of objects (and a by-reference object) for an object
    // and calls through what it points to.
    if (v.vt & VT_ARRAY) RaiseRuntime(kTypeMismatch);
    Variant operand = Variant::IndependentCopyOf(v);
    // Let OLE Automation decide what text + value gives.
    Variant lhs = Variant::FromText(line.View());
    Variant sum;
    HRESULT hr = VarAdd(lhs.get(), operand.get(), sum.get());
    if (FAILED(hr)) RaiseFromHresult(hr);
    if (sum.vt() == VT_NULL) RaiseRuntime(kInvalidUseOfNull);
    line.clear();
    line.Append(ToText(*sum, LOCALE_USER_DEFAULT));
}

std::optional<std::wstring> StrNumberText(const VARIANT& value) {
    const VARIANT& v = Deref(value);
    switch (v.vt & ~VT_BYREF) {
        case VT_I1: case VT_UI1: case VT_I2: case VT_UI2: case VT_I4: case VT_UI4:
        case VT_I8: case VT_UI8: case VT_INT: case VT_UINT: case VT_R4: case VT_R8:
        case VT_CY: case VT_DECIMAL:
            break;
        default:
            return std::nullopt;
    }
    // The invariant locale: "." and no grouping, whatever the user chose.
    Variant text;
    if (FAILED(VariantChangeTypeEx(text.get(), const_cast<VARIANT*>(&v), LOCALE_INVARIANT, 0,
                                   VT_BSTR))) {
        return std::nullopt;
    }
    std::wstring digits(Text(text->bstrVal));
    if (!digits.empty() && digits.front() == L'-') return digits;
    return L" " + digits;
}

size_t ResultLength(int64_t upper) {
    if (upper < 0) return 0;
    const uint64_t count = static_cast<uint64_t>(upper) + 1;
    if (count > kMaxResultElements) RaiseRuntime(7);
    return static_cast<size_t>(count);
}

Variant MakeArrayTypeWithoutArray(VARTYPE elementType) {
    Variant result;
    result.get()->vt = VT_ARRAY | elementType;
    result.get()->parray = nullptr;
    return result;
}

Variant MakeStringArray(const wchar_t* const* items, size_t count) {
    SAFEARRAY* psa = nullptr;
    Variant result = MakeVector(VT_BSTR, count, &psa);
    DataLock lock(psa);
    BSTR* data = lock.As<BSTR>();
    for (size_t k = 0; k < count; ++k) data[k] = AllocBstr(items[k]);
    return result;
}

void Assign(VARIANT* target, Variant value) {
    VARIANT* variable = const_cast<VARIANT*>(&Deref(*target));
    Check(VariantClear(variable));
    value.DetachTo(variable);
}

Variant MakeStringArray(const std::vector<std::wstring>& items, LONG lower) {
    SAFEARRAYBOUND bound{static_cast<ULONG>(items.size()), lower};
    SAFEARRAY* psa = SafeArrayCreate(VT_BSTR, 1, &bound);
    if (!psa) RaiseRuntime(7);
    Variant result;
    result.get()->vt = VT_ARRAY | VT_BSTR;
    result.get()->parray = psa;
    if (!items.empty()) {
        DataLock lock(psa);
        BSTR* data = lock.As<BSTR>();
        for (size_t k = 0; k < items.size(); ++k) data[k] = AllocBstr(items[k]);
    }
    return result;
}

Variant MakeStringArray(const std::vector<std::wstring>& items) {
    SAFEARRAY* psa = nullptr;
    Variant result = MakeVector(VT_BSTR, items.size(), &psa);
    DataLock lock(psa);
    BSTR* data = lock.As<BSTR>();
    for (size_t k = 0; k < items.size(); ++k) data[k] = AllocBstr(items[k]);
    return result;
}

Variant MakeDoubleArray(const double* values, size_t count) {
    SAFEARRAY* psa = nullptr;
    Variant result = MakeVector(VT_R8, count, &psa);
    // A vector just created is ours alone: its data needs no lock.
    if (count) std::memcpy(psa->pvData, values, count * sizeof(double));
    return result;
}

Variant MakeBoolArray(size_t count, bool value) {
    SAFEARRAY* psa = nullptr;
    Variant result = MakeVector(VT_BOOL, count, &psa);
    if (count) {
        DataLock lock(psa);
        VARIANT_BOOL* data = lock.As<VARIANT_BOOL>();
        for (size_t k = 0; k < count; ++k) data[k] = value ? VARIANT_TRUE : VARIANT_FALSE;
    }
    return result;
}

Variant MakeDoubleArray2D(const std::vector<double>& values, size_t rows, size_t cols) {
    if (rows > kMaxResultElements || cols > kMaxResultElements ||
        (cols != 0 && rows > kMaxResultElements / cols)) {
        RaiseRuntime(7);
    }
    SAFEARRAYBOUND bounds[2];
    // rgsabound lists the dimensions from the first (fastest) to the last.
    bounds[0].lLbound = 0;
    bounds[0].cElements = static_cast<ULONG>(rows);
    bounds[1].lLbound = 0;
    bounds[1].cElements = static_cast<ULONG>(cols);
    SAFEARRAY* psa = SafeArrayCreate(VT_R8, 2, bounds);
    if (!psa) RaiseRuntime(7);
    Variant result;
    result.get()->vt = VT_ARRAY | VT_R8;
    result.get()->parray = psa;
    if (rows != 0 && cols != 0) {
        DataLock lock(psa);
        std::memcpy(lock.As<double>(), values.data(), rows * cols * sizeof(double));
    }
    return result;
}

}  // namespace korvid::com
