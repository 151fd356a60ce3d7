# The two commands of the README: `make demo` and `make test`. Both install
# what they need first (tools/bootstrap).
JOBS ?= $(shell nproc)
CMAKE_COMMON = --no-warn-unused-cli -G Ninja -DCMAKE_BUILD_TYPE=Release -DSKINSETUP_WERROR=ON

.PHONY: all bootstrap build build-x64 build-x86 build-native test demo demo-silent demo-inputs bench clean format bench-ui bench-xml dist preview

all: build

bootstrap:
	@./tools/bootstrap

build-native: bootstrap
	@cmake -S . -B build/native $(CMAKE_COMMON) >/dev/null
	@cmake --build build/native -j $(JOBS)

build-x64: bootstrap build-native
	@cmake -S . -B build/x64 $(CMAKE_COMMON) \
	  -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-x86_64-w64-mingw32.cmake >/dev/null
	@cmake --build build/x64 -j $(JOBS)

build-x86: bootstrap build-native
	@cmake -S . -B build/x86 $(CMAKE_COMMON) -DBUILD_TESTING=OFF \
	  -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-i686-w64-mingw32.cmake >/dev/null
	@cmake --build build/x86 -j $(JOBS)

build: build-x64 build-x86

test: build
	@cd build/native && ctest --output-on-failure
	@sh tests/check-imports.sh i686-w64-mingw32-objdump build/x86/setup.exe
	@# A test that fails is run once more: under Wine a program now and then ends
	@# at start-up without output when several start at once (seen once for the
	@# start-up suite, not reproduced alone). A test that fails twice fails.
	@cd build/x64 && ctest --output-on-failure -j $(JOBS) --repeat until-pass:2

# The release folder: prebuilt hosts, the packer for Linux and Windows, the
# default script and skin, and a usage text (build/dist).
dist: build
	@./tools/make-dist build/dist

# What the demos need and no more: the packer, the prebuilt host, the shipped
# skin and the sample program (not the tests and their inputs).
DEMO_TARGETS = skinsetup_stub shipped_skin demo_app
demo-inputs: bootstrap
	@cmake -S . -B build/native $(CMAKE_COMMON) >/dev/null
	@cmake --build build/native --target skinpack -j $(JOBS) -- --quiet
	@cmake -S . -B build/x64 $(CMAKE_COMMON) \
	  -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-x86_64-w64-mingw32.cmake >/dev/null
	@cmake --build build/x64 -j $(JOBS) $(addprefix --target ,$(DEMO_TARGETS)) -- --quiet

# The shipped installer over the sample payload, clicked through its three
# pages on the X display: prints what the script printed, the registry
# values, the shortcut and the installed files; screenshots in build/demo/.
demo: demo-inputs
	@sh resources/demo/wizard-demo.sh build/x64 build/demo

# A silent install of a small sample payload (resources/demo/) into the
# temporary folder: prints the progress, the result and what landed.
demo-silent: demo-inputs
	@sh resources/demo/make-payload.sh build/x64 build/demo/payload
	@./tools/make-installer --script resources/demo.lua --no-skin --payload build/demo/payload \
	  -o build/demo/setup.exe
	@./tools/wine-run build/demo/setup.exe /demo --from-make

# Parse speed of the XML reader on a 1 MB document (a benchmark, not a test).
bench-xml: bootstrap build-native
	@cmake -S . -B build/x64 $(CMAKE_COMMON) \
	  -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-x86_64-w64-mingw32.cmake >/dev/null
	@cmake --build build/x64 --target xml_bench
	@./tools/wine-run build/x64/xml_bench.exe

# UI figures: building and laying out a 500-control layout, one paint of
# each render kind, and host window paints (prints figures, never fails).
UI_BENCHES = bench_ui bench_render bench_host bench_progress bench_controls bench_combo
bench-ui: bootstrap
	@cmake -S . -B build/x64 $(CMAKE_COMMON) \
	  -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-x86_64-w64-mingw32.cmake >/dev/null
	@cmake --build build/x64 -j $(JOBS) $(addprefix --target ,$(UI_BENCHES))
	@for b in $(UI_BENCHES); do ./tools/wine-run build/x64/bench/$$b.exe || exit 1; done

# A layout of a skin drawn to a PNG (with its alpha), without an installer:
#   make preview SKIN=resources/skin LAYOUT='xml\main.xml' OUT=build/preview.png
SKIN ?= tests/setup/wizard
LAYOUT ?= xml\main.xml
OUT ?= build/preview.png
preview: build-x64
	@./tools/wine-run build/x64/tools/skin-preview.exe \
	  "Z:$(abspath $(SKIN))" '$(LAYOUT)' "Z:$(abspath $(OUT))" && echo "preview: $(OUT)"

# Payload packing, decoding and install figures against 7-Zip, silent
# install times of three payload shapes against NSIS (Debian's nsis package,
# installed here if missing: the bench only, never the build or the tests) and
# `7zz x`, and the shipped wizard against a silent install (not a test).
bench: build-x64
	@python3 tools/skinpack/bench/bench.py
	@python3 tools/skinpack/bench/install_bench.py
	@sh bench/wizard-bench.sh build/x64 build/native build/bench

clean:
	rm -rf build

format:
	@find app script_api package report ui xml tools tests -name '*.cpp' -o -name '*.h' \
	  | xargs clang-format -i
