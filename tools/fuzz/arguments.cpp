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

BSTR ArgumentMaker::NewBstr(Random& random) const {
    if (random.Percent(4)) return nullptr;
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
        const bool plain = text[k] >= 0x20 && text[k] < 0x7F && text[k] != L'"' && text[k] != L'\\';
        std::snprintf(c, sizeof c, plain ? "%c" : "\\u%04X", text[k]);
        out += c;
    }
    return out + (whole || length <= 40 ? "\"" : "\"...(" + std::to_string(length) + ")");
}

std::string Describe(const VARIANT& v, bool whole, int depth) {
    char head[24];
    std::snprintf(head, sizeof head, "vt%04X", v.vt);
    std::string out = head;
    if (v.vt == (VT_BYREF | VT_VARIANT) && v.pvarVal && depth < 4)
        return out + "&" + Describe(*v.pvarVal, whole, depth + 1);
    if (v.vt & VT_BYREF) return out + "&";
    if (v.vt & VT_ARRAY) {
        if (!v.parray) return out + "[never sized]";
        const UINT dims = SafeArrayGetDim(v.parray), size = SafeArrayGetElemsize(v.parray);
        ULONG count = dims ? 1 : 0;
        for (UINT d = 0; d < dims; ++d) {  // rgsabound holds the last dimension first
            const SAFEARRAYBOUND& bound = v.parray->rgsabound[dims - 1 - d];
            out += (d ? "," : "[") + std::to_string(bound.lLbound) + ".." +
                   std::to_string(bound.lLbound + LONG(bound.cElements) - 1);
            count *= bound.cElements;
        }
        out += dims ? "]{" : "{";
        const VARTYPE type = v.vt & VT_TYPEMASK;
        for (ULONG k = 0; k < count && (whole || k < 6); ++k) {
            const char* element = static_cast<const char*>(v.parray->pvData) + size_t(k) * size;
            VARIANT e{};
            e.vt = type;
            if (type != VT_VARIANT && type != VT_DECIMAL) std::memcpy(&e.llVal, element, size);
            const std::string item =
                Describe(type == VT_VARIANT ? *reinterpret_cast<const VARIANT*>(element) : e, whole,
                         depth + 1);
            out += (k ? "," : "") +
                   item.substr(type == VT_VARIANT ? 0 : std::min<size_t>(item.size(), 7));
        }
        return out + (count > 6 && !whole ? ",...}" : "}");
    }
    if (v.vt == VT_BSTR) return out + ":" + Describe(v.bstrVal, whole);
    if (v.vt == VT_DISPATCH || v.vt == VT_UNKNOWN) return out + (v.punkVal ? ":object" : ":NULL");
    VARIANT text;  // numbers, dates and Booleans as English texts
    VariantInit(&text);
    if (v.vt != VT_EMPTY && v.vt != VT_NULL &&
        SUCCEEDED(VariantChangeTypeEx(&text, const_cast<VARIANT*>(&v), 0x0409, 0, VT_BSTR))) {
        out += ":" + std::string(text.bstrVal, text.bstrVal + SysStringLen(text.bstrVal));
    }
    VariantClear(&text);
    return out;
}

}  // namespace korvid::fuzz
