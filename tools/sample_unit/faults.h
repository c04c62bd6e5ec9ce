// The switch that makes the sample unit misbehave, one way per finding a host
// should report: environment variable KORVID_SAMPLE_FAULT, read at Initialize.
#pragma once

#include <string>

namespace korvid::sample_unit {

enum class Fault {
    None,
    WritesInlet,        // "writes-inlet": Calculate calls SetProp on the feed's object
    SkipsOutlet,        // "skips-outlet": Calculate never sets the liquid outlet's temperature
    CalculatesInvalid,  // "calculates-invalid": a parameter out of bounds, Calculate still succeeds
    KeepsObject,        // "keeps-object": Disconnect and Terminate keep the material objects
    WrongConnected,     // "wrong-connected": connectedObject answers another port's object
    BareError,          // "bare-error": Calculate fails with E_FAIL and no error information
    NoAddRef,           // "no-addref": connectedObject hands out the object without AddRef
    OverRelease,        // "over-release": Disconnect releases the object once more than it holds
    IgnoresError,       // "ignores-error": Calculate ignores a refused call on each outlet
    ItemNone,           // "item-none": the ports' Item by name answers S_OK with no object
    Refuses11,          // "refuses-1.1": Connect refuses a 1.1 object, though the unit declares 1.1
    ShowsWindow,        // "shows-window": Calculate shows a message box
    Crashes,            // "crashes": Calculate writes through a null pointer
    OverflowsStack,     // "overflows-stack": Calculate recurses without end
    Throws,             // "throws": Calculate lets a C++ exception out of the unit
    ForeignIds,         // "foreign-ids": 0.9: the feed is asked for a component it does not hold
    WildPointer,        // "wild-pointer": 0.9: the feed's GetNumComponents writes to address 0x10
    LiteralText,        // "literal-text": the feed read with a wide literal where a BSTR belongs
    ContextFirst,       // "context-first": a simulation context after Initialize is refused
    ForgetsName,        // "forgets-name": Load keeps the default name and description
    ForgetsParameters,  // "forgets-parameters": Load keeps the parameters' values as they were
    StaysDirty,         // "stays-dirty": Save(stream, TRUE) leaves the unit dirty
    LoadFails,          // "load-fails": Load fails
    Drifts,             // "drifts": each Calculate sets the outlets' temperature 1 K higher
    NoReconnect,        // "no-reconnect": a port once disconnected refuses Connect
    ReportFails,        // "report-fails": ProduceReport of "Streams" fails
    UncheckedParameter,  // "unchecked-parameter": a parameter's value outside its bounds is valid
    ChangesInput,        // "changes-input": Calculate raises the temperature parameter by 1 K
    StaleValStatus,      // "stale-valstatus": ValStatus ignores every change since Validate
    BadDefault,  // "bad-default": each default answered lies a whole range above the default
    // Registration faults: regsvr32 run with the value leaves out a key (no
    // change at run time).
    NoProgId,          // "no-progid": the class names no ProgID
    NoThreadingModel,  // "no-threadingmodel": InprocServer32 has no ThreadingModel
    NoUnitCategory,    // "no-unit-category": the unit operation category is not implemented
    NoHelpUrl,         // "no-helpurl": CapeDescription has no HelpURL
    NoTypeLib,         // "no-typelib": the class names no type library
};

// The fault the environment asks for; an unknown value fails (ECapeFailedInitialisation).
Fault FaultFromEnvironment();
// An environment variable (KORVID_SAMPLE_FAULT, _FLASH, _OUTLET) as it is
// set, unchecked ("" when unset).
std::wstring SampleSetting(const wchar_t* name);
// KORVID_SAMPLE_FAULT as it is set.
std::wstring FaultValue();

// What shows-window, crashes, overflows-stack and throws do in Calculate once the
// feed is read (the box waits for its OK); nothing for the other faults.
void MisbehaveInCalculate(Fault fault);

// Address 0x10, which the compiler cannot know: where wild-pointer has a
// count written.
long* WildPointer();

}  // namespace korvid::sample_unit
