# Two commands set everything up on a fresh Debian/Ubuntu machine:
#   make run    install what is missing, build, generate the game data, play
#   make test   the same set-up, then every test
BUILD ?= build
ASAN_BUILD ?= build-asan
RELEASE_BUILD ?= build-release
FUZZ_BUILD ?= build-fuzz
PKG_BUILD ?= build-package
JOBS ?= $(shell nproc)
FUZZ_SECONDS ?= 30

.PHONY: run test deps build test-asan test-release fuzz bench pacing package test-package clean

run: build
	cd $(BUILD)/data && exec ../corvane-altor

# The fuzzers, the sanitizer pass and the packager's build first, so that the summary of the main
# suite closes the run.
test: build
	$(MAKE) --no-print-directory fuzz
	$(MAKE) --no-print-directory test-asan
	$(MAKE) --no-print-directory test-package
	$(MAKE) --no-print-directory test-release
	cd $(BUILD) && ctest --output-on-failure -j1

deps:
	@bash scripts/install-deps.sh

# Our own builds treat warnings as errors (CORVANE_WERROR); a plain CMake build does not.
build: deps
	cmake -S . -B $(BUILD) -G Ninja -DCORVANE_WERROR=ON
	cmake --build $(BUILD) -j $(JOBS)

# The whole unit-test suite again with AddressSanitizer and UndefinedBehaviorSanitizer.
test-asan: deps
	cmake -S . -B $(ASAN_BUILD) -G Ninja -DCMAKE_CXX_COMPILER=clang++ -DCORVANE_SANITIZE=ON \
	  -DCORVANE_BENCH=OFF -DCMAKE_BUILD_TYPE=Debug -DCORVANE_WERROR=ON
	cmake --build $(ASAN_BUILD) -j $(JOBS) --target corvane_tests corvane_net_tests data
	cd $(ASAN_BUILD) && ctest --output-on-failure -j1 -LE e2e

# The game built the way a packager or a distribution builds it: plain CMake, Release flags, no
# warnings as errors; then the unit tests on it.
test-release: deps
	cmake -S . -B $(RELEASE_BUILD) -DCMAKE_BUILD_TYPE=Release
	cmake --build $(RELEASE_BUILD) -j $(JOBS)
	cd $(RELEASE_BUILD) && ctest --output-on-failure -j1 -LE e2e

# Every parser of outside data under libFuzzer, for a bounded time each.
fuzz: deps
	bash scripts/run-fuzzers.sh $(FUZZ_BUILD) $(FUZZ_SECONDS)

# The Debian package as a distribution builds it: $(PKG_BUILD)/corvane-altor_VERSION_ARCH.deb
package: deps
	JOBS=$(JOBS) bash scripts/build-package.sh $(PKG_BUILD)

# The package's checks, slow (two more builds from clean clones, an install): not in ctest.
test-package: build package
	set -e; for t in tests/package/test_*.sh; do \
	  bash $$t $(BUILD)/corvane-altor $(BUILD)/data $(PKG_BUILD); done

bench: build
	cd $(BUILD)/data && ../corvane_bench

# The real main loop for 5 s in the menu and at every game speed: measured frame rates.
pacing: build
	$(BUILD)/corvane-pacing

clean:
	rm -rf $(BUILD) $(ASAN_BUILD) $(RELEASE_BUILD) $(FUZZ_BUILD) $(PKG_BUILD)
