// Creation without the form: a host that runs unattended gives the definition
// up front, in the process's environment, before it creates an object:
//   KORVID_COMO     the component file (set and not empty: no form is shown)
//   KORVID_REPORT   the report name (unset or empty: reporting off)
//   KORVID_COMPIDS  "names" (the default) or "cas"
// They are read at every creation, so a unit's own CreateMaterialObject and
// Duplicate follow them too.
#pragma once

#include <optional>
#include <string>

namespace korvid::component_definition {

struct HeadlessDefinition {
    std::wstring comoPath;
    std::wstring reportName;  // as given; the k-th object made with it reports to "<name>-<k>"
    bool useCas = false;
    std::wstring refusal;  // why the settings themselves are refused, or empty
};

// The definition in the environment, or nullopt when KORVID_COMO is unset or
// empty (the form is then shown as ever).
std::optional<HeadlessDefinition> HeadlessDefinitionFromEnvironment();

}  // namespace korvid::component_definition
