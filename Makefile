# The two front-door commands: `make run` and `make test`. Both install what they need first.
BUILD ?= build
JOBS ?= $(shell nproc)
# Many tests spend their time waiting out a controller's time-out, so more run at once than cores.
TEST_JOBS ?= 6

.PHONY: run test deps configure build bench fuzz sanitize clean
.DEFAULT_GOAL := build

deps:
	@bash scripts/install-deps.sh

configure: deps
	@cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null

build: configure
	@cmake --build $(BUILD) -j $(JOBS)

# ctest's summary is the last thing printed.
test: build
	@cd $(BUILD) && ctest --output-on-failure -j $(TEST_JOBS)

run: build
	@bash scripts/run-demo.sh $(BUILD)

bench: build
	@bash scripts/run-bench.sh $(BUILD)

# Tests under AddressSanitizer and UndefinedBehaviorSanitizer, in a build of their own.
sanitize: deps
	@cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=Debug -DVELTA_SANITIZE=ON >/dev/null
	@cmake --build build-asan -j $(JOBS)
	@cd build-asan && LSAN_OPTIONS=suppressions=$(CURDIR)/tests/lsan-suppressions.txt \
		ctest --output-on-failure -j $(TEST_JOBS)

# libFuzzer targets, built with clang; FUZZ_SECONDS per target.
FUZZ_SECONDS ?= 60
fuzz: deps
	@CC=clang CXX=clang++ cmake -S . -B build-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVELTA_FUZZ=ON >/dev/null
	@cmake --build build-fuzz -j $(JOBS)
	@bash scripts/run-fuzz.sh build-fuzz $(FUZZ_SECONDS)

clean:
	rm -rf $(BUILD) build-asan build-fuzz
