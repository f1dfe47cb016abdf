# Orvanta: build, test and run from a fresh clone. See README.md.
#
#   make exe      build/win/qumbel.exe (cross build with mingw-w64)
#   make win      the whole cross build: qumbel.exe, the end-to-end tools and e2ehelper.exe
#   make native   the native build with the unit tests (build/native)
#   make test     installs what is missing, builds the cross tree and the manual, runs the
#                 end-to-end tests while the sanitized tree (build/fuzz: unit tests and fuzzers,
#                 ASan + UBSan) builds, then runs the unit tests there and every fuzzer for 30 s
#   make fuzz     builds the fuzzers (build/fuzz) and runs each for FUZZ_SECONDS (default 600)
#   make run      installs what is missing, builds qumbel.exe and the manual and runs it under Wine
#   make manual   the user manual qumbel.mht beside qumbel.exe, with pictures of the real screens
#   make screenshot   PNG of the main window in build/shots/main.png
#   make clean    removes build/
#
# The build folders can be moved for side work: make test WIN_BUILD=build/w NATIVE_BUILD=build/n

WIN_BUILD    ?= build/win
NATIVE_BUILD ?= build/native
JOBS         ?= 2
FUZZ_SECONDS ?= 600

export ORV_WIN_BUILD    = $(abspath $(WIN_BUILD))
export ORV_NATIVE_BUILD = $(abspath $(NATIVE_BUILD))
export ORV_JOBS         = $(JOBS)

.PHONY: exe win native test fuzz run manual screenshot deps clean

exe: $(WIN_BUILD)/build.ninja
	cmake --build $(WIN_BUILD) -j$(JOBS) --target qumbel

win: $(WIN_BUILD)/build.ninja
	cmake --build $(WIN_BUILD) -j$(JOBS)

native: $(NATIVE_BUILD)/build.ninja
	cmake --build $(NATIVE_BUILD) -j$(JOBS)

$(WIN_BUILD)/build.ninja:
	cmake -S . -B $(WIN_BUILD) -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake

$(NATIVE_BUILD)/build.ninja:
	cmake -S . -B $(NATIVE_BUILD) -G Ninja

deps:
	@scripts/install-deps

# The manual's pictures are taken from the program under Wine; scripts/build-manual does nothing
# when the manual is newer than everything it is made from.
manual: win
	@scripts/build-manual

# scripts/test builds (the manual too), runs ctest and tests/e2e/run_all.py, and prints the total last.
test:
	@scripts/install-deps
	@scripts/test

# scripts/fuzz builds build/fuzz with clang, runs every target and prints a summary.
fuzz:
	@scripts/install-deps
	@FUZZ_SECONDS=$(FUZZ_SECONDS) scripts/fuzz

run:
	@scripts/install-deps
	@$(MAKE) --no-print-directory manual
	@scripts/run

screenshot:
	@scripts/install-deps
	@$(MAKE) --no-print-directory exe
	@scripts/screenshot build/shots/main.png

clean:
	rm -rf build
