#!/usr/bin/env bash
# Sets up a fresh Debian machine for Korvid and builds it:
# packages, the German locale the locale tests use, and the cross-build.
#   KORVID_BUILD_DIR  build folder (default: build)
set -euo pipefail
cd "$(dirname "$0")/../.."

packages=(g++-mingw-w64-x86-64-posix mingw-w64-tools libwine-dev wine wine64 xvfb x11-utils
          xdotool imagemagick googletest cmake locales)
missing=()
for p in "${packages[@]}"; do
    dpkg -s "$p" >/dev/null 2>&1 || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
    echo "Installing: ${missing[*]}"
    export DEBIAN_FRONTEND=noninteractive
    apt-get update -qq
    apt-get install -y -qq "${missing[@]}" >/dev/null
fi

# A locale whose decimal separator is a comma.
if ! locale -a 2>/dev/null | grep -qi '^de_DE\.utf8$'; then
    localedef -i de_DE -f UTF-8 de_DE.UTF-8 >/dev/null 2>&1 || true
fi

build="${KORVID_BUILD_DIR:-build}"
cmake -S . -B "$build" -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake \
      -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build" -j"$(nproc)"
