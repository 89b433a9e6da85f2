# Thin driver over CMake. Builds live in build/ (the program and its tests)
# and build-asan/ (the same tests under AddressSanitizer and
# UndefinedBehaviorSanitizer).
BUILD ?= build
ASAN_BUILD ?= build-asan
JOBS ?= $(shell nproc)

.PHONY: all play test test-plain test-asan clean

all: $(BUILD)/CMakeCache.txt
	cmake --build $(BUILD) -j $(JOBS)

$(BUILD)/CMakeCache.txt:
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo

# Build the program and start a match: you against the wise robot.
play: all
	./$(BUILD)/okwari you wise4

# Build everything and run every test, plainly and under the sanitizers.
test: test-plain test-asan

test-plain: all
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS)

$(ASAN_BUILD)/CMakeCache.txt:
	cmake -S . -B $(ASAN_BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DOKWARI_SANITIZE=ON

test-asan: $(ASAN_BUILD)/CMakeCache.txt
	cmake --build $(ASAN_BUILD) -j $(JOBS)
	cd $(ASAN_BUILD) && ctest --output-on-failure -j $(JOBS)

clean:
	rm -rf $(BUILD) $(ASAN_BUILD)
