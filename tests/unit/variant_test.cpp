// The COM rules for reading arguments and building results.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>

#include "automation/com_error.h"
#include "automation/variant.h"
#include "tests/unit/fixtures.h"

namespace korvid::testing {
namespace {

using com::ArrayArg;
using com::Variant;

constexpr LCID kEnglish = 0x0409;
constexpr LCID kGerman = 0x0407;

Variant Scalar(VARTYPE vt) {
    Variant v;
    v.get()->vt = vt;
    return v;
}

Variant Bool(bool value) {
    Variant v = Scalar(VT_BOOL);
    v.get()->boolVal = value ? VARIANT_TRUE : VARIANT_FALSE;
    return v;
}

Variant Int(LONG value) {
    Variant v = Scalar(VT_I4);
    v.get()->lVal = value;
    return v;
}

// An array of objects, and an object by reference: values that OLE
// Automation's arithmetic must not take for an object to call.
Variant ObjectArray() {
    Variant v = Scalar(VT_ARRAY | VT_DISPATCH);
    v.get()->parray = SafeArrayCreateVector(VT_DISPATCH, 0, 1);
    return v;
}

Variant ObjectByReference() {
    static IDispatch* nothing = nullptr;
    Variant v = Scalar(VT_BYREF | VT_DISPATCH);
    v.get()->ppdispVal = &nothing;
    return v;
}

int ErrorOf(const std::function<void()>& body) {
    try {
        body();
    } catch (const RaisedError& e) {
        return e.number;
    }
    return 0;
}

class VariantTest : public ScriptedTest {};

TEST_F(VariantTest, ToDoubleFollowsTheAutomationConversion) {
    struct Case {
        const char* name;
        Variant value;
        LCID lcid;
        double expected;
        int error;
    } cases[] = {
        {"empty is zero", Variant(), kEnglish, 0.0, 0},
        {"true is minus one", Bool(true), kEnglish, -1.0, 0},
        {"false is zero", Bool(false), kEnglish, 0.0, 0},
        {"integer", Int(7), kEnglish, 7.0, 0},
        {"double", Variant::FromDouble(2.5), kEnglish, 2.5, 0},
        {"english text", Variant::FromText(L"1.5"), kEnglish, 1.5, 0},
        {"german text", Variant::FromText(L"1,5"), kGerman, 1.5, 0},
        {"blanks around a number", Variant::FromText(L"  42 "), kEnglish, 42.0, 0},
        {"letters", Variant::FromText(L"abc"), kEnglish, 0, kTypeMismatch},
        {"empty text", Variant::FromText(L""), kEnglish, 0, kTypeMismatch},
        {"null", Scalar(VT_NULL), kEnglish, 0, kTypeMismatch},
        {"array", DoubleArray({1.0}), kEnglish, 0, kTypeMismatch},
    };
    for (auto& c : cases) {
        double got = 0;
        int error = ErrorOf([&] { got = com::ToDouble(*c.value, c.lcid); });
        EXPECT_EQ(error, c.error) << c.name;
        if (!c.error) {
            EXPECT_EQ(got, c.expected) << c.name;
        }
    }
}

TEST_F(VariantTest, ToTextAndAppendNameKeepTheirOwnRules) {
    struct Case {
        const char* name;
        Variant value;
        std::wstring text;  // ToText
        int textError;
        std::wstring appended;  // "\tL\t" + AppendName
        int appendError;
    } cases[] = {
        {"text", Variant::FromText(L"fraction"), L"fraction", 0, L"\tL\tfraction", 0},
        {"empty", Variant(), L"", 0, L"\tL\t", 0},
        {"double", Variant::FromDouble(0.25), L"0.25", 0, L"", kTypeMismatch},
        {"integer", Int(3), L"3", 0, L"", kTypeMismatch},
        {"boolean", Bool(true), L"True", 0, L"", kTypeMismatch},
        {"null", Scalar(VT_NULL), L"", kInvalidUseOfNull, L"", kInvalidUseOfNull},
        {"array", StringArray({L"a"}), L"", kTypeMismatch, L"", kTypeMismatch},
        {"array of objects", ObjectArray(), L"", kTypeMismatch, L"", kTypeMismatch},
        {"object by reference", ObjectByReference(), L"", kTypeMismatch, L"", kTypeMismatch},
    };
    for (auto& c : cases) {
        std::wstring text;
        EXPECT_EQ(ErrorOf([&] { text = com::ToText(*c.value, kEnglish); }), c.textError) << c.name;
        if (!c.textError) {
            EXPECT_EQ(text, c.text) << c.name;
        }
        std::wstring line = L"\tL\t";
        EXPECT_EQ(ErrorOf([&] { com::AppendName(line, *c.value); }), c.appendError) << c.name;
        if (!c.appendError) {
            EXPECT_EQ(line, c.appended) << c.name;
        }
    }
    // Numbers in exponent form carry the locale's separator, as on Windows.
    Variant single = Scalar(VT_R4);
    single.get()->fltVal = 1.5e-7f;
    EXPECT_EQ(com::ToText(*single, kGerman), L"1,5E-07");
    EXPECT_EQ(com::ToText(*single, kEnglish), L"1.5E-07");
}

TEST_F(VariantTest, ArrayArgumentsAreReadFromLowerToUpperBoundWhateverTheirShape) {
    // By reference, as VBScript passes a variable.
    Variant strings = StringArray({L"a", L"b"}, 5);
    Variant byRef = Scalar(VT_BYREF | VT_VARIANT);
    byRef.get()->pvarVal = strings.get();
    auto array = ArrayArg::Of(*byRef);
    ASSERT_TRUE(array);
    EXPECT_EQ(array->Lower(), 5);
    EXPECT_EQ(array->Upper(), 6);
    EXPECT_EQ(com::ToText(*array->Element(6), kEnglish), L"b");
    EXPECT_EQ(ErrorOf([&] { array->Element(4); }), kSubscriptOutOfRange);
    EXPECT_EQ(ErrorOf([&] { array->Element(7); }), kSubscriptOutOfRange);

    // A variant array of mixed elements.
    std::vector<Variant> items;
    items.push_back(Variant::FromText(L"2"));
    items.push_back(Int(3));
    items.push_back(Variant());
    Variant mixed = VariantArray(std::move(items));
    auto m = ArrayArg::Of(*mixed);
    ASSERT_TRUE(m);
    EXPECT_EQ(m->ElementAsDouble(0, kEnglish), 2.0);
    EXPECT_EQ(m->ElementAsDouble(1, kEnglish), 3.0);
    EXPECT_EQ(m->ElementAsDouble(2, kEnglish), 0.0);

    // No array: scalars and Empty. An array type with a null pointer is an
    // array whose bounds cannot be read.
    EXPECT_FALSE(ArrayArg::Of(*Variant::FromText(L"x")));
    EXPECT_FALSE(ArrayArg::Of(*Variant()));
    EXPECT_EQ(ErrorOf([] { ArrayArg::Of(*Scalar(VT_ARRAY | VT_BSTR)); }), kSubscriptOutOfRange);
    EXPECT_FALSE(ArrayArg::Readable(*Scalar(VT_ARRAY | VT_BSTR)));

    // An empty array has no element; a two-dimensional one cannot be indexed once.
    Variant none = DoubleArray({});
    EXPECT_FALSE(ArrayArg::Of(*none)->HasElements());
    SAFEARRAYBOUND bounds[2] = {{2, 0}, {2, 0}};
    Variant twoD = Scalar(VT_ARRAY | VT_R8);
    twoD.get()->parray = SafeArrayCreate(VT_R8, 2, bounds);
    EXPECT_EQ(ErrorOf([&] { ArrayArg::Of(*twoD)->Element(0); }), kSubscriptOutOfRange);
}

TEST_F(VariantTest, ResultsAreFreshZeroBasedArrays) {
    Variant strings = com::MakeStringArray(std::vector<std::wstring>{L"x", L"", L"z"});
    EXPECT_EQ(strings.vt(), VT_ARRAY | VT_BSTR);
    EXPECT_EQ(Strings(*strings), (std::vector<std::wstring>{L"x", L"", L"z"}));
    EXPECT_EQ(ArrayArg::Of(*strings)->Lower(), 0);

    Variant bools = com::MakeBoolArray(2, true);
    EXPECT_EQ(bools.vt(), VT_ARRAY | VT_BOOL);
    EXPECT_EQ(Doubles(*bools), (std::vector<double>{-1.0, -1.0}));

    // Two dimensions: the first index varies fastest.
    Variant grid = com::MakeDoubleArray2D({1, 2, 3, 4, 5, 6}, 2, 3);
    LONG index[2] = {1, 2};
    double value = 0;
    ASSERT_EQ(SafeArrayGetElement(grid->parray, index, &value), S_OK);
    EXPECT_EQ(value, 6.0);
    index[0] = 1;
    index[1] = 0;
    SafeArrayGetElement(grid->parray, index, &value);
    EXPECT_EQ(value, 2.0);
}

TEST_F(VariantTest, RaisedErrorsBecomeControlHresultsWithErrorInfo) {
    RaisedError error{1, L"ICapeThermoMaterialObject.SetProp", L"x is not supported by this material object"};
    HRESULT hr = SetComError(error, IID_IDispatch);
    EXPECT_EQ(hr, static_cast<HRESULT>(0x800A0001));
    IErrorInfo* info = nullptr;
    ASSERT_EQ(GetErrorInfo(0, &info), S_OK);
    BSTR source = nullptr, description = nullptr;
    info->GetSource(&source);
    info->GetDescription(&description);
    EXPECT_STREQ(source, L"ICapeThermoMaterialObject.SetProp");
    EXPECT_STREQ(description, L"x is not supported by this material object");
    SysFreeString(source);
    SysFreeString(description);
    EXPECT_EQ(info->Release(), 0u) << "the thread held the only reference";

    struct Case {
        HRESULT from;
        int number;
    } cases[] = {{DISP_E_TYPEMISMATCH, 13}, {DISP_E_BADINDEX, 9}, {DISP_E_OVERFLOW, 6},
                 {E_OUTOFMEMORY, 7}, {static_cast<HRESULT>(0x800A0034), 52}};
    for (auto& c : cases) {
        EXPECT_EQ(ErrorOf([&] { RaiseFromHresult(c.from); }), c.number) << std::hex << c.from;
    }
}

}  // namespace
}  // namespace korvid::testing
