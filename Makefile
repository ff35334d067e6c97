# make test: every test, native and under Wine. make demo: the bundled example under Wine.
# Both install what they need (scripts/install-deps) and configure and build as needed.
.PHONY: test demo demo-uninstall deps native windows windows-x64 release install fuzz bench clean

# Where make install puts the tool (PREFIX/bin) and its programs (PREFIX/share/lodrun).
PREFIX ?= /usr/local

deps:
	@scripts/install-deps

native: deps
	@cmake --preset native >/dev/null
	@cmake --build --preset native -j2

# The shipped stub is the i686 build. Its tests run under 32-bit Wine where this machine starts
# 32-bit processes (scripts/windows-target); elsewhere the x86_64 build of the same sources
# runs them under 64-bit Wine. Both are always built.
windows: deps
	@if [ "$$(scripts/windows-target)" = i686 ]; then wine=ON; else wine=OFF; fi; \
	  cmake --preset windows -DLODRUN_WINE_TESTS=$$wine >/dev/null
	@cmake --build --preset windows -j2

windows-x64: deps
	@cmake --preset windows-x64 >/dev/null
	@cmake --build --preset windows-x64 -j2

# The tool as a user gets it: optimised, without the sanitizers and tests of the native build.
release: deps windows
	@cmake --preset release >/dev/null
	@cmake --build --preset release -j2

install: release
	@cmake --install build/release --prefix "$(PREFIX)"

test: native windows windows-x64
	@scripts/test-all

demo: native windows windows-x64
	@scripts/demo

# Removes what make demo installed, with the uninstall program its Uninstall entry names.
demo-uninstall: native windows windows-x64
	@scripts/demo uninstall

# Every fuzzer for ten minutes, two at a time on the two cores (scripts/fuzz SECONDS --merge
# for another length): half an hour for the six; what they find is merged into fuzz/corpus.
fuzz: deps
	@scripts/fuzz 600 --merge

bench: deps
	@scripts/bench

clean:
	rm -rf build
