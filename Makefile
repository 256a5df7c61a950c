# Set-up, build and test on Debian. `make run` starts the game, `make test` runs every test
# headless; both first install whatever Debian packages are missing.
SHELL := /bin/bash
BUILD ?= build
JOBS ?= $(shell nproc 2>/dev/null || echo 2)

# Everything the build, the tests and the benchmarks need.
# The widget tests use Qt's offscreen platform; the end-to-end tests (Python, standard library
# only) run the game on Xvfb, work it with xdotool and take screenshots with ImageMagick.
DEB_PACKAGES := cmake make g++ pkg-config qt6-base-dev libgl-dev libgtest-dev libgmock-dev \
	libbenchmark-dev xvfb xauth xdotool x11-utils imagemagick fonts-dejavu-core python3
GAME := $(if $(filter /%,$(BUILD)),$(BUILD),./$(BUILD))/quorrel

.PHONY: all deps configure build run test bench format clean

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
# every executable there named *_bench is run, and the medians are listed at the end.
BENCH_BUILD ?= build-bench
BENCH_REPETITIONS ?= 10

bench: deps
	cmake -S . -B $(BENCH_BUILD) -DCMAKE_BUILD_TYPE=Release -DQUORREL_WERROR=ON \
		-DQUORREL_BUILD_BENCH=ON -DQUORREL_BUILD_APP=OFF -DQUORREL_BUILD_TESTS=OFF
	cmake --build $(BENCH_BUILD) -j$(JOBS)
	@set -o pipefail; for b in $(BENCH_BUILD)/bench/*_bench; do \
		[ -x "$$b" ] || continue; \
		echo "== $$b"; \
		"$$b" --benchmark_repetitions=$(BENCH_REPETITIONS) --benchmark_display_aggregates_only=true \
			| tee "$$b.log" || exit 1; \
	done; \
	echo "== Medians of $(BENCH_REPETITIONS) repetitions"; \
	grep -h '_median' $(BENCH_BUILD)/bench/*_bench.log

format:
	git ls-files '*.cpp' '*.h' | xargs clang-format -i

clean:
	rm -rf $(BUILD)
