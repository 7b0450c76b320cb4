# Kolbrix: `make run` builds everything and starts the game; `make test` builds and runs every test.
BUILD      ?= build
ASAN_BUILD ?= build-asan
FUZZ_BUILD ?= build-fuzz
FUZZ_SECONDS ?= 60
FUZZ_SMOKE_SECONDS ?= 5
FUZZERS ?=
FUZZ_RUNS ?=
SOAK_FRAMES ?= 100000
SOAK_SEED  ?= 1
JOBS       ?= $(shell nproc)
CMAKE_ARGS ?=
# `make install`: where the game goes (PREFIX) and, for packagers, the staging folder in front of it (DESTDIR).
PREFIX     ?= /usr/local
DESTDIR    ?=
# `make deb`: where the Debian package and what its build leaves go.
DEB_BUILD  ?= build-deb

.PHONY: all deps configure build run test test-unit test-window asan-configure test-asan soak fuzz-build fuzz \
        fuzz-smoke bench clean check-floors install deb deb-test

all: build

deps:
	@scripts/install-deps.sh

$(BUILD)/CMakeCache.txt:
	@cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo $(CMAKE_ARGS) >/dev/null

configure: deps $(BUILD)/CMakeCache.txt

build: configure
	@cmake --build $(BUILD) -j $(JOBS)

run: build
	cd $(BUILD)/game && ./kolbrix

test: build
	@scripts/check-floors.sh
	@scripts/check-circles.sh
	@scripts/run-unit-tests.sh $(BUILD)/kolbrix_tests
	@scripts/run-window-tests.sh $(BUILD)
	@scripts/test-install.sh $(BUILD)

# The programs to $(PREFIX)/bin, the game's data to $(PREFIX)/share/kolbrix (where the installed game finds it), the
# desktop entry, AppStream metainfo, icons and manual pages to their places under $(PREFIX)/share; all of it under
# $(DESTDIR) when that is set. The players' files then go to $XDG_DATA_HOME/kolbrix (README, "Install").
install: build
	@DESTDIR="$(DESTDIR)" cmake --install $(BUILD) --prefix "$(PREFIX)" >/dev/null
	@echo "Kolbrix installed in $(DESTDIR)$(PREFIX)"

# The Debian package kolbrix_<version>_<arch>.deb in $(DEB_BUILD)/, built by dpkg-buildpackage from debian/ on a
# copy of the source tree (the game in /usr/games, its data in /usr/share/games/kolbrix) and checked by lintian,
# whose report lands in $(DEB_BUILD)/lintian.txt. A second run builds only what changed.
deb:
	@scripts/install-deps.sh
	@scripts/install-deps.sh deb
	@scripts/make-deb.sh $(DEB_BUILD)

# The package installed with apt-get on this machine (root), the installed game started in a window under Xvfb and
# its first level played by a player with an empty home, then removed with nothing left in /usr.
deb-test: deb
	@scripts/test-deb.sh $(DEB_BUILD)

# The build under AddressSanitizer and UndefinedBehaviorSanitizer. It reads the data that the main build
# generated, so `make build` comes first.
asan-configure: build
	@cmake -S . -B $(ASAN_BUILD) -DCMAKE_BUILD_TYPE=Debug -DKOLBRIX_SANITIZE=ON -DKOLBRIX_DATA=OFF \
	  -DKOLBRIX_TEST_DATA_DIR=$(abspath $(BUILD))/game >/dev/null

# The unit tests once more under the sanitizers.
test-asan: asan-configure
	@cmake --build $(ASAN_BUILD) -j $(JOBS) --target kolbrix_tests
	@ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 scripts/run-unit-tests.sh $(ASAN_BUILD)/kolbrix_tests

# Long play under the sanitizers (`kolbrix-tool soak`): every level in the main build's program folder, found when
# it starts, played headless for SOAK_FRAMES frames with random keys from SOAK_SEED, the board drawn in every frame.
# Fails on a crash, a sanitizer report, a leak, or a frame whose logic takes longer than a frame at 60 frames a
# second; prints the worst frame. CI runs a short one (SOAK_FRAMES=2000).
soak: asan-configure
	@cmake --build $(ASAN_BUILD) -j $(JOBS) --target kolbrix-tool
	@ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 $(ASAN_BUILD)/game/kolbrix-tool soak \
	  --data $(abspath $(BUILD))/game --frames $(SOAK_FRAMES) --seed $(SOAK_SEED)

# The libFuzzer harnesses of every reader of outside data (fuzz/README.md), built with clang, AddressSanitizer and
# UndefinedBehaviorSanitizer in their own folder. `make fuzz` runs each for FUZZ_SECONDS (FUZZERS="png tga" picks
# some); `make fuzz-smoke` runs each for a few seconds. Either fails on a finding, which lands in
# $(FUZZ_BUILD)/fuzz/findings/.
fuzz-build:
	@scripts/install-deps.sh fuzz
	@cmake -S . -B $(FUZZ_BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_C_COMPILER=clang \
	  -DCMAKE_CXX_COMPILER=clang++ -DKOLBRIX_FUZZ=ON -DKOLBRIX_DATA=OFF >/dev/null
	@cmake --build $(FUZZ_BUILD) -j $(JOBS) --target fuzzers

fuzz: fuzz-build
	@FUZZ_RUNS=$(FUZZ_RUNS) fuzz/run.sh $(FUZZ_BUILD) $(FUZZ_SECONDS) $(FUZZERS)

fuzz-smoke: fuzz-build
	@fuzz/run.sh $(FUZZ_BUILD) $(FUZZ_SMOKE_SECONDS)

# Which floor includes which; fails on an include that goes up a floor.
check-floors:
	@scripts/check-floors.sh
	@scripts/check-circles.sh

bench: build
	@scripts/run-benchmarks.sh $(BUILD)

clean:
	rm -rf $(BUILD) $(ASAN_BUILD) $(FUZZ_BUILD) $(DEB_BUILD)
