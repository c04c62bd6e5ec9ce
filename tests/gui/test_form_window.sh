#!/bin/bash
# The form window's own tests (a recording handler instead of the form's
# logic), which need the display that the unit test run may not have.
source "$(dirname "$0")/gui_common.sh" "$1"

timeout 120 wine "$KORVID_BIN/korvid_unit_tests.exe" --gtest_filter='FormWindowTest.*' \
    --gtest_brief=1 | tr -d '\r' >"$KORVID_WORK/unit.out"
code=${PIPESTATUS[0]}
cat "$KORVID_WORK/unit.out"
[ "$code" = 0 ] || gui_fail "the form window tests"
grep -q SKIPPED "$KORVID_WORK/unit.out" && gui_fail "the form window tests were skipped"
grep -q 'tests from 1 test suite ran' "$KORVID_WORK/unit.out" || gui_fail "no form window test ran"

gui_finish
