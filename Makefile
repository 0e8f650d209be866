# The README's commands. Everything builds out of tree with CMake and Ninja.
#   make run    build and analyse the bundled example with the batch program
#   make test   build and run every test, normally and with ASan + UBSan

BUILD      ?= build
ASAN_BUILD ?= build-asan
WERROR     ?= OFF
JOBS       ?= $(shell nproc 2>/dev/null || echo 2)
EXAMPLE    ?= examples/worked-case.in
CMAKE_ARGS ?=

.PHONY: all deps build build-asan run test test-normal test-asan clean

all: build

deps:
	@bash scripts/install-deps.sh

build: deps
	cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DZENKA_WERROR=$(WERROR) $(CMAKE_ARGS)
	cmake --build $(BUILD) -j $(JOBS)

build-asan: deps
	cmake -S . -B $(ASAN_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Debug -DZENKA_SANITIZE=ON -DZENKA_WERROR=$(WERROR) $(CMAKE_ARGS)
	cmake --build $(ASAN_BUILD) -j $(JOBS)

run: build
	@$(BUILD)/batch/zenka-batch $(EXAMPLE)

test-normal: build
	ctest --test-dir $(BUILD) --output-on-failure -j $(JOBS)

test-asan: build-asan
	ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
	  ctest --test-dir $(ASAN_BUILD) --output-on-failure -j $(JOBS)

test: test-normal test-asan

clean:
	rm -rf $(BUILD) $(ASAN_BUILD)
