// SetProp and GetProp through the COM object, with the argument shapes that
// clients send: script arrays of variants (often by reference), typed arrays
// from compiled clients, other lower bounds, NULL texts, Null, objects,
// several dimensions, arrays never dimensioned, very long arrays. Each gives
// its result or its error; none crashes.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "com_server/prop_invoke.h"
#include "com_server/tessel_object.h"
#include "tests/unit/props_fixture.h"
#include "tools/soak/process_memory.h"

namespace korvid::testing::props {
namespace {

struct Outcome {
    HRESULT hr;
    std::wstring source;
    std::wstring description;
};

// The thread's error information after a failed vtable call.
Outcome Failure(HRESULT hr) {
    Outcome outcome{hr, L"", L""};
    IErrorInfo* info = nullptr;
    if (GetErrorInfo(0, &info) == S_OK && info) {
        BSTR text = nullptr;
        if (SUCCEEDED(info->GetSource(&text))) outcome.source = com::Text(text);
        SysFreeString(text);
        text = nullptr;
        if (SUCCEEDED(info->GetDescription(&text))) outcome.description = com::Text(text);
        SysFreeString(text);
        info->Release();
    }
    return outcome;
}

class PropComShapesTest : public ScriptedTest {
protected:
    void SetUp() override {
        DefineComponents(ThreeComponents());
        QueueOkForm(L"");
        ASSERT_EQ(com::CreateTesselObject(IID_ICapeThermoMaterialObject,
                                          reinterpret_cast<void**>(&thermo_)),
                  S_OK);
    }
    void TearDown() override {
        if (thermo_) thermo_->Release();
    }

    Outcome SetProp(const VARIANT& compIds, const VARIANT& values, BSTR property) {
        BSTR phase = SysAllocString(L"vapor");
        HRESULT hr = thermo_->SetProp(property, phase, compIds, nullptr, nullptr, values);
        SysFreeString(phase);
        return FAILED(hr) ? Failure(hr) : Outcome{hr, L"", L""};
    }
    std::vector<double> Fractions() {
        BSTR property = SysAllocString(L"fraction");
        BSTR phase = SysAllocString(L"vapor");
        com::Variant result;
        EXPECT_EQ(
            thermo_->GetProp(property, phase, *com::Variant(), nullptr, nullptr, result.get()),
            S_OK);
        SysFreeString(property);
        SysFreeString(phase);
        return Doubles(*result);
    }

    ICapeThermoMaterialObject* thermo_ = nullptr;
};

com::Variant BstrArrayWithNull() {
    com::Variant v = StringArray({L"Methane", L"x"});
    LONG index = 1;
    BSTR* cell = nullptr;
    SafeArrayPtrOfIndex(v->parray, &index, reinterpret_cast<void**>(&cell));
    SysFreeString(*cell);
    *cell = nullptr;
    return v;
}

com::Variant NullDispatch() {
    com::Variant v;
    v.get()->vt = VT_DISPATCH;
    v.get()->pdispVal = nullptr;
    return v;
}

TEST_F(PropComShapesTest, SetPropTakesEveryShapeOrNamesItsError) {
    constexpr HRESULT kOk = S_OK;
    constexpr HRESULT k9 = static_cast<HRESULT>(0x800A0009);
    constexpr HRESULT k13 = static_cast<HRESULT>(0x800A000D);
    com::Variant scriptValues = Variants([] {
        std::vector<com::Variant> v;
        v.push_back(Num(0.1));
        v.push_back(Str(L"0.2"));
        v.push_back(Num(0.7));
        return v;
    }());
    std::vector<double> huge(1000000, 0.0);
    huge[0] = 1;
    huge[1] = 2;
    huge[2] = 3;
    std::vector<com::Variant> withNull;
    withNull.push_back(NullValue());
    struct Case {
        const char* what;
        com::Variant compIds;
        com::Variant values;
        HRESULT hr;
        std::vector<double> stored;  // fractions afterwards (when it succeeded)
    };
    std::vector<Case> cases;
    cases.push_back({"script array of variants",
                     com::Variant(),
                     Variants([] {
                         std::vector<com::Variant> v;
                         v.push_back(Num(0.1));
                         v.push_back(Num(0.2));
                         v.push_back(Num(0.7));
                         return v;
                     }()),
                     kOk,
                     {0.1, 0.2, 0.7}});
    cases.push_back({"by reference", com::Variant(), ByRef(scriptValues), kOk, {0.1, 0.2, 0.7}});
    cases.push_back({"typed doubles from 1",
                     com::Variant(),
                     DoubleArray({9, 0.5, 0.25, 0.25}, -1),
                     kOk,
                     {0.5, 0.25, 0.25}});
    cases.push_back({"typed identifiers",
                     StringArray({L"Water", L"Methane"}, 7),
                     DoubleArray({1, 2, 3}),
                     kOk,
                     {1, 2, 3}});
    cases.push_back({"a very long array", com::Variant(), DoubleArray(huge), kOk, {1, 2, 3}});
    cases.push_back({"compIds an object", NullDispatch(), DoubleArray({4}), kOk, {4, 4, 4}});
    cases.push_back(
        {"compIds of two dimensions", Matrix(2, 2, 0.0), DoubleArray({5}), kOk, {5, 5, 5}});
    cases.push_back({"values Null", com::Variant(), NullValue(), k13, {}});
    cases.push_back({"values Empty", com::Variant(), com::Variant(), k13, {}});
    cases.push_back({"values an object", com::Variant(), NullDispatch(), k13, {}});
    cases.push_back({"values of two dimensions", com::Variant(), Matrix(3, 1, 1.0), k9, {}});
    cases.push_back(
        {"values never dimensioned", com::Variant(), Undimensioned(VT_VARIANT), k9, {}});
    cases.push_back({"values that are no numbers", com::Variant(), StringArray({L"abc"}), k13, {}});
    cases.push_back({"a Null value", com::Variant(), Variants(std::move(withNull)), k13, {}});
    for (Case& c : cases) {
        BSTR property = SysAllocString(L"fraction");
        const Outcome outcome = SetProp(*c.compIds, *c.values, property);
        SysFreeString(property);
        EXPECT_EQ(outcome.hr, c.hr) << c.what;
        if (FAILED(c.hr)) {
            EXPECT_EQ(outcome.source, L"Korvid") << c.what;
            EXPECT_FALSE(outcome.description.empty()) << c.what;
        } else {
            EXPECT_EQ(Fractions(), c.stored) << c.what;
        }
    }
    EXPECT_TRUE(platform_.messages.empty());
}

TEST_F(PropComShapesTest, NullTextsAreEmptyTexts) {
    const Outcome noProperty = SetProp(*com::Variant(), *DoubleArray({1}), nullptr);
    EXPECT_EQ(noProperty.hr, static_cast<HRESULT>(0x800A0001));
    EXPECT_EQ(noProperty.source, L"ICapeThermoMaterialObject.SetProp");
    EXPECT_EQ(noProperty.description, L" is not supported by this material object");

    // NULL phase, calcType and basis: "overall" and "mole".
    BSTR property = SysAllocString(L"temperature");
    ASSERT_EQ(
        thermo_->SetProp(property, nullptr, *com::Variant(), nullptr, nullptr, *DoubleArray({300})),
        S_OK);
    com::Variant result;
    ASSERT_EQ(thermo_->GetProp(property, nullptr, *com::Variant(), nullptr, nullptr, result.get()),
              S_OK);
    SysFreeString(property);
    EXPECT_EQ(Doubles(*result), std::vector<double>{300});

    // A NULL identifier in a typed list is the empty text: no such component.
    property = SysAllocString(L"fraction");
    const Outcome unknown = SetProp(*BstrArrayWithNull(), *DoubleArray({1}), property);
    SysFreeString(property);
    EXPECT_EQ(unknown.hr, static_cast<HRESULT>(0x800A0001));
    EXPECT_EQ(unknown.description,
              L"Error from Korvid.ICapeThermoMaterialObject.SetProp: Invalid Components.");
    EXPECT_EQ(platform_.messages.size(), 1u);
}

TEST_F(PropComShapesTest, GetPropAnswersEveryCompIdsShapeTheSame) {
    com::Variant scriptIds = Variants([] {
        std::vector<com::Variant> v;
        v.push_back(Str(L"Ethane"));
        return v;
    }());
    struct Case {
        const char* what;
        com::Variant compIds;
    };
    std::vector<Case> cases;
    cases.push_back({"Empty", com::Variant()});
    cases.push_back({"script list by reference", ByRef(scriptIds)});
    cases.push_back({"typed list from 3", StringArray({L"Water"}, 3)});
    cases.push_back({"empty list", StringArray({})});
    cases.push_back({"Null", NullValue()});
    cases.push_back({"an object", NullDispatch()});
    cases.push_back({"never dimensioned", Undimensioned(VT_BSTR)});
    BSTR property = SysAllocString(L"FUGACITY");
    for (Case& c : cases) {
        com::Variant result;
        EXPECT_EQ(thermo_->GetProp(property, nullptr, *c.compIds, nullptr, nullptr, result.get()),
                  S_OK)
            << c.what;
        EXPECT_EQ(result.vt(), VT_ARRAY | VT_R8) << c.what;
        EXPECT_EQ(Doubles(*result), (std::vector<double>{0, 0, 0})) << c.what;
    }
    SysFreeString(property);
}

TEST_F(PropComShapesTest, ScriptsReachSetPropGetPropAndTheChecksByName) {
    IDispatch* dispatch = nullptr;
    ASSERT_EQ(thermo_->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&dispatch)), S_OK);
    com::Variant property = Str(L"fraction"), phase = Str(L"Vapor"), ids, calc = Str(L""),
                 basis = Str(L""), values = Variants([] {
                                       std::vector<com::Variant> v;
                                       v.push_back(Num(0.5));
                                       v.push_back(Num(0.25));
                                       v.push_back(Num(0.25));
                                       return v;
                                   }());
    EXCEPINFO excep{};
    EXPECT_EQ(InvokeByName(dispatch, L"SetProp", {&property, &phase, &ids, &calc, &basis, &values},
                           nullptr, &excep),
              S_OK);
    com::Variant result;
    EXPECT_EQ(InvokeByName(dispatch, L"GetProp", {&property, &phase, &ids, &calc, &basis},
                           result.get(), &excep),
              S_OK);
    EXPECT_EQ(Doubles(*result), (std::vector<double>{0.5, 0.25, 0.25}));

    com::Variant bogus = Str(L"bogus");
    EXPECT_EQ(InvokeByName(dispatch, L"GetProp", {&bogus, &phase, &ids, &calc, &basis},
                           com::Variant().get(), &excep),
              DISP_E_EXCEPTION);
    EXPECT_EQ(excep.scode, static_cast<HRESULT>(0x800A0001));
    EXPECT_EQ(com::Text(excep.bstrSource), L"ICapeThermoMaterialObject.GetProp");
    EXPECT_EQ(com::Text(excep.bstrDescription), L"bogus is not supported by this material object");
    SysFreeString(excep.bstrSource);
    SysFreeString(excep.bstrDescription);
    SysFreeString(excep.bstrHelpFile);

    // A published check writes its list into the script's own variable.
    com::Variant props = Variants([] {
        std::vector<com::Variant> v;
        v.push_back(Str(L"viscosity"));
        v.push_back(Str(L"colour"));
        return v;
    }());
    com::Variant retVar;
    com::Variant answer;
    EXPECT_EQ(InvokeByName(dispatch, L"CheckNonCstProp", {&props, &retVar}, answer.get(), &excep),
              S_OK);
    EXPECT_EQ(answer.vt(), VT_BOOL);
    EXPECT_EQ(answer->boolVal, VARIANT_FALSE);
    EXPECT_EQ(Strings(*retVar), (std::vector<std::wstring>{L"", L"colour"}));
    dispatch->Release();
}

TEST_F(PropComShapesTest, FailedCallsByNameLeaveNoResultAndDescribeTheirError) {
    IDispatch* dispatch = nullptr;
    ASSERT_EQ(thermo_->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&dispatch)), S_OK);
    com::Variant nulName = Str(std::wstring(L"\0mass", 5)), phase = Str(L"vapor"), ids,
                 blank = Str(L""), values = DoubleArray({1, 2, 3}), number = Num(1), retVar;
    constexpr HRESULT k1 = static_cast<HRESULT>(0x800A0001);
    constexpr HRESULT k13 = static_cast<HRESULT>(0x800A000D);
    // The checks fail with a False result on the stack; the texts hold a NUL
    // first (SetProp with a number for its phase takes the type library's way).
    struct Case {
        const wchar_t* name;
        std::vector<com::Variant*> args;
        HRESULT scode;
    } cases[] = {
        {L"CheckNonCstProp", {&number, &retVar}, k13},
        {L"CheckCstProp", {&retVar, &number}, k13},
        {L"GetProp", {&nulName, &phase, &ids, &blank, &blank}, k1},
        {L"SetProp", {&nulName, &phase, &ids, &blank, &blank, &values}, k1},
        {L"SetProp", {&nulName, &number, &ids, &blank, &blank, &values}, k1},
    };
    for (Case& c : cases) {
        com::Variant result;
        EXCEPINFO excep{};
        EXPECT_EQ(InvokeByName(dispatch, c.name, c.args, result.get(), &excep), DISP_E_EXCEPTION)
            << c.name;
        EXPECT_EQ(excep.scode, c.scode) << c.name;
        EXPECT_TRUE(excep.bstrDescription && excep.bstrDescription[0]) << c.name;
        EXPECT_EQ(result.vt(), VT_EMPTY) << c.name;
        SysFreeString(excep.bstrSource);
        SysFreeString(excep.bstrDescription);
        SysFreeString(excep.bstrHelpFile);
    }
    dispatch->Release();
}

// SetProp and GetProp through IDispatch take a short way when their texts
// arrive as texts (by-reference variants holding BSTRs, as scripts send
// them), and the type library's way otherwise (here: by-reference BSTRs,
// which it converts). Both ways must give the same outcome: HRESULT,
// EXCEPINFO, result, the thread's error information afterwards, and trace.
class ShortInvokeTest : public ScriptedTest {
protected:
    struct Seen {
        HRESULT hr;
        SCODE scode;
        std::wstring source, description;
        VARTYPE resultType;
        std::vector<double> result;
        bool errorInfoLeft;
        std::vector<std::wstring> trace;

        bool operator==(const Seen& o) const {
            return hr == o.hr && scode == o.scode && source == o.source &&
                   description == o.description && resultType == o.resultType &&
                   result == o.result && errorInfoLeft == o.errorInfoLeft && trace == o.trace;
        }
    };

    // One call on a fresh object reporting to `report`: texts by reference
    // as `textType` (VT_VARIANT or VT_BSTR) says.
    Seen Call(const wchar_t* report, const wchar_t* method, std::vector<std::wstring> texts,
              com::Variant* compIds, com::Variant* values, VARTYPE textType, bool withExcep) {
        DefineComponents(ThreeComponents());
        QueueOkForm(report);
        IDispatch* dispatch = nullptr;
        EXPECT_EQ(com::CreateTesselObject(IID_IDispatch, reinterpret_cast<void**>(&dispatch)),
                  S_OK);
        if (!dispatch) return {};
        std::vector<com::Variant> textValues;
        for (const auto& text : texts) textValues.push_back(Str(text.c_str()));
        std::vector<VARIANT> args;  // first parameter first; reversed below
        for (size_t k = 0; k < textValues.size(); ++k) {
            if (k == 2) args.push_back(ByRefVariant(compIds));
            VARIANT arg;
            VariantInit(&arg);
            arg.vt = VT_BYREF | textType;
            if (textType == VT_BSTR) {
                arg.pbstrVal = &textValues[k].get()->bstrVal;
            } else {
                arg.pvarVal = textValues[k].get();
            }
            args.push_back(arg);
        }
        if (values) args.push_back(ByRefVariant(values));
        std::reverse(args.begin(), args.end());
        DISPPARAMS params{args.data(), nullptr, static_cast<UINT>(args.size()), 0};
        DISPID id = DISPID_UNKNOWN;
        LPOLESTR names[] = {const_cast<LPOLESTR>(method)};
        EXPECT_EQ(dispatch->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id), S_OK);
        EXCEPINFO excep{};
        com::Variant result;
        UINT argErr = 0;
        Seen seen{};
        seen.hr = dispatch->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &params,
                                   values ? nullptr : result.get(), withExcep ? &excep : nullptr,
                                   &argErr);
        IErrorInfo* info = nullptr;
        seen.errorInfoLeft = GetErrorInfo(0, &info) == S_OK;
        if (info) info->Release();
        seen.scode = excep.scode;
        seen.source = com::Text(excep.bstrSource);
        seen.description = com::Text(excep.bstrDescription);
        SysFreeString(excep.bstrSource);
        SysFreeString(excep.bstrDescription);
        SysFreeString(excep.bstrHelpFile);
        seen.resultType = result.vt();
        if (result.vt() == (VT_ARRAY | VT_R8)) seen.result = Doubles(*result);
        dispatch->Release();  // closes the report
        seen.trace = ReportLines(report);
        return seen;
    }

    static VARIANT ByRefVariant(com::Variant* target) {
        VARIANT arg;
        VariantInit(&arg);
        arg.vt = VT_BYREF | VT_VARIANT;
        arg.pvarVal = target->get();
        return arg;
    }
};

TEST_F(ShortInvokeTest, GivesWhatTheTypeLibraryWayGives) {
    constexpr const wchar_t* kSet = L"SetProp";
    constexpr const wchar_t* kGet = L"GetProp";
    struct Case {
        const char* what;
        const wchar_t* method;
        std::vector<std::wstring> texts;  // property, phase, calcType, basis
        bool ids;                         // compIds a script list, else Empty
        std::vector<double> values;       // SetProp's values; none for GetProp
        bool textValue = false;           // SetProp's values a text that is no number
    };
    const Case cases[] = {
        {"SetProp stored", kSet, {L"fraction", L"vapor", L"", L"mole"}, false, {0.5, 0.25, 0.25}},
        {"SetProp with identifiers", kSet, {L"fraction", L"", L"x", L"MASS"}, true, {1, 2, 3}},
        {"SetProp refused property", kSet, {L"bogus", L"vapor", L"", L""}, false, {1}},
        {"SetProp refused basis", kSet, {L"fraction", L"vapor", L"", L"weight"}, false, {1}},
        {"SetProp not administered", kSet, {L"density", L"vapor", L"", L""}, false, {1}},
        {"SetProp values too short", kSet, {L"fraction", L"vapor", L"", L""}, false, {1, 2}},
        {"SetProp value no number", kSet, {L"fraction", L"vapor", L"", L""}, false, {}, true},
        {"GetProp one value", kGet, {L"temperature", L"", L"", L""}, false, {}},
        {"GetProp per component", kGet, {L"fraction", L"overall", L"", L"mole"}, true, {}},
        {"GetProp refused phase", kGet, {L"fraction", L"GasLiquid", L"", L""}, false, {}},
    };
    for (const Case& c : cases) {
        for (bool withExcep : {true, false}) {
            Seen ways[2];
            for (int way = 0; way < 2; ++way) {
                com::Variant ids;
                if (c.ids)
                    ids = Variants([] {
                        std::vector<com::Variant> v;
                        v.push_back(Str(L"Ethane"));
                        return v;
                    }());
                com::Variant values;
                if (c.textValue) {
                    values = Str(L"many");
                } else {
                    values = Variants([&] {
                        std::vector<com::Variant> v;
                        for (double d : c.values) v.push_back(Num(d));
                        return v;
                    }());
                }
                const bool set = c.method == kSet;
                ways[way] = Call(L"short_invoke", c.method, c.texts, &ids, set ? &values : nullptr,
                                 way == 0 ? VT_VARIANT : VT_BSTR, withExcep);
            }
            EXPECT_TRUE(ways[0] == ways[1])
                << c.what << (withExcep ? " with" : " without") << " EXCEPINFO: short way "
                << std::hex << ways[0].hr << " scode " << ways[0].scode << ", type library way "
                << ways[1].hr << " scode " << ways[1].scode << std::dec << ", error info left "
                << ways[0].errorInfoLeft << "/" << ways[1].errorInfoLeft << ", trace lines "
                << ways[0].trace.size() << "/" << ways[1].trace.size();
            EXPECT_FALSE(ways[0].trace.empty()) << c.what;
        }
    }
}

TEST_F(ShortInvokeTest, OnlyReadyArgumentsTakeTheShortWay) {
    DefineComponents(ThreeComponents());
    QueueOkForm(L"");
    ICapeThermoMaterialObject* thermo = nullptr;
    ASSERT_EQ(
        com::CreateTesselObject(IID_ICapeThermoMaterialObject, reinterpret_cast<void**>(&thermo)),
        S_OK);
    com::Variant text = Str(L"fraction"), number = Num(1), empty, nested;
    nested.get()->vt = VT_BYREF | VT_VARIANT;
    nested.get()->pvarVal = empty.get();
    auto byRef = [](com::Variant& target) {
        VARIANT v;
        VariantInit(&v);
        v.vt = VT_BYREF | VT_VARIANT;
        v.pvarVal = target.get();
        return v;
    };
    VARIANT bstrByRef;
    VariantInit(&bstrByRef);
    bstrByRef.vt = VT_BYREF | VT_BSTR;
    bstrByRef.pbstrVal = &text.get()->bstrVal;
    const VARIANT scriptText = byRef(text), plainText = *text, scriptNumber = byRef(number),
                  scriptEmpty = byRef(empty), twoDeep = byRef(nested);
    using Args = std::vector<VARIANT>;  // first parameter first
    const Args getArgs{scriptText, scriptText, scriptEmpty, scriptText, scriptText};
    auto with = [](Args args, size_t k, VARIANT v) {
        args[k] = v;
        return args;
    };
    struct Case {
        const char* what;
        DISPID id;
        WORD flags;
        Args args;
        UINT named;
        bool wantsResult;
        bool shortWay;
    };
    const Case cases[] = {
        {"GetProp as a script calls it", 6, DISPATCH_METHOD, getArgs, 0, true, true},
        {"GetProp called for its value", 6, DISPATCH_METHOD | DISPATCH_PROPERTYGET, getArgs, 0,
         true, true},
        {"GetProp with plain BSTRs", 6, DISPATCH_METHOD, with(getArgs, 0, plainText), 0, true,
         true},
        {"GetProp without a place for the result", 6, DISPATCH_METHOD, getArgs, 0, false, true},
        {"SetProp with five arguments", 7, DISPATCH_METHOD, getArgs, 0, false, false},
        {"a by-reference BSTR", 6, DISPATCH_METHOD, with(getArgs, 1, bstrByRef), 0, true, false},
        {"a number for a text", 6, DISPATCH_METHOD, with(getArgs, 3, scriptNumber), 0, true, false},
        {"a VARIANT two references deep", 6, DISPATCH_METHOD, with(getArgs, 2, twoDeep), 0, true,
         false},
        {"a named argument", 6, DISPATCH_METHOD, getArgs, 1, true, false},
        {"one argument short", 6, DISPATCH_METHOD, Args(getArgs.begin(), getArgs.end() - 1), 0,
         true, false},
        {"a property get only", 6, DISPATCH_PROPERTYGET, getArgs, 0, true, false},
        {"another method", 5, DISPATCH_METHOD, getArgs, 0, true, false},
        {"no arguments array", 6, DISPATCH_METHOD, Args(5), 0, true, false},
    };
    for (const Case& c : cases) {
        Args reversed(c.args.rbegin(), c.args.rend());
        DISPID named = 0;
        // An array of five zeroed variants stands for a count without an array.
        const bool noArray = c.args.size() == 5 && c.args[0].vt == VT_EMPTY;
        DISPPARAMS params{noArray ? nullptr : reversed.data(), c.named ? &named : nullptr,
                          static_cast<UINT>(reversed.size()), c.named};
        com::Variant result;
        const auto outcome = com::InvokePropDirect(thermo, c.id, c.flags, &params,
                                                   c.wantsResult ? result.get() : nullptr, nullptr);
        EXPECT_EQ(outcome.has_value(), c.shortWay) << c.what;
    }
    // SetProp's six arguments, ready, go the short way; with a place for a
    // result (which it has not) they go the type library's way.
    Args setArgs = with(getArgs, 4, scriptText);
    com::Variant values = Variants([] {
        std::vector<com::Variant> v;
        v.push_back(Num(1));
        return v;
    }());
    setArgs.push_back(byRef(values));
    Args reversed(setArgs.rbegin(), setArgs.rend());
    DISPPARAMS params{reversed.data(), nullptr, 6, 0};
    EXPECT_TRUE(
        com::InvokePropDirect(thermo, 7, DISPATCH_METHOD, &params, nullptr, nullptr).has_value());
    com::Variant unwanted;
    EXPECT_FALSE(
        com::InvokePropDirect(thermo, 7, DISPATCH_METHOD, &params, unwanted.get(), nullptr));
    thermo->Release();
}

TEST_F(PropComShapesTest, FailedCallsTheShortWayFreeTheirErrorObjects) {
    // Every failure makes an error object, which the short way takes over
    // for EXCEPINFO: kept, 20,000 of them would hold megabytes.
    com::Variant text = Str(L"fraction"), empty;  // "fraction" is no phase
    std::vector<VARIANT> args(5, *text);
    args[2] = *empty;
    DISPPARAMS params{args.data(), nullptr, 5, 0};
    auto fail = [&](int times) {
        for (int k = 0; k < times; ++k) {
            EXCEPINFO excep{};
            com::Variant result;
            const auto hr =
                com::InvokePropDirect(thermo_, 6, DISPATCH_METHOD, &params, result.get(), &excep);
            ASSERT_EQ(hr.value_or(S_OK), DISP_E_EXCEPTION);
            SysFreeString(excep.bstrSource);
            SysFreeString(excep.bstrDescription);
            SysFreeString(excep.bstrHelpFile);
        }
    };
    fail(2000);
    const SIZE_T before = korvid::tools::CommittedPrivate();
    fail(20000);
    EXPECT_LT(korvid::tools::CommittedPrivate(), before + 1048576);
}

}  // namespace
}  // namespace korvid::testing::props
