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

# A vendor's disc from a project folder (README.md, "A disc project"):
# PROJECT=DIR, by default the sample projects/velmora-cd, whose programs are
# the shipped build's ($(BUILD)/win32) and whose disc is $(BUILD)/cd. Any
# other project gets build trees of its own in $(BUILD)/projects/NAME, so
# its programs never replace the shipped ones. The image is
# $(BUILD)/NAME.iso, or ISO=FILE.
#   make check     the menus checked, against the names the disc will have
#   make preview   menucheck's annotated pictures, in PREVIEW
#   make cd        the programs built with the project's menus, the disc tree
#                  laid out and checked (a target missing from it stops it)
#   make iso       that tree as an ISO image, checked against the tree
#   make demo      the image on a CD-ROM drive under Wine
# The PDF reader is the vendor's: SUMATRAPDF=/path/to/sumatrapdf.exe. With
# SIGN_PKCS12=FILE (and SIGN_PASSWORD), or SIGN_CERT=FILE and SIGN_KEY=FILE,
# both programs are signed on the disc; they reach the scripts through the
# environment, so no password shows in the commands make prints.
# The image rebuilds bit for bit: everything on it, the programs' link time
# and signature time included, carries SOURCE_DATE_EPOCH, else the date of
# the last commit. A new layout first removes the image, the tree and (for a
# project of its own) the programs of an earlier one, so a failed build
# leaves nothing that could pass for its result; make-iso checks the image
# against the record of the layout before it gives it its name.
.PHONY: check preview project-tools project-programs forget-disc
PROJECT ?= projects/velmora-cd
SUMATRAPDF ?=
SIGN_PKCS12 ?=
SIGN_PASSWORD ?=
SIGN_CERT ?=
SIGN_KEY ?=
export SIGN_PKCS12 SIGN_PASSWORD SIGN_CERT SIGN_KEY
MENUCHECK = $(BUILD)/host/tools/menucheck
PROJECT_DIR := $(abspath $(PROJECT))
PROJECT_NAME := $(notdir $(PROJECT_DIR))
ifeq ($(PROJECT_DIR),$(abspath projects/velmora-cd))
PROJECT_BUILD = $(BUILD)
PROJECT_PROGRAMS = win32
else
PROJECT_BUILD = $(BUILD)/projects/$(PROJECT_NAME)
PROJECT_PROGRAMS = project-programs
endif
PROJECT_WIN32 = $(if $(filter win32,$(PROJECT_PROGRAMS)),$(BUILD),$(PROJECT_BUILD))/win32
ISO ?= $(BUILD)/$(PROJECT_NAME).iso
PREVIEW ?= $(PROJECT_BUILD)/preview
PROJECT_READER = $(if $(SUMATRAPDF),--reader "$(SUMATRAPDF)")

# menucheck alone, from the host tree.
project-tools: deps
	cmake -S . -B $(BUILD)/host -G Ninja -DCMAKE_BUILD_TYPE=Debug
	cmake --build $(BUILD)/host -j $(JOBS) --target menucheck

check: project-tools
	scripts/project check $(PROJECT_READER) "$(PROJECT)" $(MENUCHECK)

preview: project-tools
	scripts/project preview "$(PROJECT)" $(MENUCHECK) $(PREVIEW)

# The i686 programs of another project: autorun.exe with its menus.
project-programs: deps
	cmake -S . -B $(PROJECT_WIN32) -G Ninja -DCMAKE_BUILD_TYPE=MinSizeRel \
	    -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake -DVELMORA_PROJECT="$(PROJECT_DIR)"
	cmake --build $(PROJECT_WIN32) -j $(JOBS) --target autorun docrunner

forget-disc:
	rm -rf $(ISO) $(PROJECT_BUILD)/cd $(PROJECT_BUILD)/cd.sha256
	$(if $(filter project-programs,$(PROJECT_PROGRAMS)),rm -f $(PROJECT_WIN32)/bin/autorun.exe $(PROJECT_WIN32)/bin/docrunner.exe)

cd: forget-disc check $(PROJECT_PROGRAMS)
	scripts/make-disc-tree --project "$(PROJECT)" --check $(MENUCHECK) \
	    --stamp $(PROJECT_WIN32)/tools/pe_timestamp $(PROJECT_READER) $(PROJECT_WIN32)/bin $(PROJECT_BUILD)/cd

iso: cd
	scripts/make-iso --project "$(PROJECT)" --sums $(PROJECT_BUILD)/cd.sha256 $(PROJECT_BUILD)/cd $(ISO)

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
	    $(MAKE) iso BUILD=$(BUILD) JOBS=$(JOBS) SUMATRAPDF="$(SUMATRAPDF)" PROJECT="$(PROJECT)" ISO="$(ISO)" && \
	    scripts/demo --project "$(PROJECT)" --image $(ISO) $(PROJECT_BUILD)/demo; \
	else \
	    echo "demo: this kernel does not run 32-bit code; the demo shows the x86_64 build from a disc tree"; \
	    cmake -S . -B $(PROJECT_BUILD)/win64 -G Ninja -DCMAKE_BUILD_TYPE=MinSizeRel \
	        -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-x86_64.cmake -DVELMORA_PROJECT="$(PROJECT_DIR)" && \
	    cmake --build $(PROJECT_BUILD)/win64 -j $(JOBS) --target autorun docrunner && \
	    scripts/demo --project "$(PROJECT)" --programs $(PROJECT_BUILD)/win64/bin $(PROJECT_BUILD)/demo $(SUMATRAPDF); \
	fi

clean:
	rm -rf $(BUILD)
