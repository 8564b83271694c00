# The two commands of README.md. Both install what is missing first.
BUILD ?= build
JOBS ?= 2
TEST_FUZZ_SECONDS ?= 5
FUZZ_SECONDS ?= 60
# The Wine suite runs against the shipped 32-bit programs (under WoW64, or
# reported as skipped where the kernel runs no 32-bit code) in the prefix's
# default version (Windows 7 with Wine 8), then its end-to-end areas again
# under this one, in a prefix of its own; WINE_SECOND_VERSION_TESTS= (empty)
# runs the whole suite twice. The x86_64 twin runs the areas where a 64-bit
# build differs: handles and pointers in messages and structures, the
# launches, the manifest's architecture.
WINE_SECOND_VERSION ?= win10
WINE_SECOND_VERSION_TESTS ?= -R '^(startup|window|commands|docrunner|faults|versions)\.'
WINE_TWIN_TESTS ?= -R '^(startup|window|commands|docrunner|faults|resources)\.'

.PHONY: all deps build host win64 win32 fuzz-build test demo fuzz clean cd iso bench

all: build

deps:
	scripts/install-deps

host: deps
	cmake -S . -B $(BUILD)/host -G Ninja -DCMAKE_BUILD_TYPE=Debug
	cmake --build $(BUILD)/host -j $(JOBS)

# Optimised (-O2), still with the sanitizers and debug information, so that
# a fuzzing minute makes as many runs as it can.
FUZZ_CONFIGURE = cmake -S . -B $(BUILD)/fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	    -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_C_COMPILER=clang -DVELMORA_FUZZ=ON

fuzz-build: deps
	$(FUZZ_CONFIGURE) -DVELMORA_FUZZ_SECONDS=$(TEST_FUZZ_SECONDS)
	cmake --build $(BUILD)/fuzz -j $(JOBS)

win64: deps
	cmake -S . -B $(BUILD)/win64 -G Ninja -DCMAKE_BUILD_TYPE=MinSizeRel \
	    -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-x86_64.cmake
	cmake --build $(BUILD)/win64 -j $(JOBS)

win32: deps
	cmake -S . -B $(BUILD)/win32 -G Ninja -DCMAKE_BUILD_TYPE=MinSizeRel \
	    -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake
	cmake --build $(BUILD)/win32 -j $(JOBS)

build: host fuzz-build win64 win32

test: build
	ctest --test-dir $(BUILD)/host --output-on-failure -j $(JOBS)
	ctest --test-dir $(BUILD)/fuzz --output-on-failure -j $(JOBS)
	scripts/run-wine-tests $(BUILD)/win32
	WINE_WINDOWS_VERSION=$(WINE_SECOND_VERSION) scripts/run-wine-tests $(BUILD)/win32 $(WINE_SECOND_VERSION_TESTS)
	scripts/run-wine-tests $(BUILD)/win64 $(WINE_TWIN_TESTS)
	$(MAKE) iso BUILD=$(BUILD) JOBS=$(JOBS)

# Longer fuzzing runs; `make test` runs each target for a few seconds only.
fuzz: deps
	$(FUZZ_CONFIGURE) -DVELMORA_FUZZ_SECONDS=$(FUZZ_SECONDS)
	cmake --build $(BUILD)/fuzz -j $(JOBS)
	ctest --test-dir $(BUILD)/fuzz --output-on-failure -j $(JOBS)

# The product disc in $(BUILD)/cd: the shipped i686 programs, autorun.inf and
# the manuals, checked by menucheck (its errors stop the build), then its image.
# The PDF reader is the vendor's: `make cd SUMATRAPDF=/path/to/sumatrapdf.exe`.
# The image rebuilds bit for bit: everything on it, the programs' link time
# included, carries SOURCE_DATE_EPOCH, else the date of the last commit. A new
# layout removes the image of the previous one first, so a failed build leaves
# no image behind; make-iso checks the image against the record of the layout
# ($(BUILD)/cd.sha256) before it names the file velmora-cd.iso.
SUMATRAPDF ?=
MENUCHECK = $(BUILD)/host/tools/menucheck

cd: host win32
	rm -f $(BUILD)/velmora-cd.iso
	scripts/make-disc-tree --stamp $(BUILD)/win32/tools/pe_timestamp \
	    $(if $(SUMATRAPDF),--reader "$(SUMATRAPDF)") $(BUILD)/win32/bin $(BUILD)/cd
	$(MENUCHECK) autorun/resources $(BUILD)/cd

iso: cd
	scripts/make-iso --sums $(BUILD)/cd.sha256 $(BUILD)/cd $(BUILD)/velmora-cd.iso

# Speed, size, idle and fuzzing figures written to bench/results.md; not part
# of `make test`. Builds its own host tree without sanitizers. Start-up is
# measured on the shipped i686 build under WoW64 and on the x86_64 twin, in
# BENCH_ROUNDS rounds (default 60, about 5 minutes for each build on a quiet
# machine); FUZZ_SECONDS is each fuzz target's run for the fuzzing figures.
bench: win32 win64
	JOBS=$(JOBS) FUZZ_SECONDS=$(FUZZ_SECONDS) bench/run-bench $(BUILD) --command "make bench BUILD=$(BUILD)"

# The disc image on a CD-ROM drive under Wine: its menu, a manual opened.
# Where the kernel runs no 32-bit code, the x86_64 programs from a disc tree.
demo: deps
	@if scripts/runs-i386; then \
	    $(MAKE) iso BUILD=$(BUILD) JOBS=$(JOBS) SUMATRAPDF="$(SUMATRAPDF)" && \
	    scripts/demo --image $(BUILD)/velmora-cd.iso $(BUILD)/demo; \
	else \
	    echo "demo: this kernel does not run 32-bit code; the demo shows the x86_64 build from a disc tree"; \
	    $(MAKE) win64 BUILD=$(BUILD) JOBS=$(JOBS) && \
	    scripts/demo --programs $(BUILD)/win64/bin $(BUILD)/demo $(SUMATRAPDF); \
	fi

clean:
	rm -rf $(BUILD)
