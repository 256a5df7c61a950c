# Set-up, build and test on Debian. `make run` starts the game, `make test` runs every test
# headless; both first install whatever Debian packages are missing.
SHELL := /bin/bash
BUILD ?= build
JOBS ?= $(shell nproc 2>/dev/null || echo 2)

# Everything the build, the tests and the benchmarks need.
# The widget tests use Qt's offscreen platform; the end-to-end tests (Python, standard library
# only) run the game on Xvfb, work it with xdotool and take screenshots with ImageMagick.
# The accessibility test reads the game over AT-SPI on its own D-Bus session (at-spi2-core,
# the AT-SPI client library for Python); the package test builds the .deb (dpkg-dev finds its
# library dependencies) and validates its launcher and metadata; librsvg2-bin renders the icon.
DEB_PACKAGES := cmake make g++ pkg-config qt6-base-dev libgl-dev libgtest-dev libgmock-dev \
	libbenchmark-dev xvfb xauth xdotool x11-utils imagemagick fonts-dejavu-core python3 \
	clang-14 libclang-rt-14-dev \
	at-spi2-core gir1.2-atspi-2.0 python3-gi dbus-daemon dbus-x11 \
	dpkg-dev desktop-file-utils appstream librsvg2-bin orca speech-dispatcher
GAME := $(if $(filter /%,$(BUILD)),$(BUILD),./$(BUILD))/quorrel

.PHONY: all deps configure build run test bench format clean sanitize fuzz package screenshot

all: build

deps:
	@missing=$$(for p in $(DEB_PACKAGES); do \
		dpkg-query -W -f='$${Status}\n' "$$p" 2>/dev/null | grep -q '^install ok installed' || echo "$$p"; \
	done); \
	if [ -n "$$missing" ]; then \
		echo "Installing missing Debian packages:" $$missing; \
		if [ "$$(id -u)" -eq 0 ]; then sudo=""; else sudo="sudo"; fi; \
		$$sudo apt-get update -q && \
		$$sudo env DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends $$missing; \
	fi

configure: deps
	cmake -S . -B $(BUILD) -DQUORREL_WERROR=ON

build: configure
	cmake --build $(BUILD) -j$(JOBS)

run: build
	@if [ -z "$$DISPLAY" ] && [ -z "$$WAYLAND_DISPLAY" ]; then \
		echo "make run: no display to open the game window on (neither DISPLAY nor WAYLAND_DISPLAY is set); run it on a virtual one with: xvfb-run -a $(GAME)" >&2; \
		exit 1; \
	fi
	$(GAME)

test: build
	cd $(BUILD) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j$(JOBS)

# The benchmarks of bench/, built for speed in their own directory and run with repetitions;
# every executable there named *_bench is run, and the medians are listed at the end, then the
# goals: each case of the window timed beside its floor, the same work done with the toolkit's
# own calls. Fails when a goal is missed.
BENCH_BUILD ?= build-bench
BENCH_REPETITIONS ?= 10

bench: deps
	cmake -S . -B $(BENCH_BUILD) -DCMAKE_BUILD_TYPE=Release -DQUORREL_WERROR=ON \
		-DQUORREL_BUILD_BENCH=ON -DQUORREL_BUILD_APP=ON -DQUORREL_BUILD_TESTS=OFF
	cmake --build $(BENCH_BUILD) -j$(JOBS)
	@set -o pipefail; status=0; for b in $(BENCH_BUILD)/bench/*_bench; do \
		[ -x "$$b" ] || continue; \
		echo "== $$b"; \
		QT_QPA_PLATFORM=offscreen "$$b" --benchmark_repetitions=$(BENCH_REPETITIONS) \
			--benchmark_display_aggregates_only=true | tee "$$b.log" || status=1; \
	done; \
	echo "== Medians of $(BENCH_REPETITIONS) repetitions"; \
	grep -h '_median' $(BENCH_BUILD)/bench/*_bench.log; \
	echo "== Goals"; \
	sed -s -n '/^Goal  /,$$p' $(BENCH_BUILD)/bench/*_bench.log; \
	exit $$status

# Every target built with AddressSanitizer and UndefinedBehaviorSanitizer (g++), then every
# test under them. Reports from inside Qt and the libraries it loads are suppressed by the
# files in tests/sanitizers/, each entry with its reason.
ASAN_BUILD ?= build-asan
SUPPRESSIONS := $(CURDIR)/tests/sanitizers
SANITIZER_ENV := \
	ASAN_OPTIONS=detect_leaks=1:check_initialization_order=1:strict_init_order=1:detect_stack_use_after_return=1 \
	LSAN_OPTIONS=suppressions=$(SUPPRESSIONS)/lsan.supp:print_suppressions=0 \
	UBSAN_OPTIONS=suppressions=$(SUPPRESSIONS)/ubsan.supp:print_stacktrace=1:halt_on_error=1

sanitize: deps
	cmake -S . -B $(ASAN_BUILD) -DQUORREL_WERROR=ON -DQUORREL_SANITIZE=ON -DQUORREL_BUILD_APP=ON \
		-DQUORREL_BUILD_TESTS=ON
	cmake --build $(ASAN_BUILD) -j$(JOBS)
	cd $(ASAN_BUILD) && QT_QPA_PLATFORM=offscreen $(SANITIZER_ENV) ctest --output-on-failure -j$(JOBS)

# The libFuzzer targets of fuzz/, built with clang and run FUZZ_SECONDS each, starting from
# the seeds in fuzz/corpus/<target>; what they learn stays in $(FUZZ_BUILD)/corpus, crashes
# go to $(FUZZ_BUILD)/artifacts.
FUZZ_BUILD ?= build-fuzz
FUZZ_SECONDS ?= 60
FUZZ_TARGETS := fuzz_new_maze fuzz_events

fuzz: deps
	CC=clang-14 CXX=clang++-14 cmake -S . -B $(FUZZ_BUILD) -DQUORREL_FUZZ=ON -DQUORREL_WERROR=ON \
		-DQUORREL_BUILD_APP=OFF -DQUORREL_BUILD_TESTS=OFF
	cmake --build $(FUZZ_BUILD) -j$(JOBS) --target $(FUZZ_TARGETS)
	@total=0; for t in $(FUZZ_TARGETS); do \
		mkdir -p $(FUZZ_BUILD)/corpus/$$t $(FUZZ_BUILD)/artifacts; \
		dict=""; if [ -f fuzz/$$t.dict ]; then dict="-dict=fuzz/$$t.dict"; fi; \
		echo "== $$t for $(FUZZ_SECONDS) s"; \
		status=0; UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 ./$(FUZZ_BUILD)/fuzz/$$t $$dict \
			-max_total_time=$(FUZZ_SECONDS) -timeout=20 -print_final_stats=1 -print_funcs=0 \
			-artifact_prefix=$(FUZZ_BUILD)/artifacts/$$t- $(FUZZ_BUILD)/corpus/$$t fuzz/corpus/$$t \
			> $(FUZZ_BUILD)/$$t.log 2>&1 || status=$$?; \
		grep -E '^(Done |stat::number_of_executed_units|fuzz_events: |fault: )|ERROR|SUMMARY' $(FUZZ_BUILD)/$$t.log; \
		if [ $$status -ne 0 ]; then echo "$$t found a fault; see $(FUZZ_BUILD)/$$t.log"; exit 1; fi; \
		runs=$$(sed -n 's/^stat::number_of_executed_units: *//p' $(FUZZ_BUILD)/$$t.log); \
		total=$$((total + runs)); \
	done; echo "== $$total fuzz inputs executed in all"

# The Debian package of the game, $(BUILD)/quorrel_<version>_<arch>.deb.
package: build
	cd $(BUILD) && cpack -G DEB

# docs/screenshot.png, the picture in the README: the game on a virtual display in the middle
# of a walk.
screenshot: build
	/usr/bin/python3 -B scripts/screenshot.py $(GAME) docs/screenshot.png

format:
	git ls-files '*.cpp' '*.h' | xargs clang-format -i

clean:
	rm -rf $(BUILD)
