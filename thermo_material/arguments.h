// Reading the arguments of the CAPE-OPEN 1.1 material through the shared
// readers of automation/variant.h. A list argument is a one-dimensional
// array (any lower bound, by reference or not) whose elements are all of the
// kind asked for; anything else is refused with ECapeInvalidArgument naming
// the argument and its position.
#pragma once

#include <windows.h>
#include <oleauto.h>

#include <optional>
#include <string>
#include <vector>

#include "thermo_material/cape_error.h"

namespace korvid::thermo_material {

// Texts; nothing for an Empty (UNDEFINED) argument.
std::optional<std::vector<std::wstring>> TextList(const VARIANT& value, Argument argument);
// Numbers (any numeric element type; texts and Booleans are refused).
std::vector<double> NumberList(const VARIANT& value, Argument argument);
// Whole numbers (any numeric element type holding a whole number).
std::vector<long> WholeNumberList(const VARIANT& value, Argument argument);

// Basis: "" (UNDEFINED), "Mole" or "Mass" in any case.
enum class Basis { Undefined, Mole, Mass };
Basis ReadBasis(std::wstring_view basis, Argument argument);

}  // namespace korvid::thermo_material
