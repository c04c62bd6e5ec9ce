// The general number format: the text OLE Automation's VarBstrFromR8 gives
// for a double, without its cost on the hot path of the trace report.
//
// What VarBstrFromR8 writes (measured on the platform this runs on):
// - 15 significant digits, rounded from the exact binary value, a tie going
//   away from zero (100000000000000.5 -> "100000000000001");
// - trailing zeros dropped, no thousands separator;
// - exponent form when the rounded value's decimal exponent is below -4 or
//   at least 15: "1E-05", "1.5E+300", "1E+15", the exponent with at least two
//   digits and its sign; the mantissa keeps "." whatever the locale;
// - otherwise plain digits with the locale's decimal separator ("0,0001");
// - negative zero as "0"; NaN as "NAN", or "-NAN(IND)" with the sign bit set;
//   infinities as "INF" and "-INF".
#pragma once

#include <string>
#include <string_view>

#include "platform/text_buffer.h"

namespace korvid::platform {

// Appends `value` in the general number format, with `decimalSeparator`
// (the locale's LOCALE_SDECIMAL) in the plain form.
void AppendGeneralNumber(TextBuffer& out, double value, std::wstring_view decimalSeparator);

inline std::wstring FormatGeneralNumber(double value, std::wstring_view decimalSeparator) {
    TextBuffer text;
    AppendGeneralNumber(text, value, decimalSeparator);
    return std::wstring(text.View());
}

}  // namespace korvid::platform
