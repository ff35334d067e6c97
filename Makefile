# make test: every test, native and under Wine. make demo: the bundled example under Wine.
# Both install what they need (scripts/install-deps) and configure and build as needed.
.PHONY: test demo deps native windows fuzz bench clean

deps:
	@scripts/install-deps

native: deps
	@cmake --preset native >/dev/null
	@cmake --build --preset native -j2

windows: deps
	@cmake --preset windows >/dev/null
	@cmake --build --preset windows -j2

test: native windows
	@scripts/test-all

demo: native windows
	@scripts/demo

fuzz: deps
	@scripts/fuzz 300

bench: deps
	@scripts/bench

clean:
	rm -rf build
