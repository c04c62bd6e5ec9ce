// The trace lines of SetProp and GetProp: their argument dumps line by line,
// the line before error 2, and the run-time errors of the dump.
#include <gtest/gtest.h>

#include "tests/unit/props_fixture.h"

namespace korvid::testing::props {
namespace {

using Lines = std::vector<std::wstring>;

const std::wstring kBanner(85, L'*');
const std::wstring kDashes = L"\t" + std::wstring(60, L'-');

std::wstring Label(const wchar_t* name, size_t blanks) { return name + std::wstring(blanks, L' '); }
std::wstring Arg(const wchar_t* name, size_t blanks, const std::wstring& value) {
    return L"\t" + Label(name, blanks) + L"\t" + value;
}
Lines Header(const wchar_t* operation) {
    return {kBanner, std::wstring(L"* ICapeThermoMaterialObject_") + operation, kBanner};
}
Lines Join(Lines first, const Lines& more) {
    first.insert(first.end(), more.begin(), more.end());
    return first;
}

// Form A: seven lines for one identifier and its value.
Lines SetGroupA(const std::wstring& id, const std::wstring& value) {
    return {Arg(L"Prop", 9, L"fraction"),
            Arg(L"Phase", 7, L"vapor"),
            Arg(L"CompIds", 3, id),
            Arg(L"CalcType", 0, L"calc"),
            Arg(L"Basis", 8, L"mole"),
            Arg(L"Values", 6, value),
            kDashes};
}
// Form C up to its "Values" line.
Lines SetHeadC(const std::wstring& property = L"fraction") {
    return {Arg(L"Prop", 7, property),
            Arg(L"Phase", 4, L"vapor"),
            Arg(L"CompIds", 3, L"All components"),
            Arg(L"CalcType", 0, L"calc"),
            Arg(L"Basis", 5, L"mole"),
            L"\tValues"};
}
Lines GetGroup(const std::wstring& id) {
    return {Arg(L"Prop", 9, L"fugacity"), Arg(L"Phase", 6, L""),     Arg(L"CompIds", 0, id),
            Arg(L"CalcType", 0, L""),     Arg(L"basis", 8, L"Mass"), kDashes};
}

class PropTraceTest : public TesselTest {
protected:
    void SetUp() override { Create(L"trace"); }
};

TEST_F(PropTraceTest, SetPropDumpsInThreeForms) {
    std::vector<com::Variant> numericId;
    numericId.push_back(Num(5));
    struct Case {
        const char* what;
        com::Variant compIds;
        com::Variant values;
        Lines dump;
        int error;
    };
    std::vector<Case> cases;
    cases.push_back({"C: one line per value, named by CAS number", com::Variant(),
                     DoubleArray({0.25, 310.5, -1e-5}),
                     Join(SetHeadC(), {L"\t\t74-82-8:\t0.25", L"\t\t74-84-0:\t310.5",
                                       L"\t\t7732-18-5:\t-1E-05", kDashes}),
                     0});
    cases.push_back({"C: a single value for all", com::Variant(), DoubleArray({350}),
                     Join(SetHeadC(), {L"\t\tAll :\t350", kDashes}), 0});
    cases.push_back(
        {"C: no values", com::Variant(), DoubleArray({}), Join(SetHeadC(), {kDashes}), 0});
    cases.push_back({"C: texts unchanged", com::Variant(), StringArray({L"0.5", L" 1e1"}),
                     Join(SetHeadC(), {L"\t\t74-82-8:\t0.5", L"\t\t74-84-0:\t 1e1", kDashes}), 9});
    cases.push_back({"C: index beyond the components: 9 before any check", com::Variant(),
                     DoubleArray({1, 2, 3}, 1),
                     Join(SetHeadC(), {L"\t\t74-84-0:\t1", L"\t\t7732-18-5:\t2"}), 9});
    cases.push_back(
        {"C: one element not at 0: 9", com::Variant(), DoubleArray({1}, 1), SetHeadC(), 9});
    cases.push_back({"A: a group per identifier", StringArray({L"Methane", L"Water"}),
                     DoubleArray({0.75, 0.25, 9}),
                     Join(SetGroupA(L"Methane", L"0.75"), SetGroupA(L"Water", L"0.25")), 0});
    cases.push_back(
        {"A: no identifiers, no lines", StringArray({}), DoubleArray({1, 2, 3}), {}, 0});
    cases.push_back(
        {"A: values shorter than compIds: 9", StringArray({L"a", L"b"}), DoubleArray({4}),
         Join(SetGroupA(L"a", L"4"),
              {Arg(L"Prop", 9, L"fraction"), Arg(L"Phase", 7, L"vapor"), Arg(L"CompIds", 3, L"b"),
               Arg(L"CalcType", 0, L"calc"), Arg(L"Basis", 8, L"mole")}),
         9});
    cases.push_back({"A: a number is no name: 13",
                     Variants(std::move(numericId)),
                     DoubleArray({4}),
                     {Arg(L"Prop", 9, L"fraction"), Arg(L"Phase", 7, L"vapor")},
                     13});
    cases.push_back({"B: a value that is no array",
                     com::Variant(),
                     Num(350.5),
                     {Arg(L"Prop", 7, L"fraction"), Arg(L"Phase", 4, L"vapor"),
                      Arg(L"CompIds", 0, L""), Arg(L"CalcType", 0, L"calc"),
                      Arg(L"Basis", 5, L"mole"), Arg(L"Values", 3, L"350.5"), kDashes},
                     13});
    cases.push_back({"B: texts as they are",
                     Str(L"Water"),
                     Str(L"abc"),
                     {Arg(L"Prop", 7, L"fraction"), Arg(L"Phase", 4, L"vapor"),
                      Arg(L"CompIds", 0, L"Water"), Arg(L"CalcType", 0, L"calc"),
                      Arg(L"Basis", 5, L"mole"), Arg(L"Values", 3, L"abc"), kDashes},
                     13});
    cases.push_back({"B: compIds an array: 13 in the dump",
                     StringArray({L"Water"}),
                     Num(1),
                     {Arg(L"Prop", 7, L"fraction"), Arg(L"Phase", 4, L"vapor")},
                     13});
    for (Case& c : cases) {
        const size_t before = ReportLines(L"trace").size();
        int error = 0;
        try {
            tessel_->ICapeThermoMaterialObject_SetProp(L"fraction", L"vapor", *c.compIds, L"calc",
                                                       L"mole", *c.values);
        } catch (const RaisedError& e) {
            error = e.number;
        }
        EXPECT_EQ(error, c.error) << c.what;
        const Lines all = ReportLines(L"trace");
        ASSERT_GE(all.size(), before + 3) << c.what;
        EXPECT_EQ(Lines(all.begin() + before, all.begin() + before + 3), Header(L"SetProp"))
            << c.what;
        EXPECT_EQ(Lines(all.begin() + before + 3, all.end()), c.dump) << c.what;
    }
}

TEST_F(PropTraceTest, AHugeListIsTracedCompletely) {
    constexpr size_t kCount = 20000;  // more text than one write takes
    std::vector<std::wstring> ids(kCount, L"Water");
    std::vector<double> values(kCount, 0.5);
    const size_t before = ReportLines(L"trace").size();
    tessel_->ICapeThermoMaterialObject_SetProp(L"fraction", L"vapor", *StringArray(ids), L"calc",
                                               L"mole", *DoubleArray(values));
    const Lines all = ReportLines(L"trace");
    ASSERT_EQ(all.size(), before + 3 + 7 * kCount);
    EXPECT_EQ(Lines(all.end() - 7, all.end()), SetGroupA(L"Water", L"0.5"));
}

TEST_F(PropTraceTest, AnErrorInTheDumpStoresNothing) {
    EXPECT_EQ(Catch([&] {
                  tessel_->ICapeThermoMaterialObject_SetProp(L"fraction", L"", *com::Variant(), L"",
                                                             L"", *DoubleArray({1, 2, 3, 4}));
              }).number,
              9);
    EXPECT_EQ(Doubles(*tessel_->ICapeThermoMaterialObject_GetProp(L"fraction", L"", *com::Variant(),
                                                                  L"", L"")),
              (std::vector<double>{0, 0, 0}));
}

// The public list of ids, replaced by a client, names the values of a dump:
// an id that is no text fails the call with 13, an array of objects as well
// (OLE Automation is never handed one to add to a text).
TEST_F(PropTraceTest, StoredIdsThatAreNoTextsFailTheDumpWith13) {
    com::Variant objects;
    objects.get()->vt = VT_ARRAY | VT_DISPATCH;
    objects.get()->parray = SafeArrayCreateVector(VT_DISPATCH, 0, 1);
    std::vector<com::Variant> odd;
    odd.push_back(Num(2));
    odd.push_back(std::move(objects));
    for (com::Variant& id : odd) {
        std::vector<com::Variant> ids;
        ids.push_back(Str(L"Methane"));
        ids.push_back(com::Variant::CopyOf(*id));
        tessel_->m_componentIDs = Variants(std::move(ids));
        EXPECT_EQ(Catch([&] {
                      tessel_->ICapeThermoMaterialObject_SetProp(L"fraction", L"", *com::Variant(),
                                                                 L"", L"", *DoubleArray({1, 2}));
                  }).number,
                  13);
    }
}

TEST_F(PropTraceTest, PhaseAndBasisAreWrittenAsReceived) {
    tessel_->ICapeThermoMaterialObject_SetProp(L"Temperature", L"", *com::Variant(), L"", L"",
                                               *DoubleArray({1}));
    const Lines all = ReportLines(L"trace");
    const Lines expected = {Arg(L"Prop", 7, L"Temperature"),
                            Arg(L"Phase", 4, L""),
                            Arg(L"CompIds", 3, L"All components"),
                            Arg(L"CalcType", 0, L""),
                            Arg(L"Basis", 5, L""),
                            L"\tValues",
                            L"\t\tAll :\t1",
                            kDashes};
    EXPECT_EQ(Lines(all.end() - 8, all.end()), expected);
}

TEST_F(PropTraceTest, GetPropDumpsSixLinesOrSixPerIdentifier) {
    struct Case {
        const char* what;
        com::Variant compIds;
        Lines dump;
    };
    std::vector<Case> cases;
    cases.push_back({"no identifiers",
                     com::Variant(),
                     {Arg(L"Prop", 6, L"fugacity"), Arg(L"Phase", 4, L""),
                      Arg(L"CompIds", 0, L"All components"), Arg(L"CalcType", 0, L""),
                      Arg(L"basis", 6, L"Mass"), kDashes}});
    cases.push_back({"a single text is no list",
                     Str(L"Water"),
                     {Arg(L"Prop", 6, L"fugacity"), Arg(L"Phase", 4, L""),
                      Arg(L"CompIds", 0, L"All components"), Arg(L"CalcType", 0, L""),
                      Arg(L"basis", 6, L"Mass"), kDashes}});
    cases.push_back({"two identifiers, twelve lines", StringArray({L"Methane", L"Ethane"}, 1),
                     Join(GetGroup(L"Methane"), GetGroup(L"Ethane"))});
    cases.push_back({"an empty list writes nothing", StringArray({}), {}});
    for (Case& c : cases) {
        const size_t before = ReportLines(L"trace").size();
        EXPECT_EQ(Doubles(*tessel_->ICapeThermoMaterialObject_GetProp(L"fugacity", L"", *c.compIds,
                                                                      L"", L"Mass")),
                  (std::vector<double>{0, 0, 0}))
            << c.what;
        const Lines all = ReportLines(L"trace");
        EXPECT_EQ(Lines(all.begin() + before, all.begin() + before + 3), Header(L"GetProp"))
            << c.what;
        EXPECT_EQ(Lines(all.begin() + before + 3, all.end()), c.dump) << c.what;
    }
}

TEST_F(PropTraceTest, AcceptedNamesWithoutASlotAreTracedBeforeError2) {
    for (const wchar_t* property : {L"energy", L"temperature.DPressure"}) {
        for (bool set : {true, false}) {
            const RaisedError e = Catch([&] {
                if (set) {
                    tessel_->ICapeThermoMaterialObject_SetProp(property, L"", *com::Variant(), L"",
                                                               L"", *DoubleArray({1}));
                } else {
                    tessel_->ICapeThermoMaterialObject_GetProp(property, L"", *com::Variant(), L"",
                                                               L"");
                }
            });
            EXPECT_EQ(e.number, 2);
            const Lines all = ReportLines(L"trace");
            EXPECT_EQ(all.back(),
                      std::wstring(L"\tError: Invalid Call to the Material Object. ") + property +
                          L" is not administered by the MO and you should never call it.");
            EXPECT_EQ(all[all.size() - 2], kDashes) << "the line follows the dump";
        }
    }
}

TEST_F(PropTraceTest, RefusalsOtherThanError2WriteNoLineOfTheirOwn) {
    for (const wchar_t* property : {L"bogus", L"fraction"}) {
        Catch([&] {
            tessel_->ICapeThermoMaterialObject_GetProp(property, L"plasma", *com::Variant(), L"",
                                                       L"");
        });
        EXPECT_EQ(ReportLines(L"trace").back(), kDashes) << "the refused phase adds no line";
    }
}

TEST_F(PropTraceTest, NothingIsWrittenWithReportingOff) {
    module_.g_reportOn = false;
    const size_t before = ReportLines(L"trace").size();
    tessel_->ICapeThermoMaterialObject_SetProp(L"fraction", L"vapor", *StringArray({L"Water"}), L"",
                                               L"", *DoubleArray({1, 2, 3}));
    Catch([&] {
        tessel_->ICapeThermoMaterialObject_GetProp(L"energy", L"", *com::Variant(), L"", L"");
    });
    // With reporting off the dump does not run, so its errors do not either.
    tessel_->ICapeThermoMaterialObject_SetProp(L"fraction", L"", *com::Variant(), L"", L"",
                                               *DoubleArray({1, 2, 3, 4}));
    EXPECT_EQ(ReportLines(L"trace").size(), before);
}

TEST_F(PropTraceTest, AClosedReportFailsTheCallWithError52) {
    platform_.CloseFile(module_.g_reportFileNo);
    for (bool set : {true, false}) {
        const RaisedError e = Catch([&] {
            if (set) {
                tessel_->ICapeThermoMaterialObject_SetProp(L"fraction", L"", *com::Variant(), L"",
                                                           L"", *DoubleArray({1}));
            } else {
                tessel_->ICapeThermoMaterialObject_GetProp(L"fraction", L"", *com::Variant(), L"",
                                                           L"");
            }
        });
        EXPECT_EQ(e.number, 52);
    }
}

}  // namespace
}  // namespace korvid::testing::props
