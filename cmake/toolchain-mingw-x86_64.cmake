# Cross build of the same sources for 64-bit Windows. Machines whose kernel cannot start
# 32-bit processes run Wine's 64-bit loader only; the Windows tests run on this build there,
# and everywhere it is built, so that the sources stay free of 32-bit assumptions.
set(TOOLCHAIN_PREFIX x86_64-w64-mingw32)
set(CMAKE_SYSTEM_PROCESSOR AMD64)
set(LODRUN_WINE_ARCH win64)
include(${CMAKE_CURRENT_LIST_DIR}/toolchain-mingw-common.cmake)
