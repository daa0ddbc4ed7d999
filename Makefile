# The README's two commands are `make demo` and `make test`; the rest are helpers.
SHELL := /bin/bash
JOBS ?= $(shell nproc)
BUILD ?= build
ASAN_BUILD ?= build-asan
FUZZ_BUILD ?= build-fuzz
FUZZ_SECONDS ?= 30
# CI passes --benchmark_min_time=0.01 to smoke-run every benchmark quickly.
BENCH_ARGS ?=

.PHONY: demo test test-asan bench fuzz deps configure build build-demo clean

deps:
	@bash scripts/install-deps.sh

configure: deps
	cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo

build: configure
	cmake --build $(BUILD) -j $(JOBS)

# The demo needs only the library, the sample host and the sample backend. The shared
# library is built too: it is what the README's install command installs after `make demo`.
build-demo: configure
	cmake --build $(BUILD) -j $(JOBS) --target WexoCreator wexo-sample-host wexo-sample-backend

demo: build-demo
	@bash scripts/run-demo.sh $(BUILD)

test: build
	ctest --test-dir $(BUILD) --output-on-failure -j $(JOBS)

test-asan: deps
	cmake -S . -B $(ASAN_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Debug -DWEXO_SANITIZE=ON \
	  -DWEXO_BUILD_BENCH=OFF -DWEXO_BUILD_DEMO=OFF
	cmake --build $(ASAN_BUILD) -j $(JOBS)
	ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 \
	LSAN_OPTIONS=suppressions=$(CURDIR)/scripts/lsan.supp:print_suppressions=0 \
	UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
	  ctest --test-dir $(ASAN_BUILD) --output-on-failure -j $(JOBS)

# Only the programs: the build folder also holds bench_*_autogen folders.
bench: build
	@for b in $(BUILD)/bench/bench_*; do \
	  if [ -f "$$b" ] && [ -x "$$b" ]; then echo "== $$b"; "$$b" $(BENCH_ARGS) || exit 1; fi; \
	done

fuzz: deps
	CC=clang CXX=clang++ cmake -S . -B $(FUZZ_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	  -DWEXO_BUILD_FUZZ=ON -DWEXO_BUILD_TESTS=OFF -DWEXO_BUILD_BENCH=OFF -DWEXO_BUILD_DEMO=OFF
	cmake --build $(FUZZ_BUILD) -j $(JOBS)
	@bash scripts/run-fuzz.sh $(FUZZ_BUILD) $(FUZZ_SECONDS)

clean:
	rm -rf $(BUILD) $(ASAN_BUILD) $(FUZZ_BUILD) demo-out
