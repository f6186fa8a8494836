# The two commands a newcomer needs: `make run` plays the piece, `make test` passes the suite.
# Every target installs what is missing of the packages it needs first (deps-<purpose>).

BUILD   ?= build
JOBS    ?= $(shell nproc)

# Debian packages, one list a purpose. A target installs the lists of what it runs, each
# through deps-<purpose> (`make deps-windows` installs that list alone); a new purpose is one
# more PACKAGES_<purpose> line. `make deps` is the Linux list: what `make run` and `make test`
# need. `make -n TARGET` shows the lists a target would install.
# The Linux build, its data, the suite, the release files and the Debian package:
PACKAGES_linux = build-essential cmake pkg-config libsdl2-dev libgl-dev libglu1-mesa-dev libepoxy-dev \
                 libjpeg62-turbo-dev libvorbis-dev libpulse-dev libasound2-dev libpng-dev libfreetype-dev \
                 fonts-dejavu-core libebur128-dev libcli11-dev googletest libgtest-dev libbenchmark-dev \
                 ffmpeg xvfb xauth xdotool lintian desktop-file-utils dpkg-dev
# The Windows zip (its libraries built from Debian's sources) and its tests under wine, on top
# of the Linux list (the data in the zip is made by the Linux generator):
PACKAGES_windows = g++-mingw-w64-x86-64-posix meson ninja-build nasm dpkg-dev zip wine64 unzip python3
# The fuzz targets (clang's libFuzzer) and the sanitizer builds:
PACKAGES_sanitizers = clang-14 libclang-rt-14-dev
# The batch-system recipes' tests (farm/): GNU parallel, a one-node Slurm cluster, the
# Kubernetes manifests read as YAML:
PACKAGES_farm = parallel slurm-wlm munge python3-yaml
# Picture and sound measured in step (make sync-test), on top of the Linux list: a sound
# server with its tools, ALSA's plugin for it, and numpy for the analysis:
PACKAGES_sync = pulseaudio pulseaudio-utils libasound2-plugins python3-numpy
# The browser build (its libraries built from Debian's sources with emscripten) and its tests
# in headless Chromium, on top of the Linux list (the data package is made by the Linux
# generator; the tests compare with the Linux build's shots). Node.js 20 or later runs the
# page's tools and tests (node's own WebSocket).
PACKAGES_web = emscripten chromium ninja-build dpkg-dev python3

.PHONY: deps build data run test sync-test farm-test fuzz sanitize damage bench clean release-files install uninstall package windows windows-test \
        web serve-web web-test web-bench

# Installs what is missing of PACKAGES_<purpose>; as another user than root, prints the one
# apt-get command to run and fails.
define install_packages
@$(if $(PACKAGES_$(1)),,$(error no package list PACKAGES_$(1) for deps-$(1)))\
missing=$$(for p in $(PACKAGES_$(1)); do dpkg-query -W -f='$${Status}\n' $$p 2>/dev/null | grep -q '^install ok installed' || echo $$p; done); \
if [ -n "$$missing" ]; then \
  if [ "$$(id -u)" != 0 ]; then \
    echo "Missing packages ($(1)). Run as root:"; \
    echo "  apt-get update && DEBIAN_FRONTEND=noninteractive apt-get install -y" $$missing; exit 1; \
  fi; \
  echo "Installing ($(1)):" $$missing; \
  apt-get update -q && DEBIAN_FRONTEND=noninteractive apt-get install -y -q $$missing; \
fi
endef

deps-%:
	$(call install_packages,$*)

# The Windows and browser libraries are built from Debian's source packages: apt needs
# deb-src entries.
define enable_deb_sources
@if [ -z "$$(apt-cache showsrc libsdl2 2>/dev/null)" ]; then \
  if [ "$$(id -u)" != 0 ]; then echo "For make $(1), list Debian's source packages: run make deps-$(1) as root"; exit 1; fi; \
  cross/enable-deb-src && apt-get update -q; \
fi
endef

deps-windows:
	$(call install_packages,windows)
	$(call enable_deb_sources,windows)

deps-web:
	$(call install_packages,web)
	$(call enable_deb_sources,web)

deps: deps-linux

$(BUILD)/CMakeCache.txt: | deps-linux
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=Release

build: deps-linux $(BUILD)/CMakeCache.txt
	cmake --build $(BUILD) -j $(JOBS)

# The data set is regenerated only when the generator changed.
$(BUILD)/Data/.stamp: $(BUILD)/lantern-tool
	$(BUILD)/lantern-tool gen $(BUILD)
	touch $@

data: build
	@$(MAKE) --no-print-directory $(BUILD)/Data/.stamp

run: data
	$(BUILD)/lantern --data $(BUILD)

# Releases (release/CMakeLists.txt). The icons and the manual pages are made by the built
# programs, the icons from the data. `make install` lays the piece out under PREFIX (and
# DESTDIR), `make uninstall` removes what it wrote, `make package` writes the Debian package
# build/lantern_<version>_amd64.deb.
PREFIX ?= /usr/local
release-files: data
	cmake --build $(BUILD) --target release_files

install: release-files
	DESTDIR="$(DESTDIR)" cmake --install $(BUILD) --prefix "$(PREFIX)"
	cp $(BUILD)/install_manifest.txt $(BUILD)/installed.txt

uninstall:
	DESTDIR="$(DESTDIR)" cmake -DMANIFEST=$(BUILD)/installed.txt -P release/uninstall.cmake

package: release-files
	cd $(BUILD) && cpack -G DEB

test: release-files
	cd $(BUILD) && SDL_VIDEODRIVER=offscreen SDL_AUDIODRIVER=dummy ctest --output-on-failure -j $(JOBS)

# The batch-system recipes of farm/ where they can run here (tests/farm): GNU parallel on this
# machine, Slurm on a one-node cluster the test starts and stops, the Kubernetes manifests
# without a cluster.
farm-test: data deps-farm
	tests/farm/run $(BUILD)

# Picture and sound in step as a viewer sees and hears them (tests/sync): lantern played
# through a private PulseAudio server's null sink on a virtual display, the screen and the
# sink recorded together and located against an offline capture.
sync-test: data deps-sync
	tests/sync/run_sync_test.sh $(BUILD)/lantern $(BUILD)

FUZZ_BUILD ?= build-fuzz
FUZZ_SECONDS ?= 60
fuzz: deps-linux deps-sanitizers
	CC=clang-14 CXX=clang++-14 cmake -S . -B $(FUZZ_BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	  -DLANTERN_FUZZ=ON -DLANTERN_TESTS=OFF -DLANTERN_BENCH=OFF
	cmake --build $(FUZZ_BUILD) -j $(JOBS) --target fuzz_targets
	FUZZ_SECONDS=$(FUZZ_SECONDS) FUZZ_BUILD=$(FUZZ_BUILD) fuzz/run

# The whole suite built with AddressSanitizer and UndefinedBehaviorSanitizer in its own build
# folder, on a data set made by its own (sanitized) generator. Any report fails the run; leaks
# inside the GL driver are suppressed by name in tests/lsan.supp, nothing else.
SANITIZE_BUILD ?= build-sanitize
# intercept_tls_get_addr=0: the leak checker's record of the GL driver's thread-local blocks goes
# stale by the end of a run and its scan then crashes the checker (glibc 2.36, GCC 12); those
# blocks are left unscanned instead, which can only add leak reports, never hide one.
sanitize: export ASAN_OPTIONS = detect_leaks=1:intercept_tls_get_addr=0
sanitize: export LSAN_OPTIONS = suppressions=$(CURDIR)/tests/lsan.supp:print_suppressions=0
sanitize: export UBSAN_OPTIONS = print_stacktrace=1:halt_on_error=1
sanitize: deps-linux deps-sanitizers
	cmake -S . -B $(SANITIZE_BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DLANTERN_SANITIZE=ON -DLANTERN_BENCH=OFF
	cmake --build $(SANITIZE_BUILD) -j $(JOBS)
	@$(MAKE) --no-print-directory $(SANITIZE_BUILD)/Data/.stamp BUILD=$(SANITIZE_BUILD)
	cmake --build $(SANITIZE_BUILD) --target release_files
	cd $(SANITIZE_BUILD) && SDL_VIDEODRIVER=offscreen SDL_AUDIODRIVER=dummy ctest --output-on-failure -j $(JOBS)

# lantern and lantern-tool on a few hundred damaged copies of the data set (tests/damage-runs);
# DAMAGE_BUILD=build-sanitize runs them under the sanitizers.
DAMAGE_BUILD ?= $(BUILD)
damage: data
	tests/damage-runs $(DAMAGE_BUILD)

bench: data
	$(BUILD)/lantern-bench
	$(BUILD)/lantern bench --data $(BUILD)

# The piece for 64-bit Windows, cross-built with mingw-w64 against libraries built from
# Debian's source packages (cached in $(WINDOWS_BUILD)/deps: built once), zipped with the
# Data folder the Linux generator makes.
WINDOWS_BUILD ?= $(BUILD)/windows
VERSION := $(shell sed -n 's/^project.lantern VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
WINDOWS_ZIP = $(WINDOWS_BUILD)/lantern-$(VERSION)-win64.zip
windows: deps-linux deps-windows $(BUILD)/CMakeCache.txt
	cmake --build $(BUILD) -j $(JOBS) --target lantern lantern-tool
	@$(MAKE) --no-print-directory $(BUILD)/Data/.stamp
	JOBS=$(JOBS) windows/build-dependencies $(WINDOWS_BUILD)/deps
	cmake -S . -B $(WINDOWS_BUILD)/lantern -DCMAKE_BUILD_TYPE=Release \
	  -DCMAKE_TOOLCHAIN_FILE=$(CURDIR)/windows/toolchain-mingw64.cmake \
	  -DLANTERN_WINDOWS_PREFIX=$(abspath $(WINDOWS_BUILD)/deps/prefix) \
	  -DLANTERN_TESTS=OFF -DLANTERN_BENCH=OFF -DLANTERN_TOOL=OFF
	cmake --build $(WINDOWS_BUILD)/lantern -j $(JOBS)
	windows/make-zip $(WINDOWS_BUILD)/lantern/lantern.exe $(WINDOWS_BUILD)/deps/prefix $(BUILD)/Data \
	  windows/README.txt $(WINDOWS_ZIP)

# The zip under wine on a virtual display: shots against the Linux build's, the windowed
# run's end, Escape, a folder without Data (tests/wine).
windows-test: windows
	tests/wine/run_wine_tests.sh $(WINDOWS_ZIP) $(BUILD)/lantern $(BUILD) $(WINDOWS_BUILD)/wine

# The piece in a browser: build/web holds the page (index.html, page.js), lantern.js and
# lantern.wasm, built with Debian's emscripten against libraries built from Debian's source
# packages (cached in $(WEB_WORK)/deps: built once), and lantern.data, the data set the Linux
# generator makes, packed. Debian's emscripten finds its JavaScript modules (acorn) only
# through NODE_PATH under this machine's node.
WEB_SITE ?= $(BUILD)/web
WEB_WORK ?= $(BUILD)/web-work
WEB_PORT ?= 8035
web: export NODE_PATH = /usr/share/nodejs
web: deps-linux deps-web $(BUILD)/CMakeCache.txt
	cmake --build $(BUILD) -j $(JOBS) --target lantern lantern-tool
	@$(MAKE) --no-print-directory $(BUILD)/Data/.stamp
	JOBS=$(JOBS) web/build-dependencies $(WEB_WORK)/deps
	cmake -S . -B $(WEB_WORK)/lantern -G Ninja -DCMAKE_BUILD_TYPE=Release \
	  -DCMAKE_TOOLCHAIN_FILE=$(CURDIR)/web/toolchain-emscripten.cmake \
	  -DLANTERN_WEB_PREFIX=$(abspath $(WEB_WORK)/deps/prefix) \
	  -DLANTERN_TESTS=OFF -DLANTERN_BENCH=OFF -DLANTERN_TOOL=OFF
	cmake --build $(WEB_WORK)/lantern -j $(JOBS)
	mkdir -p $(WEB_SITE)
	cp web/index.html web/page.js $(WEB_WORK)/lantern/lantern.js $(WEB_WORK)/lantern/lantern.wasm $(WEB_SITE)/
	@$(MAKE) --no-print-directory $(WEB_SITE)/lantern.data

# The data package is packed again only when the data set changed.
$(WEB_SITE)/lantern.data: $(BUILD)/Data/.stamp web/pack-data.mjs
	node web/pack-data.mjs $(BUILD)/Data $@

serve-web: web
	node web/serve.mjs $(WEB_SITE) $(WEB_PORT)

# The page in headless Chromium (tests/web): shots against the Linux build's, a run from near
# the end that plays to its end with its sound running, no console errors, a missing or
# damaged data package told on the page.
web-test: web
	node --experimental-websocket tests/web/run_web_tests.mjs $(WEB_SITE) $(BUILD)/lantern $(BUILD) $(WEB_WORK)/test

# ?bench in headless Chromium beside lantern bench in one sitting: each scene's p95 and their ratio.
web-bench: web
	node --experimental-websocket tests/web/bench.mjs $(WEB_SITE) $(BUILD)/lantern $(BUILD) $(WEB_WORK)/bench

clean:
	rm -rf $(BUILD) $(FUZZ_BUILD) $(SANITIZE_BUILD)
