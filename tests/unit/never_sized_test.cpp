// Arrays declared but never dimensioned, as VB and VBA pass `Dim a() As
// String`: a VT_ARRAY variant with no SAFEARRAY behind it. Reading its
// bounds fails with error 9, through the vtable and through IDispatch alike;
// the operations that ignore their errors answer without one. No call leaves
// an allocation behind.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "com_server/tessel_object.h"
#include "tests/support/allocation_spy.h"
#include "tests/unit/props_fixture.h"

namespace korvid::testing::props {
namespace {

// What each argument of a call holds.
enum Arg { kNever, kEmpty, kNames, kDoubles, kProperty, kPhase, kBlank };

com::Variant Make(Arg arg, VARTYPE elementType) {
    switch (arg) {
        case kNever: return Undimensioned(elementType);
        case kNames: return StringArray({L"TEMPERATURE", L"PRESSURE"});
        case kDoubles: return DoubleArray({0.25, 0.25, 0.5});
        case kProperty: return Str(L"fraction");
        case kPhase: return Str(L"vapor");
        case kBlank: return Str(L"");
        case kEmpty: break;
    }
    return com::Variant();
}

struct Interfaces {
    ICapeThermoMaterialObject* thermo;
    _Tessel* tessel;
};
using VtableCall = std::function<HRESULT(Interfaces&, std::vector<com::Variant>&, VARIANT*)>;

BSTR B(com::Variant& v) { return v->bstrVal; }

struct Case {
    const wchar_t* name;
    std::vector<Arg> args;
    HRESULT hr;           // S_OK or error 9
    VARTYPE resultType;   // of the result after success
    VtableCall vtable;
};

const std::vector<Case>& Cases() {
    constexpr HRESULT k9 = static_cast<HRESULT>(0x800A0009);
    constexpr VARTYPE kNone = VT_EMPTY;
    static const std::vector<Case> cases = {
        {L"GetUniversalConstant", {kNever}, S_OK, kNone,
         [](Interfaces& i, auto& a, VARIANT* r) { return i.thermo->GetUniversalConstant(*a[0], r); }},
        {L"GetComponentConstant", {kNever, kEmpty}, S_OK, kNone,
         [](Interfaces& i, auto& a, VARIANT* r) { return i.thermo->GetComponentConstant(*a[0], *a[1], r); }},
        {L"GetComponentConstant", {kNames, kNever}, S_OK, kNone,
         [](Interfaces& i, auto& a, VARIANT* r) { return i.thermo->GetComponentConstant(*a[0], *a[1], r); }},
        {L"CalcProp", {kNever, kNever, kBlank}, S_OK, kNone,
         [](Interfaces& i, auto& a, VARIANT*) { return i.thermo->CalcProp(*a[0], *a[1], B(a[2])); }},
        {L"GetProp", {kProperty, kPhase, kNever, kBlank, kBlank}, k9, kNone,
         [](Interfaces& i, auto& a, VARIANT* r) {
             return i.thermo->GetProp(B(a[0]), B(a[1]), *a[2], B(a[3]), B(a[4]), r);
         }},
        {L"SetProp", {kProperty, kPhase, kNever, kBlank, kBlank, kDoubles}, k9, kNone,
         [](Interfaces& i, auto& a, VARIANT*) {
             return i.thermo->SetProp(B(a[0]), B(a[1]), *a[2], B(a[3]), B(a[4]), *a[5]);
         }},
        {L"SetProp", {kProperty, kPhase, kEmpty, kBlank, kBlank, kNever}, k9, kNone,
         [](Interfaces& i, auto& a, VARIANT*) {
             return i.thermo->SetProp(B(a[0]), B(a[1]), *a[2], B(a[3]), B(a[4]), *a[5]);
         }},
        {L"CalcEquilibrium", {kBlank, kNever}, k9, kNone,
         [](Interfaces& i, auto& a, VARIANT*) { return i.thermo->CalcEquilibrium(B(a[0]), *a[1]); }},
        {L"SetIndependentVar", {kNever, kDoubles}, k9, kNone,
         [](Interfaces& i, auto& a, VARIANT*) { return i.thermo->SetIndependentVar(*a[0], *a[1]); }},
        {L"SetIndependentVar", {kNames, kNever}, k9, kNone,
         [](Interfaces& i, auto& a, VARIANT*) { return i.thermo->SetIndependentVar(*a[0], *a[1]); }},
        {L"GetIndependentVar", {kNever}, S_OK, kNone,
         [](Interfaces& i, auto& a, VARIANT* r) { return i.thermo->GetIndependentVar(*a[0], r); }},
        {L"PropCheck", {kNever}, S_OK, VT_ARRAY | VT_BOOL,
         [](Interfaces& i, auto& a, VARIANT* r) { return i.thermo->PropCheck(*a[0], r); }},
        {L"ValidityCheck", {kNever}, S_OK, kNone,
         [](Interfaces& i, auto& a, VARIANT* r) { return i.thermo->ValidityCheck(*a[0], r); }},
        {L"RemoveResults", {kNever}, S_OK, kNone,
         [](Interfaces& i, auto& a, VARIANT*) { return i.thermo->RemoveResults(*a[0]); }},
        {L"CheckNonCstProp", {kNever, kEmpty}, k9, kNone,
         [](Interfaces& i, auto& a, VARIANT* r) {
             r->vt = VT_BOOL;
             return i.tessel->CheckNonCstProp(a[0].get(), a[1].get(), &r->boolVal);
         }},
        {L"CheckCstProp", {kNever, kEmpty}, k9, kNone,
         [](Interfaces& i, auto& a, VARIANT* r) {
             r->vt = VT_BOOL;
             return i.tessel->CheckCstProp(a[0].get(), a[1].get(), &r->boolVal);
         }},
        {L"IsInPhaseList", {kNever}, S_OK, VT_BOOL,
         [](Interfaces& i, auto& a, VARIANT* r) {
             r->vt = VT_BOOL;
             return i.tessel->IsInPhaseList(a[0].get(), &r->boolVal);
         }},
        {L"CheckComponent", {kNever}, S_OK, VT_BOOL,
         [](Interfaces& i, auto& a, VARIANT* r) {
             r->vt = VT_BOOL;
             return i.tessel->CheckComponent(a[0].get(), &r->boolVal);
         }},
        {L"CheckGlobalVar", {kNever}, S_OK, VT_BOOL,
         [](Interfaces& i, auto& a, VARIANT* r) {
             r->vt = VT_BOOL;
             return i.tessel->CheckGlobalVar(a[0].get(), &r->boolVal);
         }},
        {L"displayRetVal", {kNever}, k9, kNone,
         [](Interfaces& i, auto& a, VARIANT* r) { return i.tessel->displayRetVal(a[0].get(), r); }},
    };
    return cases;
}

class NeverSizedTest : public ScriptedTest {
protected:
    void SetUp() override {
        DisableBstrCache();
        DefineComponents(ThreeComponents());
        QueueOkForm(L"never");
        IUnknown* object = nullptr;
        ASSERT_EQ(com::CreateTesselObject(IID_IUnknown, reinterpret_cast<void**>(&object)), S_OK);
        object->QueryInterface(IID_ICapeThermoMaterialObject, reinterpret_cast<void**>(&i_.thermo));
        object->QueryInterface(IID__Tessel, reinterpret_cast<void**>(&i_.tessel));
        object->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&dispatch_));
        object->Release();
    }
    void TearDown() override {
        if (dispatch_) dispatch_->Release();
        if (i_.tessel) i_.tessel->Release();
        if (i_.thermo) {
            EXPECT_EQ(i_.thermo->Release(), 0u);
        }
    }

    // The error information a failed vtable call left on the thread.
    static std::pair<std::wstring, std::wstring> ErrorInfo() {
        std::pair<std::wstring, std::wstring> texts;
        IErrorInfo* info = nullptr;
        if (GetErrorInfo(0, &info) != S_OK || !info) return texts;
        BSTR source = nullptr, description = nullptr;
        info->GetSource(&source);
        info->GetDescription(&description);
        texts = {std::wstring(com::Text(source)), std::wstring(com::Text(description))};
        SysFreeString(source);
        SysFreeString(description);
        info->Release();
        return texts;
    }

    Interfaces i_{};
    IDispatch* dispatch_ = nullptr;
};

TEST_F(NeverSizedTest, BoundsThatCannotBeReadRaiseError9OrAreIgnored) {
    const std::pair<std::wstring, std::wstring> kError9{L"Korvid", L"Subscript out of range"};
    // The first call of each shape loads what OLE Automation keeps for good.
    for (const Case& c : Cases()) {
        std::vector<com::Variant> args;
        for (Arg arg : c.args) args.push_back(Make(arg, VT_BSTR));
        com::Variant result;
        c.vtable(i_, args, result.get());
    }
    AllocationSpy spy;
    ASSERT_EQ(CoRegisterMallocSpy(&spy), S_OK);
    for (VARTYPE type : {VT_BSTR, VT_R8, VT_VARIANT, VT_BOOL, VT_I4}) {
        for (const Case& c : Cases()) {
            const std::wstring name(c.name);
            const std::string what = std::string(name.begin(), name.end()) + " of type " +
                                     std::to_string(type);
            {
                std::vector<com::Variant> args;
                for (Arg arg : c.args) args.push_back(Make(arg, type));
                com::Variant result;
                const HRESULT hr = c.vtable(i_, args, result.get());
                EXPECT_EQ(hr, c.hr) << what;
                if (FAILED(hr)) {
                    EXPECT_EQ(ErrorInfo(), kError9) << what;
                } else {
                    EXPECT_EQ(result.vt(), c.resultType) << what;
                }
            }
            {
                std::vector<com::Variant> args;
                for (Arg arg : c.args) args.push_back(Make(arg, type));
                std::vector<com::Variant*> refs;
                for (auto& arg : args) refs.push_back(&arg);
                com::Variant result;
                EXCEPINFO excep{};
                const HRESULT hr = InvokeByName(dispatch_, c.name, refs, result.get(), &excep);
                if (FAILED(c.hr)) {
                    EXPECT_EQ(hr, DISP_E_EXCEPTION) << what;
                    EXPECT_EQ(excep.scode, c.hr) << what;
                    EXPECT_EQ(std::make_pair(std::wstring(com::Text(excep.bstrSource)),
                                             std::wstring(com::Text(excep.bstrDescription))),
                              kError9)
                        << what;
                    EXPECT_EQ(result.vt(), VT_EMPTY) << what;
                } else {
                    EXPECT_EQ(hr, S_OK) << what;
                }
                SysFreeString(excep.bstrSource);
                SysFreeString(excep.bstrDescription);
                SysFreeString(excep.bstrHelpFile);
            }
            SetErrorInfo(0, nullptr);
        }
    }
    {
        // ComponentIds in name mode reads the bounds of m_compNames as it is now.
        com::Variant never = Undimensioned(VT_BSTR);
        EXPECT_EQ(i_.tessel->put_m_compNames(*never), S_OK);
        com::Variant ids;
        EXPECT_EQ(i_.thermo->get_ComponentIds(ids.get()), static_cast<HRESULT>(0x800A0009));
        EXPECT_EQ(ErrorInfo(), kError9);
        SetErrorInfo(0, nullptr);
    }
    CoRevokeMallocSpy();
    EXPECT_EQ(spy.Live(), 0u) << "blocks left behind by the calls";
}

}  // namespace
}  // namespace korvid::testing::props
