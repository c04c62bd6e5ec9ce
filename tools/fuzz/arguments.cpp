#include "tools/fuzz/arguments.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>

namespace korvid::fuzz {

namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kNumbers[] = {
    0.0,          1.0,     -1.0,     2.0,
    3.0,          0.5,     300.0,    101325.0,
    -0.0,         1e-300,  1e308,    -1e308,
    2147483648.0, 32768.0, -32769.0, std::numeric_limits<double>::quiet_NaN(),
    kInf,         -kInf};
constexpr VARTYPE kScalarTypes[] = {VT_I1,  VT_I2,  VT_I4,   VT_I8,   VT_UI1,     VT_UI2,
                                    VT_UI4, VT_UI8, VT_INT,  VT_UINT, VT_R4,      VT_R8,
                                    VT_R8,  VT_CY,  VT_DATE, VT_BOOL, VT_DECIMAL, VT_ERROR};
constexpr VARTYPE kElementTypes[] = {VT_VARIANT,  VT_VARIANT, VT_VARIANT, VT_BSTR, VT_BSTR,
                                     VT_R8,       VT_R8,      VT_I2,      VT_I4,   VT_R4,
                                     VT_BOOL,     VT_UI1,     VT_DATE,    VT_CY,   VT_DECIMAL,
                                     VT_DISPATCH, VT_UNKNOWN, VT_ERROR,   VT_I8};
// Types no argument may carry: the automation machinery must refuse them.
constexpr VARTYPE kInvalidTypes[] = {15, VT_VOID, VT_HRESULT, 0x7F, VT_ARRAY | VT_VOID};
constexpr LONG kLowerBounds[] = {0, 0, 0, 0, 0, 1, 1, -1, 5, -1000, 0x7FFFFFF0};
constexpr ULONG kCounts[] = {0, 1, 1, 2, 3, 3, 3, 4, 5, 8, 21, 40};

// Names the object knows: properties, phases, bases, calculation and flash
// types, the components of three_components.como and its constants; then the
// empty name, a blank and a number. Laid out by kind, a kind to a row or two.
// clang-format off
const wchar_t* const kWords[] = {
    L"temperature", L"pressure", L"fraction", L"flow", L"totalFlow", L"enthalpy", L"entropy",
    L"density", L"volume", L"phaseFraction", L"fugacity", L"fugacityCoefficient", L"kvalues",
    L"vaporPressure", L"vaporPressure.DTemperature", L"enthalpy.Dmoles", L"TEMPERATURE",
    L"FRACTION",
    L"vapor", L"liquid", L"overall", L"solid", L"Vapor", L"GasLiquid", L"LiquidLiquid",
    L"VaporLiquid",
    L"mole", L"mass", L"MOLE", L"Mass",
    L"mixture", L"pure", L"TP", L"PH", L"PVF", L"TVF",
    L"Methane", L"Ethane", L"Water", L"METHANE", L"74-82-8", L"74-84-0", L"7732-18-5",
    L"molecularWeight", L"criticalTemperature", L"criticalPressure", L"acentricFactor",
    L"normalBoilingPoint", L"casRegistryNumber", L"chemicalFormula", L"iupacName", L"parachor",
    L"heatOfVaporizationAtNormalBoilingPoint", L"idealGasHeatCapacity", L"liquidDensityAt25C",
    L"standardFormationEnthalpyGas", L"avogadroConstant", L"molarGasConstant",
    L"", L" ", L"1.5"};
// clang-format on
const wchar_t* const kNumberTexts[] = {L"300", L"1.5", L"-2",   L"1E+308", L"1E-05",
                                       L"0",   L"NaN", L"True", L"&H10",   L"1,5"};
// Junk: letters, digits, punctuation, accents, CJK, NUL.
constexpr wchar_t kJunk[] = L"aZ09 .,-+eE;\t\x00e9\x4e2d\x20ac\xffff";

}  // namespace

std::wstring ArgumentMaker::Text(Random& random) const {
    const uint32_t kind = random.Below(100);
    if (kind < 70) {
        std::wstring word = random.Pick(kWords);
        if (random.Percent(10))
            for (wchar_t& c : word) c = random.Percent(50) ? towupper(c) : towlower(c);
        if (random.Percent(3)) word = L" " + word;
        if (random.Percent(4))
            word.insert(random.Below(static_cast<uint32_t>(word.size()) + 1), 1, L'\0');
        return word;
    }
    if (kind < 90) {
        std::wstring junk(random.Below(24), L' ');
        for (wchar_t& c : junk)
            c = random.Percent(5) ? L'\0' : kJunk[random.Below(std::size(kJunk) - 1)];
        return junk;
    }
    if (kind < 99) return random.Pick(kNumberTexts);
    return std::wstring(70000, random.Percent(50) ? L'x' : L'\0');  // larger than any name
}

namespace {

// The pool of literals: three pages, the first and the last unreadable. A
// text starts the middle page (its prefix unreadable), another ends it
// without a NUL; between them texts whose prefix lies.
struct LiteralPool {
    GuardedPages pages;
    std::vector<wchar_t*> texts;
    LiteralPool() {
        auto* at = reinterpret_cast<wchar_t*>(pages.Middle());
        auto put = [&](uint32_t prefix, std::wstring_view text) {
            if (at != reinterpret_cast<wchar_t*>(pages.Middle())) {
                std::memcpy(at, &prefix, 4);
                at += 2;
            }
            texts.push_back(at);
            at = std::copy(text.begin(), text.end(), at);
            *at++ = L'\0';
        };
        put(0, L"temperature");                     // the prefix on the unreadable page
        put(0x7FFFFFFE, L"totalFlow");             // a huge prefix, as before a literal
        put(16, L"");                              // L"" whose prefix says 8 characters
        put(4, L"vapor");                          // a prefix too short
        put(10, std::wstring_view(L"mo\0le", 5));  // a NUL inside, the prefix right
        auto* last = reinterpret_cast<wchar_t*>(pages.Middle() + pages.PageSize()) - 4;  // no NUL
        std::fill(last, last + 4, L'x');
        std::memcpy(last - 2, "\x08\0\0\0", 4);
        texts.push_back(last);
    }
};

const LiteralPool& Pool() {
    static const LiteralPool pool;
    return pool;
}

}  // namespace

GuardedPages::GuardedPages() {
    SYSTEM_INFO info;
    GetSystemInfo(&info);
    page_ = info.dwPageSize;
    base_ = static_cast<char*>(VirtualAlloc(nullptr, 3 * page_, MEM_COMMIT, PAGE_READWRITE));
    DWORD old;
    VirtualProtect(base_, page_, PAGE_NOACCESS, &old);
    VirtualProtect(base_ + 2 * page_, page_, PAGE_NOACCESS, &old);
}

bool IsLiteral(const wchar_t* text) { return Pool().pages.Holds(text); }

void FreeText(BSTR text) {
    if (!IsLiteral(text)) SysFreeString(text);
}

void Scrub(VARIANT& v) {
    if (v.vt == VT_BSTR && IsLiteral(v.bstrVal)) v.bstrVal = nullptr;
    if (!(v.vt & VT_ARRAY) || (v.vt & VT_BYREF) || !v.parray || !v.parray->pvData) return;
    const VARTYPE vt = v.vt & VT_TYPEMASK;
    if (vt != VT_BSTR && vt != VT_VARIANT) return;
    ULONG count = v.parray->cDims ? 1 : 0;
    for (USHORT d = 0; d < v.parray->cDims; ++d) count *= v.parray->rgsabound[d].cElements;
    for (ULONG k = 0; k < count; ++k) {
        if (vt == VT_VARIANT) {
            Scrub(static_cast<VARIANT*>(v.parray->pvData)[k]);
        } else if (BSTR& text = static_cast<BSTR*>(v.parray->pvData)[k]; IsLiteral(text)) {
            text = nullptr;
        }
    }
}

BSTR ArgumentMaker::NewBstr(Random& random) const {
    if (random.Percent(4)) return nullptr;
    if (misshapen && random.Percent(3)) {
        const auto& texts = Pool().texts;
        return texts[random.Below(static_cast<uint32_t>(texts.size()))];
    }
    const std::wstring text = Text(random);
    return SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
}

static void FillScalar(const ArgumentMaker& maker, Random& random, VARIANT* v, VARTYPE vt) {
    const double x = random.Pick(kNumbers);
    const bool finite = std::isfinite(x);
    const auto integer = static_cast<LONGLONG>(finite && std::fabs(x) < 9e18 ? x : 0) +
                         (random.Percent(20) ? static_cast<LONGLONG>(random() % 65536) : 0);
    VariantInit(v);
    switch (vt) {
        case VT_R8:
            v->dblVal = x;
            break;
        case VT_R4:
            v->fltVal = static_cast<float>(x);
            break;
        case VT_DATE:
            v->date = finite ? x : 45000.5;
            break;
        case VT_CY:
            v->cyVal.int64 = integer * 10000;
            break;
        case VT_BOOL:
            v->boolVal = random.Percent(50) ? VARIANT_TRUE : static_cast<VARIANT_BOOL>(integer);
            break;
        case VT_ERROR:
            v->scode = random.Percent(80) ? DISP_E_PARAMNOTFOUND : static_cast<SCODE>(random());
            break;
        case VT_DECIMAL:
            if (FAILED(VarDecFromR8(finite ? x : 0.0, &v->decVal))) VarDecFromI4(0, &v->decVal);
            break;
        case VT_BSTR:
            v->bstrVal = maker.NewBstr(random);
            break;
        case VT_DISPATCH:
        case VT_UNKNOWN:
            v->pdispVal = random.Percent(20) ? nullptr : (maker.object->AddRef(), maker.object);
            break;
        default:
            v->llVal = integer;
            break;  // the integer types
    }
    v->vt = vt;  // after VarDecFromR8, whose DECIMAL overlays the type field
}

static void FillArray(const ArgumentMaker& maker, Random& random, VARIANT* v, int depth,
                      CallArguments& call) {
    const VARTYPE vt = random.Pick(kElementTypes);
    v->vt = VT_ARRAY | vt;
    v->parray = nullptr;
    if (random.Percent(8)) return;  // declared, never sized
    const UINT dims = random.Percent(80) ? 1 : random.Percent(75) ? 2 : 3;
    SAFEARRAYBOUND bounds[3];
    ULONG total = 1;
    for (UINT d = 0; d < dims; ++d) {
        // Several dimensions stay small: traced calls stay short.
        bounds[d] = {dims == 1 ? random.Pick(kCounts) : random.Below(5), random.Pick(kLowerBounds)};
        total *= bounds[d].cElements;
    }
    SAFEARRAY* psa = SafeArrayCreate(vt, dims, bounds);
    char* data = nullptr;
    if (!psa || FAILED(SafeArrayAccessData(v->parray = psa, reinterpret_cast<void**>(&data))))
        return;
    const UINT size = SafeArrayGetElemsize(psa);
    for (ULONG k = 0; k < total; ++k) {
        void* slot = data + static_cast<size_t>(k) * size;
        if (vt == VT_VARIANT) {
            maker.Fill(random, static_cast<VARIANT*>(slot), depth + 1, false, call);
            continue;
        }
        VARIANT e;  // a scalar built in a VARIANT, moved into the element
        FillScalar(maker, random, &e, vt);
        if (vt == VT_DECIMAL) e.decVal.wReserved = 0;
        std::memcpy(slot, vt == VT_DECIMAL ? static_cast<void*>(&e.decVal) : &e.llVal, size);
    }
    SafeArrayUnaccessData(psa);
    if (!maker.misshapen || !random.Percent(3)) return;
    // A descriptor that lies, put right again by RestoreLies.
    CallArguments::Lie lie{psa, *psa, 0};
    if (psa->fFeatures & FADF_HAVEVARTYPE) lie.elementType = reinterpret_cast<DWORD*>(psa)[-1];
    call.lies.push_back(lie);
    switch (random.Below(5)) {
        case 0: psa->cbElements += 1; break;
        case 1: psa->cDims = 0; break;
        case 2: psa->pvData = psa->rgsabound[0].cElements ? nullptr : psa->pvData; break;
        case 3: psa->rgsabound[0].cElements = 0x7FFFFFFF; break;
        default:
            if (psa->fFeatures & FADF_HAVEVARTYPE)
                reinterpret_cast<DWORD*>(psa)[-1] = vt == VT_R8 ? VT_I4 : VT_R8;
            break;
    }
}

void ArgumentMaker::Fill(Random& random, VARIANT* v, int depth, bool byRef,
                         CallArguments& call) const {
    VariantInit(v);
    const uint32_t kind = random.Below(100);
    if (kind < 32) {
        FillScalar(*this, random, v, VT_BSTR);
    } else if (kind < 50) {
        FillScalar(*this, random, v, random.Pick(kScalarTypes));
    } else if (kind < 58) {
        v->vt = kind < 55 ? VT_EMPTY : VT_NULL;
    } else if (kind < 61) {
        FillScalar(*this, random, v, random.Percent(70) ? VT_DISPATCH : VT_UNKNOWN);
    } else if (kind < 63) {
        v->vt = random.Pick(kInvalidTypes);
        v->llVal = 0;
    } else if (kind < 90 || !byRef || depth >= 2) {
        if (depth < 3)
            FillArray(*this, random, v, depth, call);
        else
            FillScalar(*this, random, v, VT_R8);
    } else {
        // By reference: to a VARIANT, or to the value of a typed target.
        VARIANT* target = &call.targets.emplace_back();
        Fill(random, target, depth + 1, random.Percent(20), call);
        const VARTYPE type = target->vt;
        if (misshapen && random.Percent(3)) {  // a reference to nothing
            v->vt = VT_BYREF | (random.Percent(50) ? VT_VARIANT : VT_BSTR);
            v->byref = nullptr;
            return;
        }
        if (!(type & VT_BYREF) && type != VT_EMPTY && type != VT_NULL && type != VT_DECIMAL &&
            type != VT_VARIANT && random.Percent(50)) {
            v->vt = VT_BYREF | type;
            v->byref = &target->llVal;
        } else {
            v->vt = VT_BYREF | VT_VARIANT;
            v->pvarVal = target;
        }
    }
}

std::string DescribeText(const wchar_t* text, size_t length, bool whole) {
    std::string out = "\"";
    for (size_t k = 0; k < length && (whole || k < 40); ++k) {
        char c[8];
        const wchar_t w = text[k];
        std::snprintf(c, sizeof c, w >= 0x20 && w < 0x7F ? "%c" : "\\u%04X", w);
        out += w == L'\r' ? "\\r" : w == L'\n' ? "\\n" : c;
    }
    return out + (whole || length <= 40 ? "\"" : "\"...(" + std::to_string(length) + ")");
}

namespace {

std::string Number(double value) {
    char text[40];
    std::snprintf(text, sizeof text, "%.15g", value);
    if (std::strtod(text, nullptr) != value) std::snprintf(text, sizeof text, "%.17g", value);
    return text;
}

std::string TypeName(VARTYPE vt) {
    const std::pair<VARTYPE, const char*> names[] = {
        {VT_R8, "r8"},     {VT_R4, "r4"},    {VT_I2, "i2"},      {VT_I4, "i4"},
        {VT_BOOL, "bool"}, {VT_BSTR, "str"}, {VT_VARIANT, "var"}};
    for (const auto& [type, name] : names) {
        if (type == vt) return name;
    }
    return "vt" + std::to_string(vt);
}

// An element of `array` as a VARIANT that borrows its value.
VARIANT Element(SAFEARRAY* array, VARTYPE vt, const void* slot) {
    VARIANT e{};
    if (vt == VT_VARIANT) return *static_cast<const VARIANT*>(slot);
    if (vt == VT_DECIMAL) std::memcpy(&e.decVal, slot, sizeof(DECIMAL));
    if (vt != VT_DECIMAL)  // the scalar types: 8 bytes at the most
        std::memcpy(&e.llVal, slot, std::min<size_t>(SafeArrayGetElemsize(array), sizeof e.llVal));
    e.vt = vt;
    return e;
}

}  // namespace

std::string Describe(const VARIANT& v, bool whole, const ObjectNamer& object, int depth) {
    if (depth > 4) return "...";
    if (v.vt == (VT_BYREF | VT_VARIANT))
        return "&" + (v.pvarVal ? Describe(*v.pvarVal, whole, object, depth + 1) : "NULL");
    if (v.vt & VT_BYREF) {  // the value of a typed reference, borrowed
        VARIANT value{};
        value.vt = v.vt & ~VT_BYREF;
        if (v.byref && value.vt != VT_DECIMAL) std::memcpy(&value.llVal, v.byref, sizeof(LONGLONG));
        return "&&" + (v.byref && value.vt != VT_DECIMAL ? Describe(value, whole, object, depth + 1)
                                                         : TypeName(value.vt));
    }
    if (v.vt & VT_ARRAY) {
        const VARTYPE vt = v.vt & VT_TYPEMASK;
        SAFEARRAY* array = v.parray;
        if (!array) return "never:" + TypeName(vt);
        if (com::ArrayProblem(array, vt)) return "misshapen:" + TypeName(vt);
        // One dimension: type[a b c]@lower; two: type[RxC@lower,lower: row by
        // row]; more: type[N dimensions: in memory order].
        const UINT dims = SafeArrayGetDim(array);
        LONG lower[2] = {}, upper[2] = {-1, -1};
        for (UINT d = 0; d < dims && d < 2; ++d) {
            SafeArrayGetLBound(array, d + 1, &lower[d]);
            SafeArrayGetUBound(array, d + 1, &upper[d]);
        }
        ULONG count = dims ? 1 : 0;
        for (UINT d = 0; d < dims; ++d) count *= array->rgsabound[d].cElements;
        const LONG rows = upper[0] - lower[0] + 1, cols = upper[1] - lower[1] + 1;
        std::string out = TypeName(vt) + "[";
        if (dims == 2) out += std::to_string(rows) + "x" + std::to_string(cols);
        if (dims == 2 && (lower[0] || lower[1]))
            out += "@" + std::to_string(lower[0]) + "," + std::to_string(lower[1]);
        if (dims == 2) out += ":";
        if (dims > 2) out += std::to_string(dims) + " dimensions:";
        for (ULONG k = 0; k < count && (whole || k < 6); ++k) {
            LONG index[2] = {dims == 2 ? lower[0] + LONG(k / cols) : lower[0] + LONG(k),
                             lower[1] + LONG(k % std::max(cols, 1L))};
            void* slot = static_cast<char*>(array->pvData) + size_t(k) * array->cbElements;
            if (dims <= 2) SafeArrayPtrOfIndex(array, index, &slot);
            out += (out.back() == '[' ? "" : " ") +
                   Describe(Element(array, vt, slot), whole, object, depth + 1);
        }
        if (!whole && count > 6) out += " ...(" + std::to_string(count) + ")";
        return out + "]" + (dims == 1 && lower[0] ? "@" + std::to_string(lower[0]) : "");
    }
    switch (v.vt) {
        case VT_EMPTY:
            return "empty";
        case VT_NULL:
            return "null";
        case VT_BSTR:
            return Describe(v.bstrVal, whole);
        case VT_R8:
            return Number(v.dblVal);
        case VT_R4:
            return "r4 " + Number(v.fltVal);
        case VT_I2:
            return "i2 " + std::to_string(v.iVal);
        case VT_I4:
            return std::to_string(v.lVal);
        case VT_BOOL:
            return v.boolVal == VARIANT_TRUE ? "true" : v.boolVal ? "bool?" : "false";
        case VT_DISPATCH:
        case VT_UNKNOWN:
            return !v.punkVal ? "nothing" : object ? object(v.punkVal) : "object";
    }
    VARIANT text;  // any other type: its number and its value as an English text
    VariantInit(&text);
    std::string out = TypeName(v.vt);
    if (SUCCEEDED(VariantChangeTypeEx(&text, const_cast<VARIANT*>(&v), 0x0409, 0, VT_BSTR)))
        out += ":" + std::string(text.bstrVal, text.bstrVal + SysStringLen(text.bstrVal));
    VariantClear(&text);
    return out;
}

}  // namespace korvid::fuzz
