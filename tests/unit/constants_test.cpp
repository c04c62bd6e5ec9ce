// GetComponentConstant and GetUniversalConstant.
#include <gtest/gtest.h>

#include <cmath>

#include "platform/random.h"
#include "tests/unit/operation_fixture.h"

namespace korvid::testing {
namespace {

using material_object::Tessel;

class ConstantsTest : public OperationTest {};

// Dimensions and element count of a result, and its elements in memory order.
struct Shape {
    UINT dims;
    std::vector<LONG> upper;
};
Shape ShapeOf(const VARIANT& value) {
    Shape shape{SafeArrayGetDim(value.parray), {}};
    for (UINT d = 1; d <= shape.dims; ++d) {
        LONG lower = -1, upper = -1;
        SafeArrayGetLBound(value.parray, d, &lower);
        SafeArrayGetUBound(value.parray, d, &upper);
        EXPECT_EQ(lower, 0);
        shape.upper.push_back(upper);
    }
    return shape;
}
std::vector<double> Cells(const VARIANT& value) {
    ULONG count = value.parray->cDims ? 1 : 0;
    for (UINT d = 0; d < value.parray->cDims; ++d) count *= value.parray->rgsabound[d].cElements;
    double* data = nullptr;
    SafeArrayAccessData(value.parray, reinterpret_cast<void**>(&data));
    std::vector<double> cells(data, data + count);
    SafeArrayUnaccessData(value.parray);
    return cells;
}

TEST_F(ConstantsTest, ComponentConstantsComeFromTheTableByExactName) {
    struct Case {
        const char* what;
        std::function<com::Variant()> props;
        std::function<com::Variant()> compIds;
        bool cas;
        std::vector<LONG> upper;  // empty: VT_EMPTY
        std::vector<double> cells;
    };
    auto none = [] { return com::Variant(); };
    const Case cases[] = {
        {"one name, all components", [] { return StringArray({L"molecularWeight"}); }, none,
         false, {2}, {16.043, 30.07, 18.015}},
        {"two names, two ids: property index fastest",
         [] { return StringArray({L"molecularWeight", L"criticalTemperature"}); },
         [] { return StringArray({L"Ethane", L"Methane"}); }, false, {1, 1},
         {30.07, 305.32, 16.043, 190.56}},
        {"letter case counts", [] { return StringArray({L"MolecularWeight"}); }, none, false,
         {2}, {0, 0, 0}},
        {"accepted name without a value",
         [] { return StringArray({L"iupacName", L"parachor"}); }, none, false, {1, 2},
         {0, 73.2, 0, 110.8, 0, 52.0}},
        {"a CAS number while ids are names", [] { return StringArray({L"molecularWeight"}); },
         [] { return StringArray({L"74-82-8", L"Water"}); }, false, {1}, {0, 18.015}},
        {"a single id, no array: all components",
         [] { return StringArray({L"molecularWeight"}); }, [] { return Txt(L"Water"); }, false,
         {2}, {16.043, 30.07, 18.015}},
        {"ids match with their letter case", [] { return StringArray({L"molecularWeight"}); },
         [] { return StringArray({L"water", L"Water"}); }, false, {1}, {0, 18.015}},
        {"CAS numbers as ids", [] { return StringArray({L"criticalPressure"}); },
         [] { return StringArray({L"7732-18-5", L"74-82-8"}); }, true, {1}, {220.64, 45.99}},
        {"ids from index 1: column 0 has no id",
         [] { return StringArray({L"normalBoilingPoint"}); },
         [] { return StringArray({L"Water"}, 1); }, false, {1}, {0, 373.15}},
        {"names from index 1: row 0 stays 0",
         [] { return StringArray({L"acentricFactor"}, 1); },
         [] { return StringArray({L"Ethane"}); }, false, {1, 0}, {0, 0.0995}},
        {"an id that is a number", [] { return StringArray({L"molecularWeight"}); },
         [] { return VariantArray(VariantList(Num(1), Txt(L"Water"))); }, false, {1},
         {0, 18.015}},
        {"no id at all", [] { return StringArray({L"molecularWeight"}); },
         [] { return StringArray({}); }, false, {-1}, {}},
        {"a single name, no array", [] { return Txt(L"molecularWeight"); }, none, false, {}, {}},
        {"an array without names", [] { return StringArray({}); }, none, false, {}, {}},
        {"upper bound below 0", [] { return StringArray({L"parachor"}, -1); }, none, false, {},
         {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        auto tessel = NewTessel(L"", c.cas);
        com::Variant props = c.props(), ids = c.compIds();
        com::Variant result = tessel->ICapeThermoMaterialObject_GetComponentConstant(*props, *ids);
        if (c.upper.empty()) {
            EXPECT_EQ(result.vt(), VT_EMPTY);
            continue;
        }
        ASSERT_EQ(result.vt(), VT_ARRAY | VT_R8);
        const Shape shape = ShapeOf(*result);
        EXPECT_EQ(shape.dims, c.upper.size());
        EXPECT_EQ(shape.upper, c.upper);
        EXPECT_EQ(Cells(*result), c.cells);
    }
}

TEST_F(ConstantsTest, EachServedNameReadsItsFieldOfTheLiveTable) {
    const std::pair<const wchar_t*, double component_definition::ComponentRecord::*> served[] = {
        {L"molecularWeight", &component_definition::ComponentRecord::mw},
        {L"normalBoilingPoint", &component_definition::ComponentRecord::tb},
        {L"criticalTemperature", &component_definition::ComponentRecord::tc},
        {L"criticalPressure", &component_definition::ComponentRecord::pc},
        {L"acentricFactor", &component_definition::ComponentRecord::omega},
        {L"parachor", &component_definition::ComponentRecord::parachor},
        {L"liquidDensityAt25C", &component_definition::ComponentRecord::ild},
        {L"standardFormationEnthalpyLiquid", &component_definition::ComponentRecord::hf},
    };
    auto tessel = NewTessel(L"");
    // A later Load replaced the table: the new values are served, and a
    // component beyond the new table's end is left at 0.0.
    module_.g_components.resize(2);
    module_.g_components[1] = component_definition::ComponentRecord{
        L"X", L"1-1-1", L"F", L"X", 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13};
    for (const auto& [name, field] : served) {
        SCOPED_TRACE(std::wstring(name).c_str());
        com::Variant props = StringArray({name});
        com::Variant result = tessel->ICapeThermoMaterialObject_GetComponentConstant(*props, *com::Variant());
        EXPECT_EQ(Doubles(*result), (std::vector<double>{ThreeComponents()[0].*field,
                                                        module_.g_components[1].*field, 0.0}));
    }
    EXPECT_EQ(tessel->i, 1) << "outer loop member after the last name";
    EXPECT_EQ(tessel->j, 3) << "inner loop member after the last column";

    // Ids are looked for among as many components as the thread has now.
    module_.g_numComponents = 1;
    com::Variant props = StringArray({L"molecularWeight"});
    com::Variant ids = StringArray({L"Methane", L"Water"});
    EXPECT_EQ(Doubles(*tessel->ICapeThermoMaterialObject_GetComponentConstant(*props, *ids)),
              (std::vector<double>{16.043, 0.0}));
}

TEST_F(ConstantsTest, ConstantOperationsTraceTheirArgumentsAndSkipWhatFails) {
    struct Case {
        const char* what;
        std::function<void(Tessel&)> call;
        std::wstring operation;
        std::vector<std::wstring> lines;
    };
    const Case cases[] = {
        {"component constants",
         [](Tessel& t) {
             com::Variant props = VariantArray(VariantList(Txt(L"parachor"), Num(2), Txt(L"x")));
             com::Variant ids = StringArray({L"Water"});
             t.ICapeThermoMaterialObject_GetComponentConstant(*props, *ids);
         },
         L"GetComponentConstant",
         {L"\tProperties\tparachor", L"\tProperties\tx", L"\tComponentIds\tWater"}},
        {"component constants, no ids",
         [](Tessel& t) {
             t.ICapeThermoMaterialObject_GetComponentConstant(*Txt(L"p"), *com::Variant());
         },
         L"GetComponentConstant", {L"\tProperties\tp", L"\tComponentIds\t"}},
        {"universal constants",
         [](Tessel& t) {
             com::Variant props = StringArray({L"avogadroConstant", L"nonsense"});
             t.ICapeThermoMaterialObject_GetUniversalConstant(*props);
         },
         L"GetUniversalConstant", {L"\tProp\tavogadroConstant", L"\tProp\tnonsense"}},
        {"universal constants, a number",
         [](Tessel& t) { t.ICapeThermoMaterialObject_GetUniversalConstant(*Num(1)); },
         L"GetUniversalConstant", {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        {
            auto tessel = NewTessel();
            c.call(*tessel);
        }
        EXPECT_EQ(ReportLines(L"ops"), Block(L"ICapeThermoMaterialObject_" + c.operation, c.lines));
    }

    // With the report gone every line fails; both operations still answer.
    auto tessel = NewTessel();
    platform_.CloseFile(module_.g_reportFileNo);
    com::Variant props = StringArray({L"molecularWeight"});
    EXPECT_EQ(Doubles(*tessel->ICapeThermoMaterialObject_GetComponentConstant(*props, *com::Variant())),
              (std::vector<double>{16.043, 30.07, 18.015}));
    EXPECT_EQ(Doubles(*tessel->ICapeThermoMaterialObject_GetUniversalConstant(*props)).size(), 1u);
}

TEST_F(ConstantsTest, UniversalConstantsAreTheUnseededRandomSequenceTimes100) {
    struct Case {
        const char* what;
        std::function<com::Variant()> props;
        std::vector<bool> filled;  // per result element
    };
    const Case cases[] = {
        {"Empty: one per component", [] { return com::Variant(); }, {true, true, true}},
        {"two names", [] { return StringArray({L"a", L"b"}); }, {true, true}},
        {"from index 2: elements below stay 0", [] { return StringArray({L"a", L"b"}, 2); },
         {false, false, true, true}},
        {"no array: no element", [] { return Txt(L"a"); }, {}},
        {"Null: no element", [] {
             com::Variant v;
             v.get()->vt = VT_NULL;
             return v;
         }, {}},
    };
    auto tessel = NewTessel(L"");
    platform::Rnd24 reference;  // the same unseeded sequence from its start
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        com::Variant props = c.props();
        com::Variant result = tessel->ICapeThermoMaterialObject_GetUniversalConstant(*props);
        ASSERT_EQ(result.vt(), VT_ARRAY | VT_R8);
        const auto values = Doubles(*result);
        ASSERT_EQ(values.size(), c.filled.size());
        for (size_t k = 0; k < values.size(); ++k) {
            const double expected = c.filled[k] ? 100.0 * double{reference.Next()} : 0.0;
            EXPECT_EQ(values[k], expected) << "element " << k;
        }
    }
    // Range and precision of the generator: single-precision values in [0, 1).
    platform::Rnd24 generator;
    float previous = -1.0f;
    int repeats = 0;
    for (int k = 0; k < 100000; ++k) {
        const float r = generator.Next();
        ASSERT_GE(r, 0.0f);
        ASSERT_LT(r, 1.0f);
        const double scaled = 100.0 * double{r};
        ASSERT_LT(scaled, 100.0);
        repeats += r == previous;
        previous = r;
    }
    EXPECT_EQ(repeats, 0) << "consecutive calls give different numbers";
}

}  // namespace
}  // namespace korvid::testing
