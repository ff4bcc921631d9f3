# make run: set up, build and open the editor on the bundled sample level.
# make test: set up, build (Release with assertions, warnings as errors) and run every test, then
#            the core tests once more under AddressSanitizer and UBSan, and each fuzz target briefly.
BUILD      ?= build
CLANG_BUILD ?= build-clang
FUZZ_BUILD ?= build-fuzz
FUZZ_SECONDS ?= 60
FUZZ_SMOKE_SECONDS ?= 10
CMAKE_FLAGS = -G Ninja -DCMAKE_BUILD_TYPE=Release -DCMAKE_CXX_FLAGS_RELEASE=-O2 -DTESSARIN_WERROR=ON

.PHONY: deps build run test test-asan test-clang fuzz fuzz-configure fuzz-build fuzz-smoke bench clean

deps:
	@tools/install-deps.sh

build: deps
	cmake -S . -B $(BUILD) $(CMAKE_FLAGS)
	cmake --build $(BUILD)

SAMPLE   ?= $(BUILD)/bin/samples/sample-tr3.tr2
RUN_ARGS ?= $(if $(wildcard $(SAMPLE)),/open $(SAMPLE))

run: build
	$(BUILD)/bin/tessarin2 $(RUN_ARGS)

test: build
	cd $(BUILD) && xvfb-run -a -s "-screen 0 1280x1024x24" ctest --output-on-failure -j2
	$(MAKE) test-asan
	$(MAKE) fuzz-smoke

# The core tests under ASan+UBSan, built in the fuzz targets' tree: the instrumented core is compiled
# once for both (a separate sanitizer build doubled that part of `make test`).
test-asan: fuzz-configure
	cmake --build $(FUZZ_BUILD) --target tessarin_core_tests
	cd $(FUZZ_BUILD) && ctest -L core --output-on-failure -j2

# The same build and tests with Debian's clang 14 (not part of `make test`).
test-clang: deps
	cmake -S . -B $(CLANG_BUILD) $(CMAKE_FLAGS) -DCMAKE_C_COMPILER=clang-14 -DCMAKE_CXX_COMPILER=clang++-14 \
	  -DTESSARIN_BUILD_BENCH=OFF
	cmake --build $(CLANG_BUILD)
	cd $(CLANG_BUILD) && xvfb-run -a -s "-screen 0 1280x1024x24" ctest --output-on-failure -j2

# libFuzzer targets (tools/fuzz) under ASan+UBSan with clang 14: the core, the data tools and the
# targets at -O1 (and the core tests, when test-asan asks for them).
fuzz-configure: deps
	cmake -S . -B $(FUZZ_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS_DEBUG="-O1" \
	  -DCMAKE_CXX_COMPILER=clang++-14 -DTESSARIN_FUZZ=ON -DTESSARIN_WERROR=ON

fuzz-build: fuzz-configure
	cmake --build $(FUZZ_BUILD)

# Each target for FUZZ_SECONDS (make fuzz FUZZ_SECONDS=600); crashes land in $(FUZZ_BUILD)/fuzz-artifacts.
fuzz: fuzz-build
	tools/fuzz/run-fuzz.sh $(FUZZ_BUILD) $(FUZZ_SECONDS)

# The short run `make test` ends with.
fuzz-smoke: fuzz-build
	tools/fuzz/run-fuzz.sh $(FUZZ_BUILD) $(FUZZ_SMOKE_SECONDS)

# One table: each figure, the limit it is measured against, the ratio and the target. Running
# tessarin_bench without --table gives the detailed Google Benchmark figures.
bench: build
	$(BUILD)/bin/tessarin_bench --table
	xvfb-run -a -s "-screen 0 1366x768x24" $(BUILD)/bin/tessarin_render_bench

clean:
	rm -rf $(BUILD) $(CLANG_BUILD) $(FUZZ_BUILD)
