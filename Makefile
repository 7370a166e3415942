# The two front-door commands: `make run` and `make test`. Both install what they need first:
# `make run` only what building and running the program need, and it builds only the program,
# the simulator and the catalogue; `make test` installs and builds everything.
BUILD ?= build
JOBS ?= $(shell nproc)
# Many tests spend their time waiting out a controller's time-out, so more run at once than cores.
TEST_JOBS ?= 6
CONFIGURE = cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
PROGRAMS = velta-control velta-sim velta_catalogue

.PHONY: run test deps configure build package bench fuzz sanitize clean
.DEFAULT_GOAL := build

deps:
	@bash scripts/install-deps.sh test

configure: deps
	@$(CONFIGURE)

build: configure
	@cmake --build $(BUILD) -j $(JOBS)

# ctest's summary is the last thing printed.
test: build
	@cd $(BUILD) && ctest --output-on-failure -j $(TEST_JOBS)

# Without a display there is nothing to show the window on, so that is checked before anything
# is installed or built.
run:
	@bash scripts/check-display.sh
	@bash scripts/install-deps.sh run
	@$(CONFIGURE)
	@cmake --build $(BUILD) -j $(JOBS) --target $(PROGRAMS)
	@bash scripts/run-demo.sh $(BUILD)

# The Debian package of the program, the simulator and their data, in $(BUILD)/.
package: configure
	@cmake --build $(BUILD) -j $(JOBS) --target $(PROGRAMS) velta_desktop_files
	@cd $(BUILD) && cpack -G DEB

bench: configure
	@cmake --build $(BUILD) -j $(JOBS) --target velta_benches
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
