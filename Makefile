# The project's commands. Each target installs what is missing first, so the
# same commands work on a fresh Debian 12 machine and on a developer's.
#   make test       build everything and run every test headless
#   make sanitize   the Qt-free layers' tests under ASan and UBSan
#   make run        build and open the most complete program on a sample table
#   make bench      build optimised and run the benchmarks
#   make fuzz-smoke run every fuzz target briefly; make fuzz runs them longer
#   make install    build and install both programs, their desktop entries and
#                   icons under PREFIX (default /usr/local; DESTDIR is honoured)
#   make package    build the Debian package (build/tabulon_*.deb)

BUILD ?= build
JOBS ?= $(shell nproc)
WERROR ?= OFF
CMAKE_FLAGS ?=
CTEST_FLAGS ?=
PREFIX ?= /usr/local
DESTDIR ?=
export QT_QPA_PLATFORM ?= offscreen

.PHONY: all deps configure build test sanitize run bench fuzz fuzz-smoke install package clean

all: build

deps:
	@scripts/install-deps.sh

configure: deps
	@cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTABULON_WERROR=$(WERROR) $(CMAKE_FLAGS) >/dev/null

build: configure
	@cmake --build $(BUILD) -j $(JOBS)

test: build
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS) $(CTEST_FLAGS)

sanitize: deps
	@cmake -S . -B build-sanitize -G Ninja -DCMAKE_BUILD_TYPE=Debug -DTABULON_GUI=OFF -DTABULON_SANITIZE=ON \
	  -DTABULON_WERROR=$(WERROR) >/dev/null
	@cmake --build build-sanitize -j $(JOBS)
	cd build-sanitize && ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
	  ctest --output-on-failure -j $(JOBS) $(CTEST_FLAGS)

install: build
	DESTDIR="$(DESTDIR)" cmake --install $(BUILD) --prefix "$(PREFIX)"

package: build
	cd $(BUILD) && cpack --config CPackConfig.cmake

run: build
	@scripts/run.sh $(BUILD)

bench: deps
	@cmake -S . -B build-bench -G Ninja -DCMAKE_BUILD_TYPE=Release -DTABULON_BENCH=ON -DTABULON_WERROR=$(WERROR) >/dev/null
	@cmake --build build-bench -j $(JOBS)
	@for b in build-bench/bench/*_bench; do [ -x "$$b" ] || continue; echo "== $$b"; "$$b" || exit 1; done

# The fuzzers: clang with libFuzzer in build-fuzz/, one target after the other.
FUZZ_SECONDS ?= 600
FUZZ_TARGETS ?=
fuzz-smoke: deps
	@JOBS=$(JOBS) WERROR=$(WERROR) scripts/fuzz.sh 60 $(FUZZ_TARGETS)

fuzz: deps
	@JOBS=$(JOBS) WERROR=$(WERROR) scripts/fuzz.sh $(FUZZ_SECONDS) $(FUZZ_TARGETS)

clean:
	rm -rf $(BUILD) build-sanitize build-bench build-fuzz
