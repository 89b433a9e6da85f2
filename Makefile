# Thin driver over CMake. Builds live in build/ (the program and its tests)
# and build-asan/ (the same tests under AddressSanitizer and
# UndefinedBehaviorSanitizer).
BUILD ?= build
ASAN_BUILD ?= build-asan
FUZZ_BUILD ?= build-fuzz
JOBS ?= $(shell nproc)

.PHONY: all play test test-plain test-asan clean fuzz fuzz-smoke fuzz-build

all: $(BUILD)/CMakeCache.txt
	cmake --build $(BUILD) -j $(JOBS)

$(BUILD)/CMakeCache.txt:
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo

# Build the program and start a match: you against the wise robot.
play: all
	./$(BUILD)/okwari you wise4

# Build everything and run every test, plainly and under the sanitizers,
# then a short fuzzing run of each fuzz target.
test: test-plain test-asan fuzz-smoke

test-plain: all
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS)

$(ASAN_BUILD)/CMakeCache.txt:
	cmake -S . -B $(ASAN_BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DOKWARI_SANITIZE=ON

test-asan: $(ASAN_BUILD)/CMakeCache.txt
	cmake --build $(ASAN_BUILD) -j $(JOBS)
	cd $(ASAN_BUILD) && ctest --output-on-failure -j $(JOBS)

# Fuzzing with clang's libFuzzer (build-fuzz/): `make fuzz` runs each target
# for ten million executions or FUZZ_TIME seconds, whichever comes first;
# `make fuzz-smoke` for FUZZ_SMOKE_TIME seconds each, and is skipped when
# there is no clang++.
FUZZ_TIME ?= 3600
FUZZ_SMOKE_TIME ?= 20

$(FUZZ_BUILD)/CMakeCache.txt:
	CC=clang CXX=clang++ cmake -S . -B $(FUZZ_BUILD) -DOKWARI_FUZZ=ON -DCMAKE_BUILD_TYPE=RelWithDebInfo

fuzz-build: $(FUZZ_BUILD)/CMakeCache.txt
	cmake --build $(FUZZ_BUILD) -j $(JOBS) --target board_file_fuzz human_fuzz rules_fuzz

fuzz: fuzz-build
	fuzz/run.sh $(FUZZ_BUILD) $(FUZZ_TIME) 10000000

fuzz-smoke:
	@if command -v clang++ >/dev/null 2>&1; then \
		$(MAKE) --no-print-directory fuzz-build && fuzz/run.sh $(FUZZ_BUILD) $(FUZZ_SMOKE_TIME); \
	else \
		echo "fuzz-smoke: skipped, clang++ not found"; \
	fi

clean:
	rm -rf $(BUILD) $(ASAN_BUILD) $(FUZZ_BUILD)
