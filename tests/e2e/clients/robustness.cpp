// Robustness client: calls every operation of ICapeIdentification,
// ICapeThermoMaterialObject and _Tessel, through the vtables and through
// IDispatch, with a generated mix of bad arguments. Nothing may crash; every
// failure must be an HRESULT (with IErrorInfo for the object's own errors);
// [out] results must be cleared on failure; no BSTR, SAFEARRAY or object may
// leak: allocations are counted through an IMallocSpy (run with OANOCACHE=1 so
// freed BSTRs reach the allocator), reference counts must come back to zero
// and DllCanUnloadNow must answer S_OK at the end.
#include <windows.h>
#include <objbase.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <random>
#include <set>
#include <string>

#include "Korvid_h.h"
#include "tests/support/allocation_spy.h"
#include "tests/e2e/clients/argument_shapes.h"
#include "tests/e2e/clients/client_checks.h"

using namespace korvid::e2e;
using korvid::testing::AllocationSpy;

namespace {

struct Arg {
    VARIANT v;
    explicit Arg(const VariantShape& shape) {
        VariantInit(&v);
        shape.make(&v);
    }
    ~Arg() { VariantClear(&v); }
    Arg(const Arg&) = delete;
    Arg& operator=(const Arg&) = delete;
};

struct Text {
    BSTR s;
    explicit Text(const TextShape& shape)
        : s(shape.null ? nullptr
                       : SysAllocStringLen(shape.text.data(), static_cast<UINT>(shape.text.size()))) {}
    ~Text() { SysFreeString(s); }
    Text(const Text&) = delete;
    Text& operator=(const Text&) = delete;
};

class Suite {
public:
    Suite(IUnknown* object, bool withHuge) : object_(object) {
        object_->QueryInterface(IID_ICapeThermoMaterialObject, reinterpret_cast<void**>(&thermo_));
        object_->QueryInterface(IID_ICapeIdentification, reinterpret_cast<void**>(&ident_));
        object_->QueryInterface(IID__Tessel, reinterpret_cast<void**>(&tessel_));
        object_->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&dispatch_));
        shapes_ = VariantShapes(store_, dispatch_);
        texts_ = TextShapes();
        if (!withHuge) {
            // With reporting on, a 100,000-element list writes as many lines per call.
            shapes_.erase(std::remove_if(shapes_.begin(), shapes_.end(), IsHuge<VariantShape>),
                          shapes_.end());
            texts_.erase(std::remove_if(texts_.begin(), texts_.end(), IsHuge<TextShape>),
                         texts_.end());
        }
    }
    ~Suite() {
        thermo_->Release();
        ident_->Release();
        tessel_->Release();
        dispatch_->Release();
    }

    // Every argument position through the huge shapes (`huge`) or through
    // all the others.
    void VtableCalls(bool huge);
    void TesselCalls(bool huge);
    void DispatchCalls();
    void RandomMix(int count);
    // Every ordinary shape once, so that what OLE Automation loads and keeps
    // on first use (converting an object element loads type information, for
    // example) is not counted as a leak.
    void WarmUp() {
        for (const auto& shape : shapes_) {
            if (!IsHuge(shape)) ThermoCall(1, shape, shapes_.front(), texts_[2], texts_[6]);
        }
        RandomMix(50);
    }

    long calls = 0;
    std::set<std::string> shapesTried;
    std::map<HRESULT, long> outcomes;

private:
    // Records one call's outcome and checks the error rules; clears `out`.
    void Done(const std::string& what, HRESULT hr, VARIANT* out = nullptr);
    void ThermoCall(int op, const VariantShape& a, const VariantShape& b, const TextShape& t1,
                    const TextShape& t2);
    const VariantShape& Shape(const std::string& name) const {
        for (const auto& shape : shapes_) {
            if (shape.name == name) return shape;
        }
        return shapes_.front();
    }

    IUnknown* object_;
    ICapeThermoMaterialObject* thermo_ = nullptr;
    ICapeIdentification* ident_ = nullptr;
    _Tessel* tessel_ = nullptr;
    IDispatch* dispatch_ = nullptr;
    ShapeStore store_;
    std::vector<VariantShape> shapes_;
    std::vector<TextShape> texts_;
};

void Suite::Done(const std::string& what, HRESULT hr, VARIANT* out) {
    ++calls;
    ++outcomes[hr];
    if (hr == E_NOTIMPL) Check(false, what + ": E_NOTIMPL");
    if (FAILED(hr)) {
        IErrorInfo* info = nullptr;
        bool hasInfo = GetErrorInfo(0, &info) == S_OK && info;
        BSTR description = nullptr;
        if (hasInfo) {
            info->GetDescription(&description);
            info->Release();
        }
        if (HRESULT_FACILITY(hr) == FACILITY_CONTROL && (!description || !*description)) {
            Check(false, what + ": " + Hex(hr) + " without IErrorInfo description");
        }
        SysFreeString(description);
        if (out && out->vt != VT_EMPTY) Check(false, what + ": [out] result not cleared on failure");
    }
    if (out) VariantClear(out);
}

// The operations of ICapeThermoMaterialObject that take arguments, by index.
constexpr const char* kThermoOps[] = {
    "GetUniversalConstant", "GetComponentConstant", "CalcProp", "GetProp", "SetProp",
    "CalcEquilibrium", "SetIndependentVar", "GetIndependentVar", "PropCheck", "RemoveResults",
    "ValidityCheck"};
constexpr int kThermoOpCount = sizeof(kThermoOps) / sizeof(kThermoOps[0]);

void Suite::ThermoCall(int op, const VariantShape& a, const VariantShape& b, const TextShape& t1,
                       const TextShape& t2) {
    Arg va(a), vb(b);
    Text s1(t1), s2(t2), mixture(TextShape{"", L"Mixture"}), mole(TextShape{"", L"mole"});
    VARIANT out;
    VariantInit(&out);
    const std::string what = std::string(kThermoOps[op]) + "(" + a.name + ", " + b.name + ", " +
                             t1.name + ", " + t2.name + ")";
    shapesTried.insert("variant:" + a.name);
    shapesTried.insert("variant:" + b.name);
    shapesTried.insert("text:" + t1.name);
    shapesTried.insert("text:" + t2.name);
    HRESULT hr = S_OK;
    switch (op) {
        case 0: hr = thermo_->GetUniversalConstant(va.v, &out); break;
        case 1: hr = thermo_->GetComponentConstant(va.v, vb.v, &out); break;
        case 2: hr = thermo_->CalcProp(va.v, vb.v, s1.s); break;
        case 3: hr = thermo_->GetProp(s1.s, s2.s, va.v, mixture.s, mole.s, &out); break;
        case 4: hr = thermo_->SetProp(s1.s, s2.s, va.v, mixture.s, mole.s, vb.v); break;
        case 5: hr = thermo_->CalcEquilibrium(s1.s, va.v); break;
        case 6: hr = thermo_->SetIndependentVar(va.v, vb.v); break;
        case 7: hr = thermo_->GetIndependentVar(va.v, &out); break;
        case 8: hr = thermo_->PropCheck(va.v, &out); break;
        case 9: hr = thermo_->RemoveResults(va.v); break;
        case 10: hr = thermo_->ValidityCheck(va.v, &out); break;
    }
    Done(what, hr, &out);
}

void Suite::VtableCalls(bool huge) {
    const VariantShape& empty = shapes_[0];
    const TextShape& temperature = texts_[2];
    const TextShape& overall = texts_[6];
    // Each argument position through every shape, the others plain.
    for (int op = 0; op < kThermoOpCount; ++op) {
        for (const auto& shape : shapes_) {
            if (IsHuge(shape) != huge) continue;
            ThermoCall(op, shape, empty, temperature, overall);
            ThermoCall(op, empty, shape, temperature, overall);
        }
        for (const auto& text : texts_) {
            if (IsHuge(text) != huge) continue;
            ThermoCall(op, empty, Shape("doubles"), text, overall);
            ThermoCall(op, empty, Shape("doubles"), temperature, text);
        }
    }
    if (huge) return;
    // The operations without arguments, and NULL [out] pointers.
    VARIANT out;
    VariantInit(&out);
    LONG count = 0;
    Done("ComponentIds", thermo_->get_ComponentIds(&out), &out);
    Done("PhaseIds", thermo_->get_PhaseIds(&out), &out);
    Done("AvailableProps", thermo_->AvailableProps(&out), &out);
    Done("GetPropList", thermo_->GetPropList(&out), &out);
    Done("GetNumComponents", thermo_->GetNumComponents(&count));
    for (HRESULT hr : {thermo_->get_ComponentIds(nullptr), thermo_->GetPropList(nullptr),
                       thermo_->GetNumComponents(nullptr), thermo_->CreateMaterialObject(nullptr)}) {
        Check(hr == E_POINTER, "a NULL [out] pointer gives E_POINTER, got " + Hex(hr));
        ++calls;
    }
    // Identification with every text.
    for (const auto& text : texts_) {
        Text s(text);
        Done("put ComponentName(" + text.name + ")", ident_->put_ComponentName(s.s));
        Done("put ComponentDescription(" + text.name + ")", ident_->put_ComponentDescription(s.s));
        BSTR back = nullptr;
        Done("get ComponentName", ident_->get_ComponentName(&back));
        Check(back && SysStringLen(back) == (text.null ? 0 : text.text.size()),
              "ComponentName keeps " + text.name + " whole");
        SysFreeString(back);
    }
}

void Suite::TesselCalls(bool huge) {
    for (const auto& shape : shapes_) {
        if (IsHuge(shape) != huge) continue;
        shapesTried.insert("variant:" + shape.name);
        VARIANT out;
        VariantInit(&out);
        {
            Arg a(shape), b(Shape("names"));
            VARIANT_BOOL found = 0;
            Done("CheckNonCstProp(" + shape.name + ")", tessel_->CheckNonCstProp(&a.v, &b.v, &found));
            Done("CheckCstProp(" + shape.name + ")", tessel_->CheckCstProp(&b.v, &a.v, &found));
            Done("IsInPhaseList(" + shape.name + ")", tessel_->IsInPhaseList(&a.v, &found));
            Done("CheckComponent(" + shape.name + ")", tessel_->CheckComponent(&a.v, &found));
            Done("CheckGlobalVar(" + shape.name + ")", tessel_->CheckGlobalVar(&a.v, &found));
            short index = 0;
            Done("GetCompIndex(" + shape.name + ")", tessel_->GetCompIndex(&a.v, &index));
            Done("displayRetVal(" + shape.name + ")", tessel_->displayRetVal(&a.v, &out), &out);
            Done("copyVariant(" + shape.name + ")", tessel_->copyVariant(a.v, &out), &out);
        }
        {
            // Slot procedures with the client's own arrays.
            Arg value(shape);
            SAFEARRAYBOUND bounds[3] = {{8, 0}, {3, 0}, {2, 0}};
            SAFEARRAY* slot = SafeArrayCreate(VT_R8, 3, bounds);
            SAFEARRAY* flat = SafeArrayCreateVector(VT_R8, 0, 3);
            SAFEARRAY* none = nullptr;
            short phase = 2, comp = -1, basis = 0, position = 1;
            Done("setValues(" + shape.name + ")", tessel_->setValues(&slot, &phase, &comp, &basis, &value.v, &out), &out);
            Done("setVariantValues(flat, " + shape.name + ")", tessel_->setVariantValues(&flat, &phase, &comp, &basis, &value.v, &out), &out);
            Done("GetValues(none)", tessel_->GetValues(&none, &phase, &comp, &basis, &out), &out);
            phase = 9;
            Done("GetVariantValues(phase 9)", tessel_->GetVariantValues(&slot, &phase, &comp, &basis, &out), &out);
            Done("setFraction(" + shape.name + ")", tessel_->setFraction(&flat, &value.v));
            Done("setFractionValue(" + shape.name + ")", tessel_->setFractionValue(&position, &flat, &value.v));
            SafeArrayDestroy(slot);
            SafeArrayDestroy(flat);
        }
    }
    for (const auto& text : texts_) {
        if (IsHuge(text) != huge) continue;
        Text s(text);
        short index = 0;
        Done("GetBasisIndex(" + text.name + ")", tessel_->GetBasisIndex(&s.s, &index));
        Done("GetPhaseIndex(" + text.name + ")", tessel_->GetPhaseIndex(&s.s, &index));
        Done("put m_fileName(" + text.name + ")", tessel_->put_m_fileName(s.s));
    }
    // Public lists replaced by anything, then the operations that read them.
    using Put = HRESULT (STDMETHODCALLTYPE _Tessel::*)(VARIANT);
    const Put puts[] = {&_Tessel::put_m_componentIDs, &_Tessel::put_m_compNames,
                        &_Tessel::putref_m_compFormulaes, &_Tessel::put_m_compCASNos};
    for (const auto& shape : shapes_) {
        if (IsHuge(shape) != huge) continue;
        for (Put put : puts) {
            Arg a(shape);
            Done("put list(" + shape.name + ")", (tessel_->*put)(a.v));
        }
        VARIANT out;
        VariantInit(&out);
        Done("ComponentIds after lists(" + shape.name + ")", thermo_->get_ComponentIds(&out), &out);
        Text flash(TextShape{"", L"TP"});
        Arg props(Shape("empty"));
        Done("CalcEquilibrium after lists(" + shape.name + ")", thermo_->CalcEquilibrium(flash.s, props.v));
        Done("get m_componentIDs", tessel_->get_m_componentIDs(&out), &out);
    }
    Done("put m_num", tessel_->put_m_num(-5));
    Done("put i", tessel_->put_i(1 << 30));
    Done("put j", tessel_->put_j(1));
}

void Suite::DispatchCalls() {
    ICapeThermoMaterialObject* viaThermo = thermo_;
    for (int op = 0; op < kThermoOpCount; ++op) {
        std::wstring name(kThermoOps[op], kThermoOps[op] + std::string(kThermoOps[op]).size());
        LPOLESTR names[] = {name.data()};
        DISPID ids[2] = {};
        Check(dispatch_->GetIDsOfNames(IID_NULL, names, 1, 0, &ids[0]) == S_OK,
              std::string("default IDispatch knows ") + kThermoOps[op]);
        Check(viaThermo->GetIDsOfNames(IID_NULL, names, 1, 0, &ids[1]) == S_OK,
              std::string("ICapeThermoMaterialObject knows ") + kThermoOps[op]);
        for (int target = 0; target < 2; ++target) {
            IDispatch* disp = target == 0 ? dispatch_ : static_cast<IDispatch*>(viaThermo);
            for (size_t s = 0; s < shapes_.size(); ++s) {
                if (IsHuge(shapes_[s]) || IsHuge(shapes_[(s + 7) % shapes_.size()])) continue;
                // Arguments in reverse order; as many as the widest operation takes.
                for (UINT argc : {1u, 2u, 6u}) {
                    std::vector<VARIANT> args(argc);
                    for (auto& a : args) VariantInit(&a);
                    shapes_[s].make(&args[argc - 1]);
                    if (argc > 1) shapes_[(s + 7) % shapes_.size()].make(&args[0]);
                    DISPPARAMS params{args.data(), nullptr, argc, 0};
                    VARIANT result;
                    VariantInit(&result);
                    EXCEPINFO excep{};
                    UINT argErr = 0;
                    HRESULT hr = disp->Invoke(ids[target], IID_NULL, 0, DISPATCH_METHOD, &params,
                                              &result, &excep, &argErr);
                    const std::string what = std::string("Invoke ") + kThermoOps[op] + "(" +
                                             shapes_[s].name + ", " + std::to_string(argc) + " args)";
                    if (hr == DISP_E_EXCEPTION) {
                        Check(excep.bstrDescription && *excep.bstrDescription,
                              what + ": exception without description");
                        hr = excep.scode;
                    }
                    SysFreeString(excep.bstrSource);
                    SysFreeString(excep.bstrDescription);
                    SysFreeString(excep.bstrHelpFile);
                    SetErrorInfo(0, nullptr);
                    ++calls;
                    ++outcomes[hr];
                    if (hr == E_NOTIMPL) Check(false, what + ": E_NOTIMPL");
                    VariantClear(&result);
                    for (auto& a : args) VariantClear(&a);
                    shapesTried.insert("dispatch:" + shapes_[s].name);
                }
            }
        }
    }
    // Unknown members and DISPIDs.
    DISPPARAMS none{nullptr, nullptr, 0, 0};
    VARIANT result;
    VariantInit(&result);
    for (DISPID id : {DISPID(0), DISPID(999), DISPID(1019), DISPID(2005), DISPID(-5)}) {
        HRESULT hr = dispatch_->Invoke(id, IID_NULL, 0, DISPATCH_METHOD, &none, &result, nullptr, nullptr);
        Check(FAILED(hr), "Invoke of unknown DISPID " + std::to_string(id) + " fails: " + Hex(hr));
        VariantClear(&result);
        ++calls;
    }
    LPOLESTR unknown[] = {const_cast<LPOLESTR>(L"NoSuchMember")};
    DISPID id = 0;
    Check(dispatch_->GetIDsOfNames(IID_NULL, unknown, 1, 0, &id) == DISP_E_UNKNOWNNAME,
          "GetIDsOfNames of an unknown name");
}

void Suite::RandomMix(int count) {
    // The 100,000-element shapes had their turn in the sweeps above.
    std::vector<const VariantShape*> shapes;
    for (const auto& shape : shapes_) {
        if (!IsHuge(shape)) shapes.push_back(&shape);
    }
    std::mt19937 random(20261206);
    for (int k = 0; k < count; ++k) {
        int op = static_cast<int>(random() % kThermoOpCount);
        ThermoCall(op, *shapes[random() % shapes.size()], *shapes[random() % shapes.size()],
                   texts_[random() % texts_.size()], texts_[random() % texts_.size()]);
    }
}

}  // namespace

// robustness.exe [--no-huge]: --no-huge leaves out the 100,000-element
// arguments, for a run with reporting on.
int wmain(int argc, wchar_t** argv) {
    const bool withHuge = !(argc > 1 && std::wstring(argv[1]) == L"--no-huge");
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    IUnknown* object = CreateTessel<IUnknown>(IID_IUnknown);
    if (!object) return Finish();

    AllocationSpy spy;
    long calls = 0;
    size_t shapes = 0;
    {
        Suite suite(object, withHuge);
        const ULONGLONG start = GetTickCount64();
        auto phase = [&](const char* name) {
            object->AddRef();
            const ULONG refs = object->Release();
            std::printf("phase %s done after %llu ms: %zu blocks live, %lu references\n", name,
                        GetTickCount64() - start, spy.Live(), refs);
            std::fflush(stdout);
        };
        // The huge arguments first, without the spy; then a warm-up, so that
        // lazily built tables are not counted as leaks.
        suite.VtableCalls(true);
        suite.TesselCalls(true);
        phase("huge arguments");
        suite.WarmUp();
        Check(CoRegisterMallocSpy(&spy) == S_OK, "allocation spy registered");
        suite.VtableCalls(false);
        phase("vtable");
        suite.TesselCalls(false);
        phase("_Tessel");
        suite.DispatchCalls();
        phase("IDispatch");
        suite.RandomMix(2000);
        phase("random mix");
        calls = suite.calls;
        shapes = suite.shapesTried.size();
        for (const auto& [result, n] : suite.outcomes) {
            std::printf("outcome %s: %ld\n", Hex(result).c_str(), n);
        }

        // The cloning operations: each shows the form of a new object.
        ICapeThermoMaterialObject* thermo = nullptr;
        object->QueryInterface(IID_ICapeThermoMaterialObject, reinterpret_cast<void**>(&thermo));
        IDispatch* clone = nullptr;
        IDispatch* created = nullptr;
        Check(thermo->Duplicate(&clone) == S_OK, "Duplicate succeeds");
        Check(thermo->CreateMaterialObject(&created) == S_OK, "CreateMaterialObject succeeds");
        if (clone) Check(clone->Release() == 0, "the duplicate goes with its last reference");
        if (created) Check(created->Release() == 0, "the created object goes with its last reference");
        thermo->Release();
        calls += 2;
    }
    object->AddRef();
    Check(object->Release() == 1, "every interface reference given back");
    Check(object->Release() == 0, "the object goes with its last reference");
    size_t leaked = spy.Live();
    CoRevokeMallocSpy();
    Check(leaked == 0, "no BSTR, SAFEARRAY or other task allocation left: " + std::to_string(leaked));

    HMODULE server = GetModuleHandleW(L"Korvid.dll");
    auto canUnload = reinterpret_cast<HRESULT(STDAPICALLTYPE*)()>(
        reinterpret_cast<void*>(GetProcAddress(server, "DllCanUnloadNow")));
    Check(canUnload && canUnload() == S_OK, "DllCanUnloadNow answers S_OK");
    std::printf("robustness: %ld calls, %zu distinct argument shapes, %zu allocations leaked\n",
                calls, shapes, leaked);
    CoUninitialize();
    return Finish();
}
