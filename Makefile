# make run   - the page in the host program on the example start-up file: the x86 flavour where
#              this machine runs 32-bit programs, otherwise x64; FLAVOUR=win64 or FLAVOUR=win32
#              asks for one
# make test  - every test: native (with sanitizers), fuzz corpus replays and a short fuzz run,
#              then both Windows flavours: each run under Wine where this machine can, the x86
#              DLL checked without running it where it cannot
# make fuzz  - each fuzz target for FUZZ_SECONDS (default 600) seconds
# make bench - the native benchmarks and their ratios, then varkel-check over 1,000 files
#              against cat
# make bench-win32 - the Windows figures under Wine: generation through IDispatch against
#              CommandLineToArgvW and against the allocations of its SAFEARRAY, the page's
#              windows against raw ones, varkel.dll's size (FLAVOUR as for run)
# make package - the Debian package of the native varkel-check (its program, man page and bash
#              completion) in build/native-release; make test builds and checks it
# make installers - the release in build/release: varkel-x86.msi, varkel-x64.msi (wixl), a zip of
#              each flavour and SHA256SUMS; the programs and packages signed where SIGN_KEY and
#              SIGN_CERT name a key and its certificate (README, "Signed releases"), the same bytes
#              from any folder the commit is built in
# make screenshot - the page's 96-dpi and high-contrast pictures from the Windows tests into docs/
#              (FLAVOUR as for run)
# make pictures - after a deliberate change to how a window looks: the Windows tests' pictures
#              kept as the ones they compare with (tests/win32/pictures; FLAVOUR as for run)
.PHONY: run test deps native-test fuzz-build fuzz-test win32-build win32-test win64-build \
	win64-test windows-test package package-test installers fuzz bench bench-win32 screenshot \
	pictures format clean

# The Windows flavour for run, bench-win32 and screenshot, decided when their recipe runs.
flavour = $$(scripts/windows-flavour $(FLAVOUR))

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
	cmake --build --preset native-release --target varkel_bench varkel-check
	build/native-release/bench/varkel_bench
	bench/check-bench build/native-release/host/check/varkel-check

bench-win32: deps
	flavour=$(flavour) && cmake --preset $$flavour >/dev/null && \
	cmake --build --preset $$flavour --target varkel_win32_timing && \
	scripts/wine-setup build/$$flavour >/dev/null && \
	WINEPREFIX=$(CURDIR)/build/$$flavour/wineprefix wineserver -w && \
	scripts/xvfb-maybe env VARKEL_WINEPREFIX=$(CURDIR)/build/$$flavour/wineprefix \
		VARKEL_WINEARCH=$$flavour scripts/wine-run build/$$flavour/bench/win32/varkel_win32_timing.exe

win32-build win64-build: %-build: deps
	cmake --preset $* >/dev/null
	cmake --build --preset $*

win32-test win64-test: %-test: %-build
	scripts/xvfb-maybe ctest --preset $*

# The signing settings scripts/release reads, from make's command line or the environment.
export SIGN_CERT SIGN_KEY SIGN_PKCS11_MODULE SIGN_PKCS11_CERT SIGN_PASS_FILE SIGN_TIMESTAMP_URL \
	SIGN_TSA_CERTS SIGN_TSA_KEY SIGN_TIME SIGN_TSA_TIME SOURCE_DATE_EPOCH

installers: deps
	scripts/release

windows-test: deps
	scripts/windows-tests

package: deps
	scripts/package-test --build-only

package-test: deps
	scripts/package-test

test: native-test fuzz-test package-test windows-test

run: deps
	flavour=$(flavour) && $(MAKE) --no-print-directory $$flavour-build && \
	scripts/run-host build/$$flavour

screenshot: deps
	flavour=$(flavour) && $(MAKE) --no-print-directory $$flavour-build && \
	scripts/update-screenshot build/$$flavour

pictures: deps
	flavour=$(flavour) && $(MAKE) --no-print-directory $$flavour-build && \
	scripts/update-pictures build/$$flavour

format:
	clang-format -i $$(git ls-files '*.cpp' '*.h')

clean:
	rm -rf build
