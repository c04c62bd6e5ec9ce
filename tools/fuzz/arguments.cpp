#include "tools/fuzz/arguments.h"

#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>

namespace korvid::fuzz {

namespace {

constexpr double kNumbers[] = {0.0,
                               1.0,
                               -1.0,
                               2.0,
                               3.0,
                               0.5,
                               300.0,
                               101325.0,
                               -0.0,
                               1e-300,
                               1e308,
                               -1e308,
                               2147483648.0,
                               32768.0,
                               -32769.0,
                               std::numeric_limits<double>::quiet_NaN(),
                               std::numeric_limits<double>::infinity(),
                               -std::numeric_limits<double>::infinity()};

constexpr VARTYPE kScalarTypes[] = {VT_I1,  VT_I2,  VT_I4,   VT_I8,   VT_UI1,     VT_UI2,
                                    VT_UI4, VT_UI8, VT_INT,  VT_UINT, VT_R4,      VT_R8,
                                    VT_R8,  VT_CY,  VT_DATE, VT_BOOL, VT_DECIMAL, VT_ERROR};

constexpr VARTYPE kElementTypes[] = {VT_VARIANT,  VT_VARIANT, VT_VARIANT, VT_BSTR, VT_BSTR,
                                     VT_R8,       VT_R8,      VT_I2,      VT_I4,   VT_R4,
                                     VT_BOOL,     VT_UI1,     VT_DATE,    VT_CY,   VT_DECIMAL,
                                     VT_DISPATCH, VT_UNKNOWN, VT_ERROR,   VT_I8};

// Types no argument may carry: the automation machinery must refuse them.
constexpr VARTYPE kInvalidTypes[] = {15, VT_VOID, VT_HRESULT, 0x7F, VT_ARRAY | VT_VOID};

}  // namespace

std::wstring ArgumentMaker::Text(Random& random) const {
    const uint32_t kind = random.Below(100);
    if (kind < 70) {
        std::wstring word = random.Pick(words_);
        if (random.Percent(10)) {
            for (wchar_t& c : word) c = random.Percent(50) ? towupper(c) : towlower(c);
        }
        if (random.Percent(3)) word = L" " + word;
        if (random.Percent(4))
            word.insert(random.Below(static_cast<uint32_t>(word.size()) + 1), 1, L'\0');
        return word;
    }
    if (kind < 90) {
        // Junk: letters, digits, punctuation, accents, CJK, NUL.
        static constexpr wchar_t kChars[] = L"aZ09 .,-+eE;\t\x00e9\x4e2d\x20ac\xffff";
        std::wstring junk(random.Below(24), L' ');
        for (wchar_t& c : junk)
            c = random.Percent(5) ? L'\0'
                                  : kChars[random.Below(sizeof kChars / sizeof(wchar_t) - 1)];
        return junk;
    }
    if (kind < 99) {
        static const wchar_t* const kNumberTexts[] = {L"300", L"1.5", L"-2",   L"1E+308", L"1E-05",
                                                      L"0",   L"NaN", L"True", L"&H10",   L"1,5"};
        return random.Pick(kNumberTexts);
    }
    // Now and then a text larger than any name: 70,000 characters.
    return std::wstring(70000, random.Percent(50) ? L'x' : L'\0');
}

BSTR ArgumentMaker::NewBstr(Random& random) const {
    if (random.Percent(4)) return nullptr;
    const std::wstring text = Text(random);
    return SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
}

void ArgumentMaker::FillScalar(Random& random, VARIANT* v, VARTYPE vt) const {
    const double x = random.Pick(kNumbers);
    const auto integer = static_cast<LONGLONG>(std::isfinite(x) && std::fabs(x) < 9e18 ? x : 0) +
                         (random.Percent(20) ? static_cast<LONGLONG>(random.Bits() % 65536) : 0);
    VariantInit(v);
    switch (vt) {
        case VT_R8:
            v->dblVal = x;
            break;
        case VT_R4:
            v->fltVal = static_cast<float>(x);
            break;
        case VT_DATE:
            v->date = std::isfinite(x) ? x : 45000.5;
            break;
        case VT_CY:
            v->cyVal.int64 = integer * 10000;
            break;
        case VT_BOOL:
            v->boolVal = random.Percent(50) ? VARIANT_TRUE : static_cast<VARIANT_BOOL>(integer);
            break;
        case VT_ERROR:
            v->scode =
                random.Percent(80) ? DISP_E_PARAMNOTFOUND : static_cast<SCODE>(random.Bits());
            break;
        case VT_DECIMAL:
            if (FAILED(VarDecFromR8(std::isfinite(x) ? x : 0.0, &v->decVal)))
                VarDecFromI4(0, &v->decVal);
            break;
        case VT_BSTR:
            v->bstrVal = NewBstr(random);
            break;
        case VT_DISPATCH:
        case VT_UNKNOWN:
            v->pdispVal = random.Percent(20) ? nullptr : object_;
            if (v->pdispVal) v->pdispVal->AddRef();
            break;
        default:
            v->llVal = integer;
            break;  // the integer types
    }
    v->vt = vt;  // after VarDecFromR8, whose DECIMAL overlays the type field
}

void ArgumentMaker::FillArray(Random& random, VARIANT* v, int depth, CallArguments& call) const {
    const VARTYPE vt = random.Pick(kElementTypes);
    v->vt = VT_ARRAY | vt;
    v->parray = nullptr;
    if (random.Percent(8)) return;  // declared, never sized
    const UINT dims = random.Percent(80) ? 1 : random.Percent(75) ? 2 : 3;
    SAFEARRAYBOUND bounds[3];
    ULONG total = 1;
    for (UINT d = 0; d < dims; ++d) {
        static constexpr LONG kLower[] = {0, 0, 0, 0, 0, 1, 1, -1, 5, -1000, 0x7FFFFFF0};
        static constexpr ULONG kCount[] = {0, 1, 1, 2, 3, 3, 3, 4, 5, 8, 21, 40};
        bounds[d].lLbound = random.Pick(kLower);
        // Several dimensions stay small: traced calls stay short.
        bounds[d].cElements = dims == 1 ? random.Pick(kCount) : random.Below(5);
        total *= bounds[d].cElements;
    }
    SAFEARRAY* psa = SafeArrayCreate(vt, dims, bounds);
    if (!psa) return;
    v->parray = psa;
    char* data = nullptr;
    if (FAILED(SafeArrayAccessData(psa, reinterpret_cast<void**>(&data)))) return;
    const UINT size = SafeArrayGetElemsize(psa);
    for (ULONG k = 0; k < total; ++k) {
        void* slot = data + static_cast<size_t>(k) * size;
        if (vt == VT_VARIANT) {
            Fill(random, static_cast<VARIANT*>(slot), depth + 1, false, call);
        } else {
            // A scalar built in a VARIANT, moved into the element.
            VARIANT e;
            FillScalar(random, &e, vt);
            if (vt == VT_DECIMAL) {
                *static_cast<DECIMAL*>(slot) = e.decVal;
                static_cast<DECIMAL*>(slot)->wReserved = 0;
            } else {
                std::memcpy(slot, &e.llVal, size);
            }
        }
    }
    SafeArrayUnaccessData(psa);
}

void ArgumentMaker::Fill(Random& random, VARIANT* v, int depth, bool byRef,
                         CallArguments& call) const {
    VariantInit(v);
    const uint32_t kind = random.Below(100);
    if (kind < 32) {
        FillScalar(random, v, VT_BSTR);
    } else if (kind < 50) {
        FillScalar(random, v, random.Pick(kScalarTypes));
    } else if (kind < 55) {
        v->vt = VT_EMPTY;
    } else if (kind < 58) {
        v->vt = VT_NULL;
    } else if (kind < 61) {
        FillScalar(random, v, random.Percent(70) ? VT_DISPATCH : VT_UNKNOWN);
    } else if (kind < 63) {
        v->vt = random.Pick(kInvalidTypes);
        v->llVal = 0;
    } else if (kind < 90 || !byRef || depth >= 2) {
        if (depth < 3) {
            FillArray(random, v, depth, call);
        } else {
            FillScalar(random, v, VT_R8);
        }
    } else {
        // By reference: to a VARIANT, or to the value of a typed target.
        VARIANT* target = call.NewTarget();
        Fill(random, target, depth + 1, random.Percent(20), call);
        const VARTYPE type = target->vt;
        const bool typed = !(type & VT_BYREF) && type != VT_EMPTY && type != VT_NULL &&
                           type != VT_DECIMAL && type != VT_VARIANT && random.Percent(50);
        if (typed) {
            v->vt = VT_BYREF | type;
            v->byref = &target->llVal;
        } else {
            v->vt = VT_BYREF | VT_VARIANT;
            v->pvarVal = target;
        }
    }
}

std::string Describe(BSTR text) { return text ? DescribeText(text, SysStringLen(text)) : "NULL"; }

std::string DescribeText(const wchar_t* text, size_t length) {
    std::string out = "\"";
    for (size_t k = 0; k < length && k < 40; ++k) {
        const wchar_t c = text[k];
        char escaped[12];
        if (c >= 0x20 && c < 0x7F && c != L'"' && c != L'\\') {
            out += static_cast<char>(c);
        } else {
            std::snprintf(escaped, sizeof escaped, "\\u%04X", static_cast<unsigned>(c));
            out += escaped;
        }
    }
    out += '"';
    if (length > 40) out += "...(" + std::to_string(length) + ")";
    return out;
}

std::string Describe(const VARIANT& v, int depth) {
    char head[48];
    std::snprintf(head, sizeof head, "vt%04X", v.vt);
    std::string out = head;
    if (v.vt & VT_BYREF) {
        if (v.vt == (VT_BYREF | VT_VARIANT) && v.pvarVal && depth < 4) {
            return out + "&" + Describe(*v.pvarVal, depth + 1);
        }
        if (v.vt == (VT_BYREF | VT_BSTR) && v.pbstrVal) return out + "&" + Describe(*v.pbstrVal);
        if ((v.vt & VT_ARRAY) && v.pparray) {
            VARIANT inner;
            inner.vt = v.vt & ~VT_BYREF;
            inner.parray = *v.pparray;
            return out + "&" + Describe(inner, depth + 1);
        }
        return out;
    }
    if (v.vt & VT_ARRAY) {
        if (!v.parray) return out + "[never sized]";
        out += "[";
        for (UINT d = 0; d < v.parray->cDims; ++d) {
            // rgsabound holds the dimensions last first.
            const SAFEARRAYBOUND& b = v.parray->rgsabound[v.parray->cDims - 1 - d];
            out += (d ? "," : "") + std::to_string(b.lLbound) + ":" + std::to_string(b.cElements);
        }
        out += "]";
        if ((v.vt & VT_TYPEMASK) == VT_VARIANT && v.parray->cDims == 1 && depth < 3) {
            const auto* items = static_cast<const VARIANT*>(v.parray->pvData);
            out += "{";
            for (ULONG k = 0; k < v.parray->rgsabound[0].cElements && k < 6; ++k) {
                out += (k ? "," : "") + Describe(items[k], depth + 1);
            }
            out += "}";
        } else if ((v.vt & VT_TYPEMASK) == VT_BSTR && v.parray->cDims == 1) {
            const auto* items = static_cast<const BSTR*>(v.parray->pvData);
            out += "{";
            for (ULONG k = 0; k < v.parray->rgsabound[0].cElements && k < 6; ++k) {
                out += (k ? "," : "") + Describe(items[k]);
            }
            out += "}";
        }
        return out;
    }
    char value[64] = "";
    switch (v.vt) {
        case VT_BSTR:
            return out + ":" + Describe(v.bstrVal);
        case VT_R8:
            std::snprintf(value, sizeof value, ":%g", v.dblVal);
            break;
        case VT_R4:
            std::snprintf(value, sizeof value, ":%g", v.fltVal);
            break;
        case VT_DATE:
            std::snprintf(value, sizeof value, ":%g", v.date);
            break;
        case VT_DISPATCH:
        case VT_UNKNOWN:
            std::snprintf(value, sizeof value, ":%s", v.punkVal ? "object" : "NULL");
            break;
        case VT_EMPTY:
        case VT_NULL:
        case VT_DECIMAL:
            break;
        default:
            std::snprintf(value, sizeof value, ":%lld", v.llVal);
            break;
    }
    return out + value;
}

}  // namespace korvid::fuzz
