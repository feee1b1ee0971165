# Entry points: `make demo` and `make test` are all a fresh machine needs.
BUILD_DIR ?= build
BUILD_TYPE ?= RelWithDebInfo
JOBS ?= $(shell nproc)

# Debian packages the build and the tests need; `deps` installs only what is missing. The server
# (with pg_trgm) is for the throwaway cluster that `make test` starts; libpq-dev is its client;
# groff-base renders the vqarchive man page in its test.
DEB_PACKAGES := cmake ninja-build g++ pkg-config qt6-base-dev qt6-tools-dev qt6-tools-dev-tools \
	libgl-dev libsqlite3-dev libsodium-dev libgtest-dev libgmock-dev libbenchmark-dev xvfb xauth \
	doxygen postgresql-15 libpq-dev groff-base file dpkg-dev lintian

# What `make fuzz` needs beyond the build: clang and its libFuzzer runtime.
FUZZ_PACKAGES := clang libclang-rt-14-dev
FUZZ_SECONDS ?= 600
# The fuzzers, each run in turn: the point search, the search dialect alone, the CSV import, the INI
# reader, the property bag.
FUZZERS ?= search dialect csv ini bag
FUZZ_DIR ?= build-fuzz

# What `make docs-pages` needs beyond the build: a headless browser.
DOCS_PACKAGES := chromium
GUIDE_PAGES := index getting-started pointbuilder searching digital-sets vqarchive library postgresql \
	troubleshooting

SUDO := $(shell [ "$$(id -u)" = 0 ] || echo sudo)

.PHONY: deps install-packages configure build test test-asan test-tsan bench demo gallery pointbuilder fuzz docs docs-pages package format clean

deps:
	@$(MAKE) --no-print-directory install-packages PACKAGES="$(DEB_PACKAGES)"

install-packages:
	@missing=$$(for p in $(PACKAGES); do \
		dpkg-query -W -f='$${Status}\n' $$p 2>/dev/null | grep -q '^install ok installed' || echo $$p; \
	done); \
	if [ -n "$$missing" ]; then \
		echo "Installing missing packages:" $$missing; \
		$(SUDO) apt-get update -qq && \
		DEBIAN_FRONTEND=noninteractive $(SUDO) apt-get install -y -qq --no-install-recommends $$missing >/dev/null; \
	fi

$(BUILD_DIR)/build.ninja: | deps
	cmake -S . -B $(BUILD_DIR) -G Ninja -DCMAKE_BUILD_TYPE=$(BUILD_TYPE)

configure: deps $(BUILD_DIR)/build.ninja

build: configure
	cmake --build $(BUILD_DIR) -j $(JOBS)

test: build
	cd $(BUILD_DIR) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS)

# The same tests under AddressSanitizer and UndefinedBehaviorSanitizer; the Debian packages are
# built without them, so their test is left to `make test`.
test-asan: deps
	cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DVQ_SANITIZE=ON
	cmake --build build-asan -j $(JOBS)
	cd build-asan && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS) -E '^package_deb_'

# The search, archive and model tests (the point search's worker thread and what it shares) under
# ThreadSanitizer; tests/tsan-qt.supp silences races inside Qt's own libraries only.
TSAN_TARGETS := vq_search_tests vq_archive_tests vq_model_tests
test-tsan: deps
	cmake -S . -B build-tsan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DVQ_SANITIZE_THREAD=ON \
		-DVQ_BUILD_BENCH=OFF -DVQ_BUILD_DESIGNER_PLUGIN=OFF
	cmake --build build-tsan --target $(TSAN_TARGETS) -j $(JOBS)
	cd build-tsan && QT_QPA_PLATFORM=offscreen \
		TSAN_OPTIONS="suppressions=$(CURDIR)/tests/tsan-qt.supp halt_on_error=1 second_deadlock_stack=1" \
		ctest --output-on-failure -j $(JOBS) -E '_NOT_BUILT|^package_|^api_reference'

# The point-search fuzzer, built with clang in its own folder, run for FUZZ_SECONDS over the
# clause corpus; new inputs it finds go to fuzz-out/corpus.
fuzz: deps
	@$(MAKE) --no-print-directory install-packages PACKAGES="$(FUZZ_PACKAGES)"
	CXX=clang++ cmake -S . -B $(FUZZ_DIR) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVQ_FUZZ=ON \
		-DVQ_BUILD_TESTS=OFF -DVQ_BUILD_BENCH=OFF
	cmake --build $(FUZZ_DIR) --target $(addprefix vq_,$(addsuffix _fuzz,$(FUZZERS))) -j $(JOBS)
	@for name in $(FUZZERS); do \
		corpus=fuzz/corpus-$$name; case $$name in search|dialect) corpus=fuzz/corpus;; esac; \
		mkdir -p fuzz-out/$$name; \
		echo "== vq_$${name}_fuzz for $(FUZZ_SECONDS) s"; \
		$(FUZZ_DIR)/fuzz/vq_$${name}_fuzz -max_total_time=$(FUZZ_SECONDS) -timeout=10 -max_len=4096 \
			-print_final_stats=1 -artifact_prefix=fuzz-out/$$name- fuzz-out/$$name $$corpus || exit 1; \
	done

# One program per layer, lowest first; each runs its benchmarks five times interleaved and ends
# with its ratio table. BENCH_FLAGS go to each program (e.g. --benchmark_filter=Search).
BENCH_PROGRAMS := archive/vq_bench_archive model/vq_bench_model widgets/vq_bench_widgets
bench: build
	@for program in $(BENCH_PROGRAMS); do \
		echo "== $$program"; $(BUILD_DIR)/bench/$$program $(BENCH_FLAGS) || exit 1; \
	done

# The sample servers (made if missing) and what they hold, then the Point Builder in a window.
# Without a display it says how to run the Point Builder under Xvfb and ends without error.
POINTBUILDER := $(BUILD_DIR)/apps/pointbuilder/vqpointbuilder
demo: build
	$(BUILD_DIR)/apps/vqarchive/vqarchive demo
	@if [ -n "$$DISPLAY$$WAYLAND_DISPLAY" ]; then \
		echo; echo "Starting the Point Builder ($(POINTBUILDER))"; $(POINTBUILDER); \
	else \
		echo; echo "No display (DISPLAY and WAYLAND_DISPLAY are unset), so the Point Builder is not started."; \
		echo "Run it under a virtual X server:  xvfb-run -a $(POINTBUILDER)"; \
		echo "or render it to a picture:        $(POINTBUILDER) --screenshot pointbuilder.png"; \
	fi

# The Point Builder alone; SCREENSHOT=FILE renders it with a point open to a PNG file instead.
pointbuilder: build
	$(POINTBUILDER) $(if $(SCREENSHOT),--screenshot $(SCREENSHOT))

# The gallery in a window; SCREENSHOT=FILE renders its editors page offscreen to a PNG file
# instead, SCREENSHOTS=DIR the server, digital set and point search pictures.
gallery: build
	$(BUILD_DIR)/apps/gallery/vqgallery $(if $(SCREENSHOT),--screenshot $(SCREENSHOT)) \
		$(if $(SCREENSHOTS),--screenshots $(SCREENSHOTS))

# The user guide and the API reference from the public headers, one site in
# $(BUILD_DIR)/docs/html/index.html; an undocumented public class or member fails it.
docs: configure
	cmake --build $(BUILD_DIR) --target docs

# Each guide page as a browser shows it, rendered headless to $(BUILD_DIR)/docs/pages/PAGE.png.
docs-pages: docs
	@$(MAKE) --no-print-directory install-packages PACKAGES="$(DOCS_PACKAGES)"
	@mkdir -p $(BUILD_DIR)/docs/pages
	@for page in $(GUIDE_PAGES); do \
		chromium --headless --no-sandbox --disable-gpu --hide-scrollbars --window-size=1200,2600 \
			--screenshot=$(BUILD_DIR)/docs/pages/$$page.png \
			file://$(abspath $(BUILD_DIR))/docs/html/$$page.html 2>/dev/null || exit 1; \
	done; echo "Pages rendered into $(BUILD_DIR)/docs/pages"

# The Debian packages, from a shared build of their own (the tests' build is static), in
# $(PACKAGE_DIR): libvqtagwrightctls0, libvqtagwrightctls-dev, vqtagwright-tools, vqtagwright-designer.
# The package test takes them from there with VQ_PACKAGES_DIR=$(CURDIR)/$(PACKAGE_DIR).
PACKAGE_DIR ?= build-package
package: deps
	cmake -S . -B $(PACKAGE_DIR) -G Ninja -DCMAKE_BUILD_TYPE=$(BUILD_TYPE) -DVQ_SHARED_LIBS=ON \
		-DVQ_BUILD_TESTS=OFF -DVQ_BUILD_BENCH=OFF
	cmake --build $(PACKAGE_DIR) --target docs
	cmake --build $(PACKAGE_DIR) --target package -j $(JOBS)
	@ls -l $(PACKAGE_DIR)/*.deb

format:
	clang-format -i $$(git ls-files '*.cpp' '*.h')

clean:
	rm -rf $(BUILD_DIR) build-asan $(FUZZ_DIR) fuzz-out $(PACKAGE_DIR)
