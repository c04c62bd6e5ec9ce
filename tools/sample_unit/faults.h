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
    LiteralText,        // "literal-text": the feed read with a wide literal where a BSTR belongs
};

// The fault the environment asks for; an unknown value fails (ECapeFailedInitialisation).
Fault FaultFromEnvironment();

}  // namespace korvid::sample_unit
