// CalcProp, CalcEquilibrium, the independent variables, copyVariant and
// displayRetVal.
#include <gtest/gtest.h>

#include "tests/unit/operation_fixture.h"

namespace korvid::testing {
namespace {

using material_object::PropertyStore;
using material_object::Tessel;

class CalculationTest : public OperationTest {};

constexpr double kSeventh = 1.0 / 7;

TEST_F(CalculationTest, CalcEquilibriumWritesTheMoleBasisOfEveryPhaseAndComponent) {
    // Which mole-basis cells a case leaves written.
    using Written = std::function<bool(int phase, int comp)>;
    struct Case {
        const char* what;
        std::wstring report;
        std::function<void(Tessel&)> change;
        std::function<com::Variant()> props;
        int error;
        Written written;
    };
    auto names = [] { return StringArray({L"temperature", L"pressure"}); };
    auto same = [](Tessel&) {};
    const Written all = [](int, int) { return true; };
    const Written none = [](int, int) { return false; };
    const Case cases[] = {
        {"all cells", L"ops", same, names, 0, all},
        {"client list longer than the store", L"", [](Tessel& t) {
             t.m_componentIDs = StringArray({L"a", L"b", L"c", L"d"});
         }, names, 9, [](int phase, int) { return phase == 0; }},
        {"client list from index 1", L"", [](Tessel& t) {
             t.m_componentIDs = StringArray({L"a", L"b"}, 1);
         }, names, 0, [](int, int comp) { return comp >= 1; }},
        {"client list that is no list", L"", [](Tessel& t) { t.m_componentIDs = Txt(L"a"); },
         names, 13, none},
        {"a number in props while reporting", L"ops", same,
         [] { return VariantArray(VariantList(Txt(L"a"), Num(1))); }, 13, none},
        {"a number in props, reporting off", L"", same,
         [] { return VariantArray(VariantList(Txt(L"a"), Num(1))); }, 0, all},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        auto tessel = NewTessel(c.report);
        c.change(*tessel);
        com::Variant props = c.props();
        EXPECT_EQ(ErrorOf([&] { tessel->ICapeThermoMaterialObject_CalcEquilibrium(L"TP", *props); }),
                  c.error);
        const PropertyStore& store = tessel->Store();
        for (int phase = 0; phase < 8; ++phase) {
            for (int comp = 0; comp < 3; ++comp) {
                const bool written = c.written(phase, comp);
                EXPECT_EQ(store.Cell(PropertyStore::kTemperature, phase, comp, 0),
                          written ? 888.888 : 273.15) << phase << "," << comp;
                EXPECT_EQ(store.Cell(PropertyStore::kPhaseFraction, phase, comp, 0),
                          written ? kSeventh : 0.0) << phase << "," << comp;
                EXPECT_EQ(store.Cell(PropertyStore::kTemperature, phase, comp, 1), 273.15);
                EXPECT_EQ(store.Cell(PropertyStore::kPhaseFraction, phase, comp, 1), 0.0);
            }
        }
    }
    // The loop members end where the loops over phases and components end.
    auto tessel = NewTessel(L"");
    tessel->ICapeThermoMaterialObject_CalcEquilibrium(L"TP", *com::Variant());
    EXPECT_EQ(tessel->i, 8);
    EXPECT_EQ(tessel->j, 3);
}

// One step of an independent-variable scenario: a SetIndependentVar (when
// `set` is given) or a GetIndependentVar.
struct IndStep {
    std::function<com::Variant()> set;
    std::function<com::Variant()> values;
    int error = 0;
    std::function<com::Variant()> get = nullptr;
    std::vector<double> expected = {};
};

TEST_F(CalculationTest, IndependentVariablesLiveInTwoSlotsByPosition) {
    auto names = [](std::vector<std::wstring> n) { return [n] { return StringArray(n); }; };
    auto numbers = [](std::vector<double> v) { return [v] { return DoubleArray(v); }; };
    auto get = [](std::vector<std::wstring> n, std::vector<double> expected) {
        return IndStep{nullptr, nullptr, 0, [n] { return StringArray(n); }, expected};
    };
    struct Scenario {
        const char* what;
        std::vector<IndStep> steps;
    };
    const Scenario scenarios[] = {
        {"initial slots", {get({L"TEMPERATURE", L"PRESSURE"}, {-1, -1}),
                           get({L"temperature"}, {0})}},
        {"both set", {{names({L"TEMPERATURE", L"PRESSURE"}), numbers({300, 200000}), 0},
                      get({L"PRESSURE", L"TEMPERATURE"}, {200000, 300})}},
        {"name kept as passed", {{names({L"temperature"}), numbers({300}), 0},
                                 get({L"temperature"}, {300}), get({L"TEMPERATURE"}, {-1})}},
        {"slot 1 answers last", {{names({L"TEMPERATURE"}), numbers({300}), 0},
                                 get({L"TEMPERATURE", L"PRESSURE"}, {-1, 0})}},
        {"third accepted name", {{names({L"PRESSURE", L"TEMPERATURE", L"VOLUME"}),
                                  numbers({1, 2, 3}), 9},
                                 get({L"PRESSURE", L"TEMPERATURE", L"VOLUME"}, {1, 2, 0})}},
        {"names outside the table", {{names({L"kvalues", L"nonsense"}), numbers({1, 2}), 0},
                                     get({L"PRESSURE", L"kvalues"}, {-1, 0})}},
        {"a value that is no number", {{names({L"x", L"Flow"}),
                                        [] { return StringArray({L"1", L"abc"}); }, 13},
                                       get({L"PRESSURE", L"Flow"}, {-1, -1})}},
        {"numeric texts convert", {{names({L"Mass"}), [] { return StringArray({L"2.5"}); }, 0},
                                   get({L"Mass"}, {2.5})}},
        // The name is stored before its value fails.
        {"values not a list", {{names({L"MASS"}), [] { return Num(3); }, 13},
                               get({L"MASS", L"PRESSURE"}, {-1, 0})}},
        {"indVars not a list", {{[] { return Txt(L"PRESSURE"); }, [] { return Num(3); }, 13},
                                get({L"PRESSURE"}, {-1})}},
        {"lists from index 1", {{[] { return StringArray({L"ENTROPY"}, 1); },
                                 [] { return DoubleArray({7}, 1); }, 0},
                                get({L"ENTROPY"}, {7})}},
        {"get from index 2", {{nullptr, nullptr, 0, [] { return StringArray({L"PRESSURE"}, 2); },
                               {0, 0, -1}}}},
        {"get a number", {{nullptr, nullptr, 0,
                           [] { return VariantArray(VariantList(Num(1), Txt(L"PRESSURE"))); },
                           {0, -1}}}},
        {"get a single name", {{nullptr, nullptr, 0, [] { return Txt(L"TEMPERATURE"); }, {-1}}}},
    };
    for (const Scenario& s : scenarios) {
        SCOPED_TRACE(s.what);
        auto tessel = NewTessel(L"");
        for (const IndStep& step : s.steps) {
            if (step.set) {
                com::Variant indVars = step.set(), values = step.values();
                EXPECT_EQ(ErrorOf([&] {
                    tessel->ICapeThermoMaterialObject_SetIndependentVar(*indVars, *values);
                }), step.error);
                continue;
            }
            com::Variant indVars = step.get();
            com::Variant result = tessel->ICapeThermoMaterialObject_GetIndependentVar(*indVars);
            EXPECT_EQ(result.vt(), VT_ARRAY | VT_R8);
            EXPECT_EQ(Doubles(*result), step.expected);
        }
    }
}

TEST_F(CalculationTest, EmptyIndVarsAnswerTheSlotThatTheLoopMemberJHolds) {
    auto tessel = NewTessel(L"");
    com::Variant indVars = StringArray({L"TEMPERATURE", L"PRESSURE"});
    com::Variant values = DoubleArray({5, 6});
    tessel->ICapeThermoMaterialObject_SetIndependentVar(*indVars, *values);
    const std::pair<int32_t, double> cases[] = {{0, 5}, {1, 6}, {2, 0}, {-1, 0}, {3, 0}};
    for (const auto& [j, value] : cases) {
        SCOPED_TRACE(j);
        tessel->j = j;
        com::Variant result = tessel->ICapeThermoMaterialObject_GetIndependentVar(*com::Variant());
        EXPECT_EQ(Doubles(*result), std::vector<double>(3, value));
    }
    tessel->ICapeThermoMaterialObject_GetIndependentVar(*indVars);
    EXPECT_EQ(tessel->j, 2) << "the slot loop leaves j after slot 1";
}

TEST_F(CalculationTest, CalculationOperationsTraceExactly) {
    struct Case {
        const char* what;
        std::function<void(Tessel&)> call;
        std::wstring header;
        std::vector<std::wstring> lines;
    };
    const Case cases[] = {
        {"CalcProp",
         [](Tessel& t) {
             t.ICapeThermoMaterialObject_CalcProp(*StringArray({L"a"}), *Num(1), L"Mixture");
         },
         L"ICapeThermoMaterialObject_CalcProp", {}},
        {"CalcEquilibrium",
         [](Tessel& t) {
             t.ICapeThermoMaterialObject_CalcEquilibrium(L"TP", *StringArray({L"x", L"y"}));
         },
         L"ICapeThermoMaterialObject_CalcEquilibrium",
         {L"\tflashType\tprops", L"\tTP\tx", L"\tTP\ty"}},
        {"CalcEquilibrium, props no list",
         [](Tessel& t) { t.ICapeThermoMaterialObject_CalcEquilibrium(L"PH", *com::Variant()); },
         L"ICapeThermoMaterialObject_CalcEquilibrium", {L"\tflashType\tprops", L"\tPH\t"}},
        {"SetIndependentVar",
         [](Tessel& t) {
             t.ICapeThermoMaterialObject_SetIndependentVar(*StringArray({L"TEMPERATURE", L"q"}),
                                                           *DoubleArray({300.5, -2e-7}));
         },
         L"ICapeThermoMaterialObject_SetIndependent",
         {L"\tIndVars\tTEMPERATURE", L"\tvalues\t300.5", L"\tIndVars\tq", L"\tvalues\t-2E-07"}},
        {"SetIndependentVar, a text value of a skipped name",
         [](Tessel& t) {
             t.ICapeThermoMaterialObject_SetIndependentVar(*StringArray({L"x"}),
                                                           *StringArray({L"abc"}));
         },
         L"ICapeThermoMaterialObject_SetIndependent", {L"\tIndVars\tx", L"\tvalues\tabc"}},
        {"SetIndependentVar, no list: lines, then error 13",
         [](Tessel& t) {
             EXPECT_EQ(ErrorOf([&] {
                 t.ICapeThermoMaterialObject_SetIndependentVar(*Txt(L"PRESSURE"), *Num(4));
             }), 13);
         },
         L"ICapeThermoMaterialObject_SetIndependent",
         {L"\tIndVars\tPRESSURE", L"\tvalues\t4"}},
        {"GetIndependentVar, a number skipped",
         [](Tessel& t) {
             t.ICapeThermoMaterialObject_GetIndependentVar(
                 *VariantArray(VariantList(Txt(L"TEMPERATURE"), Num(2), Txt(L"PRESSURE"))));
         },
         L"ICapeThermoMaterialObject_GetIndependentVar",
         {L"\tIndVar\tTEMPERATURE", L"\tIndVar\tPRESSURE"}},
        {"displayRetVal",
         [](Tessel& t) {
             com::Variant r4;
             r4.get()->vt = VT_R4;
             r4.get()->fltVal = 1.1f;
             com::Variant values = VariantArray(VariantList(
                 Num(1.5), Num(-2), Num(0), Num(1e20), Num(-0.25), std::move(r4), Txt(L"abc"),
                 com::Variant(), StringArray({L"nested"})));
             EXPECT_EQ(t.displayRetVal(values.get()).vt(), VT_EMPTY);
             EXPECT_EQ(t.i, 9);
         },
         L"", {L"\tReturned values:", L"\t\t 1.5", L"\t\t-2", L"\t\t 0", L"\t\t 1E+20",
               L"\t\t-0.25", L"\t\t 1.1", L"\t\tabc", L"\t\t", L"\t\t"}},
        {"displayRetVal, no list",
         [](Tessel& t) { t.displayRetVal(Num(3).get()); }, L"", {L"\tReturned values:"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        {
            auto tessel = NewTessel();
            c.call(*tessel);
        }
        EXPECT_EQ(ReportLines(L"ops"), c.header.empty() ? c.lines : Block(c.header, c.lines));
    }
}

TEST_F(CalculationTest, DisplayedNumbersUseAPointInEveryLocale) {
    platform::ScriptedPlatform german(0x0407);
    platform::ScopedPlatform scope(german);
    const std::tuple<double, const wchar_t*, const wchar_t*> cases[] = {
        {1.5, L" 1.5", L"1,5"}, {-1234.5, L"-1234.5", L"-1234,5"}, {0.125, L" 0.125", L"0,125"}};
    for (const auto& [value, shown, general] : cases) {
        EXPECT_EQ(com::StrNumberText(*Num(value)), std::wstring(shown));
        EXPECT_EQ(german.FormatNumber(value), general) << "while the locale uses its comma";
    }
    EXPECT_FALSE(com::StrNumberText(*Txt(L"1.5")).has_value()) << "texts are no numbers";
}

TEST_F(CalculationTest, CopyVariantMakesAnIndependentCopy) {
    auto tessel = NewTessel(L"");
    com::Variant original = VariantArray(VariantList(Txt(L"a"), StringArray({L"inner"})));
    com::Variant copy = tessel->copyVariant(*original);
    ASSERT_EQ(copy.vt(), VT_ARRAY | VT_VARIANT);
    EXPECT_NE(copy->parray, original->parray);
    // Change the nested array of the original: the copy keeps its own.
    VARIANT* elements = nullptr;
    SafeArrayAccessData(original->parray, reinterpret_cast<void**>(&elements));
    VariantClear(&elements[1]);
    SafeArrayUnaccessData(original->parray);
    auto array = com::ArrayArg::Of(*copy);
    EXPECT_EQ(Strings(*array->Element(1)), std::vector<std::wstring>{L"inner"});

    // A by-reference argument is copied as the value it points at.
    com::Variant names = StringArray({L"x", L"y"});
    VARIANT byRef;
    byRef.vt = VT_BYREF | VT_ARRAY | VT_BSTR;
    byRef.pparray = &names.get()->parray;
    com::Variant fromRef = tessel->copyVariant(byRef);
    EXPECT_EQ(fromRef.vt(), VT_ARRAY | VT_BSTR);
    EXPECT_NE(fromRef->parray, names->parray);
    EXPECT_EQ(Strings(*fromRef), (std::vector<std::wstring>{L"x", L"y"}));
}

}  // namespace
}  // namespace korvid::testing

namespace korvid::testing {
namespace {

// Arguments no client should pass, each a VARIANT the operations must survive.
std::vector<std::pair<const char*, std::function<com::Variant()>>> OddArguments() {
    auto typed = [](VARTYPE vt) {
        com::Variant v;
        v.get()->vt = vt;
        return v;
    };
    return {
        {"Empty", [] { return com::Variant(); }},
        {"Null", [typed] { return typed(VT_NULL); }},
        {"missing", [typed] {
             com::Variant v = typed(VT_ERROR);
             v.get()->scode = DISP_E_PARAMNOTFOUND;
             return v;
         }},
        {"null object", [typed] { return typed(VT_DISPATCH); }},
        {"typed array without array", [typed] { return typed(VT_ARRAY | VT_BSTR); }},
        {"two dimensions", [] {
             SAFEARRAYBOUND bounds[2] = {{2, 0}, {2, 0}};
             com::Variant v;
             v.get()->parray = SafeArrayCreate(VT_BSTR, 2, bounds);
             v.get()->vt = VT_ARRAY | VT_BSTR;
             return v;
         }},
        {"bounds near the top", [] { return StringArray({L"TEMPERATURE", L"a"}, 0x7FFFFFFD); }},
        {"negative bounds", [] { return StringArray({L"TEMPERATURE", L"PRESSURE"}, -5); }},
        {"no element", [] { return StringArray({}); }},
        {"nested arrays and objects", [typed] {
             return VariantArray(VariantList(StringArray({L"x"}), typed(VT_DISPATCH), typed(VT_NULL)));
         }},
        {"by reference", [] {
             static com::Variant target;
             target = StringArray({L"TEMPERATURE"});
             com::Variant v;
             v.get()->vt = VT_BYREF | VT_VARIANT;
             v.get()->pvarVal = target.get();
             return v;
         }},
    };
}

TEST_F(CalculationTest, OddArgumentsNeverCrashOrEscapeAsAnythingButARaisedError) {
    using Call = std::function<void(Tessel&, const VARIANT&)>;
    const std::pair<const char*, Call> neverFail[] = {
        {"GetComponentConstant props", [](Tessel& t, const VARIANT& v) {
             t.ICapeThermoMaterialObject_GetComponentConstant(v, *com::Variant()); }},
        {"GetComponentConstant ids", [](Tessel& t, const VARIANT& v) {
             t.ICapeThermoMaterialObject_GetComponentConstant(*StringArray({L"parachor"}), v); }},
        {"GetUniversalConstant", [](Tessel& t, const VARIANT& v) {
             t.ICapeThermoMaterialObject_GetUniversalConstant(v); }},
        {"GetIndependentVar", [](Tessel& t, const VARIANT& v) {
             t.ICapeThermoMaterialObject_GetIndependentVar(v); }},
        {"PropCheck", [](Tessel& t, const VARIANT& v) { t.ICapeThermoMaterialObject_PropCheck(v); }},
        {"copyVariant", [](Tessel& t, const VARIANT& v) { t.copyVariant(v); }},
    };
    const std::pair<const char*, Call> mayRaise[] = {
        {"CalcEquilibrium", [](Tessel& t, const VARIANT& v) {
             t.ICapeThermoMaterialObject_CalcEquilibrium(L"TP", v); }},
        {"SetIndependentVar names", [](Tessel& t, const VARIANT& v) {
             t.ICapeThermoMaterialObject_SetIndependentVar(v, *DoubleArray({1, 2})); }},
        {"SetIndependentVar values", [](Tessel& t, const VARIANT& v) {
             t.ICapeThermoMaterialObject_SetIndependentVar(*StringArray({L"PRESSURE"}), v); }},
        {"displayRetVal", [](Tessel& t, const VARIANT& v) {
             com::Variant copy = com::Variant::CopyOf(v);
             t.displayRetVal(copy.get()); }},
        {"ComponentIds over client names", [](Tessel& t, const VARIANT& v) {
             t.m_compNames = com::Variant::CopyOf(v);
             t.ICapeThermoMaterialObject_ComponentIds(); }},
    };
    for (const wchar_t* report : {L"ops", L""}) {
        auto tessel = NewTessel(report);
        for (const auto& [argName, make] : OddArguments()) {
            com::Variant arg = make();
            for (const auto& [what, call] : neverFail) {
                SCOPED_TRACE(std::string(what) + " with " + argName);
                EXPECT_NO_THROW(call(*tessel, *arg));
            }
            for (const auto& [what, call] : mayRaise) {
                SCOPED_TRACE(std::string(what) + " with " + argName);
                try {
                    call(*tessel, *arg);
                } catch (const RaisedError&) {
                }
            }
        }
    }
}

}  // namespace
}  // namespace korvid::testing
