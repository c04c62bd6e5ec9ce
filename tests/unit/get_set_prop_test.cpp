// SetProp and GetProp: what is stored and returned, the refusals in their
// order, the component-mismatch message box, and the loop members.
#include <gtest/gtest.h>

#include "material_object/trace_report.h"
#include "tests/unit/props_fixture.h"

namespace korvid::testing::props {
namespace {

using Values = std::vector<double>;
using Names = std::vector<std::wstring>;

// compIds of a call: none (Empty) or a list of identifiers.
com::Variant Ids(const Names* ids) { return ids ? StringArray(*ids) : com::Variant(); }

class GetSetPropTest : public TesselTest {
protected:
    void SetUp() override { Create(); }

    void Set(const std::wstring& property, const std::wstring& phase, const Values& values,
             const std::wstring& basis = L"", const Names* ids = nullptr) {
        tessel_->ICapeThermoMaterialObject_SetProp(property, phase, *Ids(ids), L"", basis,
                                                   *DoubleArray(values));
    }
    Values Get(const std::wstring& property, const std::wstring& phase,
               const std::wstring& basis = L"", const Names* ids = nullptr) {
        com::Variant result =
            tessel_->ICapeThermoMaterialObject_GetProp(property, phase, *Ids(ids), L"", basis);
        EXPECT_EQ(result.vt(), VT_ARRAY | VT_R8);
        EXPECT_EQ(com::ArrayArg::Of(*result)->Lower(), 0);
        return Doubles(*result);
    }
};

TEST_F(GetSetPropTest, AFreshObjectAnswersTheInitialStore) {
    const Names water{L"Water"};
    struct Case {
        const char* what;
        const wchar_t* property;
        const wchar_t* phase;
        const wchar_t* basis;
        const Names* ids;
        Values expected;
    } cases[] = {
        {"temperature: one value", L"temperature", L"overall", L"mole", nullptr, {273.15}},
        {"pressure on the mass basis", L"Pressure", L"solid", L"MASS", nullptr, {101325.0}},
        {"per-component key", L"fugacity", L"liquid", L"", nullptr, {0, 0, 0}},
        {"one-value key", L"phasefraction", L"", L"moles", nullptr, {0}},
        {"compIds selects nothing", L"temperature", L"VaporLiquid", L"", &water, {273.15}},
        {"per-component derivative",
         L"VaporPressure.DTemperature",
         L"vapor",
         L"",
         nullptr,
         {0, 0, 0}},
        {"one-value derivative", L"HeatCapacity.DTemperature", L"vapor", L"", nullptr, {0}},
        {"global variable spelling", L"FRACTION", L"vapor", L"", nullptr, {0, 0, 0}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Get(c.property, c.phase, c.basis, c.ids), c.expected) << c.what;
    }
}

TEST_F(GetSetPropTest, WhatSetPropStoresGetPropReturns) {
    const Names last{L"Water"};
    const Names second{L"Ethane"};
    struct Case {
        const char* what;
        const wchar_t* setProperty;
        const wchar_t* setPhase;
        const wchar_t* setBasis;
        const Names* setIds;
        Values values;
        const wchar_t* getProperty;
        const wchar_t* getPhase;
        const wchar_t* getBasis;
        Values expected;
    } cases[] = {
        {"empty phase and basis default",
         L"temperature",
         L"",
         L"",
         nullptr,
         {350},
         L"TEMPERATURE",
         L"overall",
         L"mole",
         {350}},
        {"per component in order",
         L"fraction",
         L"vapor",
         L"mole",
         nullptr,
         {.2, .3, .5},
         L"fraction",
         L"VAPOR",
         L"",
         {.2, .3, .5}},
        {"other basis untouched",
         L"fraction",
         L"vapor",
         L"mole",
         nullptr,
         {.2, .3, .5},
         L"fraction",
         L"vapor",
         L"mass",
         {0, 0, 0}},
        {"other phase untouched",
         L"fraction",
         L"vapor",
         L"mole",
         nullptr,
         {.2, .3, .5},
         L"fraction",
         L"liquid",
         L"",
         {0, 0, 0}},
        {"one value for all",
         L"Fraction",
         L"vapor",
         L"",
         nullptr,
         {0.5},
         L"fraction",
         L"vapor",
         L"moles",
         {.5, .5, .5}},
        {"compIds never selects",
         L"fraction",
         L"vapor",
         L"mass",
         &second,
         {1, 2, 3},
         L"fraction",
         L"vapor",
         L"MASS",
         {1, 2, 3}},
        {"one-value key gives the first component",
         L"temperature",
         L"liquid",
         L"",
         nullptr,
         {300, 310, 320},
         L"temperature",
         L"liquid",
         L"",
         {300}},
        {"single value read with compIds",
         L"viscosity",
         L"",
         L"",
         &last,
         {0.001},
         L"viscosity",
         L"overall",
         L"",
         {0.001}},
        {"keys differ only in case",
         L"VAPORPRESSURE",
         L"solid",
         L"",
         nullptr,
         {1, 2, 3},
         L"vaporPressure",
         L"solid",
         L"",
         {1, 2, 3}},
        {"a derivative has its own slot",
         L"vaporPressure",
         L"solid",
         L"",
         nullptr,
         {1, 2, 3},
         L"VaporPressure.DTemperature",
         L"solid",
         L"",
         {0, 0, 0}},
        {"pressure derivative is a key",
         L"vaporPressure.DPressure",
         L"LiquidLiquid",
         L"",
         nullptr,
         {4, 5, 6},
         L"VAPORPRESSURE.DPRESSURE",
         L"liquidliquid",
         L"",
         {4, 5, 6}},
        {"no elements change nothing",
         L"kvalues",
         L"",
         L"",
         nullptr,
         {},
         L"kvalues",
         L"",
         L"",
         {0, 0, 0}},
    };
    for (const Case& c : cases) {
        ResetModule();
        Create();
        Set(c.setProperty, c.setPhase, c.values, c.setBasis, c.setIds);
        EXPECT_EQ(Get(c.getProperty, c.getPhase, c.getBasis), c.expected) << c.what;
    }
}

TEST_F(GetSetPropTest, RefusalsComeInTheOrderPropertyPhaseComponentsBasisSlot) {
    const Names unknown{L"Propane"};
    const Names known{L"Methane"};
    struct Case {
        const char* what;
        const wchar_t* property;
        const wchar_t* phase;
        const Names* ids;
        const wchar_t* basis;
        int number;
        std::wstring description;  // {op} stands for SetProp or GetProp
    } cases[] = {
        {"name without its blank", L"jouleThomsonCoefficient", L"", nullptr, L"", 1,
         L"jouleThomsonCoefficient is not supported by this material object"},
        {"empty property", L"", L"", nullptr, L"", 1, L" is not supported by this material object"},
        {"property first of all", L"bogus", L"gas", &unknown, L"weight", 1,
         L"bogus is not supported by this material object"},
        {"seventh phase", L"fraction", L"GasLiquid", nullptr, L"", 1,
         L"GasLiquid is not supported by this material object"},
        {"phase before components", L"fraction", L"plasma", &unknown, L"weight", 1,
         L"plasma is not supported by this material object"},
        {"components before basis", L"fraction", L"vapor", &unknown, L"weight", 1,
         L"Error from Korvid.ICapeThermoMaterialObject.{op}: Invalid Components."},
        {"basis", L"fraction", L"vapor", &known, L"weight", 1,
         L"weight is not a valid BASIS for this material Object."},
        {"basis before the slot", L"density", L"", nullptr, L"kg", 1,
         L"kg is not a valid BASIS for this material Object."},
        {"derivative without a slot", L"meltingPressure.DPressure", L"", nullptr, L"", 2,
         L"Invalid Call to the Material Object. meltingPressure.DPressure is not administered by "
         L"the MO"},
        {"global variable without a slot", L"density", L"", nullptr, L"", 2,
         L"Invalid Call to the Material Object. density is not administered by the MO"},
        {"MOLE", L"MOLE", L"", nullptr, L"", 2,
         L"Invalid Call to the Material Object. MOLE is not administered by the MO"},
        {"state key derivative", L"temperature.DPressure", L"", nullptr, L"", 2,
         L"Invalid Call to the Material Object. temperature.DPressure is not administered by the "
         L"MO"},
    };
    for (const Case& c : cases) {
        for (bool set : {true, false}) {
            const std::wstring op = set ? L"SetProp" : L"GetProp";
            const RaisedError e = Catch([&] {
                if (set) {
                    Set(c.property, c.phase, {1, 2, 3}, c.basis, c.ids);
                } else {
                    Get(c.property, c.phase, c.basis, c.ids);
                }
            });
            std::wstring description = c.description;
            if (auto at = description.find(L"{op}"); at != std::wstring::npos) {
                description.replace(at, 4, op);
            }
            EXPECT_EQ(e.number, c.number) << c.what;
            EXPECT_EQ(e.source, L"ICapeThermoMaterialObject." + op) << c.what;
            EXPECT_EQ(e.description, description) << c.what;
            EXPECT_EQ(e.Hresult(), static_cast<HRESULT>(0x800A0000 + c.number)) << c.what;
        }
    }
}

TEST_F(GetSetPropTest, TheMismatchBoxShowsOncePerObjectCreation) {
    const Names unknown{L"Propane"};
    struct Step {
        const char* what;
        bool createFirst;
        bool set;
        size_t boxes;  // message boxes shown so far
    } steps[] = {
        {"first mismatch", false, true, 1},           {"second mismatch", false, true, 1},
        {"GetProp shares the flag", false, false, 1}, {"a new object resets it", true, false, 2},
        {"then once again", false, true, 2},
    };
    for (const Step& step : steps) {
        if (step.createFirst) Create();
        const RaisedError e = Catch([&] {
            if (step.set) {
                Set(L"fraction", L"vapor", {1}, L"", &unknown);
            } else {
                Get(L"fraction", L"vapor", L"", &unknown);
            }
        });
        EXPECT_EQ(e.number, 1) << step.what;
        EXPECT_EQ(platform_.messages.size(), step.boxes) << step.what;
        EXPECT_TRUE(module_.g_pppWarned) << step.what;
    }
    for (const auto& message : platform_.messages) {
        EXPECT_EQ(message.text, L"Error MO Components do not match with PPP components");
        EXPECT_EQ(message.caption, L"Korvid");
        EXPECT_EQ(message.icon, platform::MessageIcon::None);
    }
}

TEST_F(GetSetPropTest, TheReportIsCompleteWhileTheBoxWaits) {
    Create(L"box");
    std::wstring atBox;
    platform_.onMessage = [&](const auto&) { atBox = platform_.FileText(ReportPath(L"box")); };
    const Names unknown{L"Propane"};
    Catch([&] { Set(L"fraction", L"vapor", {1}, L"", &unknown); });
    EXPECT_NE(atBox.find(L"\tValues      \t1\r\n"), std::wstring::npos) << "the dump is written";
    material_object::TraceFlush();
    EXPECT_EQ(atBox, platform_.FileText(ReportPath(L"box"))) << "nothing of the call was held back";
}

TEST_F(GetSetPropTest, LoopMembersEndWhereTheLastLoopsStopped) {
    const Names two{L"Water", L"Methane"};
    struct Case {
        const char* what;
        bool set;
        const wchar_t* property;
        const wchar_t* phase;
        const Names* ids;
        int32_t i, j;
    } cases[] = {
        {"SetProp: component loop of the store", true, L"temperature", L"vapor", nullptr, 3, 2},
        {"GetProp of one value: the phase search", false, L"temperature", L"vapor", nullptr, 2, 2},
        {"GetProp per component: the read loop", false, L"fraction", L"vapor", nullptr, 3, 2},
        {"the component check's search", false, L"pressure", L"vapor", &two, 2, 0},
        {"refused phase: its search", false, L"pressure", L"GasLiquid", nullptr, 1, 6},
    };
    for (const Case& c : cases) {
        tessel_->i = tessel_->j = -7;
        try {
            if (c.set) {
                Set(c.property, c.phase, {1, 2, 3}, L"", c.ids);
            } else {
                Get(c.property, c.phase, L"", c.ids);
            }
        } catch (const RaisedError&) {
        }
        EXPECT_EQ(tessel_->i, c.i) << c.what;
        EXPECT_EQ(tessel_->j, c.j) << c.what;
    }
}

TEST_F(GetSetPropTest, NumericTextsFollowTheUsersLocale) {
    platform::ScriptedPlatform german(0x0407);
    platform::SetPlatform(&german);
    tessel_->ICapeThermoMaterialObject_SetProp(L"fraction", L"vapor", *com::Variant(), L"", L"",
                                               *StringArray({L"0,25", L"1,5", L"-2"}));
    const Values stored = Doubles(*tessel_->ICapeThermoMaterialObject_GetProp(
        L"fraction", L"vapor", *com::Variant(), L"", L""));
    platform::SetPlatform(&platform_);
    EXPECT_EQ(stored, (Values{0.25, 1.5, -2}));
}

}  // namespace
}  // namespace korvid::testing::props
