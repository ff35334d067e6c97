# make test: every test, native and under Wine. make demo: the bundled example under Wine.
# Both install what they need (scripts/install-deps) and configure and build as needed.
.PHONY: test demo deps native windows windows-x64 fuzz bench clean

deps:
	@scripts/install-deps

native: deps
	@cmake --preset native >/dev/null
	@cmake --build --preset native -j2

windows: deps
	@cmake --preset windows >/dev/null
	@cmake --build --preset windows -j2

# The shipped stub is the i686 build; the x86_64 build of the same sources runs under Wine.
windows-x64: deps
	@cmake --preset windows-x64 >/dev/null
	@cmake --build --preset windows-x64 -j2

test: native windows windows-x64
	@scripts/test-all

demo: native windows windows-x64
	@scripts/demo

fuzz: deps
	@scripts/fuzz 300

bench: deps
	@scripts/bench

clean:
	rm -rf build
