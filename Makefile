# Two commands do everything on a fresh Debian 12 machine:
#   make run   - install what is missing, build, generate the data, start the game
#   make test  - the same set-up, then every test
BUILD      ?= build
ASAN_BUILD ?= build-asan
PACKAGES   := build-essential cmake ninja-build pkg-config g++ \
              libsdl2-dev libgl-dev libegl-dev libgl1-mesa-dri libegl-mesa0 \
              libode-dev libstb-dev libmpg123-dev libmp3lame-dev fonts-dejavu-core \
              googletest libgtest-dev libgmock-dev libbenchmark-dev
SUDO       := $(shell [ "$$(id -u)" = 0 ] || echo sudo)
JOBS       ?= $(shell nproc)

.PHONY: all deps configure build run test asan-test bench sheets clean

all: build

deps:
	@missing=""; for p in $(PACKAGES); do \
	  dpkg-query -W -f='$${Status}' $$p 2>/dev/null | grep -q "ok installed" || missing="$$missing $$p"; \
	done; \
	if [ -n "$$missing" ]; then \
	  echo "Installing:$$missing"; \
	  $(SUDO) apt-get update -qq && DEBIAN_FRONTEND=noninteractive $(SUDO) apt-get install -y -qq $$missing; \
	fi

$(BUILD)/build.ninja: CMakeLists.txt | deps
	cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Release

configure: deps $(BUILD)/build.ninja

build: configure
	cmake --build $(BUILD) -j $(JOBS)

run: build
	cd $(BUILD)/data && ../spindrel

test: build
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS)

# Address and undefined-behaviour sanitizers over the whole test suite.
asan-test: deps
	cmake -S . -B $(ASAN_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Debug -DSPINDREL_SANITIZE=ON
	cmake --build $(ASAN_BUILD) -j $(JOBS)
	cd $(ASAN_BUILD) && ctest --output-on-failure -j $(JOBS) -LE slow

bench: build
	$(BUILD)/spindrel-bench

# Contact sheets of every mesh and picture of the data set.
sheets: build
	cd $(BUILD)/data && ../spindrel-view --out ../sheet-meshes.png X/*.x
	cd $(BUILD)/data && ../spindrel-view --out ../sheet-textures.png texture/* X/*.png X/*.jpg

clean:
	rm -rf $(BUILD) $(ASAN_BUILD)
