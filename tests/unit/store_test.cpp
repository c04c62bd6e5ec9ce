// The published slot procedures over a client's three-dimensional array of
// doubles, and the two fraction helpers.
#include <gtest/gtest.h>

#include "material_object/trace_report.h"
#include "tests/unit/props_fixture.h"

namespace korvid::testing::props {
namespace {

using material_object::SlotRef;
constexpr int32_t kUntouched = -7;
constexpr double kOld = -1.0;

// A client's slot (phase 0..7, component 0..n-1, basis 0..1), every cell kOld.
class ClientSlot {
public:
    explicit ClientSlot(ULONG components) {
        SAFEARRAYBOUND bounds[3] = {{8, 0}, {components, 0}, {2, 0}};
        psa_ = SafeArrayCreate(VT_R8, 3, bounds);
        for (int p = 0; p < 8; ++p) {
            for (LONG c = 0; c < static_cast<LONG>(components); ++c) {
                for (int b = 0; b < 2; ++b) Cell(p, c, b) = kOld;
            }
        }
    }
    ~ClientSlot() { SafeArrayDestroy(psa_); }
    ClientSlot(const ClientSlot&) = delete;
    ClientSlot& operator=(const ClientSlot&) = delete;

    double& Cell(LONG phase, LONG component, LONG basis) {
        LONG index[3] = {phase, component, basis};
        void* p = nullptr;
        EXPECT_HRESULT_SUCCEEDED(SafeArrayPtrOfIndex(psa_, index, &p));
        static double none = 0;
        return p ? *static_cast<double*>(p) : none;
    }
    std::vector<double> Components(LONG phase, LONG basis, LONG n = 3) {
        std::vector<double> values;
        for (LONG c = 0; c < n; ++c) values.push_back(Cell(phase, c, basis));
        return values;
    }
    SAFEARRAY* psa() { return psa_; }
    SlotRef Ref() { return SlotRef::Client(psa_); }

private:
    SAFEARRAY* psa_;
};

class PropertyStoreTest : public TesselTest {
protected:
    void SetUp() override { Create(); }
};

TEST_F(PropertyStoreTest, TheSlotsFirstDimensionIsThePhase) {
    ClientSlot slot(3);
    EXPECT_EQ(SafeArrayGetDim(slot.psa()), 3u);
    LONG upper = 0;
    SafeArrayGetUBound(slot.psa(), 1, &upper);
    EXPECT_EQ(upper, 7);
    SafeArrayGetUBound(slot.psa(), 2, &upper);
    EXPECT_EQ(upper, 2);
    slot.Cell(7, 2, 1) = 42;
    EXPECT_EQ(Doubles(*tessel_->GetValues(slot.Ref(), 7, 2, 1)), std::vector<double>{42});
}

TEST_F(PropertyStoreTest, SetValuesWritesOnePhaseAndBasisFromAbsoluteIndices) {
    std::vector<com::Variant> mixed;
    mixed.push_back(com::Variant());
    mixed.push_back(BoolValue(true));
    mixed.push_back(Str(L" 4 "));
    std::vector<com::Variant> badText;
    badText.push_back(Num(1));
    badText.push_back(Str(L"abc"));
    badText.push_back(Num(3));
    std::vector<com::Variant> nullOnly;
    nullOnly.push_back(NullValue());
    com::Variant byRefTarget = DoubleArray({7, 8, 9});
    com::Variant ints;
    {
        SAFEARRAYBOUND bound{3, 0};
        ints.get()->vt = VT_ARRAY | VT_I4;
        ints.get()->parray = SafeArrayCreate(VT_I4, 1, &bound);
        for (LONG k = 0; k < 3; ++k) {
            LONG v = 10 * (k + 1);
            SafeArrayPutElement(ints->parray, &k, &v);
        }
    }
    struct Case {
        const char* what;
        com::Variant values;
        std::vector<double> expected;  // phase 2, basis 1, components 0..2
        int error;
        int32_t i;
    };
    std::vector<Case> cases;
    cases.push_back({"one value per component", DoubleArray({1, 2, 3}), {1, 2, 3}, 0, 3});
    cases.push_back(
        {"values beyond the components are ignored", DoubleArray({1, 2, 3, 4}), {1, 2, 3}, 0, 3});
    cases.push_back(
        {"a single value sets every component", DoubleArray({0.5}), {.5, .5, .5}, 0, 3});
    cases.push_back(
        {"fewer values: error 9 after the first cells", DoubleArray({1, 2}), {1, 2, kOld}, 9, 2});
    cases.push_back({"only element has index 1", DoubleArray({7}, 1), {kOld, kOld, kOld}, 9, 0});
    cases.push_back(
        {"lower bound 1, three values", DoubleArray({1, 2, 3}, 1), {kOld, kOld, kOld}, 9, 0});
    cases.push_back(
        {"upper bound 0 from -1: element 0 for all", DoubleArray({5, 6}, -1), {6, 6, 6}, 0, 3});
    cases.push_back({"from -2 to 1: elements 0 and 1, then 9",
                     DoubleArray({4, 5, 6, 7}, -2),
                     {6, 7, kOld},
                     9,
                     2});
    cases.push_back({"no elements: nothing", DoubleArray({}), {kOld, kOld, kOld}, 0, kUntouched});
    cases.push_back(
        {"no elements from 5: upper bound 4", DoubleArray({}, 5), {kOld, kOld, kOld}, 9, 0});
    cases.push_back({"numeric texts", StringArray({L"1.5", L"2", L"-3e2"}), {1.5, 2, -300}, 0, 3});
    cases.push_back(
        {"Empty 0, True -1, blanks allowed", Variants(std::move(mixed)), {0, -1, 4}, 0, 3});
    cases.push_back({"text that is no number: 13 after cell 0",
                     Variants(std::move(badText)),
                     {1, kOld, kOld},
                     13,
                     1});
    cases.push_back(
        {"Null does not convert", Variants(std::move(nullOnly)), {kOld, kOld, kOld}, 13, 0});
    cases.push_back({"typed integers", std::move(ints), {10, 20, 30}, 0, 3});
    cases.push_back({"by reference", ByRef(byRefTarget), {7, 8, 9}, 0, 3});
    cases.push_back({"a number is no array", Num(5), {kOld, kOld, kOld}, 13, kUntouched});
    cases.push_back({"Empty is no array", com::Variant(), {kOld, kOld, kOld}, 13, kUntouched});
    cases.push_back({"never dimensioned", Undimensioned(VT_R8), {kOld, kOld, kOld}, 9, kUntouched});
    cases.push_back({"two dimensions", Matrix(3, 1, 1.0), {kOld, kOld, kOld}, 9, 0});
    for (Case& c : cases) {
        ClientSlot slot(3);
        tessel_->i = kUntouched;
        int error = 0;
        try {
            tessel_->setValues(slot.Ref(), 2, -1, 1, *c.values);
        } catch (const RaisedError& e) {
            error = e.number;
        }
        EXPECT_EQ(error, c.error) << c.what;
        EXPECT_EQ(slot.Components(2, 1), c.expected) << c.what;
        EXPECT_EQ(slot.Components(2, 0), std::vector<double>(3, kOld)) << c.what << ": other basis";
        EXPECT_EQ(slot.Components(1, 1), std::vector<double>(3, kOld)) << c.what << ": other phase";
        EXPECT_EQ(tessel_->i, c.i) << c.what;
    }
}

TEST_F(PropertyStoreTest, SetVariantValuesBehavesAsSetValues) {
    ClientSlot slot(3);
    EXPECT_EQ(tessel_->setVariantValues(slot.Ref(), 0, -1, 0, *DoubleArray({1, 2, 3})).vt(),
              VT_EMPTY);
    EXPECT_EQ(slot.Components(0, 0), (std::vector<double>{1, 2, 3}));
    EXPECT_EQ(Catch([&] {
                  tessel_->setVariantValues(slot.Ref(), 1, -1, 0, *DoubleArray({4, 5}));
              }).number,
              9);
    EXPECT_EQ(slot.Components(1, 0), (std::vector<double>{4, 5, kOld}));
}

TEST_F(PropertyStoreTest, AComponentIndexAddressesThatComponentOnly) {
    struct Case {
        const char* what;
        int16_t cp;
        std::vector<double> values;
        std::vector<double> expected;
        int error;
    } cases[] = {
        {"its own value of the list", 1, {1, 2, 3}, {kOld, 2, kOld}, 0},
        {"a single value", 2, {9}, {kOld, kOld, 9}, 0},
        {"no value of its index", 2, {1, 2}, {kOld, kOld, kOld}, 9},
        {"beyond the components", 3, {1, 2, 3, 4}, {kOld, kOld, kOld}, 9},
        {"below -1", -2, {1}, {kOld, kOld, kOld}, 9},
    };
    for (const Case& c : cases) {
        ClientSlot slot(3);
        int error = 0;
        try {
            tessel_->setValues(slot.Ref(), 4, c.cp, 0, *DoubleArray(c.values));
        } catch (const RaisedError& e) {
            error = e.number;
        }
        EXPECT_EQ(error, c.error) << c.what;
        EXPECT_EQ(slot.Components(4, 0), c.expected) << c.what;
    }
}

TEST_F(PropertyStoreTest, ReadingReturnsFreshArraysFromZero) {
    ClientSlot slot(3);
    for (LONG c = 0; c < 3; ++c) slot.Cell(5, c, 1) = 10.0 + c;
    struct Case {
        const char* what;
        bool perComponent;
        int16_t cp;
        std::vector<double> expected;
    } cases[] = {
        {"every component: the first", false, -1, {10}},
        {"one component", false, 2, {12}},
        {"per component, index unused", true, 1, {10, 11, 12}},
    };
    for (const Case& c : cases) {
        tessel_->i = kUntouched;
        com::Variant result = c.perComponent ? tessel_->GetVariantValues(slot.Ref(), 5, c.cp, 1)
                                             : tessel_->GetValues(slot.Ref(), 5, c.cp, 1);
        EXPECT_EQ(result.vt(), VT_ARRAY | VT_R8) << c.what;
        EXPECT_EQ(com::ArrayArg::Of(*result)->Lower(), 0) << c.what;
        EXPECT_EQ(Doubles(*result), c.expected) << c.what;
        EXPECT_EQ(tessel_->i, c.perComponent ? 3 : kUntouched) << c.what;
    }
    EXPECT_EQ(Catch([&] { tessel_->GetValues(slot.Ref(), 8, -1, 0); }).number, 9);
    EXPECT_EQ(Catch([&] { tessel_->GetValues(slot.Ref(), 0, 3, 0); }).number, 9);
    EXPECT_EQ(Catch([&] { tessel_->GetValues(slot.Ref(), 0, -1, 2); }).number, 9);
}

TEST_F(PropertyStoreTest, ClientSlotsMustBeThreeDimensionalDoubles) {
    ClientSlot small(2);
    EXPECT_EQ(Catch([&] {
                  tessel_->setValues(small.Ref(), 0, -1, 0, *DoubleArray({1, 2, 3}));
              }).number,
              9);
    EXPECT_EQ(small.Components(0, 0, 2), (std::vector<double>{1, 2}))
        << "cells before the error stay";
    EXPECT_EQ(Catch([&] { tessel_->GetVariantValues(small.Ref(), 0, -1, 0); }).number, 9);

    com::Variant flat = Matrix(8, 3, 0.0);
    com::Variant strings = StringArray({L"a"});
    for (SAFEARRAY* psa : {flat->parray, strings->parray, static_cast<SAFEARRAY*>(nullptr)}) {
        EXPECT_EQ(Catch([&] { SlotRef::Client(psa); }).number, 13);
    }
}

class FractionHelpersTest : public TesselTest {
protected:
    void SetUp() override { Create(L"fraction"); }
    std::vector<std::wstring> Lines() { return ReportLines(L"fraction"); }
};

TEST_F(FractionHelpersTest, SetFractionCopiesDoublesByIndexAndTracesWhatFails) {
    com::Variant byRefTarget = DoubleArray({8, 9});
    struct Case {
        const char* what;
        com::Variant values;
        std::vector<double> expected;  // the target, 0..2, was 0, 0, 0
        const wchar_t* line;           // nullptr: no line
        int32_t i;
    };
    std::vector<Case> cases;
    cases.push_back({"copies", DoubleArray({1, 2}), {1, 2, 0}, nullptr, 2});
    cases.push_back({"keeps the indices", DoubleArray({5, 6}, 1), {0, 5, 6}, nullptr, 3});
    cases.push_back({"stops outside the target",
                     DoubleArray({1, 2, 3, 4}),
                     {1, 2, 3},
                     L"Values size error",
                     3});
    cases.push_back({"by reference", ByRef(byRefTarget), {8, 9, 0}, nullptr, 2});
    cases.push_back({"strings are no doubles",
                     StringArray({L"1"}),
                     {0, 0, 0},
                     L"Values type error",
                     kUntouched});
    cases.push_back({"variants are no doubles",
                     Variants([] {
                         std::vector<com::Variant> v;
                         v.push_back(Num(1));
                         return v;
                     }()),
                     {0, 0, 0},
                     L"Values type error",
                     kUntouched});
    cases.push_back({"a double is no array", Num(1), {0, 0, 0}, L"Values type error", kUntouched});
    cases.push_back(
        {"never dimensioned", Undimensioned(VT_R8), {0, 0, 0}, L"Values size error", kUntouched});
    for (Case& c : cases) {
        com::Variant target = DoubleArray({0, 0, 0});
        const size_t before = Lines().size();
        tessel_->i = kUntouched;
        tessel_->setFraction(&target.get()->parray, c.values.get());
        EXPECT_EQ(Doubles(*target), c.expected) << c.what;
        EXPECT_EQ(tessel_->i, c.i) << c.what;
        const auto lines = Lines();
        if (c.line) {
            ASSERT_EQ(lines.size(), before + 1) << c.what;
            EXPECT_EQ(lines.back(), c.line) << c.what;
        } else {
            EXPECT_EQ(lines.size(), before) << c.what;
        }
    }
    SAFEARRAY* none = nullptr;
    com::Variant values = DoubleArray({1});
    tessel_->setFraction(&none, values.get());
    EXPECT_EQ(Lines().back(), L"Values size error") << "no target array";
}

TEST_F(FractionHelpersTest, SetFractionValueNeverStores) {
    struct Case {
        const char* what;
        com::Variant values;
        int16_t position;
        const wchar_t* line;
    };
    std::vector<Case> cases;
    cases.push_back(
        {"an array does not convert to one double", DoubleArray({4}), 0, L"Values size error"});
    cases.push_back({"also outside the target", DoubleArray({4}), 9, L"Values size error"});
    cases.push_back({"a double is the wrong type", Num(4), 0, L"Values type error"});
    cases.push_back({"so is Empty", com::Variant(), 0, L"Values type error"});
    for (Case& c : cases) {
        com::Variant target = DoubleArray({0, 0});
        tessel_->setFractionValue(&c.position, &target.get()->parray, c.values.get());
        EXPECT_EQ(Doubles(*target), (std::vector<double>{0, 0})) << c.what;
        EXPECT_EQ(Lines().back(), c.line) << c.what;
    }
    module_.g_reportOn = false;
    const size_t before = Lines().size();
    com::Variant target = DoubleArray({0});
    int16_t position = 0;
    tessel_->setFractionValue(&position, &target.get()->parray, Num(1).get());
    EXPECT_EQ(Lines().size(), before) << "nothing is written with reporting off";
}

}  // namespace
}  // namespace korvid::testing::props
