#!/usr/bin/env bash
# The layer check on small trees made here: a sound tree passes, and each way of slipping a
# dependency past it fails with its own words (an include written with angle brackets, a
# folder without a row, a row in backquotes that includes upwards, a circle in the table,
# a CMake DEPENDS the table does not allow, one it misses, an include without a folder; in
# the builder's stages, an include and a library link upwards and a source outside them).
set -uo pipefail
check=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
cases=0

# A tree of two layers, base at the bottom and engine over it, and two builder stages over
# base: builder/io, and builder/setup over it.
make_tree() {
  rm -rf "$work/tree"
  mkdir -p "$work/tree/docs" "$work/tree/src/base" "$work/tree/src/engine" "$work/tree/builder/io" \
           "$work/tree/builder/setup"
  cat >"$work/tree/docs/architecture.md" <<'DOC'
| Folder | May include | What lives there |
|---|---|---|
| src/base | | files |
| src/engine | base | the installation |
| builder/io | base | the builder's files |
| builder/setup | builder/io base | the setup file |
DOC
  cat >"$work/tree/builder/CMakeLists.txt" <<'CMAKE'
add_library(lodrun_builder_io STATIC io/file_bytes.cpp)
target_link_libraries(lodrun_builder_io PUBLIC lodrun_base)
add_library(lodrun_builder_setup STATIC setup/archive_writer.cpp)
target_link_libraries(lodrun_builder_setup PUBLIC lodrun_builder_io)
CMAKE
  printf '#pragma once\n#include "base/file_io.h"\n' >"$work/tree/builder/io/file_bytes.h"
  printf '#include "builder/io/file_bytes.h"\n#include "base/file_io.h"\n' >"$work/tree/builder/setup/archive_writer.cpp"
  cat >"$work/tree/src/CMakeLists.txt" <<'CMAKE'
lodrun_add_library(lodrun_base)
lodrun_add_library(lodrun_engine DEPENDS lodrun_base)
CMAKE
  printf '#pragma once\n#include <cstdint>\n' >"$work/tree/src/base/file_io.h"
  printf '#pragma once\n' >"$work/tree/src/engine/install.h"
  printf '#include "engine/install.h"\n#include "base/file_io.h"\n#include <windows.h>\n' \
    >"$work/tree/src/engine/install.cpp"
}

# expect NAME WORDS: the check fails and says WORDS.
expect() {
  local name=$1 words=$2 out rc
  cases=$((cases + 1))
  out=$("$check" "$work/tree" 2>&1)
  rc=$?
  if [ "$rc" -eq 0 ] || [[ "$out" != *"$words"* ]]; then
    echo "FAIL $name: exit $rc, said: $out"
    failures=$((failures + 1))
  else
    echo "ok   $name"
  fi
}

make_tree
cases=$((cases + 1))
if out=$("$check" "$work/tree" 2>&1); then echo "ok   sound tree"; else echo "FAIL sound tree: $out"; failures=$((failures + 1)); fi

make_tree
echo '#include <engine/install.h>' >>"$work/tree/src/base/file_io.h"
expect "angle brackets" 'includes <engine/install.h> of this project with angle brackets'

make_tree
mkdir -p "$work/tree/src/system" && echo '#include "engine/install.h"' >"$work/tree/src/system/paths.cpp"
expect "folder without a row" 'src/system: holds sources but has no row'

make_tree
sed -i 's/| src\/base | |/| `src\/base` | |/' "$work/tree/docs/architecture.md"
echo '#include "engine/install.h"' >>"$work/tree/src/base/file_io.h"
expect "row in backquotes" 'src/base/file_io.h:3: includes "engine/install.h"'

make_tree
sed -i 's/| src\/base | |/| src\/base | engine |/' "$work/tree/docs/architecture.md"
expect "circle" 'include each other in a circle'

make_tree
echo 'lodrun_add_library(lodrun_base DEPENDS lodrun_engine)' >"$work/tree/src/CMakeLists.txt"
echo 'lodrun_add_library(lodrun_engine)' >>"$work/tree/src/CMakeLists.txt"
expect "DEPENDS upwards" 'lodrun_base depends on lodrun_engine, which src/base may not include'
expect "DEPENDS missing" 'src/engine may include base, but lodrun_engine does not depend on lodrun_base'

make_tree
echo '#include "install.h"' >>"$work/tree/src/engine/install.cpp"
expect "no folder" 'includes "install.h" without its folder'

make_tree
echo '#include "engine/install.h"' >>"$work/tree/src/base/file_io.h"
expect "include upwards" 'src/base may include only base'

make_tree
echo '#include "builder/setup/archive_writer.h"' >>"$work/tree/builder/io/file_bytes.h"
expect "builder include upwards" 'includes "builder/setup/archive_writer.h": builder/io may include only base builder/io'

make_tree
sed -i 's/lodrun_builder_io PUBLIC lodrun_base/lodrun_builder_io PUBLIC lodrun_base lodrun_builder_setup/' \
  "$work/tree/builder/CMakeLists.txt"
expect "builder link upwards" 'lodrun_builder_io depends on lodrun_builder_setup, which builder/io may not include'

make_tree
echo '#include "builder/io/file_bytes.h"' >"$work/tree/builder/tool.cpp"
expect "builder source outside its stages" 'builder/tool.cpp: a source outside the builder'

make_tree
mkdir -p "$work/tree/builder/tool" && echo '#include "builder/io/file_bytes.h"' >"$work/tree/builder/tool/main.cpp"
expect "builder stage without a row" 'builder/tool: holds sources but has no row'

echo "$((cases - failures)) passed, $failures failed"
[ "$failures" -eq 0 ]
