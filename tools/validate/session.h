// The host's session with the unit under test (unit_host.cpp; its ports and
// their material objects: ports.cpp).
#pragma once

#include <windows.h>

#include <cwchar>
#include <functional>
#include <limits>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "CapeOpenUnit_h.h"
#include "tools/validate/error_info.h"
#include "tools/validate/host_material.h"
#include "tools/validate/options.h"
#include "tools/validate/pass_through.h"
#include "tools/validate/verdict.h"

namespace korvid::validate {

// A file name part from a port's name: characters Windows refuses become "_".
inline std::wstring FilePart(std::wstring text) {
    for (wchar_t& ch : text)
        if (ch < 32 || wcschr(L"<>:\"/\\|?*", ch)) ch = L'_';
    return text;
}

inline std::wstring Enumerated(long value, std::initializer_list<const wchar_t*> names) {
    const bool known = value >= 0 && value < static_cast<long>(names.size());
    return known ? names.begin()[value] + (L" (" + std::to_wstring(value) + L")")
                 : L"unknown value " + std::to_wstring(value);
}

// The state the host sets on an inlet and reads back from an outlet:
// property, basis.
inline constexpr std::pair<const wchar_t*, const wchar_t*> kStateProps[] = {
    {L"temperature", L""}, {L"pressure", L""}, {L"totalFlow", L"mole"}, {L"fraction", L"mole"}};

// A parameter of the unit as the host read it (check_parameters.cpp): what
// its specification says and its value when read; the parameter and the
// value are let go with it.
struct UnitParameter {
    static constexpr double kNone = std::numeric_limits<double>::quiet_NaN();
    std::wstring name;
    ICapeParameter* parameter = nullptr;
    long mode = -1;
    long type = -1;
    double defaultValue = kNone, lower = kNone, upper = kNone;  // a real one's
    VARIANT value{};

    UnitParameter() = default;
    UnitParameter(UnitParameter&& other) noexcept
        : name(std::move(other.name)),
          parameter(std::exchange(other.parameter, nullptr)),
          mode(other.mode),
          type(other.type),
          defaultValue(other.defaultValue),
          lower(other.lower),
          upper(other.upper),
          value(other.value) {
        VariantInit(&other.value);
    }
    UnitParameter& operator=(UnitParameter&&) = delete;
    ~UnitParameter() {
        VariantClear(&value);
        if (parameter) parameter->Release();
    }
};

struct Port {
    std::wstring name;
    ICapeUnitPort* port = nullptr;
    long type = CAPE_ANY;
    long direction = CAPE_INLET;
    IUnknown* object = nullptr;        // the host's own reference
    IDispatch* passThrough = nullptr;  // what the unit is given (held by the record)
    ObjectRecord* record = nullptr;
    std::wstring report;
    bool named = false;  // by its ICapeIdentification
    bool connected = false;
    std::wstring unset;  // 1.1: the parts of the outlet's state never set, as read back
    std::vector<std::wstring> readBack;  // the outlet's state as read back, part by part
};

class Session {
public:
    // `load`: a saved unit, loaded into the new instance instead of InitNew.
    Session(const Options& options, Verdict& verdict, IStream* load = nullptr)
        : options_(options), verdict_(verdict), thermo_{options.thermo11}, load_(load) {
        record_->callUnderWay = [this] { return verdict_.Call(); };
    }
    // The record stays for the pass-throughs the unit still holds, but no
    // longer calls back into the session.
    ~Session() {
        record_->beforeCopy = nullptr;
        record_->callUnderWay = nullptr;
        if (record_->LetGo()) static_cast<void>(record_.release());
    }
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;
    void Run();
    // Whether the unit took this thermo version: every material port
    // connected and Validate not invalid; and whether its categories claim it.
    bool Handled() const;
    bool Claimed() const { return declaresThermo_; }

private:
    // Calls into the unit, through interface I of `failing`: prints `what`
    // with its outcome (a failure with all the unit says about it) and counts
    // a failure; `value` describes a success.
    template <typename I>
    HRESULT Step(const std::wstring& what, I* failing, const std::function<HRESULT()>& call,
                 const std::function<std::wstring()>& value = {},
                 const std::wstring& port = L"unit") {
        verdict_.SetCall(what);
        ClearErrorInfo();
        const HRESULT hr = call();
        return Report(what, failing, __uuidof(I), hr, value, port);
    }
    // Prints the outcome of a call into the unit (see Step).
    HRESULT Report(const std::wstring& what, IUnknown* failing, const IID& called, HRESULT hr,
                   const std::function<std::wstring()>& value, const std::wstring& port);
    // A call of the host on a material object of its own.
    HRESULT HostCall(const std::wstring& what, const std::function<HRESULT()>& call,
                     const std::function<std::wstring()>& value = {});
    // Hands `utilities` a new simulation context, printed as `what`.
    HRESULT GiveContext(ICapeUtilities* utilities, const std::wstring& what);
    // The unit took no context: ECapeNoImpl or E_NOTIMPL, which is fine.
    static bool Declined(HRESULT hr) {
        return hr == static_cast<HRESULT>(ECapeNoImplHR) || hr == E_NOTIMPL;
    }
    bool CreateUnit();
    bool ReadPorts();
    // `listed` as an ICapeCollection, its reference let go; none when it
    // answers none (a failed call named `failure`, printed).
    ICapeCollection* AsCollection(IDispatch* listed, const std::wstring& failure);
    // Item(k) of a collection printed as `name`, or none (a failure, printed).
    IDispatch* ItemAt(ICapeCollection* collection, const wchar_t* name, LONG k);
    // An Item that answered S_OK with no object: a failure; what is printed.
    std::wstring ItemNone(const std::wstring& call);
    bool GiveMaterialObject(Port& port);
    bool SetFeed(Port& port);
    void Connect(Port& port);
    // The unit's Validate and ValStatus, printed as `what`. ValStatus: -1
    // when the call failed.
    struct Validation {
        HRESULT hr = E_FAIL;
        bool valid = false;
        std::wstring message;
        std::wstring shown;  // as printed; empty when the call failed
    };
    Validation ValidateUnit(const std::wstring& what = L"Validate");
    long ValStatus(const std::wstring& what = L"get ValStatus");
    void Solve();
    void ReadBack(Port& port);
    void TearDown();
    void Judge();
    // The checks beyond the life (checks.cpp): those that work on the
    // life's unit (`live`: solved, not yet terminated) or on instances of
    // their own after its release.
    void RunChecks(bool live);
    // Each check returns why the unit does not offer what it checks, or "".
    std::wstring CheckContext();      // check_context.cpp
    std::wstring CheckRegistry();     // check_registry.cpp
    std::wstring CheckPersistence();  // check_persistence.cpp
    std::wstring CheckResolve();      // check_resolve.cpp
    std::wstring CheckReport();       // check_report.cpp
    std::wstring CheckParameters();   // check_parameters.cpp
    // The unit's parameters, each read and printed; none, and why in
    // `notOffered`, when the unit gives none.
    std::vector<UnitParameter> ReadParameters(std::wstring* notOffered);
    // Each input real parameter moved halfway towards a bound, as a person
    // edits a unit; how many took their new value.
    size_t EditParameters();
    // Each parameter's name and value, read without a word (persistence
    // compares them).
    std::vector<std::pair<std::wstring, std::wstring>> ParameterValues();
    // Right after the unit's creation: InitNew, or Load for a loaded
    // instance; false when the loaded instance cannot go on.
    bool StartPersistence();
    // What a loaded instance must show as the saved one did: identification,
    // parameters, ports, validation, outlets (key, value).
    std::vector<std::pair<std::wstring, std::wstring>> Capture();

    const Options& options_;
    Verdict& verdict_;
    const Thermo thermo_;
    CLSID korvid_{};
    CLSID clsid_{};                 // the unit's class
    bool offersUtilities_ = false;  // the unit answers ICapeUtilities
    IStream* load_ = nullptr;
    HRESULT loaded_ = S_OK;  // the loaded instance's Load
    // The unit's IPersistStreamInit, else its IPersistStream.
    IPersistStreamInit* persistInit_ = nullptr;
    IPersistStream* persist_ = nullptr;
    std::wstring validation_;                                         // what Validate answered
    std::vector<std::pair<std::wstring, std::wstring>> loadedFacts_;  // Capture() after the solve
    HRESULT lifeContext_ = S_OK;     // put simulationContext before Initialize in the life
    HRESULT lifeInitialize_ = S_OK;  // the life's Initialize
    std::wstring como_;
    ICapeUnit* unit_ = nullptr;
    ICapeUtilities* utilities_ = nullptr;
    ICapeCollection* collection_ = nullptr;
    bool initialized_ = false;
    bool calculated_ = false;
    bool saidInvalid_ = false;     // Validate answered isValid false
    bool declaresThermo_ = false;  // the unit's categories name the thermo version of the run
    std::vector<Port> ports_;
    std::unique_ptr<CallRecord> record_ = std::make_unique<CallRecord>();
    std::vector<ULONG> keptAfterTerminate_;
};

}  // namespace korvid::validate
