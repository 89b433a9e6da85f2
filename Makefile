# Thin driver over CMake: everything is built in build/.
BUILD ?= build
JOBS ?= $(shell nproc)

.PHONY: all play test clean

all: $(BUILD)/Makefile
	cmake --build $(BUILD) -j $(JOBS)

$(BUILD)/Makefile: CMakeLists.txt
	cmake -S . -B $(BUILD)

# Build the program and start a match: you against the wise robot.
play: all
	./$(BUILD)/okwari you wise4

# Build everything and run every test.
test: all
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS)

clean:
	rm -rf $(BUILD)
