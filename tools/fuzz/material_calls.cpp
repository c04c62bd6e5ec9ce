// Korvid.Material under the fuzzer: every operation of its interfaces through
// the vtables, with arguments that fit the parameter's name more often than
// not (phase labels and statuses of one count, one number per compound...)
// so that calls reach the stored values, else anything the maker builds.
// [in, out] results come holding old content, which the callee must free.
#include <cmath>
#include <string_view>
#include <type_traits>

#include "KorvidThermo11_h.h"
#include "tools/fuzz/fuzz.h"

namespace korvid::fuzz::material {

using namespace korvid::e2e;

namespace {

ICapeThermoMaterial* m = nullptr;
ICapeThermoCompounds* c = nullptr;
ICapeThermoPhases* ph = nullptr;
ICapeThermoUniversalConstant* u = nullptr;
ICapeThermoPropertyRoutine* pr = nullptr;
ICapeThermoEquilibriumRoutine* er = nullptr;
ICapeIdentification* id = nullptr;
ECapeRoot* eroot = nullptr;
ECapeUser* euser = nullptr;
ECapeBadArgument* ebad = nullptr;
ECapeBadInvOrder* eorder = nullptr;
IDispatch* g_self = nullptr;  // the material's default IDispatch
IDispatch* g_made = nullptr;  // the last material CreateMaterial made

// Words by parameter name, the first four of each taken three times in four;
// the maker's texts stand for everything else.
// clang-format off
const std::vector<std::pair<std::wstring, std::vector<const wchar_t*>>> kWords = {
    {L"property", {L"fraction", L"temperature", L"flow", L"pressure", L"totalFlow", L"enthalpy",
                   L"entropy", L"volume", L"density", L"phaseFraction", L"kvalue", L"logKvalue",
                   L"surfaceTension", L"FRACTION", L"fugacity", L"", L"temperature "}},
    {L"basis", {L"Mole", L"Mass", L"mole", L"", L"MASS", L"moles", L"Mass "}},
    {L"phaseLabel", {L"Vapor", L"Liquid", L"Liquid2", L"Solid", L"vapor", L"LIQUID2", L"Overall",
                     L"", L"Aqueous"}},
    {L"props", {L"molecularWeight", L"casRegistryNumber", L"iupacName", L"NORMALBOILINGPOINT",
                L"enthalpy", L"fugacity", L"kvalue", L"criticalVolume", L""}},
    {L"compIds", {L"Methane", L"Ethane", L"Water", L"water", L"METHANE", L"74-82-8", L"Argon"}},
    {L"specification", {L"temperature", L"pressure", L"Overall", L"Vapor", L"phaseFraction", L"",
                        L"Mole"}},
    {L"solutionType", {L"Unspecified", L"Normal", L"Retrograde", L"normal", L""}},
    {L"phaseAttribute", {L"StateOfAggregation", L"KeyCompoundId", L"DensityDescription",
                         L"UserDescription", L"ExcludedCompoundId", L"TypeOfSolid", L"Colour"}},
    {L"constantId", {L"avogadroConstant", L"molarGasConstant", L"BOLTZMANNCONSTANT", L"pi"}},
};
// clang-format on
constexpr double kValues[] = {0.2, 0.3, 0.5, 300, 101325, 1, 0, -1, 1e308};
constexpr double kStatuses[] = {0, 1, 2, 0, 1, 2, 0, 1, 2, 3, -1, 0.5};
constexpr ULONG kCounts[] = {1, 3, 3, 3, 2, 0, 4};
// The count of a call's lists: labels and their statuses alike, mostly.
constexpr ULONG kListCounts[] = {1, 1, 2, 2, 2, 2, 3, 3, 4, 0};
ULONG g_listCount = 1;

const wchar_t* PickWord(Random& random, const std::vector<const wchar_t*>& words) {
    return words[random.Below(random.Percent(75) ? 4u : uint32_t(words.size()))];
}

const std::vector<const wchar_t*>* WordsOf(const std::wstring& param) {
    // specification1 and 2, phaseLabels take the words of their singular.
    for (const auto& [name, words] : kWords) {
        if (param.compare(0, name.size(), name) == 0) return &words;
    }
    return nullptr;
}

// A one-dimensional array of `count` elements made by `element` (a text or a
// number): typed or of variants, mostly from 0.
template <typename Element>
Var Array(Random& random, ULONG count, Element element) {
    constexpr bool kText = std::is_same_v<std::invoke_result_t<Element, LONG>, const wchar_t*>;
    const VARTYPE vt = random.Percent(40)   ? VT_VARIANT
                       : kText              ? VT_BSTR
                       : random.Percent(80) ? VT_R8
                                            : VT_I4;
    const LONG lower = random.Percent(85) ? 0 : 1;
    Var v;
    v.vt = VT_ARRAY | vt;
    v.parray = SafeArrayCreateVector(vt, lower, count);
    for (LONG k = 0; k < LONG(count); ++k) {
        Var item;
        if constexpr (kText) {
            item = Word(element(k));
        } else {
            item.vt = VT_R8;
            item.dblVal = element(k);
        }
        LONG index = lower + k, whole = std::fabs(item.dblVal) < 2e9 ? LONG(item.dblVal) : -1;
        SafeArrayPutElement(v.parray, &index,
                            vt == VT_VARIANT ? static_cast<void*>(&item)
                            : vt == VT_BSTR  ? static_cast<void*>(item.bstrVal)
                            : vt == VT_R8    ? static_cast<void*>(&item.dblVal)
                                             : static_cast<void*>(&whole));
    }
    return v;
}

// Moves `value` into `v`, which holds nothing to free.
void Take(VARIANT* v, Var&& value) {
    *v = value;
    VariantInit(&value);
}

// By reference, as a script passes its variables: to a variant in `call`.
void ByReference(VARIANT* v, Var&& value, CallArguments& call) {
    VARIANT* target = &call.targets.emplace_back();
    Take(target, std::move(value));
    v->vt = VT_BYREF | VT_VARIANT;
    v->pvarVal = target;
}

// A value the caller left in an [in, out] result: anything a VARIANT may hold.
void OldContent(Random& random, VARIANT* v, CallArguments& call) {
    const ArgumentMaker old{&g_old, false};
    old.Fill(random, v, 0, true, call);
    const VARTYPE base = v->vt & VT_TYPEMASK;
    if (base == 15 || base == VT_VOID || base == VT_HRESULT || base == 0x7F) VariantInit(v);
}

// The parameters that take a list.
bool IsList(const std::wstring& param) {
    return param == L"phaseLabels" || param == L"props" || param == L"compIds" ||
           param.compare(0, 13, L"specification") == 0;
}

}  // namespace

void NewCall(Random& random) { g_listCount = random.Pick(kListCounts); }

bool Plausible(const std::wstring& param, bool inOut, Random& random, VARIANT* v,
               CallArguments& call) {
    VariantInit(v);
    if (inOut && param != L"source") {
        Var old;
        OldContent(random, &old, call);
        if (param == L"temperature" || param == L"pressure") {  // [in, out] double
            VARIANT* target = &call.targets.emplace_back();
            target->vt = VT_R8;
            target->dblVal = 1.5;
            v->vt = VT_BYREF | VT_R8;
            v->pdblVal = &target->dblVal;
        } else {
            ByReference(v, std::move(old), call);
        }
        return true;
    }
    const ULONG count = random.Percent(70) ? g_listCount : random.Pick(kCounts);
    if (const auto* words = WordsOf(param)) {
        auto word = [&](LONG) { return PickWord(random, *words); };
        if (param == L"phaseLabels" && random.Percent(80)) {
            // Different labels of the four phases.
            const LONG first = random.Below(4);
            Take(v, Array(random, count, [&](LONG k) { return (*words)[(first + k) % 4]; }));
        } else if (IsList(param)) {
            Take(v, Array(random, param[0] == L's' ? 3 + random.Below(2) : count, word));
        } else {
            Take(v, Word(word(0)));
        }
    } else if (param == L"phaseStatus") {
        Take(v, Array(random, count, [&](LONG) { return random.Pick(kStatuses); }));
    } else if (param == L"values" || param == L"moleNumbers") {
        // One per compound, or one.
        const ULONG values = random.Percent(50) ? 3 : random.Percent(60) ? 1 : count;
        Take(v,
             Array(random, values, [&](LONG k) { return random.Percent(90) ? kValues[k] : -1.0; }));
    } else if (param == L"temperature" || param == L"pressure") {
        v->vt = VT_R8;
        v->dblVal = random.Pick(kValues);
    } else if (param == L"fFlags") {
        v->vt = VT_I4;
        v->lVal = random.Percent(80) ? random.Below(16) : random.Percent(50) ? 16 : -1;
    } else if (param == L"source") {
        IDispatch* choices[] = {g_self, g_made, &g_stranger, nullptr};
        IDispatch* source = random.Pick(choices);
        if (source) source->AddRef();
        VARIANT* target = &call.targets.emplace_back();
        target->vt = VT_DISPATCH;
        target->pdispVal = source;
        v->vt = VT_BYREF | VT_DISPATCH;
        v->ppdispVal = &target->pdispVal;
    } else {
        return false;
    }
    if (random.Percent(15)) {
        Var value;
        std::swap<VARIANT>(value, *v);
        ByReference(v, std::move(value), call);
    }
    return true;
}

namespace {

// One vtable call's arguments, by kind in the order the operation takes them.
struct Args {
    CallArguments call;
    Var in[2];
    BSTR text[3] = {};
    double number[2] = {300, 101325};
    int flags = 0;
    IDispatch* source = nullptr;
    // Results: [in, out] variants holding old content, and [out] values.
    Var results[6];
    int nullResult = -1;  // the result passed as a NULL pointer, if any
    Var out;
    BSTR textOut = nullptr;
    LONG count = 0;
    VARIANT_BOOL flag = 0;
    IDispatch* made = nullptr;
    VARIANT* Result(int k) { return k == nullResult ? nullptr : &results[k]; }
    template <typename T>
    T* Out(T* value) {
        return nullResult == 0 ? nullptr : value;
    }
    ~Args() {
        call.RestoreLies();
        for (Var& value : in) Scrub(value);
        for (BSTR s : text) FreeText(s);
        SysFreeString(textOut);
        if (made) made->Release();
        if (source) source->Release();
    }
};

struct Operation {
    const char* name;
    std::vector<std::wstring> texts;   // its BSTR arguments' names, in order
    std::vector<std::wstring> values;  // its VARIANT arguments' names
    int results;                       // its [in, out] VARIANTs
    HRESULT (*call)(Args&);
};

#define OP(call) [](Args& x) -> HRESULT { return call; }
// clang-format off
const Operation kOps[] = {
    {"ClearAllProps", {}, {}, 0, OP(m->ClearAllProps())},
    {"CopyFromMaterial", {}, {}, 0, OP(m->CopyFromMaterial(x.Out(&x.source)))},
    {"CreateMaterial", {}, {}, 0, OP(m->CreateMaterial(x.Out(&x.made)))},
    {"GetOverallProp", {L"property", L"basis"}, {}, 1,
     OP(m->GetOverallProp(x.text[0], x.text[1], x.Result(0)))},
    {"GetOverallTPFraction", {}, {}, 1,
     OP(m->GetOverallTPFraction(x.Out(&x.number[0]), &x.number[1], x.Result(0)))},
    {"GetPresentPhases", {}, {}, 2, OP(m->GetPresentPhases(x.Result(0), x.Result(1)))},
    {"GetSinglePhaseProp", {L"property", L"phaseLabel", L"basis"}, {}, 1,
     OP(m->GetSinglePhaseProp(x.text[0], x.text[1], x.text[2], x.Result(0)))},
    {"GetTPFraction", {L"phaseLabel"}, {}, 1,
     OP(m->GetTPFraction(x.text[0], &x.number[0], x.Out(&x.number[1]), x.Result(0)))},
    {"GetTwoPhaseProp", {L"property", L"basis"}, {L"phaseLabels"}, 1,
     OP(m->GetTwoPhaseProp(x.text[0], x.in[0], x.text[1], x.Result(0)))},
    {"SetOverallProp", {L"property", L"basis"}, {L"values"}, 0,
     OP(m->SetOverallProp(x.text[0], x.text[1], x.in[0]))},
    {"SetPresentPhases", {}, {L"phaseLabels", L"phaseStatus"}, 0,
     OP(m->SetPresentPhases(x.in[0], x.in[1]))},
    {"SetSinglePhaseProp", {L"property", L"phaseLabel", L"basis"}, {L"values"}, 0,
     OP(m->SetSinglePhaseProp(x.text[0], x.text[1], x.text[2], x.in[0]))},
    {"SetTwoPhaseProp", {L"property", L"basis"}, {L"phaseLabels", L"values"}, 0,
     OP(m->SetTwoPhaseProp(x.text[0], x.in[0], x.text[1], x.in[1]))},
    {"GetCompoundConstant", {}, {L"props", L"compIds"}, 0,
     OP(c->GetCompoundConstant(x.in[0], x.in[1], x.Out(&x.out)))},
    {"GetCompoundList", {}, {}, 6, OP(c->GetCompoundList(x.Result(0), x.Result(1), x.Result(2),
                                                          x.Result(3), x.Result(4), x.Result(5)))},
    {"GetConstPropList", {}, {}, 0, OP(c->GetConstPropList(x.Out(&x.out)))},
    {"GetNumCompounds", {}, {}, 0, OP(c->GetNumCompounds(x.Out(&x.count)))},
    {"GetPDependentProperty", {}, {L"props", L"compIds"}, 1,
     OP(c->GetPDependentProperty(x.in[0], x.number[0], x.in[1], x.Result(0)))},
    {"GetPDependentPropList", {}, {}, 0, OP(c->GetPDependentPropList(x.Out(&x.out)))},
    {"GetTDependentProperty", {}, {L"props", L"compIds"}, 1,
     OP(c->GetTDependentProperty(x.in[0], x.number[0], x.in[1], x.Result(0)))},
    {"GetTDependentPropList", {}, {}, 0, OP(c->GetTDependentPropList(x.Out(&x.out)))},
    {"GetNumPhases", {}, {}, 0, OP(ph->GetNumPhases(x.Out(&x.count)))},
    {"GetPhaseInfo", {L"phaseLabel", L"phaseAttribute"}, {}, 0,
     OP(ph->GetPhaseInfo(x.text[0], x.text[1], x.Out(&x.out)))},
    {"GetPhaseList", {}, {}, 3, OP(ph->GetPhaseList(x.Result(0), x.Result(1), x.Result(2)))},
    {"GetUniversalConstant", {L"constantId"}, {}, 0,
     OP(u->GetUniversalConstant(x.text[0], x.Out(&x.out)))},
    {"GetUniversalConstantList", {}, {}, 0, OP(u->GetUniversalConstantList(x.Out(&x.out)))},
    {"CalcAndGetLnPhi", {L"phaseLabel"}, {L"moleNumbers"}, 4,
     OP(pr->CalcAndGetLnPhi(x.text[0], x.number[0], x.number[1], x.in[0], x.flags, x.Result(0),
                            x.Result(1), x.Result(2), x.Result(3)))},
    {"CalcSinglePhaseProp", {L"phaseLabel"}, {L"props"}, 0,
     OP(pr->CalcSinglePhaseProp(x.in[0], x.text[0]))},
    {"CalcTwoPhaseProp", {}, {L"props", L"phaseLabels"}, 0,
     OP(pr->CalcTwoPhaseProp(x.in[0], x.in[1]))},
    {"CheckSinglePhasePropSpec", {L"property", L"phaseLabel"}, {}, 0,
     OP(pr->CheckSinglePhasePropSpec(x.text[0], x.text[1], x.Out(&x.flag)))},
    {"CheckTwoPhasePropSpec", {L"property"}, {L"phaseLabels"}, 0,
     OP(pr->CheckTwoPhasePropSpec(x.text[0], x.in[0], x.Out(&x.flag)))},
    {"GetSinglePhasePropList", {}, {}, 0, OP(pr->GetSinglePhasePropList(x.Out(&x.out)))},
    {"GetTwoPhasePropList", {}, {}, 0, OP(pr->GetTwoPhasePropList(x.Out(&x.out)))},
    {"CalcEquilibrium", {L"solutionType"}, {L"specification1", L"specification2"}, 0,
     OP(er->CalcEquilibrium(x.in[0], x.in[1], x.text[0]))},
    {"CheckEquilibriumSpec", {L"solutionType"}, {L"specification1", L"specification2"}, 0,
     OP(er->CheckEquilibriumSpec(x.in[0], x.in[1], x.text[0], x.Out(&x.flag)))},
    {"get_ComponentName", {}, {}, 0, OP(id->get_ComponentName(x.Out(&x.textOut)))},
    {"put_ComponentName", {L"name"}, {}, 0, OP(id->put_ComponentName(x.text[0]))},
    {"get_ComponentDescription", {}, {}, 0, OP(id->get_ComponentDescription(x.Out(&x.textOut)))},
    {"put_ComponentDescription", {L"desc"}, {}, 0, OP(id->put_ComponentDescription(x.text[0]))},
    {"ECapeRoot.name", {}, {}, 0, OP(eroot->get_name(x.Out(&x.textOut)))},
    {"ECapeUser.code", {}, {}, 0, OP(euser->get_code(x.Out(&x.count)))},
    {"ECapeUser.description", {}, {}, 0, OP(euser->get_description(x.Out(&x.textOut)))},
    {"ECapeUser.scope", {}, {}, 0, OP(euser->get_scope(x.Out(&x.textOut)))},
    {"ECapeUser.interfaceName", {}, {}, 0, OP(euser->get_interfaceName(x.Out(&x.textOut)))},
    {"ECapeUser.operation", {}, {}, 0, OP(euser->get_operation(x.Out(&x.textOut)))},
    {"ECapeUser.moreInfo", {}, {}, 0, OP(euser->get_moreInfo(x.Out(&x.textOut)))},
    {"ECapeBadArgument.position", {}, {}, 0,
     OP(ebad->get_position(reinterpret_cast<short*>(x.Out(&x.count))))},
    {"ECapeBadInvOrder.requestedOperation", {}, {}, 0,
     OP(eorder->get_requestedOperation(x.Out(&x.textOut)))},
};
// clang-format on

// The operations drawn more often than once in the table's turn: the state's,
// so that values are stored and read back between the clearing calls.
const std::pair<std::string_view, int> kOften[] = {
    {"SetPresentPhases", 10}, {"SetOverallProp", 4}, {"SetSinglePhaseProp", 8},
    {"SetTwoPhaseProp", 4},   {"GetOverallProp", 4}, {"GetSinglePhaseProp", 6},
    {"GetTwoPhaseProp", 3},   {"GetTPFraction", 3},  {"GetOverallTPFraction", 2}};

// Operation indexes, each as often as it is drawn.
const std::vector<size_t>& Draws() {
    static const std::vector<size_t> draws = [] {
        std::vector<size_t> made;
        for (size_t op = 0; op < std::size(kOps); ++op) {
            int times = 1;
            for (const auto& [name, often] : kOften) times = name == kOps[op].name ? often : times;
            made.insert(made.end(), size_t(times), op);
        }
        return made;
    }();
    return draws;
}

BSTR NewText(const std::wstring& param, Random& random, bool huge) {
    if (huge) return SysAllocString(std::wstring(100000, L'x').c_str());
    const auto* words = WordsOf(param);
    if (words && random.Percent(85)) return SysAllocString(PickWord(random, *words));
    return ArgumentMaker{&g_stranger}.NewBstr(random);
}

}  // namespace

void Attach(IUnknown* object) {
    object->QueryInterface(IID_PPV_ARGS(&g_self));
    object->QueryInterface(IID_PPV_ARGS(&m));
    object->QueryInterface(IID_PPV_ARGS(&c));
    object->QueryInterface(IID_PPV_ARGS(&ph));
    object->QueryInterface(IID_PPV_ARGS(&u));
    object->QueryInterface(IID_PPV_ARGS(&pr));
    object->QueryInterface(IID_PPV_ARGS(&er));
    object->QueryInterface(IID_PPV_ARGS(&id));
    object->QueryInterface(IID_PPV_ARGS(&eroot));
    object->QueryInterface(IID_PPV_ARGS(&euser));
    object->QueryInterface(IID_PPV_ARGS(&ebad));
    object->QueryInterface(IID_PPV_ARGS(&eorder));
}

void Detach() {
    for (IUnknown* face : std::initializer_list<IUnknown*>{g_self, m, c, ph, u, pr, er, id, eroot,
                                                           euser, ebad, eorder, g_made}) {
        if (face) face->Release();
    }
    g_made = nullptr;
}

size_t Operations() { return std::size(kOps); }

std::string FailureProblem(HRESULT hr, BSTR source, BSTR description) {
    if (hr < static_cast<HRESULT>(0x80040501) || hr > static_cast<HRESULT>(0x8004051A))
        return "no CAPE-OPEN error: " + Hex(hr);
    // Only a failing report raises ECapeUnknown, and the report is fine here.
    if (hr == static_cast<HRESULT>(0x80040501))
        return "ECapeUnknown: " + Describe(description) + ", an argument no check refused";
    if (!source || std::wstring(source) != L"Korvid.Material" || !description || !*description)
        return "the source is not Korvid.Material or the description is empty";
    LONG code = 0;
    if (euser->get_code(&code) != S_OK || code != hr)
        return "the error record holds " + Hex(code) + ", not " + Hex(hr);
    return "";
}

void VtableCall(uint64_t seed, LONG index, bool huge) {
    Random random = RandomOf(seed, index);
    const ArgumentMaker maker{&g_stranger};
    const size_t op = huge ? size_t(index) : Draws()[random.Below(uint32_t(Draws().size()))];
    const Operation& operation = kOps[op];
    NewCall(random);
    Args x;
    for (size_t k = 0; k < operation.texts.size(); ++k)
        x.text[k] = NewText(operation.texts[k], random, huge);
    for (size_t k = 0; k < operation.values.size(); ++k) {
        const std::wstring& param = operation.values[k];
        if (huge) {
            x.in[k] = WordsOf(param) ? Names(std::vector<std::wstring>(100000, L"Vapor"))
                                     : Numbers(std::vector<double>(100000, 1.25));
        } else if (!random.Percent(85) || !Plausible(param, false, random, &x.in[k], x.call)) {
            maker.Fill(random, &x.in[k], 0, true, x.call);
        }
    }
    for (int k = 0; k < operation.results; ++k) OldContent(random, &x.results[k], x.call);
    x.number[0] = random.Percent(80) ? 300 : random.Pick(kValues);
    x.flags = random.Percent(80) ? int(random.Below(16)) : int(random());
    if (random.Percent(80)) {
        IDispatch* choices[] = {g_self, g_made, &g_stranger, nullptr};
        x.source = random.Pick(choices);
        if (x.source) x.source->AddRef();
    }
    if (random.Percent(3)) x.nullResult = int(random.Below(std::max(operation.results, 1)));

    g_call = std::to_string(index) + " " + operation.name + " (";
    for (size_t k = 0; k < operation.texts.size(); ++k)
        g_call += (k ? ", " : "") + Describe(x.text[k]);
    for (size_t k = 0; k < operation.values.size(); ++k)
        g_call += (k || operation.texts.size() ? ", " : "") + Describe(x.in[k]);
    for (int k = 0; k < operation.results; ++k) g_call += "; old " + Describe(x.results[k]);
    g_call +=
        ")" + std::string(x.nullResult >= 0 ? " null result " + std::to_string(x.nullResult) : "");
    InterlockedExchange(&g_index, index);

    const LONG refs = g_stranger.refs;
    const HRESULT hr = operation.call(x);
    if (hr == E_NOTIMPL || (hr != S_OK && !FAILED(hr))) Fail("result " + Hex(hr));
    if (FAILED(hr) && hr != E_POINTER) {
        IErrorInfo* info = nullptr;
        BSTR source = nullptr, description = nullptr;
        if (GetErrorInfo(0, &info) == S_OK) {
            info->GetSource(&source);
            info->GetDescription(&description);
            info->Release();
        }
        const std::string problem = FailureProblem(hr, source, description);
        if (!problem.empty()) Fail(problem);
        SysFreeString(source);
        SysFreeString(description);
        for (int k = 0; k < operation.results; ++k) {
            if (x.results[k].vt != VT_EMPTY)
                Fail("[in, out] result " + std::to_string(k) + " left " + Describe(x.results[k]));
        }
    }
    if (FAILED(hr) && (x.out.vt != VT_EMPTY || x.textOut || x.made))
        Fail("a failed call answered a result");
    if (FAILED(hr) && g_stranger.refs > refs)
        Fail("a failed call kept references to an object passed in");
    if (x.made) std::swap(x.made, g_made);  // the older one goes with x
    ++g_outcomes["vtable " + Hex(hr)];
    if (hr == S_OK) ++g_outcomes[std::string("vtable S_OK: ") + operation.name];
    SetErrorInfo(0, nullptr);
}

}  // namespace korvid::fuzz::material
