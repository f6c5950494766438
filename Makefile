# make run   - the page in the host program on the example start-up file
# make test  - every test: native (with sanitizers), then the Windows build under Wine
.PHONY: run test deps native-test win32-build win32-test fuzz bench format clean

deps:
	@scripts/install-deps

native-test: deps
	cmake --preset native-debug >/dev/null
	cmake --build --preset native-debug
	ctest --preset native-debug

win32-build: deps
	cmake --preset win32 >/dev/null
	cmake --build --preset win32

win32-test: win32-build
	scripts/xvfb-maybe ctest --preset win32

test: native-test win32-test

run: win32-build
	scripts/run-host

format:
	clang-format -i $$(git ls-files '*.cpp' '*.h')

clean:
	rm -rf build
