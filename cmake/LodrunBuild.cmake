# Compiler settings of the two builds, and the one-line test registration.

# The program: small, no exceptions, no RTTI. Set in every build: the i686 decoder benchmark
# (bench/i686) compiles the codec with these options too, as the program has it. Code is
# built at -Oz, except a target marked LODRUN_HOT (the decoder), which keeps -Os: -Oz trades
# speed for bytes there (calls instead of inlined steps, pushes instead of moves).
set(LODRUN_PROGRAM_COMPILE_OPTIONS
    $<IF:$<BOOL:$<TARGET_PROPERTY:LODRUN_HOT>>,-Os,-Oz>
    -fno-exceptions -fno-rtti -fno-asynchronous-unwind-tables -fno-threadsafe-statics
    -ffunction-sections -fdata-sections -Wall -Wextra)
# Small functions left as calls outside the decoder, and pointer analysis across functions in
# the decoder's code only (with the whole program's code it made the stub 32 bytes longer).
# In both builds, so that the Wine tests of either run the code they make.
list(APPEND LODRUN_PROGRAM_COMPILE_OPTIONS
     $<IF:$<BOOL:$<TARGET_PROPERTY:LODRUN_HOT>>,-fipa-pta,-fno-inline-small-functions>)
# Choices of the optimiser that cost bytes and buy no speed: register allocation over the
# whole function at once rather than region by region, calls left as calls rather than jumps
# into a callee's tail (a jump needs the arguments moved into the caller's own), no saves of
# registers kept off the paths that need none, no merging of equal tails of blocks by jumps
# between them, no final values of loop variables worked out after the loop. Together the
# stub's code 208 bytes shorter; the i686 decoder measured as fast with them as without.
list(APPEND LODRUN_PROGRAM_COMPILE_OPTIONS -fira-region=one -fno-optimize-sibling-calls
     -fno-shrink-wrap -fno-tree-tail-merge -fno-tree-scev-cprop)
# Windows promises a 32-bit program's stack only 4-byte alignment: the code keeps to that
# instead of aligning it again. The i686 compiler keeps a frame pointer unless told not to;
# the programs carry no unwind tables that would want it, and the decoder gains a register
# (the stub's code 960 bytes shorter). Data is aligned as the ABI asks, not to 32 bytes for
# vector loads that the program never makes (the padding took a 512-byte step of the file).
# Arguments are pushed, not stored into an area kept below the frame: 32-bit Windows
# compilers probe the stack by default, which forces such an area on every function (a 4-byte
# store of an argument is 4 to 8 bytes where a push is 1 to 5, and every call of a function
# that pops its arguments is followed by a move of the stack pointer back). Without probes
# the stub's code is 5,144 bytes shorter. A probe only matters for a frame that could reach
# past the 4,096-byte guard page below the stack's last touched byte (the return address and
# the saved registers are pushed before the frame is made): frames are held to
# LODRUN_MAX_FRAME_BYTES, as an error of the compiler.
set(LODRUN_MAX_FRAME_BYTES 4000)
if(CMAKE_SIZEOF_VOID_P EQUAL 4)
  list(APPEND LODRUN_PROGRAM_COMPILE_OPTIONS -mpreferred-stack-boundary=2 -fomit-frame-pointer
       -malign-data=abi -mno-stack-arg-probe -Werror=frame-larger-than=${LODRUN_MAX_FRAME_BYTES})
endif()
# The decoder's fast loop, where decoding spends its time, is built for speed in a target
# built with the program's options (property LODRUN_PROGRAM_OPTIONS): -O1 keeps the loop's
# state in registers where -Os, choosing the shortest code, keeps some in memory. On i686 it
# decodes about a tenth faster for about 350 bytes of the stub; -O2 measured no faster.
set(LODRUN_FAST_LOOP_OPTIONS -O1)

if(WIN32)
  # The programs' libraries keep code for the tests to link as it is and for link-time
  # optimisation of the programs themselves (fat objects). Everything else links that code
  # without the optimiser's plugin, which would mix both kinds of an inline function.
  list(APPEND LODRUN_PROGRAM_COMPILE_OPTIONS -flto -ffat-lto-objects)
  add_link_options(-fno-use-linker-plugin)
  # No API newer than Windows 95/NT 4.
  set(LODRUN_PROGRAM_DEFINITIONS WINVER=0x0400 _WIN32_WINNT=0x0400 WIN32_LEAN_AND_MEAN)
  set(LODRUN_PROGRAM_LINK_OPTIONS
      -s -Wl,--gc-sections -mwindows
      -Wl,--subsystem,windows:4.0 -Wl,--major-os-version,4 -Wl,--minor-os-version,0
      # A program of that era loads at its preferred base: no relocations to carry.
      -Wl,--disable-dynamicbase -Wl,--disable-reloc-section)
  # The shipped programs start at their own entry point (session/program_entry.cpp), without
  # the C runtime's start-up (C names carry a leading underscore on i686 only), and are
  # optimised as a whole at link time with the program's options.
  if(CMAKE_SIZEOF_VOID_P EQUAL 4)
    # The shipped i686 programs are laid out in two sections (program_layout.ld).
    set(LODRUN_PROGRAM_LAYOUT ${CMAKE_CURRENT_LIST_DIR}/program_layout.ld)
    list(APPEND LODRUN_PROGRAM_LINK_OPTIONS -Wl,-T,${LODRUN_PROGRAM_LAYOUT})
    set(LODRUN_ENTRY_LINK_OPTIONS -nostartfiles -Wl,--entry,_ProgramEntry)
  else()
    set(LODRUN_ENTRY_LINK_OPTIONS -nostartfiles -Wl,--entry,ProgramEntry)
  endif()
  list(APPEND LODRUN_ENTRY_LINK_OPTIONS ${LODRUN_PROGRAM_COMPILE_OPTIONS} -fuse-linker-plugin)
  # The optimiser has dropped every function that nothing calls, so the whole program's code
  # goes in one section: no padding of each function to its own section's 4-byte alignment.
  list(APPEND LODRUN_ENTRY_LINK_OPTIONS -fno-function-sections -fno-data-sections)
else()
  add_compile_options(-Wall -Wextra)
  if(LODRUN_SANITIZE)
    add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
    add_link_options(-fsanitize=address,undefined)
  endif()
endif()

# lodrun_add_test(NAME source... [LIBS lib...]): one GoogleTest executable, its cases
# discovered by ctest (under Wine in the Windows build).
function(lodrun_add_test name)
  cmake_parse_arguments(ARG "" "" "LIBS;LABELS" ${ARGN})
  add_executable(${name} ${ARG_UNPARSED_ARGUMENTS})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} GTest::gtest_main)
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR}/src ${PROJECT_SOURCE_DIR}
                                             ${PROJECT_SOURCE_DIR}/tests)
  if(WIN32 AND NOT LODRUN_WINE_TESTS)
    return()
  endif()
  set(labels ${ARG_LABELS})
  if(NOT labels)
    set(labels unit)
  endif()
  # A case that cannot set up its condition says GTEST_SKIP: ctest counts it as skipped.
  gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 120
                       PROPERTIES LABELS "${labels}" TIMEOUT 120 SKIP_REGULAR_EXPRESSION "\\[  SKIPPED \\]")
endfunction()

# lodrun_add_program_checks(TARGET IMPORTS_TEST SIZE_TEST BUDGET): the static checks of a
# shipped program: the test IMPORTS_TEST fails when it imports a DLL that Windows 95 and NT 4
# do not ship, and in the i686 build SIZE_TEST when it outgrows BUDGET bytes (growth past it
# must be a decision).
function(lodrun_add_program_checks target imports_test size_test budget manifest_test)
  find_program(LODRUN_OBJDUMP NAMES ${CMAKE_OBJDUMP} ${TOOLCHAIN_PREFIX}-objdump REQUIRED)
  add_test(NAME ${imports_test}
           COMMAND sh ${PROJECT_SOURCE_DIR}/tests/session/check_imports.sh ${LODRUN_OBJDUMP}
                   $<TARGET_FILE:${target}> $<$<BOOL:${LODRUN_PROGRAM_LAYOUT}>:names-in-address-table>)
  add_test(NAME ${manifest_test}
           COMMAND python3 ${PROJECT_SOURCE_DIR}/tests/resources/check_manifest.py $<TARGET_FILE:${target}>)
  set_tests_properties(${imports_test} ${manifest_test} PROPERTIES LABELS static)
  if(CMAKE_SIZEOF_VOID_P EQUAL 4)
    add_test(NAME ${size_test}
             COMMAND sh -c "size=$(stat -c %s \"$0\"); echo \"${target}: $size of $1 bytes\"; [ $size -le $1 ]"
                     $<TARGET_FILE:${target}> ${budget})
    set_tests_properties(${size_test} PROPERTIES LABELS static)
  endif()
endfunction()

# lodrun_add_library(NAME [DEPENDS lib...]): one subsystem's static library. Its sources are
# added in its folder; DEPENDS names the layers below it that it may use (docs/architecture.md).
# In the Windows build it is compiled like the program.
function(lodrun_add_library name)
  cmake_parse_arguments(ARG "" "" "DEPENDS" ${ARGN})
  add_library(${name} STATIC)
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR}/src)
  target_link_libraries(${name} PUBLIC ${ARG_DEPENDS})
  if(WIN32)
    target_compile_options(${name} PRIVATE ${LODRUN_PROGRAM_COMPILE_OPTIONS})
    set_target_properties(${name} PROPERTIES LODRUN_PROGRAM_OPTIONS ON)
    target_compile_definitions(${name} PUBLIC ${LODRUN_PROGRAM_DEFINITIONS})
  endif()
endfunction()
