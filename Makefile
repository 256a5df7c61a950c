# Set-up, build and test on Debian. `make run` starts the game, `make test` runs every test
# headless; both first install whatever Debian packages are missing.
SHELL := /bin/bash
BUILD ?= build
JOBS ?= $(shell nproc 2>/dev/null || echo 2)

# The Debian packages each target needs; every target installs only what is missing of its own
# list, so `make run` does not wait for the tools of the tests, benchmarks or fuzzing.
#
# The game: a compiler, CMake and Qt's widgets. The labels ask for a font with the metrics of the
# Windows control font (Liberation Sans, fonts-liberation2); the board's counts use the desktop's
# sans (DejaVu). libxkbcommon-dev only quiets Qt's CMake files, which look for it and say so.
# On a Wayland session without X the game needs Qt's Wayland platform plugin.
RUN_PACKAGES := cmake make g++ qt6-base-dev libgl-dev libxkbcommon-dev \
	fonts-liberation2 fonts-dejavu-core $(if $(WAYLAND_DISPLAY),qt6-wayland)
# The tests: GoogleTest; the widget tests use Qt's offscreen platform; the end-to-end tests
# (Python, standard library only) run the game on Xvfb, work it with xdotool and take screenshots
# with ImageMagick, and once under a headless Weston with Qt's Wayland plugin. The accessibility
# test reads the game over AT-SPI on its own D-Bus session (at-spi2-core, the AT-SPI client
# library for Python, a screen reader and its speech service); the package test builds the .deb
# (dpkg-dev finds its library dependencies), validates its launcher and metadata and runs
# lintian on it; librsvg2-bin renders the icon.
TEST_PACKAGES := pkg-config libgtest-dev xvfb xauth xdotool x11-utils imagemagick \
	python3 at-spi2-core gir1.2-atspi-2.0 python3-gi dbus-daemon dbus-x11 orca speech-dispatcher \
	weston qt6-wayland dpkg-dev desktop-file-utils appstream lintian librsvg2-bin
# The benchmarks: Google Benchmark, Xvfb for the start-up on a real X server, and Debian's
# chromium for the page's.
BENCH_PACKAGES := libbenchmark-dev xvfb xauth chromium
# The fuzz targets: clang with libFuzzer and its sanitizer runtimes (the core only, no Qt).
FUZZ_PACKAGES := cmake make g++ clang-14 libclang-rt-14-dev
# The Debian package: dpkg-shlibdeps (dpkg-dev) and lintian.
PACKAGE_PACKAGES := dpkg-dev lintian
# The page: Debian's emscripten, which finds its JavaScript parser (node-acorn) only on NODE_PATH
# when the node on the PATH is not Debian's own; rsvg-convert (librsvg2-bin) renders its icons. Its
# tests: GoogleTest's sources, built to WebAssembly and run under node; the end-to-end test in
# Debian's chromium, firefox-esr and webkit2gtk-driver (WebKitWebDriver and MiniBrowser), the last
# two on Xvfb (xdotool gives Firefox's window the focus, ImageMagick takes a screenshot of a
# failure), with axe-core from npm (npm itself where the node installed brings none); gzip for the
# site's size.
WEB_PACKAGES := cmake make python3 emscripten node-acorn librsvg2-bin
WEB_TEST_PACKAGES := libgtest-dev chromium firefox-esr webkit2gtk-driver xvfb xauth xdotool \
	imagemagick gzip $(if $(shell command -v npm),,npm)
GAME := $(if $(filter /%,$(BUILD)),$(BUILD),./$(BUILD))/quorrel

.PHONY: all deps deps-run deps-test deps-bench deps-fuzz deps-package configure build run test \
	bench format clean sanitize fuzz package screenshot display run-build deps-web deps-web-test \
	web web-run web-test

all: build

# install_missing(packages): installs those of the packages that are not installed yet.
define install_missing
	@missing=$$(for p in $(1); do \
		dpkg-query -W -f='$${Status}\n' "$$p" 2>/dev/null | grep -q '^install ok installed' || echo "$$p"; \
	done); \
	if [ -n "$$missing" ]; then \
		echo "Installing missing Debian packages:" $$missing; \
		if [ "$$(id -u)" -eq 0 ]; then sudo=""; else sudo="sudo"; fi; \
		$$sudo apt-get update -q && \
		$$sudo env DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends $$missing; \
	fi
endef

deps-run:
	$(call install_missing,$(RUN_PACKAGES))
deps-test:
	$(call install_missing,$(RUN_PACKAGES) $(TEST_PACKAGES))
deps-bench:
	$(call install_missing,$(RUN_PACKAGES) $(BENCH_PACKAGES))
deps-fuzz:
	$(call install_missing,$(FUZZ_PACKAGES))
deps-package:
	$(call install_missing,$(RUN_PACKAGES) $(PACKAGE_PACKAGES))
deps-web:
	$(call install_missing,$(WEB_PACKAGES))
deps-web-test:
	$(call install_missing,$(WEB_PACKAGES) $(WEB_TEST_PACKAGES))
# Everything every target needs.
deps: deps-test deps-bench deps-fuzz deps-package deps-web-test

# The build every test runs on: warnings are errors, every test target is built.
configure: deps-test
	cmake -S . -B $(BUILD) -DQUORREL_WERROR=ON -DQUORREL_BUILD_TESTS=ON

build: configure
	cmake --build $(BUILD) -j$(JOBS)

# The game alone, in the same build folder: no tests (GoogleTest is not needed), and warnings
# stay warnings, since a player's compiler may warn where ours does not.
display:
	@if [ -z "$$DISPLAY" ] && [ -z "$$WAYLAND_DISPLAY" ]; then \
		echo "make run: there is no display to open the game's window on (neither DISPLAY nor" >&2; \
		echo "WAYLAND_DISPLAY is set). Run it from a terminal of your desktop session, or over" >&2; \
		echo "ssh -X from another machine. \`make test' needs no display. To see that the game" >&2; \
		echo "starts on a machine without a screen, build it and start it on a virtual display:" >&2; \
		echo "  make run-build && sudo apt-get install xvfb && xvfb-run -a $(GAME)" >&2; \
		exit 1; \
	fi

run-build: deps-run
	cmake -S . -B $(BUILD) -DQUORREL_WERROR=OFF -DQUORREL_BUILD_TESTS=OFF
	cmake --build $(BUILD) -j$(JOBS) --target quorrel

# On a Wayland session without X the game uses Qt's Wayland plugin.
run: display
	@$(MAKE) --no-print-directory run-build
	$(if $(DISPLAY),,QT_QPA_PLATFORM=wayland )$(GAME)

test: build
	cd $(BUILD) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j$(JOBS)
	@$(MAKE) --no-print-directory web-test

# The game in a browser: the core compiled to WebAssembly, and the site in $(WEB_BUILD)/site
# (index.html with the page's script and tables in it, quorrel.js, quorrel.wasm), static files
# for any web server. `make web-run` serves it on this machine.
WEB_BUILD ?= build-web
WEB_PORT ?= 8000
WEB_ENV = export NODE_PATH="$$(dirname "$$(dpkg -L node-acorn | grep -m1 '/acorn$$')")";
WEB_CONFIGURE = $(WEB_ENV) emcmake cmake -S . -B $(WEB_BUILD) -DCMAKE_BUILD_TYPE=Release \
	-DQUORREL_WERROR=ON -DQUORREL_BUILD_APP=OFF

web: deps-web
	$(WEB_CONFIGURE) -DQUORREL_BUILD_TESTS=OFF
	$(WEB_ENV) cmake --build $(WEB_BUILD) -j$(JOBS) --target quorrel_page_site quorrel_site_files
	@echo "The site is in $(WEB_BUILD)/site; copy the folder to any static web host."

web-run: web
	@echo "Quorrel in a browser: http://127.0.0.1:$(WEB_PORT)/ (Ctrl+C stops the server)"
	cd $(WEB_BUILD)/site && python3 -m http.server --bind 127.0.0.1 $(WEB_PORT)

# The page's tests: the core's tests compiled to WebAssembly under node, the page in Chromium,
# Firefox and WebKit (held to the desktop's pictures, drawn by tests/app/board_picture, and
# checked by axe-core, which npm ci installs as tests/web/package-lock.json pins it, again only
# when the lock file is newer than the installed copy), the site's size.
web-test: configure deps-web-test
	cd tests/web && if [ ! -e node_modules/.package-lock.json ] || \
		[ package-lock.json -nt node_modules/.package-lock.json ]; then \
		npm ci --no-audit --no-fund; fi
	cmake --build $(BUILD) -j$(JOBS) --target board_picture
	$(WEB_CONFIGURE) -DQUORREL_BUILD_TESTS=ON \
		-DQUORREL_DESKTOP_PICTURE=$(abspath $(BUILD))/tests/app/board_picture
	$(WEB_ENV) cmake --build $(WEB_BUILD) -j$(JOBS)
	cd $(WEB_BUILD) && ctest --output-on-failure -j$(JOBS)

# The benchmarks of bench/, built for speed in their own directory and run with repetitions;
# every executable there named *_bench is run, and the medians are listed at the end, then the
# goals: each case of the window timed beside its floor, the same work done with the toolkit's
# own calls (the start-up also on an Xvfb the benchmark starts), and the page's cases in headless
# Chromium beside theirs (bench/page_bench.py, on the site `make web` builds). Fails when a goal
# is missed.
BENCH_BUILD ?= build-bench
BENCH_REPETITIONS ?= 10

bench: deps-bench web
	cmake -S . -B $(BENCH_BUILD) -DCMAKE_BUILD_TYPE=Release -DQUORREL_WERROR=ON \
		-DQUORREL_BUILD_BENCH=ON -DQUORREL_BUILD_APP=ON -DQUORREL_BUILD_TESTS=OFF
	cmake --build $(BENCH_BUILD) -j$(JOBS)
	@set -o pipefail; status=0; for b in $(BENCH_BUILD)/bench/*_bench; do \
		[ -x "$$b" ] || continue; \
		echo "== $$b"; \
		QT_QPA_PLATFORM=offscreen "$$b" --benchmark_repetitions=$(BENCH_REPETITIONS) \
			--benchmark_display_aggregates_only=true | tee "$$b.log" || status=1; \
	done; \
	echo "== the page in headless Chromium"; \
	/usr/bin/python3 -B bench/page_bench.py $(WEB_BUILD)/site \
		--benchmark_repetitions=$(BENCH_REPETITIONS) | tee $(BENCH_BUILD)/bench/page_bench.log \
		|| status=1; \
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

sanitize: deps-test
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

fuzz: deps-fuzz
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
package: deps-package
	cmake -S . -B $(BUILD) -DQUORREL_WERROR=ON -DQUORREL_BUILD_TESTS=OFF
	cmake --build $(BUILD) -j$(JOBS) --target quorrel
	cd $(BUILD) && cpack -G DEB

# docs/screenshot.png, the picture in the README: the game on a virtual display in the middle
# of a walk.
screenshot: build
	/usr/bin/python3 -B scripts/screenshot.py $(GAME) docs/screenshot.png

format:
	git ls-files '*.cpp' '*.h' | xargs clang-format -i

clean:
	rm -rf $(BUILD)
