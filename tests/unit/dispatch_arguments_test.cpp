// Arguments through IDispatch: assigned to their parameters as the automation
// machinery assigns them and converted before it, so that a call refused
// for its arguments keeps nothing of them (Wine's ITypeInfo::Invoke leaked
// its copies, references to objects included).
#include <gtest/gtest.h>

#include <vector>

#include "com_server/argument_check.h"
#include "com_server/tessel_object.h"
#include "tests/unit/props_fixture.h"

namespace korvid::testing::props {
namespace {

// An object that counts the references it is given.
class Counted final : public IDispatch {
public:
    LONG refs = 1;
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void** out) override {
        *out = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++refs; }
    ULONG STDMETHODCALLTYPE Release() override { return --refs; }
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*,
                                     UINT*) override {
        return DISP_E_MEMBERNOTFOUND;
    }
};

class DispatchArgumentsTest : public ScriptedTest {};

TEST_F(DispatchArgumentsTest, NamedArgumentsAndConversionsAreJudgedBeforeTheCall) {
    // (BSTR, [in, out] VARIANT*, [in, out] short*): the kinds of parameter there are.
    const std::vector<VARTYPE> params = {VT_BSTR, VT_BYREF | VT_VARIANT, VT_BYREF | VT_I2};
    com::Variant text = Str(L"vapor"), three = Str(L"3"), word = Str(L"x"), number = Num(2),
                 big = Num(40000);
    struct Case {
        const char* what;
        std::vector<VARIANT> args;  // rgvarg: last first
        std::vector<DISPID> named;
        HRESULT hr;
        UINT argErr;
    } cases[] = {
        {"in order, converted", {*three, *number, *number}, {}, S_OK, 0},
        {"a text that is no short", {*word, *number, *text}, {}, DISP_E_TYPEMISMATCH, 0},
        {"a number too big for a short", {*big, *number, *text}, {}, DISP_E_OVERFLOW, 0},
        {"named out of order", {*text, *three}, {0, 2}, DISP_E_BADPARAMCOUNT, 0},
        {"named and in order", {*three, *number, *text}, {2}, S_OK, 0},
        {"a name of no parameter", {*three, *number, *text}, {5}, DISP_E_PARAMNOTFOUND, 0},
        {"a put's value to a method", {*three, *number, *text}, {DISPID_PROPERTYPUT},
         DISP_E_PARAMNOTFOUND, 0},
        {"the text named, no short", {*number, *word, *three}, {0}, DISP_E_TYPEMISMATCH, 1},
    };
    for (Case& c : cases) {
        DISPPARAMS call{c.args.data(), c.named.data(), static_cast<UINT>(c.args.size()),
                        static_cast<UINT>(c.named.size())};
        com::ReadyArguments ready;
        UINT argErr = 99;
        EXPECT_EQ(ready.Prepare(params, false, call, &argErr), c.hr) << c.what;
        if (FAILED(c.hr) && c.hr != DISP_E_BADPARAMCOUNT) {
            EXPECT_EQ(argErr, c.argErr) << c.what;
        }
        if (SUCCEEDED(c.hr)) {
            // The short (first in rgvarg in both) points to a converted 3.
            const VARIANT& shortArg = ready.Params()->rgvarg[0];
            EXPECT_EQ(shortArg.vt, VT_BYREF | VT_I2) << c.what;
            EXPECT_EQ(*shortArg.piVal, 3) << c.what;
        }
    }
}

TEST_F(DispatchArgumentsTest, ACallRefusedForItsArgumentsKeepsNoReference) {
    DefineComponents(ThreeComponents());
    QueueOkForm(L"");
    IDispatch* thermo = nullptr;
    ASSERT_EQ(com::CreateTesselObject(IID_ICapeThermoMaterialObject,
                                      reinterpret_cast<void**>(&thermo)),
              S_OK);
    Counted object;
    // CalcProp(props, phases, calcType): two arrays of objects, and a calcType
    // that is no text.
    std::vector<com::Variant> objects;
    objects.push_back(com::Variant());
    objects.back().get()->vt = VT_DISPATCH;
    objects.back().get()->pdispVal = &object;
    object.AddRef();
    com::Variant list = Variants(std::move(objects));
    std::vector<VARIANT> args = {*DoubleArray({1}), *list, *list};
    DISPPARAMS call{args.data(), nullptr, 3, 0};
    UINT argErr = 99;
    EXPECT_EQ(thermo->Invoke(5, IID_NULL, 0, DISPATCH_METHOD, &call, nullptr, nullptr, &argErr),
              DISP_E_TYPEMISMATCH);
    EXPECT_EQ(argErr, 0u);
    list = com::Variant();
    EXPECT_EQ(object.refs, 1);
    thermo->Release();
}

}  // namespace
}  // namespace korvid::testing::props
