#!/usr/bin/env bash
# A million traced SetProp/GetProp calls in one process: memory stays flat and
# the report holds every line (korvid-soak.exe checks both; about 10 s).
source "$(dirname "$0")/lib.sh" "$1"
(cd "$BIN" && korvid_timeout 600 wine korvid-soak.exe 1000000 | tr -d '\r')
