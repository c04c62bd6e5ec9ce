// korvid-bench's rows of the CAPE-OPEN 1.1 class: SetOverallProp,
// GetOverallProp and GetSinglePhaseProp (3 compounds, "fraction") through the
// vtable and through IDispatch::Invoke, reporting off and on, against the
// floors of the same material measured in the same rounds: an empty vtable
// call (get ComponentName), the same through Invoke, one WriteFile of as many
// bytes as the traced call writes, and the untraced call followed by that
// WriteFile in one loop.
#include <cstdio>
#include <string>

#include "KorvidThermo11_h.h"
#include "automation/variant.h"
#include "com_server/material_object.h"
#include "component_definition/module_state.h"
#include "tools/bench/bench_platform.h"
#include "tools/bench/timing.h"

namespace korvid::bench {

namespace {

using com::Variant;

// A material with the Vapor phase present and fractions set, overall and on
// Vapor, and its calls as a compiled client and as a script makes them.
struct MaterialCalls {
    ICapeThermoMaterial* material = nullptr;
    ICapeIdentification* identification = nullptr;
    IDispatch* script = nullptr;
    BSTR property = SysAllocString(L"fraction");
    BSTR basis = SysAllocString(L"Mole");
    BSTR phase = SysAllocString(L"Vapor");
    Variant values = com::MakeDoubleArray({0.2, 0.3, 0.5});
    Variant sProperty = Variant::FromText(L"fraction"), sBasis = Variant::FromText(L"Mole"),
            sPhase = Variant::FromText(L"Vapor"), sValues, sResults;
    DISPID nameId = 0, setId = 0, getId = 0, getPhaseId = 0;
    ScriptArgs setArgs{{sProperty.get(), sBasis.get(), sValues.get()}};
    ScriptArgs getArgs{{sProperty.get(), sBasis.get(), sResults.get()}};
    ScriptArgs getPhaseArgs{{sProperty.get(), sPhase.get(), sBasis.get(), sResults.get()}};

    MaterialCalls() {
        Check("creating the material",
              com::CreateMaterialObject(IID_ICapeThermoMaterial,
                                        reinterpret_cast<void**>(&material)));
        Check("QueryInterface", material->QueryInterface(IID_PPV_ARGS(&identification)));
        Check("QueryInterface", material->QueryInterface(IID_PPV_ARGS(&script)));
        // A script's array holds variants.
        SAFEARRAY* psa = SafeArrayCreateVector(VT_VARIANT, 0, 3);
        VARIANT* cells = nullptr;
        SafeArrayAccessData(psa, reinterpret_cast<void**>(&cells));
        for (int k = 0; k < 3; ++k) {
            cells[k].vt = VT_R8;
            cells[k].dblVal = (k + 2) / 10.0;
        }
        SafeArrayUnaccessData(psa);
        sValues.get()->vt = VT_ARRAY | VT_VARIANT;
        sValues.get()->parray = psa;
        nameId = IdOf(script, L"ComponentName");
        setId = IdOf(script, L"SetOverallProp");
        getId = IdOf(script, L"GetOverallProp");
        getPhaseId = IdOf(script, L"GetSinglePhaseProp");
        Variant labels = com::MakeStringArray({L"Vapor"});
        Variant statuses = com::MakeDoubleArray({0});
        Check("SetPresentPhases", material->SetPresentPhases(*labels, *statuses));
        Check("SetSinglePhaseProp", material->SetSinglePhaseProp(property, phase, basis, *values));
        Check("SetOverallProp", material->SetOverallProp(property, basis, *values));
    }
    ~MaterialCalls() {
        script->Release();
        identification->Release();
        material->Release();  // closes its report
        for (BSTR text : {property, basis, phase}) SysFreeString(text);
    }

    void EmptyVtable() { EmptyVtableCall(identification); }
    void EmptyInvoke() { EmptyInvokeCall(script, nameId); }
    void SetVtable() {
        Check("SetOverallProp", material->SetOverallProp(property, basis, *values));
    }
    void GetVtable() {
        VARIANT results;
        VariantInit(&results);
        Check("GetOverallProp", material->GetOverallProp(property, basis, &results));
        VariantClear(&results);
    }
    void GetPhaseVtable() {
        VARIANT results;
        VariantInit(&results);
        Check("GetSinglePhaseProp", material->GetSinglePhaseProp(property, phase, basis, &results));
        VariantClear(&results);
    }
    void Invoke(DISPID id, ScriptArgs& args, const char* what) {
        Check(what, script->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD,
                                   args.params(), nullptr, nullptr, nullptr));
        VariantClear(sResults.get());
    }
    void SetInvoke() { Invoke(setId, setArgs, "Invoke SetOverallProp"); }
    void GetInvoke() { Invoke(getId, getArgs, "Invoke GetOverallProp"); }
    void GetPhaseInvoke() { Invoke(getPhaseId, getPhaseArgs, "Invoke GetSinglePhaseProp"); }
};

// The measures of one operation, one way.
struct Operation {
    const char* name;
    bool vtable;  // else through Invoke
    std::function<void()> call;
    DWORD bytes = 0;
    Measure off{0, false, nullptr}, on{0, true, nullptr}, joined{0, false, nullptr},
        write{0, true, nullptr}, text{0, true, nullptr};
};

}  // namespace

void BenchMaterial(BenchPlatform& platform, const std::wstring& reportPath) {
    MaterialCalls calls;
    HANDLE scratch = CreateFileW((reportPath + L".tmp").c_str(), GENERIC_WRITE,
                                 FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, CREATE_ALWAYS,
                                 FILE_ATTRIBUTE_NORMAL, nullptr);
    if (scratch == INVALID_HANDLE_VALUE)
        Fail("creating the scratch file", HRESULT_FROM_WIN32(GetLastError()));
    const std::string bytes(4096, 'x');
    auto writeFile = [scratch, &bytes](DWORD count) {
        return [scratch, &bytes, count] {
            DWORD written = 0;
            if (!WriteFile(scratch, bytes.data(), count, &written, nullptr))
                Fail("WriteFile", E_FAIL);
        };
    };
    MaterialCalls* c = &calls;
    Operation ops[] = {{"SetOverallProp vtable", true, [c] { c->SetVtable(); }},
                       {"GetOverallProp vtable", true, [c] { c->GetVtable(); }},
                       {"GetSinglePhaseProp vtable", true, [c] { c->GetPhaseVtable(); }},
                       {"SetOverallProp Invoke", false, [c] { c->SetInvoke(); }},
                       {"GetOverallProp Invoke", false, [c] { c->GetInvoke(); }},
                       {"GetSinglePhaseProp Invoke", false, [c] { c->GetPhaseInvoke(); }}};
    Measure emptyVtable{20000, false, [c] { c->EmptyVtable(); }};
    Measure emptyInvoke{5000, false, [c] { c->EmptyInvoke(); }};
    std::vector<Measure*> measures{&emptyVtable, &emptyInvoke};
    bool& reportOn = component_definition::Module1().g_reportOn;
    for (Operation& op : ops) {
        reportOn = true;
        const LONGLONG before = FileSize(reportPath);
        op.call();
        op.bytes = static_cast<DWORD>(FileSize(reportPath) - before);
        if (op.bytes == 0 || op.bytes > bytes.size()) Fail("tracing (no report written)", E_FAIL);
        op.off = {op.vtable ? 20000 : 5000, false, op.call};
        op.on = {2000, true, op.call};
        op.write = {4000, true, writeFile(op.bytes)};
        op.joined = {2000, false, [call = op.call, write = writeFile(op.bytes)] {
                         call();
                         write();
                     }};
        op.text = {2000, true, [&platform, call = op.call] {
                       platform.discardWrites = true;
                       call();
                       platform.discardWrites = false;
                   }};
        for (Measure* m : {&op.off, &op.on, &op.write, &op.joined, &op.text}) measures.push_back(m);
    }
    RunRounds(measures, reportOn);

    std::printf(
        "korvid-bench: Korvid.Material, 3 compounds, property \"fraction\", best of %d "
        "rounds\n\n",
        g_rounds);
    std::printf("%-34s %9.1f ns\n", "floor: empty vtable call", emptyVtable.best);
    std::printf("%-34s %9.1f ns\n", "floor: empty Invoke", emptyInvoke.best);
    for (const Operation& op : ops) {
        std::printf("floor: %-27s %9.1f ns  WriteFile of %lu bytes; %.1f ns untraced, then it\n",
                    op.name, op.write.best, static_cast<unsigned long>(op.bytes), op.joined.best);
    }
    std::printf("\n");
    for (const Operation& op : ops) {
        const bool vtable = op.vtable;
        const std::string off = std::string(op.name) + ", off", on = std::string(op.name) + ", on";
        Print({off.c_str(), op.off.best, vtable ? emptyVtable.best : emptyInvoke.best,
               vtable ? "of the empty vtable call" : "of the empty Invoke", vtable ? 5.0 : 3.0});
        Print({on.c_str(), op.on.best, op.joined.best, "of untraced + its WriteFile", 1.3});
        Print({on.c_str(), op.on.best, op.off.best + op.write.best, "of the two timed apart", 0});
    }
    std::printf("\n%-34s", "trace text built, not written");
    for (const Operation& op : ops) {
        if (op.vtable)
            std::printf(" %.1f ns (%.*s)", op.text.best - op.off.best,
                        static_cast<int>(std::string(op.name).find(' ')), op.name);
    }
    std::printf(" over the call itself\n\n");
    CloseHandle(scratch);
    DeleteFileW((reportPath + L".tmp").c_str());
}

void MaterialAllocations() {
    MaterialCalls calls;
    MaterialCalls* c = &calls;
    PrintAllocations(
        "heap allocations per call (1.1)",
        {"SetOverallProp vtable", "GetOverallProp vtable", "GetSinglePhaseProp vtable",
         "SetOverallProp Invoke", "GetOverallProp Invoke", "GetSinglePhaseProp Invoke"},
        {[c] { c->SetVtable(); }, [c] { c->GetVtable(); }, [c] { c->GetPhaseVtable(); },
         [c] { c->SetInvoke(); }, [c] { c->GetInvoke(); }, [c] { c->GetPhaseInvoke(); }});
}

}  // namespace korvid::bench
