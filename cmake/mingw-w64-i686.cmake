# Cross-build for 32-bit Windows with mingw-w64 (posix threads). The 32-bit
# programs run under Wine only where the machine executes 32-bit code (wine32).
set(CMAKE_SYSTEM_PROCESSOR x86)
set(TOOLCHAIN_PREFIX i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64-common.cmake)

# Doubles computed in SSE2 registers, as on x86-64: x87's 80-bit registers
# would keep excess precision, and a product such as 83.82 x 10^4 would
# truncate to another value than the 64-bit DLL writes. Every Windows since
# 8 requires SSE2.
set(CMAKE_C_FLAGS_INIT "-msse2 -mfpmath=sse")
set(CMAKE_CXX_FLAGS_INIT "-msse2 -mfpmath=sse")
