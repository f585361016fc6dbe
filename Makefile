# Two commands do everything on a fresh Debian 12 machine:
#   make run   - install what is missing, build, generate the data, start the game
#   make test  - the same set-up, then every test
# and two more put the game on the machine and take it off again:
#   make install [PREFIX=/usr/local]   - the game, its data, desktop entry, icons, metainfo, manual
#   make uninstall                     - removes what the last install put there
# and one more builds the Debian package of the game, checked by lintian:
#   make deb                           - spindrel_VERSION_ARCH.deb, for apt install ./spindrel_*.deb
BUILD      ?= build
ASAN_BUILD ?= build-asan
TSAN_BUILD ?= build-tsan
FUZZ_BUILD ?= build-fuzz
FUZZ_SECONDS ?= 60
PACKAGES   := build-essential cmake ninja-build pkg-config g++ \
              libsdl2-dev libgl-dev libegl-dev libgl1-mesa-dri libegl-mesa0 \
              libode-dev libstb-dev libmpg123-dev libmp3lame-dev fonts-dejavu-core \
              googletest libgtest-dev libgmock-dev libbenchmark-dev \
              desktop-file-utils appstream xvfb
# What building and checking the Debian package needs besides.
DEB_PACKAGES := dpkg-dev lintian
SUDO       := $(shell [ "$$(id -u)" = 0 ] || echo sudo)
JOBS       ?= $(shell nproc)
PREFIX     ?= /usr/local
# What the last install wrote and the folders it had to create. CMake's own
# list is copied, so that other installs of the build (the tests') leave it be.
MANIFEST       := $(BUILD)/install_manifest.txt
INSTALL_RECORD ?= $(BUILD)/install_record.txt
MADE_DIRS      ?= $(BUILD)/install_made_dirs.txt

.PHONY: all deps configure build run test asan-test tsan-test fuzz bench bench-window soak balance sheets clean install \
        install-built uninstall deb

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

# The real game in a 1280 x 960 window under Xvfb and openbox on software
# OpenGL, through fixed recorded sessions: frame times and CPU per scene.
bench-window: build
	tools/bench-window $(BUILD)

# The computer player plays the whole game for an hour of game time.
soak: build
	$(BUILD)/spindrel-soak --data $(BUILD)/data

# The computer player at skills 0 to 3 on every stage over ten seeds, three
# minutes of battle each: wins, losses, undecided games and battle lengths.
balance: build
	$(BUILD)/spindrel-balance --data $(BUILD)/data --seeds 10
	$(BUILD)/spindrel-balance --data $(BUILD)/data --versus --seeds 20

# Contact sheets of every mesh and picture of the data set.
sheets: build
	cd $(BUILD)/data && ../spindrel-view --out ../sheet-meshes.png X/*.x
	cd $(BUILD)/data && ../spindrel-view --out ../sheet-textures.png texture/* X/*.png X/*.jpg

install: build
	@$(MAKE) --no-print-directory install-built

# Installs what is built into PREFIX, with sudo only when PREFIX is not ours to
# write. The folders that did not exist before, the prefix and its parents
# included, are noted, so that uninstall can take them away again and leave
# nothing behind.
install-built:
	@prefix="$$(realpath -m "$(PREFIX)")"; \
	probe="$$prefix"; while [ ! -e "$$probe" ]; do probe="$$(dirname "$$probe")"; done; \
	sudo=""; [ -w "$$probe" ] || sudo="$(SUDO)"; \
	before="$$(mktemp)"; if [ -d "$$prefix" ]; then find "$$prefix" -type d | sort > "$$before"; fi; \
	$$sudo cmake --install $(BUILD) --prefix "$$prefix" || { rm -f "$$before"; exit 1; }; \
	[ -z "$$sudo" ] || $$sudo chown "$$(id -u):$$(id -g)" $(MANIFEST); \
	cp $(MANIFEST) $(INSTALL_RECORD); \
	{ d="$$prefix"; while [ "$$d" != "$$probe" ]; do echo "$$d"; d="$$(dirname "$$d")"; done; \
	  while read -r f || [ -n "$$f" ]; do d="$$(dirname "$$f")"; \
	    while case "$$d" in "$$prefix"/*) true;; *) false;; esac; do echo "$$d"; d="$$(dirname "$$d")"; done; \
	  done < $(INSTALL_RECORD); \
	} | sort -u | comm -23 - "$$before" > $(MADE_DIRS); \
	rm -f "$$before"; \
	echo "Installed into $$prefix: start the game with $$prefix/bin/spindrel"

# Removes every file of the last install, then the folders it created, if empty.
uninstall:
	@if [ ! -f $(INSTALL_RECORD) ]; then echo "Nothing to uninstall: no $(INSTALL_RECORD)"; exit 0; fi; \
	sudo=""; while read -r f || [ -n "$$f" ]; do \
	  [ -e "$$f" ] || [ -L "$$f" ] || continue; \
	  [ -w "$$(dirname "$$f")" ] || sudo="$(SUDO)"; \
	done < $(INSTALL_RECORD); \
	xargs -d '\n' $$sudo rm -f < $(INSTALL_RECORD); \
	if [ -f $(MADE_DIRS) ]; then sort -r $(MADE_DIRS) | xargs -r -d '\n' $$sudo rmdir --ignore-fail-on-non-empty; fi; \
	rm -f $(INSTALL_RECORD) $(MADE_DIRS); \
	echo "Uninstalled"

# The Debian package, in the top folder of the tree (an older one is replaced),
# and lintian's verdict on it: an error fails the target.
deb: build
	@$(MAKE) --no-print-directory deps PACKAGES="$(DEB_PACKAGES)"
	rm -f spindrel_*_*.deb
	@deb="$$(dist/debian/build-deb $(BUILD) .)" && echo "Built $$deb" && \
	echo "lintian:" && lintian --fail-on error --display-info "$$deb" && \
	echo "Install it with: sudo apt install ./$$(basename "$$deb")"

clean:
	rm -rf $(BUILD) $(ASAN_BUILD) $(TSAN_BUILD) $(FUZZ_BUILD)
