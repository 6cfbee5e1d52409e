# Two entry points: `make demo` and `make test`. Both install what is missing first.
BUILD      ?= build
BUILD_ASAN ?= build-asan
JOBS       ?= $(shell nproc)
CMAKE_ARGS ?=

.PHONY: all deps build build-asan test test-asan demo screenshot bench fuzz format clean

all: build

deps:
	@scripts/install-deps

build: deps
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=Release $(CMAKE_ARGS)
	cmake --build $(BUILD) -j $(JOBS)

# The engine and its tests once more under AddressSanitizer and UndefinedBehaviorSanitizer.
build-asan: deps
	cmake -S . -B $(BUILD_ASAN) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DMORVIK_SANITIZE=ON \
	  -DMORVIK_GUI=OFF -DMORVIK_BENCH=OFF $(CMAKE_ARGS)
	cmake --build $(BUILD_ASAN) -j $(JOBS)

# Tests build with warnings as errors.
test: CMAKE_ARGS += -DMORVIK_WERROR=ON
test: build build-asan
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS)
	cd $(BUILD_ASAN) && ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
	  ctest --output-on-failure -j $(JOBS)

demo: build
	scripts/demo $(BUILD)

screenshot: build
	scripts/screenshot $(BUILD)

bench: build
	@for b in $(BUILD)/*_bench; do echo "== $$b"; $$b --benchmark_repetitions=5 \
	  --benchmark_report_aggregates_only=true; done
	bench/cli_bench.sh $(BUILD)/morvik
	bench/startup.sh $(BUILD)/morvik
	bench/folder_bench.sh $(BUILD)/morvik

# libFuzzer on the BMP reader; FUZZ_SECONDS=60 by default.
FUZZ_SECONDS ?= 60
fuzz: deps
	CC=clang CXX=clang++ cmake -S . -B build-fuzz -DMORVIK_FUZZ=ON -DMORVIK_GUI=OFF \
	  -DMORVIK_BENCH=OFF -DMORVIK_TESTS=OFF -DCMAKE_CXX_COMPILER=clang++
	cmake --build build-fuzz -j $(JOBS) --target bmp_fuzz
	mkdir -p build-fuzz/corpus
	build-fuzz/bmp_fuzz -max_total_time=$(FUZZ_SECONDS) -artifact_prefix=build-fuzz/ \
	  build-fuzz/corpus ../shared/bmpsuite/g

format:
	clang-format -i $$(git ls-files '*.cpp' '*.h')

clean:
	rm -rf $(BUILD) $(BUILD_ASAN) build-fuzz
