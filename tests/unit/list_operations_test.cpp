// ComponentIds, PhaseIds, GetNumComponents, AvailableProps, GetPropList,
// PropCheck, ValidityCheck and RemoveResults.
#include <gtest/gtest.h>

#include "tests/unit/operation_fixture.h"

namespace korvid::testing {
namespace {

using material_object::PropertyStore;
using material_object::Tessel;

class ListOperationsTest : public OperationTest {};

TEST_F(ListOperationsTest, ComponentIdsFollowTheLiveIdOptionAndTheCurrentNames) {
    const std::vector<std::wstring> names = {L"Methane", L"Ethane", L"Water"};
    const std::vector<std::wstring> cas = {L"74-82-8", L"74-84-0", L"7732-18-5"};
    struct Case {
        const char* what;
        bool casAtCreation;
        std::function<void(Tessel&)> change;  // after creation
        std::vector<std::wstring> expected;
        int error;
    };
    const Case cases[] = {
        {"names", false, [](Tessel&) {}, names, 0},
        {"CAS numbers", true, [](Tessel&) {}, cas, 0},
        {"option changed later by another form", false,
         [this](Tessel&) { module_.g_useCasAsId = true; }, cas, 0},
        {"names a client assigned", false,
         [](Tessel& t) { t.m_compNames = StringArray({L"a", L"b", L"c", L"d"}); },
         {L"a", L"b", L"c"}, 0},
        {"client names are ignored in CAS mode", true,
         [](Tessel& t) { t.m_compNames = com::Variant(); }, cas, 0},
        {"too few client names", false,
         [](Tessel& t) { t.m_compNames = StringArray({L"a", L"b"}); }, {}, 9},
        {"client names from index 1", false,
         [](Tessel& t) { t.m_compNames = StringArray({L"a", L"b", L"c"}, 1); }, {}, 9},
        {"no list at all", false, [](Tessel& t) { t.m_compNames = Txt(L"a"); }, {}, 13},
        {"an element with no text", false,
         [](Tessel& t) {
             t.m_compNames = VariantArray(VariantList(Txt(L"a"), StringArray({L"x"}), Txt(L"c")));
         },
         {}, 13},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        auto tessel = NewTessel(L"", c.casAtCreation);
        c.change(*tessel);
        com::Variant ids;
        EXPECT_EQ(ErrorOf([&] { ids = tessel->ICapeThermoMaterialObject_ComponentIds(); }), c.error);
        if (c.error == 0) {
            EXPECT_EQ(ids.vt(), VT_ARRAY | VT_BSTR);
            EXPECT_EQ(Strings(*ids), c.expected);
            EXPECT_EQ(tessel->i, 3) << "the loop member ends after the last component";
        }
        module_.g_useCasAsId = false;
    }
}

TEST_F(ListOperationsTest, FixedListsAreFreshCopiesOfTheTables) {
    auto tessel = NewTessel(L"");
    com::Variant phases = tessel->ICapeThermoMaterialObject_PhaseIds();
    EXPECT_EQ(Strings(*phases),
              (std::vector<std::wstring>{L"overall", L"liquid", L"vapor", L"solid",
                                         L"LiquidLiquid", L"VaporLiquid", L"VaporLiquidLiquid",
                                         L"GasLiquid"}));
    com::Variant available = tessel->ICapeThermoMaterialObject_AvailableProps();
    com::Variant list = tessel->ICapeThermoMaterialObject_GetPropList();
    const auto props = Strings(*available);
    ASSERT_EQ(props.size(), 51u);
    EXPECT_EQ(props.front(), L"vaporPressure");
    EXPECT_EQ(props[10], L"jouleThomsonCoefficient ");
    EXPECT_EQ(props.back(), L"dewPointTemperature");
    EXPECT_EQ(Strings(*list), props);
    // A caller's change to its copy does not reach the object.
    BSTR* data = nullptr;
    ASSERT_HRESULT_SUCCEEDED(SafeArrayAccessData(phases->parray, reinterpret_cast<void**>(&data)));
    data[0][0] = L'X';
    SafeArrayUnaccessData(phases->parray);
    EXPECT_EQ(Strings(*tessel->ICapeThermoMaterialObject_PhaseIds())[0], L"overall");
}

TEST_F(ListOperationsTest, GetNumComponentsAnswersTheThreadsLiveCount) {
    struct Case {
        int32_t live;
        int32_t expected;
        std::vector<std::wstring> lines;
        size_t messages;
    };
    const Case cases[] = {
        {3, 3, {L"\tReturned value:\t3"}, 0},
        {12, 12, {L"\tReturned value:\t12"}, 0},
        {0, -1, {}, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.live);
        platform_.messages.clear();
        {
            auto tessel = NewTessel();
            module_.g_numComponents = c.live;
            EXPECT_EQ(tessel->ICapeThermoMaterialObject_GetNumComponents(), c.expected);
            EXPECT_EQ(tessel->CompCount(), 3);
            module_.g_numComponents = 3;
        }
        EXPECT_EQ(ReportLines(L"ops"), Block(L"ICapeThermoMaterialObject_GetNumComponents", c.lines));
        ASSERT_EQ(platform_.messages.size(), c.messages);
        if (c.messages) {
            EXPECT_EQ(platform_.messages[0].text, L"MO error...");
            EXPECT_EQ(platform_.messages[0].caption, L"MO Initialisation failed....");
            EXPECT_EQ(platform_.messages[0].icon, platform::MessageIcon::Critical);
        }
    }
}

TEST_F(ListOperationsTest, PropCheckAnswersTrueForEachNameAndNeverFails) {
    struct Case {
        const char* what;
        std::wstring report;
        std::function<com::Variant()> props;
        bool closeReport;  // every trace line then fails
        size_t trues;
        std::vector<std::wstring> lines;
    };
    const Case cases[] = {
        {"three names", L"ops", [] { return StringArray({L"a", L"b", L"c"}); }, false, 3,
         {L"\tProps\ta", L"\tProps\tb", L"\tProps\tc"}},
        {"one name, no array: one per component", L"ops", [] { return Txt(L"a"); }, false, 3, {}},
        {"from index 4", L"ops", [] { return StringArray({L"a", L"b"}, 4); }, false, 2,
         {L"\tProps\ta", L"\tProps\tb"}},
        {"a number among the names", L"ops",
         [] { return VariantArray(VariantList(Txt(L"a"), Num(5), Txt(L"b"))); }, false, 3,
         {L"\tProps\ta", L"\tProps\tb"}},
        {"no element", L"ops", [] { return StringArray({}); }, false, 0, {}},
        {"report closed", L"ops", [] { return StringArray({L"a"}); }, true, 1, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        {
            auto tessel = NewTessel(c.report);
            if (c.closeReport) platform_.CloseFile(module_.g_reportFileNo);
            com::Variant props = c.props();
            com::Variant valid = tessel->ICapeThermoMaterialObject_PropCheck(*props);
            EXPECT_EQ(valid.vt(), VT_ARRAY | VT_BOOL);
            EXPECT_EQ(Doubles(*valid), std::vector<double>(c.trues, -1.0));
        }
        if (!c.closeReport) {
            EXPECT_EQ(ReportLines(L"ops"), Block(L"ICapeThermoMaterialObject_PropCheck", c.lines));
        }
    }

    auto silent = NewTessel(L"");
    com::Variant props = StringArray({L"a"});
    com::Variant valid = silent->ICapeThermoMaterialObject_PropCheck(*props);
    EXPECT_EQ(valid.vt(), VT_ARRAY | VT_BOOL) << "reporting off: a typed VARIANT";
    EXPECT_EQ(valid->parray, nullptr) << "reporting off: no array in it";
}

TEST_F(ListOperationsTest, ChecksAndCleanUpTouchNothing) {
    {
        auto tessel = NewTessel();
        tessel->ICapeThermoMaterialObject_CalcEquilibrium(L"TP", *com::Variant());
        com::Variant props = StringArray({L"temperature"});
        EXPECT_EQ(tessel->ICapeThermoMaterialObject_ValidityCheck(*props).vt(), VT_EMPTY);
        tessel->ICapeThermoMaterialObject_RemoveResults(*props);
        const PropertyStore& store = tessel->Store();
        EXPECT_EQ(store.Cell(PropertyStore::kTemperature, 2, 1, 0), 888.888);
        EXPECT_EQ(store.Cell(PropertyStore::kTemperature, 2, 1, 1), 273.15);
        EXPECT_EQ(store.Cell(PropertyStore::kPressure, 0, 0, 0), 101325.0);
    }
    auto lines = ReportLines(L"ops");
    auto validity = Block(L"ICapeThermoMaterialObject_ValidityCheck");
    auto remove = Block(L"ICapeThermoMaterialObject_RemoveResults", {L"remove results"});
    validity.insert(validity.end(), remove.begin(), remove.end());
    ASSERT_GE(lines.size(), validity.size());
    EXPECT_EQ(std::vector<std::wstring>(lines.end() - validity.size(), lines.end()), validity);
}

}  // namespace
}  // namespace korvid::testing
