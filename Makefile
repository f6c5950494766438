# make run   - the page in the host program on the example start-up file
# make test  - every test: native (with sanitizers), fuzz corpus replays and a short fuzz run,
#              then the Windows build under Wine
# make fuzz  - each fuzz target for FUZZ_SECONDS (default 600) seconds
# make bench - the native benchmarks and their ratios
# make bench-win32 - the Windows figures under Wine: generation against CommandLineToArgvW,
#              the page's windows against raw ones, varkel.dll's size
# make screenshot - the page's 96-dpi picture from the Windows tests into docs/ for the README
.PHONY: run test deps native-test fuzz-build fuzz-test win32-build win32-test fuzz bench bench-win32 \
	screenshot format clean

deps:
	@scripts/install-deps

native-test: deps
	cmake --preset native-debug >/dev/null
	cmake --build --preset native-debug
	ctest --preset native-debug

fuzz-build: deps
	cmake --preset fuzz >/dev/null
	cmake --build --preset fuzz

fuzz-test: fuzz-build
	ctest --preset fuzz

fuzz: fuzz-build
	tests/fuzz/run-fuzzers build/fuzz $${FUZZ_SECONDS:-600}

bench: deps
	cmake --preset native-release >/dev/null
	cmake --build --preset native-release --target varkel_bench
	build/native-release/bench/varkel_bench

bench-win32: deps
	cmake --preset win32 >/dev/null
	cmake --build --preset win32 --target varkel_win32_timing
	scripts/xvfb-maybe env VARKEL_WINEPREFIX=$(CURDIR)/build/win32/wineprefix \
		scripts/wine-run build/win32/bench/win32/varkel_win32_timing.exe

win32-build: deps
	cmake --preset win32 >/dev/null
	cmake --build --preset win32

win32-test: win32-build
	scripts/xvfb-maybe ctest --preset win32

test: native-test fuzz-test win32-test

run: win32-build
	scripts/run-host

screenshot: win32-build
	scripts/update-screenshot build/win32

format:
	clang-format -i $$(git ls-files '*.cpp' '*.h')

clean:
	rm -rf build
