# The README's commands. Everything builds out of tree with CMake and Ninja.
#   make run    build and analyse the bundled example with the batch program
#   make gui    build and start the desktop program
#   make test   build and run every test, normally and with ASan + UBSan
#   make bench  build and run the benchmarks, the whole-process and the desktop program's timings
#   make fuzz   build the fuzz targets with clang and run each for FUZZ_SECONDS
#   make package  build the Debian package zenka_<version>_<arch>.deb in $(BUILD)/

BUILD      ?= build
ASAN_BUILD ?= build-asan
WERROR     ?= OFF
JOBS       ?= $(shell nproc 2>/dev/null || echo 2)
EXAMPLE    ?= examples/worked-case.in
CMAKE_ARGS ?=

.PHONY: all deps build build-asan run gui test test-normal test-asan clean

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

gui: build
	$(BUILD)/app/zenka

# Besides CTest, the GUI tests run once more in one process in a shuffled order: a test that
# leaves a window, a dialog or a focus behind for the next shows there. The seed changes with
# each run and is printed, so a failing order can be run again (make test GUI_SEED=N); a stall
# fails after GUI_TIMEOUT seconds instead of hanging.
ifndef GUI_SEED
GUI_SEED := $(shell echo $$(( $$(date +%s) % 99999 + 1 )))
endif
GUI_TIMEOUT ?= 900
GUI_SHUFFLED = QT_QPA_PLATFORM=offscreen \
  LSAN_OPTIONS=suppressions=$(CURDIR)/tests/gui/lsan-suppressions.txt:print_suppressions=0 \
  timeout --kill-after=10 $(GUI_TIMEOUT)
GUI_TESTS_ARGS = --gtest_shuffle --gtest_random_seed=$(GUI_SEED) --gtest_brief=1

test-normal: build
	ctest --test-dir $(BUILD) --output-on-failure -j $(JOBS)
	@echo "GUI tests in one process, shuffled with seed $(GUI_SEED)"
	$(GUI_SHUFFLED) $(BUILD)/tests/zenka_gui_tests $(GUI_TESTS_ARGS)

test-asan: build-asan
	ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
	  ctest --test-dir $(ASAN_BUILD) --output-on-failure -j $(JOBS)
	@echo "GUI tests in one process (sanitizers), shuffled with seed $(GUI_SEED)"
	ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
	  $(GUI_SHUFFLED) $(ASAN_BUILD)/tests/zenka_gui_tests $(GUI_TESTS_ARGS)

test: test-normal test-asan

FUZZ_BUILD   ?= build-fuzz
FUZZ_SECONDS ?= 60

.PHONY: bench fuzz fuzz-build

bench: build
	$(BUILD)/bench/zenka_bench
	@bash bench/process.sh $(BUILD)
	@if [ -x $(BUILD)/bench/zenka_gui_bench ]; then $(BUILD)/bench/zenka_gui_bench; fi
	@if [ -x $(BUILD)/app/zenka ]; then bash bench/site-pdf.sh $(BUILD); fi

fuzz-build: deps
	cmake -S fuzz -B $(FUZZ_BUILD) -G Ninja -DCMAKE_CXX_COMPILER=clang++ -DZENKA_WERROR=$(WERROR)
	cmake --build $(FUZZ_BUILD) -j $(JOBS)

fuzz: fuzz-build
	@bash fuzz/run.sh $(FUZZ_BUILD) $(FUZZ_SECONDS)

# The package holds what `cmake --install` puts under /usr; cpack computes its dependencies.
.PHONY: package
package: build
	cd $(BUILD) && cpack -G DEB

clean:
	rm -rf $(BUILD) $(ASAN_BUILD)
