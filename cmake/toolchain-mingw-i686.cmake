# Cross build for 32-bit Windows: the setup program as shipped.
set(TOOLCHAIN_PREFIX i686-w64-mingw32)
set(CMAKE_SYSTEM_PROCESSOR x86)
set(LODRUN_WINE_ARCH win32)
include(${CMAKE_CURRENT_LIST_DIR}/toolchain-mingw-common.cmake)
