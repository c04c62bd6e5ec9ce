// The lookup and validation helpers of Tessel: which names they accept, the
// list they hand back, the loop members they leave, and their errors.
#include <gtest/gtest.h>

#include "tests/unit/props_fixture.h"

namespace korvid::testing::props {
namespace {

using Names = std::vector<std::wstring>;
constexpr int32_t kUntouched = -7;

class LookupHelpersTest : public TesselTest {
protected:
    void SetUp() override { Create(); }
    void Mark() { tessel_->i = tessel_->j = kUntouched; }
};

struct ListCase {
    const char* what;
    Names elements;
    LONG lower;
    bool expected;
    Names notFound;  // retVar of the property checks
    int32_t i, j;
};

TEST_F(LookupHelpersTest, CheckNonCstPropAcceptsNamesAndTheirDerivativesOnly) {
    const ListCase cases[] = {
        {"exact name", {L"viscosity"}, 0, true, {L""}, 1, 40},
        {"any letter case", {L"VISCOSITY"}, 0, true, {L""}, 1, 40},
        {"temperature derivative", {L"viscosity.DTemperature"}, 0, true, {L""}, 1, 40},
        {"pressure derivative in any case", {L"VISCOSITY.dpressure"}, 0, true, {L""}, 1, 40},
        {"derivative of a name without a slot",
         {L"meltingPressure.DTemperature"},
         0,
         true,
         {L""},
         1,
         2},
        {"first entry", {L"vaporPressure"}, 0, true, {L""}, 1, 0},
        {"last entry", {L"dewPointTemperature"}, 0, true, {L""}, 1, 50},
        {"entry with its trailing blank", {L"jouleThomsonCoefficient "}, 0, true, {L""}, 1, 10},
        {"that entry without its blank",
         {L"jouleThomsonCoefficient"},
         0,
         false,
         {L"jouleThomsonCoefficient"},
         1,
         51},
        {"leading blank", {L" viscosity"}, 0, false, {L" viscosity"}, 1, 51},
        {"trailing blank", {L"viscosity "}, 0, false, {L"viscosity "}, 1, 51},
        {"suffix alone", {L".DTemperature"}, 0, false, {L".DTemperature"}, 1, 51},
        {"two suffixes",
         {L"viscosity.DTemperature.DPressure"},
         0,
         false,
         {L"viscosity.DTemperature.DPressure"},
         1,
         51},
        {"a global variable", {L"temperature"}, 0, false, {L"temperature"}, 1, 51},
        {"empty name", {L""}, 0, false, {L""}, 1, 51},
        {"list from lower bound 3",
         {L"fugacity", L"bogus", L"activity"},
         3,
         false,
         {L"", L"bogus", L""},
         6,
         45},
        {"no elements", {}, 4, true, {}, 4, kUntouched},
    };
    for (const ListCase& c : cases) {
        Mark();
        com::Variant retVar = Str(L"old");
        const bool result =
            tessel_->CheckNonCstProp(*StringArray(c.elements, c.lower), retVar.get());
        EXPECT_EQ(result, c.expected) << c.what;
        EXPECT_EQ(tessel_->i, c.i) << c.what;
        EXPECT_EQ(tessel_->j, c.j) << c.what;
        ASSERT_EQ(retVar.vt(), VT_ARRAY | VT_BSTR) << c.what;
        auto bounds = com::ArrayArg::Of(*retVar);
        EXPECT_EQ(bounds->Lower(), c.lower) << c.what;
        EXPECT_EQ(Strings(*retVar), c.notFound) << c.what;
    }
}

TEST_F(LookupHelpersTest, CheckCstPropSearchesTheConstantsWithoutSuffixes) {
    const ListCase cases[] = {
        {"constant", {L"molecularWeight"}, 0, true, {L""}, 1, 4},
        {"upper case", {L"MOLECULARWEIGHT"}, 0, true, {L""}, 1, 4},
        {"capital inside the entry",
         {L"heatofvaporizationatnormalboilingpoint"},
         0,
         true,
         {L""},
         1,
         22},
        {"no derivative suffix",
         {L"molecularWeight.DTemperature"},
         0,
         false,
         {L"molecularWeight.DTemperature"},
         1,
         37},
        {"a non-constant property", {L"viscosity"}, 0, false, {L"viscosity"}, 1, 37},
        {"lower bound -1", {L"parachor", L"acentricFactor"}, -1, true, {L"", L""}, 1, 10},
    };
    for (const ListCase& c : cases) {
        Mark();
        com::Variant retVar;
        EXPECT_EQ(tessel_->CheckCstProp(*StringArray(c.elements, c.lower), retVar.get()),
                  c.expected)
            << c.what;
        EXPECT_EQ(Strings(*retVar), c.notFound) << c.what;
        EXPECT_EQ(com::ArrayArg::Of(*retVar)->Lower(), c.lower) << c.what;
        EXPECT_EQ(tessel_->i, c.i) << c.what;
        EXPECT_EQ(tessel_->j, c.j) << c.what;
    }
}

TEST_F(LookupHelpersTest, CheckGlobalVarAndIsInPhaseList) {
    struct Case {
        const char* what;
        bool phases;
        Names elements;
        bool expected;
        int32_t j;
    } cases[] = {
        {"global in lower case", false, {L"temperature"}, true, 0},
        {"mixed-case global", false, {L"TOTALFLOW"}, true, 12},
        {"global derivative", false, {L"Kvalues.DPressure"}, true, 14},
        {"property is no global", false, {L"viscosity"}, false, 15},
        {"one unknown in the list", false, {L"MASS", L"weight"}, false, 15},
        {"phase", true, {L"VAPOR"}, true, 2},
        {"sixth phase", true, {L"vaporliquid"}, true, 5},
        {"seventh phase is refused", true, {L"VaporLiquidLiquid"}, false, 6},
        {"eighth phase is refused", true, {L"GasLiquid"}, false, 6},
        {"empty phase", true, {L""}, false, 6},
        {"phase with a blank", true, {L"vapor "}, false, 6},
        {"no derivative for phases", true, {L"vapor.DTemperature"}, false, 6},
    };
    for (const Case& c : cases) {
        Mark();
        const com::Variant list = StringArray(c.elements);
        const bool result =
            c.phases ? tessel_->IsInPhaseList(*list) : tessel_->CheckGlobalVar(*list);
        EXPECT_EQ(result, c.expected) << c.what;
        EXPECT_EQ(tessel_->i, static_cast<int32_t>(c.elements.size())) << c.what;
        EXPECT_EQ(tessel_->j, c.j) << c.what;
    }
}

TEST_F(LookupHelpersTest, ChecksThatIgnoreErrorsAnswerTrueForWhatTheyCannotRead) {
    struct Case {
        const char* what;
        com::Variant list;
        int32_t i, j;
    };
    std::vector<Case> cases;
    cases.push_back({"a single text", Str(L"bogus"), kUntouched, kUntouched});
    cases.push_back({"Empty", com::Variant(), kUntouched, kUntouched});
    cases.push_back({"Null", NullValue(), kUntouched, kUntouched});
    cases.push_back({"never dimensioned", Undimensioned(VT_VARIANT), kUntouched, kUntouched});
    cases.push_back({"two dimensions", Matrix(2, 2, 1.0), 2, 0});
    cases.push_back({"Null element", Variants([] {
                         std::vector<com::Variant> v;
                         v.push_back(NullValue());
                         return v;
                     }()),
                     1, 0});
    for (Case& c : cases) {
        for (bool phases : {false, true}) {
            Mark();
            EXPECT_TRUE(phases ? tessel_->IsInPhaseList(*c.list) : tessel_->CheckGlobalVar(*c.list))
                << c.what;
            EXPECT_EQ(tessel_->i, c.i) << c.what;
            EXPECT_EQ(tessel_->j, c.j) << c.what;
        }
    }
}

TEST_F(LookupHelpersTest, PropertyChecksRaiseWhatTheyCannotRead) {
    struct Case {
        const char* what;
        com::Variant list;
        int number;
    };
    std::vector<Case> cases;
    cases.push_back({"a single text", Str(L"viscosity"), 13});
    cases.push_back({"Empty", com::Variant(), 13});
    cases.push_back({"never dimensioned", Undimensioned(VT_BSTR), 9});
    cases.push_back({"two dimensions", Matrix(1, 1, 0.0), 9});
    std::vector<com::Variant> withNull;
    withNull.push_back(Str(L"viscosity"));
    withNull.push_back(NullValue());
    cases.push_back({"Null element", Variants(std::move(withNull)), 94});
    for (Case& c : cases) {
        for (bool constants : {false, true}) {
            com::Variant retVar = Str(L"kept");
            const RaisedError e = Catch([&] {
                constants ? tessel_->CheckCstProp(*c.list, retVar.get())
                          : tessel_->CheckNonCstProp(*c.list, retVar.get());
            });
            EXPECT_EQ(e.number, c.number) << c.what;
            EXPECT_EQ(com::ToText(*retVar, 0x0409), L"kept")
                << c.what << ": retVar is set only at the end";
        }
    }
}

TEST_F(LookupHelpersTest, ElementsThatAreNoTextAreComparedAsTheirText) {
    std::vector<com::Variant> items;
    items.push_back(Num(2.5));
    items.push_back(com::Variant());
    items.push_back(BoolValue(true));
    items.push_back(Str(L"Viscosity"));
    com::Variant list = Variants(std::move(items));
    com::Variant byRef = ByRef(list);
    com::Variant retVar;
    EXPECT_FALSE(tessel_->CheckNonCstProp(*byRef, retVar.get()));
    EXPECT_EQ(Strings(*retVar), (Names{L"2.5", L"", L"True", L""}));
}

TEST_F(LookupHelpersTest, RetVarPassedByReferenceReceivesTheListInTheCallersVariable) {
    com::Variant callers;
    com::Variant retVar = ByRef(callers);
    tessel_->CheckNonCstProp(*StringArray({L"x"}), retVar.get());
    EXPECT_EQ(Strings(*callers), (Names{L"x"}));
}

TEST_F(LookupHelpersTest, IndexLookups) {
    struct Case {
        const char* what;
        bool basis;
        const wchar_t* name;
        int16_t expected;
        int32_t i;
    } cases[] = {
        {"mole", true, L"mole", 0, kUntouched},
        {"MOLES", true, L"MOLES", 0, kUntouched},
        {"Mass", true, L"Mass", 1, kUntouched},
        {"empty basis", true, L"", -1, kUntouched},
        {"basis with a blank", true, L"mole ", -1, kUntouched},
        {"weight", true, L"weight", -1, kUntouched},
        {"first phase", false, L"overall", 0, 0},
        {"phase in upper case", false, L"VAPOR", 2, 2},
        {"phases beyond the six accepted", false, L"gasliquid", 7, 7},
        {"unknown phase", false, L"gas", -1, 8},
        {"empty phase", false, L"", -1, 8},
    };
    for (const Case& c : cases) {
        Mark();
        const int16_t index =
            c.basis ? tessel_->GetBasisIndex(c.name) : tessel_->GetPhaseIndex(c.name);
        EXPECT_EQ(index, c.expected) << c.what;
        EXPECT_EQ(tessel_->i, c.i) << c.what;
    }
    for (const com::Variant& cmp : {com::Variant(), StringArray({L"Methane"}), Str(L"x")}) {
        EXPECT_EQ(tessel_->GetCompIndex(*cmp), -1);
    }
}

class CheckComponentTest : public TesselTest {};

TEST_F(CheckComponentTest, SearchesTheIdentifiersInForce) {
    struct Case {
        const char* what;
        bool casAsId;
        Names ids;
        bool expected;
        int32_t i, j;
    } cases[] = {
        {"name", false, {L"Methane"}, true, 1, 0},
        {"name in other case", false, {L"WATER"}, true, 1, 2},
        {"CAS number while names are in force", false, {L"74-82-8"}, false, 1, 3},
        {"two names", false, {L"Water", L"Ethane"}, true, 2, 1},
        {"one unknown", false, {L"Water", L"Propane"}, false, 2, 3},
        {"name with a blank", false, {L"Water "}, false, 1, 3},
        {"CAS number", true, {L"7732-18-5"}, true, 1, 2},
        {"name while CAS numbers are in force", true, {L"Methane"}, false, 1, 3},
        {"no elements", true, {}, true, 0, kUntouched},
    };
    for (const Case& c : cases) {
        ResetModule();
        Create(L"", c.casAsId);
        tessel_->i = tessel_->j = kUntouched;
        EXPECT_EQ(tessel_->CheckComponent(*StringArray(c.ids)), c.expected) << c.what;
        EXPECT_EQ(tessel_->i, c.i) << c.what;
        EXPECT_EQ(tessel_->j, c.j) << c.what;
    }
}

TEST_F(CheckComponentTest, AnswersTrueWhereItCannotCompare) {
    Create();
    std::vector<com::Variant> unreadable;
    unreadable.push_back(NullValue());
    struct Case {
        const char* what;
        com::Variant list;
    };
    std::vector<Case> cases;
    cases.push_back({"Empty: every component", com::Variant()});
    cases.push_back({"a single text", Str(L"Propane")});
    cases.push_back({"Null", NullValue()});
    cases.push_back({"an element that cannot be read", Variants(std::move(unreadable))});
    cases.push_back({"two dimensions", Matrix(2, 1, 0.0)});
    for (Case& c : cases) EXPECT_TRUE(tessel_->CheckComponent(*c.list)) << c.what;

    // A client may replace the published list: no array there, nothing compares.
    tessel_->m_compNames = Str(L"not a list");
    EXPECT_TRUE(tessel_->CheckComponent(*StringArray({L"Propane"})));
    tessel_->m_compNames = StringArray({L"Propane"}, 5);
    tessel_->i = tessel_->j = kUntouched;
    EXPECT_TRUE(tessel_->CheckComponent(*StringArray({L"propane"})));
    EXPECT_EQ(tessel_->j, 5);
}

TEST_F(CheckComponentTest, UpperCasesWithTheLocaleNotJustAscii) {
    auto components = ThreeComponents();
    components[1].name = L"\u00c4than";  // Äthan
    DefineComponents(components);
    Create();
    EXPECT_TRUE(tessel_->CheckComponent(*StringArray({L"\u00e4THAN"})));
}

}  // namespace
}  // namespace korvid::testing::props
