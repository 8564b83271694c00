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
# build differs: handles and pointers in messages and structures (the
# accessible object's among them), the launches, the manifest's architecture.
WINE_SECOND_VERSION ?= win10
WINE_SECOND_VERSION_TESTS ?= -R '^(startup|window|commands|docrunner|faults|versions)\.'
WINE_TWIN_TESTS ?= -R '^(startup|window|commands|docrunner|faults|resources|accessibility|dpi)\.'

.PHONY: all deps build host win64 win32 fuzz-build test demo fuzz clean cd iso usb bench edit

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
	$(MAKE) usb BUILD=$(BUILD) JOBS=$(JOBS)

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
#   make check     the project judged, its menus checked by menucheck;
#                  FORMAT=json gives its findings as JSON lines
#   make preview   menucheck's annotated pictures, in PREVIEW
#   make cd        the programs built with the project's menus, the disc tree
#                  laid out and checked (a target missing from it stops it)
#   make iso       that tree as an ISO image, checked, then put in place
#   make usb       the same tree as a FAT32 image for a USB stick, with the
#                  project's fat-label, at $(BUILD)/NAME.img or USB=FILE
#   make demo      an image of the demo's own on a CD-ROM drive under Wine
# Each is one call of disckit/project, which computes every path itself.
# The settings reach it through the environment, never through a shell
# command line, so a blank, quote or ";" in a name is only data; so do the
# signing keys (SIGN_PKCS12 and SIGN_PASSWORD, or SIGN_CERT and SIGN_KEY,
# or a hardware key), so no password or PIN shows in the commands make
# prints. The PDF reader is the vendor's: SUMATRAPDF=/path/to/sumatrapdf.exe.
# The image rebuilds bit for bit: everything on it carries
# SOURCE_DATE_EPOCH, else the date of the last commit. A failed build leaves
# an earlier image at ISO (or USB) as it was, and says so.
.PHONY: check preview
export PROJECT ISO USB PREVIEW SUMATRAPDF BUILD JOBS DEMO_IMAGE PORT FORMAT
export SIGN_PKCS12 SIGN_PASSWORD SIGN_CERT SIGN_KEY SIGN_PKCS11_MODULE SIGN_PIN_FILE SIGN_TIMESTAMP_URL SIGN_RENEW

check preview cd iso usb: deps
	disckit/project make $@

# Speed, size, idle and fuzzing figures written to bench/results.md; not part
# of `make test`. Builds its own host tree without sanitizers. Start-up is
# measured on the shipped i686 build under WoW64 and on the x86_64 twin, in
# BENCH_ROUNDS rounds (default 60, about 5 minutes for each build on a quiet
# machine); FUZZ_SECONDS is each fuzz target's run for the fuzzing figures.
bench: win32 win64
	JOBS=$(JOBS) FUZZ_SECONDS=$(FUZZ_SECONDS) bench/run-bench $(BUILD) --command "make bench BUILD=$(BUILD)"

# The disc on a CD-ROM drive under Wine: its menu, a manual opened. The demo
# makes an image of its own in the build tree (DEMO_IMAGE=FILE shows that
# image instead); the vendor's image at ISO is never touched. Where the
# kernel runs no 32-bit code, the x86_64 programs from a disc tree.
demo: deps
	disckit/project make demo

# The menu editor of PROJECT (README.md, "Draw the menus"): a page served on
# 127.0.0.1 only, on a free port or PORT=, at one address carrying a token of
# this run; opened in the browser where there is a display. It checks with
# menucheck of the host build, built first. Ctrl-C ends it.
edit: deps
	disckit/project make edit

# Removes the build trees. BUILD comes through the environment, quoted, and
# is refused when it is empty, the root, the home folder, or the source tree
# or a folder holding it.
clean:
	@build=$$(realpath -m -- "$$BUILD" 2>/dev/null) || build=""; here=$$(pwd -P); \
	case "$$build" in ""|/|"$$(realpath -m ~)") build="" ;; esac; \
	case "$$here/" in "$$build"/*) build="" ;; esac; \
	if [ -z "$$build" ]; then echo "clean: refusing to remove BUILD='$$BUILD'" >&2; exit 1; fi; \
	echo "rm -rf -- $$build"; rm -rf -- "$$build"
