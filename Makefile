# The two commands a newcomer needs: `make run` plays the piece, `make test` passes the suite.
# Every target installs what is missing first (`make deps`).

BUILD   ?= build
JOBS    ?= $(shell nproc)
PACKAGES = build-essential cmake pkg-config libsdl2-dev libgl-dev libglu1-mesa-dev libepoxy-dev \
           libjpeg62-turbo-dev libvorbis-dev libpng-dev libfreetype-dev fonts-dejavu-core \
           libebur128-dev libcli11-dev googletest libgtest-dev libbenchmark-dev clang-14 \
           libclang-rt-14-dev ffmpeg xvfb xauth xdotool

.PHONY: deps build data run test fuzz bench clean

deps:
	@missing=$$(for p in $(PACKAGES); do dpkg-query -W -f='$${Status}\n' $$p 2>/dev/null | grep -q '^install ok installed' || echo $$p; done); \
	if [ -n "$$missing" ]; then \
	  if [ "$$(id -u)" != 0 ]; then \
	    echo "Missing packages. Run as root:"; \
	    echo "  apt-get update && DEBIAN_FRONTEND=noninteractive apt-get install -y $$missing"; exit 1; \
	  fi; \
	  echo "Installing:" $$missing; \
	  apt-get update -q && DEBIAN_FRONTEND=noninteractive apt-get install -y -q $$missing; \
	fi

$(BUILD)/CMakeCache.txt: | deps
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=Release

build: deps $(BUILD)/CMakeCache.txt
	cmake --build $(BUILD) -j $(JOBS)

# The data set is regenerated only when the generator changed.
$(BUILD)/Data/.stamp: $(BUILD)/lantern-tool
	$(BUILD)/lantern-tool gen $(BUILD)
	touch $@

data: build
	@$(MAKE) --no-print-directory $(BUILD)/Data/.stamp

run: data
	$(BUILD)/lantern --data $(BUILD)

test: data
	cd $(BUILD) && SDL_VIDEODRIVER=offscreen SDL_AUDIODRIVER=dummy ctest --output-on-failure -j $(JOBS)

FUZZ_BUILD ?= build-fuzz
FUZZ_SECONDS ?= 60
fuzz: deps
	CC=clang-14 CXX=clang++-14 cmake -S . -B $(FUZZ_BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	  -DLANTERN_FUZZ=ON -DLANTERN_TESTS=OFF -DLANTERN_BENCH=OFF
	cmake --build $(FUZZ_BUILD) -j $(JOBS) --target fuzz_targets
	FUZZ_SECONDS=$(FUZZ_SECONDS) FUZZ_BUILD=$(FUZZ_BUILD) fuzz/run

bench: data
	$(BUILD)/lantern-bench
	$(BUILD)/lantern bench --data $(BUILD)

clean:
	rm -rf $(BUILD) $(FUZZ_BUILD)
