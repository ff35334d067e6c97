# Shared part of the two mingw-w64 cross builds; the including file sets TOOLCHAIN_PREFIX,
# CMAKE_SYSTEM_PROCESSOR and LODRUN_WINE_ARCH. The -posix compilers give GoogleTest the
# std::mutex it needs; the program itself uses no threads.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_C_COMPILER ${TOOLCHAIN_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${TOOLCHAIN_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${TOOLCHAIN_PREFIX}-windres)
# Archives of link-time-optimisable objects need gcc's archiver, which indexes them.
set(CMAKE_AR ${TOOLCHAIN_PREFIX}-gcc-ar-posix)
set(CMAKE_RANLIB ${TOOLCHAIN_PREFIX}-gcc-ranlib-posix)
set(CMAKE_CXX_COMPILER_AR ${TOOLCHAIN_PREFIX}-gcc-ar-posix)
set(CMAKE_CXX_COMPILER_RANLIB ${TOOLCHAIN_PREFIX}-gcc-ranlib-posix)
set(CMAKE_C_COMPILER_AR ${TOOLCHAIN_PREFIX}-gcc-ar-posix)
set(CMAKE_C_COMPILER_RANLIB ${TOOLCHAIN_PREFIX}-gcc-ranlib-posix)
set(CMAKE_FIND_ROOT_PATH /usr/${TOOLCHAIN_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
# Static runtime: nothing but system DLLs at run time.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
# ctest runs the Windows tests through Wine with the build's own prefix: 32-bit Wine for the
# i686 build, the 64-bit loader for the x86_64 one (the including file sets LODRUN_WINE_ARCH).
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/../scripts/wine-run --arch ${LODRUN_WINE_ARCH})
