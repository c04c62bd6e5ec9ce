#!/usr/bin/env bash
# Sets up a fresh Debian machine for Korvid and builds it, 32-bit and 64-bit:
# packages, the German locale the locale tests use, and the two cross-builds
# (each with its MSI package: wixl writes it, msibuild of msitools completes it).
#   KORVID_BUILD_DIR  root of the build folders (default: build): the 32-bit
#                     build in <root>/win32, the 64-bit one in <root>/win64
set -euo pipefail
cd "$(dirname "$0")/../.."
source tools/scripts/bitness.sh

packages=(g++-mingw-w64-x86-64-posix gcc-mingw-w64-i686-posix g++-mingw-w64-i686-posix
          mingw-w64-tools libwine-dev wine wine64 xvfb x11-utils
          xdotool imagemagick googletest cmake locales wixl msitools libxml2-utils
          python3)
# wine32 runs the 32-bit programs, but only where the kernel executes 32-bit
# code: elsewhere Debian's wine would pick its 32-bit loader and fail on every
# call ("Exec format error"), and the 32-bit tests run in an emulated machine.
way="$(korvid_32bit_way)"
case "$way" in
    native) packages+=(wine32:i386) ;;
    emulated) packages+=(qemu-system-x86 mmdebstrap) ;;
esac
missing=()
for p in "${packages[@]}"; do
    dpkg -s "$p" >/dev/null 2>&1 || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
    echo "Installing: ${missing[*]}"
    export DEBIAN_FRONTEND=noninteractive
    if [ "$way" = native ] && ! dpkg --print-foreign-architectures | grep -qx i386; then
        dpkg --add-architecture i386
    fi
    apt-get update -qq
    apt-get install -y -qq "${missing[@]}" >/dev/null
fi

# A locale whose decimal separator is a comma.
if ! locale -a 2>/dev/null | grep -qi '^de_DE\.utf8$'; then
    localedef -i de_DE -f UTF-8 de_DE.UTF-8 >/dev/null 2>&1 || true
fi

# Both bitnesses with their tools and end-to-end clients; the unit tests,
# which test logic rather than bitness, in the 64-bit build only.
for bits in 64 32; do
    if [ "$bits" = 64 ]; then
        toolchain=cmake/mingw-w64-x86_64.cmake unit=ON
    else
        toolchain=cmake/mingw-w64-i686.cmake unit=OFF
    fi
    dir="$(korvid_build_dir "$bits")"
    cmake -S . -B "$dir" -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DCMAKE_BUILD_TYPE=Release \
          -DKORVID_BUILD_TESTS=ON -DKORVID_UNIT_TESTS="$unit" \
          -DKORVID_PACKAGE_DIR="$KORVID_BUILD_ROOT" >/dev/null
    cmake --build "$dir" -j"$(nproc)"
done
