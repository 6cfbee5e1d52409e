# Two entry points: `make demo` and `make test`. Both install what is missing first.
BUILD      ?= build
BUILD_ASAN ?= build-asan
BUILD_TSAN ?= build-tsan
# The sanitizer builds at -O1 with line tables only: half the compile time of -O2 -g, and the
# sanitizers' reports keep their file and line.
SANITIZER_FLAGS = -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O1 -g1 -DNDEBUG"
JOBS       ?= $(shell nproc)
CMAKE_ARGS ?=

PREFIX     ?= /usr/local

.PHONY: all deps configure build build-asan test test-asan test-tsan demo install screenshot bench fuzz \
  format clean

all: build

deps:
	@scripts/install-deps

configure: deps
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=Release $(CMAKE_ARGS)

build: configure
	cmake --build $(BUILD) -j $(JOBS)

# The engine and its tests once more under AddressSanitizer and UndefinedBehaviorSanitizer.
build-asan: deps
	cmake -S . -B $(BUILD_ASAN) $(SANITIZER_FLAGS) -DMORVIK_SANITIZE=ON \
	  -DMORVIK_GUI=OFF -DMORVIK_BENCH=OFF $(CMAKE_ARGS)
	cmake --build $(BUILD_ASAN) -j $(JOBS)

# The tests of the parallel paths (work over threads, one library read by several threads)
# once more under ThreadSanitizer: only those, so that it stays short.
TSAN_TESTS = ordered_jobs_test read_picture_test parallel_run_test
test-tsan: deps
	cmake -S . -B $(BUILD_TSAN) $(SANITIZER_FLAGS) -DMORVIK_TSAN=ON \
	  -DMORVIK_GUI=OFF -DMORVIK_BENCH=OFF $(CMAKE_ARGS)
	cmake --build $(BUILD_TSAN) -j $(JOBS) --target $(TSAN_TESTS)
	TSAN_OPTIONS=halt_on_error=1 $(BUILD_TSAN)/ordered_jobs_test
	TSAN_OPTIONS=halt_on_error=1 $(BUILD_TSAN)/read_picture_test --gtest_filter='*Thread*'
	TSAN_OPTIONS=halt_on_error=1 $(BUILD_TSAN)/parallel_run_test

# Tests build with warnings as errors.
test: CMAKE_ARGS += -DMORVIK_WERROR=ON
test: build build-asan test-tsan
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS)
	cd $(BUILD_ASAN) && ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
	  ctest --output-on-failure -j $(JOBS)

# The demo runs only the command-line program and its stock library, so only those are built.
demo: configure
	cmake --build $(BUILD) -j $(JOBS) --target morvik stock_library
	scripts/demo $(BUILD)

# The programs, the manual page and the window's desktop entry and icon under PREFIX
# (DESTDIR is honoured for staged installs).
install: build
	cmake --install $(BUILD) --prefix $(PREFIX)

screenshot: build
	scripts/screenshot $(BUILD)

bench: build
	@for b in $(BUILD)/*_bench; do echo "== $$b"; $$b --benchmark_repetitions=5 \
	  --benchmark_report_aggregates_only=true; done
	bench/cli_bench.sh $(BUILD)/morvik
	bench/startup.sh $(BUILD)/morvik
	bench/folder_bench.sh $(BUILD)/morvik
	bench/read_speed.sh $(BUILD)
	bench/pages/run.sh $(BUILD)
	bench/screen/run.sh $(BUILD)

# libFuzzer on each picture reader, on the dispatch by signature, on the segmenter with its
# options and on the parsers of a set's files, FUZZ_SECONDS (60) each. The seeds are
# repository files only; new inputs and findings land in build-fuzz/.
FUZZ_SECONDS ?= 60
FUZZ_TARGETS  = bmp_fuzz png_fuzz pnm_fuzz picture_fuzz segment_fuzz
FUZZ_TARGETS += set_ini_fuzz detail_fuzz charmap_fuzz sets_fuzz pack_fuzz
SUITE         = tests/data/bmpsuite
SEEDS_bmp_fuzz     = $(SUITE)/g $(SUITE)/q $(SUITE)/b $(SUITE)/x
SEEDS_png_fuzz     = $(SUITE)/html tests/fuzz/seeds/png
SEEDS_pnm_fuzz     = tests/fuzz/seeds/pnm
SEEDS_picture_fuzz = $(SEEDS_bmp_fuzz) $(SEEDS_png_fuzz) $(SEEDS_pnm_fuzz)
SET_SEEDS          = tests/fuzz/seeds/sets
SEEDS_set_ini_fuzz = $(SET_SEEDS)/set.ini
SEEDS_detail_fuzz  = $(SET_SEEDS)/detail
SEEDS_charmap_fuzz = $(SET_SEEDS)/charmap
SEEDS_sets_fuzz    = $(SET_SEEDS)/sets
SEEDS_pack_fuzz    = $(SET_SEEDS)/pack
SEEDS_segment_fuzz = tests/fuzz/seeds/segment
fuzz: deps
	CC=clang CXX=clang++ cmake -S . -B build-fuzz -DMORVIK_FUZZ=ON -DMORVIK_GUI=OFF \
	  -DMORVIK_BENCH=OFF -DMORVIK_TESTS=OFF -DCMAKE_CXX_COMPILER=clang++
	cmake --build build-fuzz -j $(JOBS) --target $(FUZZ_TARGETS)
	$(foreach t,$(FUZZ_TARGETS),mkdir -p build-fuzz/corpus-$(t) && \
	  build-fuzz/$(t) -max_total_time=$(FUZZ_SECONDS) -artifact_prefix=build-fuzz/$(t)- \
	    build-fuzz/corpus-$(t) $(SEEDS_$(t)) && ) true

format:
	clang-format -i $$(git ls-files '*.cpp' '*.h')

clean:
	rm -rf $(BUILD) $(BUILD_ASAN) $(BUILD_TSAN) build-fuzz
