# Toolchain for the product: 32-bit Windows (i686) with mingw-w64, run under
# Wine. Used for Pagewell itself and by scripts/setup for the third-party
# libraries it cross-builds, so everything links against one C++ runtime.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_VERSION 6.1)
set(CMAKE_SYSTEM_PROCESSOR i686)
set(PAGEWELL_MINGW_TRIPLE i686-w64-mingw32)
set(PAGEWELL_WINDOWS_ARCH win32)

# -msse2 -mfpmath=sse: i686 code otherwise does floating point on the x87
# with 80-bit intermediates, and geometry (rotation, deskew, scaling) then
# rounds differently from the x86-64 build by the odd pixel. With SSE2
# doubles both builds compute bit-identical results. -mstackrealign: Windows
# only promises a 4-byte aligned stack on x86, so functions entered from
# system code (window procedures, COM calls, thread starts) realign it
# before using SSE spill slots.
set(PAGEWELL_ARCH_FLAGS "-msse2 -mfpmath=sse -mstackrealign")

include("${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake")
