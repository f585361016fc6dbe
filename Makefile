# Two commands do everything on a fresh Debian 12 machine:
#   make run   - install what is missing, build, generate the data, start the game
#   make test  - the same set-up, then every test
# and two more put the game on the machine and take it off again:
#   make install [PREFIX=/usr/local]   - the game, its data, desktop entry, icons, metainfo, manual
#   make uninstall                     - removes what the last install put there
BUILD      ?= build
ASAN_BUILD ?= build-asan
TSAN_BUILD ?= build-tsan
FUZZ_BUILD ?= build-fuzz
FUZZ_SECONDS ?= 60
PACKAGES   := build-essential cmake ninja-build pkg-config g++ \
              libsdl2-dev libgl-dev libegl-dev libgl1-mesa-dri libegl-mesa0 \
              libode-dev libstb-dev libmpg123-dev libmp3lame-dev fonts-dejavu-core \
              googletest libgtest-dev libgmock-dev libbenchmark-dev \
              desktop-file-utils appstream
SUDO       := $(shell [ "$$(id -u)" = 0 ] || echo sudo)
JOBS       ?= $(shell nproc)
PREFIX     ?= /usr/local
# What the last install wrote (CMake's list) and the folders it had to create.
MANIFEST   := $(BUILD)/install_manifest.txt
MADE_DIRS  := $(BUILD)/install_made_dirs.txt

.PHONY: all deps configure build run test asan-test tsan-test fuzz bench soak sheets clean install uninstall

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

# The thread sanitizer over the tests of the loader thread and the sound
# threads, reading the data set of the main build.
tsan-test: build
	cmake -S . -B $(TSAN_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Debug -DSPINDREL_TSAN=ON
	cmake --build $(TSAN_BUILD) -j $(JOBS) --target spindrel-thread-tests
	ln -sfn "$$(realpath $(BUILD))/data" $(TSAN_BUILD)/data
	cd $(TSAN_BUILD) && TSAN_OPTIONS="halt_on_error=1 second_deadlock_stack=1" ./tests/spindrel-thread-tests

# Every fuzz target under libFuzzer for FUZZ_SECONDS each, over libraries built
# with the fuzzer's coverage and the address and undefined-behaviour
# sanitizers (clang). Fails on any finding; prints each target's coverage.
fuzz: deps
	@command -v clang++ >/dev/null || { $(SUDO) apt-get update -qq && \
	  DEBIAN_FRONTEND=noninteractive $(SUDO) apt-get install -y -qq clang; }
	cmake -S . -B $(FUZZ_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	  -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ -DSPINDREL_LIBFUZZER=ON
	cmake --build $(FUZZ_BUILD) -j $(JOBS) --target fuzzers
	tests/fuzz/run-fuzzers.sh $(FUZZ_BUILD) $(FUZZ_SECONDS)

bench: build
	$(BUILD)/spindrel-bench

# The computer player plays the whole game for an hour of game time.
soak: build
	$(BUILD)/spindrel-soak --data $(BUILD)/data

# Contact sheets of every mesh and picture of the data set.
sheets: build
	cd $(BUILD)/data && ../spindrel-view --out ../sheet-meshes.png X/*.x
	cd $(BUILD)/data && ../spindrel-view --out ../sheet-textures.png texture/* X/*.png X/*.jpg

# Installs into PREFIX, with sudo only when PREFIX is not ours to write. The
# folders that did not exist before are noted, so that uninstall can take
# them away again and leave nothing behind.
install: build
	@prefix="$$(realpath -m "$(PREFIX)")"; \
	probe="$$prefix"; while [ ! -e "$$probe" ]; do probe="$$(dirname "$$probe")"; done; \
	sudo=""; [ -w "$$probe" ] || sudo="$(SUDO)"; \
	before="$$(mktemp)"; if [ -d "$$prefix" ]; then find "$$prefix" -type d | sort > "$$before"; fi; \
	$$sudo cmake --install $(BUILD) --prefix "$$prefix" || { rm -f "$$before"; exit 1; }; \
	[ -z "$$sudo" ] || $$sudo chown "$$(id -u):$$(id -g)" $(MANIFEST); \
	while read -r f || [ -n "$$f" ]; do d="$$(dirname "$$f")"; \
	  while case "$$d" in "$$prefix"/*) true;; *) false;; esac; do echo "$$d"; d="$$(dirname "$$d")"; done; \
	done < $(MANIFEST) | sort -u | comm -23 - "$$before" > $(MADE_DIRS); \
	rm -f "$$before"; \
	echo "Installed into $$prefix: start the game with $$prefix/bin/spindrel"

# Removes every file of the last install, then the folders it created, if empty.
uninstall:
	@if [ ! -f $(MANIFEST) ]; then echo "Nothing to uninstall: no $(MANIFEST)"; exit 0; fi; \
	sudo=""; while read -r f || [ -n "$$f" ]; do \
	  [ -e "$$f" ] || [ -L "$$f" ] || continue; \
	  [ -w "$$(dirname "$$f")" ] || sudo="$(SUDO)"; \
	done < $(MANIFEST); \
	xargs -d '\n' $$sudo rm -f < $(MANIFEST); \
	if [ -f $(MADE_DIRS) ]; then sort -r $(MADE_DIRS) | xargs -r -d '\n' $$sudo rmdir --ignore-fail-on-non-empty; fi; \
	rm -f $(MANIFEST) $(MADE_DIRS); \
	echo "Uninstalled"

clean:
	rm -rf $(BUILD) $(ASAN_BUILD) $(TSAN_BUILD) $(FUZZ_BUILD)
