# Sourced by the project's scripts: the two build folders and whether this
# machine runs 32-bit programs.
#   KORVID_BUILD_DIR  root of the build folders (default: build); the 32-bit
#                     build goes to <root>/win32, the 64-bit one to <root>/win64

KORVID_BUILD_ROOT="${KORVID_BUILD_DIR:-build}"
case "$KORVID_BUILD_ROOT" in
    /*) ;;
    *) KORVID_BUILD_ROOT="$(pwd)/$KORVID_BUILD_ROOT" ;;
esac

# korvid_build_dir 32|64: the build folder of that bitness.
korvid_build_dir() { echo "$KORVID_BUILD_ROOT/win$1"; }

# True when the kernel executes 32-bit x86 programs (wine32 needs that): runs a
# 96-byte static i386 ELF that calls exit(42) through int 0x80. Kernels built
# or booted without IA-32 emulation refuse it ("Exec format error").
korvid_can_run_32bit() {
    local probe rc=0
    probe="$(mktemp "${TMPDIR:-/tmp}/korvid-ia32.XXXXXX")"
    printf '\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00'\
'\x02\x00\x03\x00\x01\x00\x00\x00\x54\x80\x04\x08\x34\x00\x00\x00'\
'\x00\x00\x00\x00\x00\x00\x00\x00\x34\x00\x20\x00\x01\x00\x00\x00'\
'\x00\x00\x00\x00'\
'\x01\x00\x00\x00\x00\x00\x00\x00\x00\x80\x04\x08\x00\x80\x04\x08'\
'\x60\x00\x00\x00\x60\x00\x00\x00\x05\x00\x00\x00\x00\x10\x00\x00'\
'\xbb\x2a\x00\x00\x00\xb8\x01\x00\x00\x00\xcd\x80' >"$probe"
    chmod +x "$probe"
    "$probe" 2>/dev/null || rc=$?
    rm -f "$probe"
    [ "$rc" = 42 ]
}

# How the 32-bit end-to-end tests run here: "native" where this machine
# executes 32-bit programs, "emulated" (emulated-x86.sh) where it cannot, or
# "skipped" where the emulated run is switched off.
#   KORVID_FORCE_EMULATED=1  the emulated machine even where native would do
#   KORVID_SKIP_EMULATED=1   no emulated run, for a quick local loop (CI never
#                            sets it)
korvid_32bit_way() {
    if [ -z "${KORVID_FORCE_EMULATED:-}" ] && korvid_can_run_32bit; then
        echo native
    elif [ -n "${KORVID_SKIP_EMULATED:-}" ]; then
        echo skipped
    else
        echo emulated
    fi
}
