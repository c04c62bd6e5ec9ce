#!/usr/bin/env bash
# Lines of test code against lines of the code it tests, and their ratio.
# Code: the subsystem folders (with the COM rules of automation/) and the
# tools a user runs. Tests: everything under tests/ and the test-only
# programs in tools/ (the GUI form checker, the fuzzer, the fault seeder).
# Non-blank lines of C++, IDL, resource, shell, VBScript and Python sources;
# build files and data (component files, call scripts with their
# transcripts, the GUI script, expected reports and printouts, the seeder's
# fault list) are counted apart.
set -euo pipefail
cd "$(dirname "$0")/../.."

count() {
    find "$@" -type f \( -name '*.cpp' -o -name '*.h' -o -name '*.idl' -o -name '*.rc' \
        -o -name '*.def' -o -name '*.sh' -o -name '*.vbs' -o -name '*.py' \) \
        ! -name 'seed*' -print0 2>/dev/null |
        xargs -0 cat | grep -cv '^[[:space:]]*$'
}
non_blank() { cat "$@" | grep -cv '^[[:space:]]*$'; }

test_dirs=(tests tools/form_probe tools/fuzz)
code_dirs=(material_object thermo_material component_definition automation com_server platform)
for tool in tools/*/; do
    tool="${tool%/}"
    case " ${test_dirs[*]} " in *" $tool "*) continue ;; esac
    code_dirs+=("$tool")
done

code=$(count "${code_dirs[@]}")
tests=$(( $(count "${test_dirs[@]}") + $(non_blank tools/scripts/seed*) ))
data=$(find tests/data -type f ! -name '.*' -print0 | xargs -0 cat | grep -cv '^[[:space:]]*$')
echo "code:  $code lines (${code_dirs[*]})"
echo "tests: $tests lines (${test_dirs[*]} and the fault seeder)"
echo "data:  $data lines of test data (tests/data), $(non_blank tools/scripts/faults.txt) of seeded faults"
awk -v t="$tests" -v c="$code" 'BEGIN { printf "ratio: %.2f (tests / code)\n", t / c }'
