# Thin driver over CMake. Builds live in build/ (the program and its tests)
# and build-asan/ (the same tests under AddressSanitizer and
# UndefinedBehaviorSanitizer).
BUILD ?= build
ASAN_BUILD ?= build-asan
FUZZ_BUILD ?= build-fuzz
COV_BUILD ?= build-cov
LINT_BUILD ?= build-lint
JOBS ?= $(shell nproc)

.PHONY: all play test test-plain test-asan test-cross deps-cross clean fuzz fuzz-smoke fuzz-build
.PHONY: coverage format format-check lint
.PHONY: bench level-times deps deps-test deps-bench deps-package deps-coverage man-check package
.PHONY: dist distcheck repro-check test-debian

all: deps $(BUILD)/CMakeCache.txt
	cmake --build $(BUILD) -j $(JOBS)

# What a fresh Debian machine lacks is installed with apt-get (as root) in
# one go, without the packages Debian only recommends; anyone else is told
# what to install. The package lists are fetched only when there are none,
# or when they are too old to install from. The game needs only CMake and
# g++; the tests also GoogleTest and tmux; the package also debhelper and
# dpkg-dev; coverage gcovr; the benchmark Google Benchmark.
DEPS_BUILD = cmake:cmake g++:g++
DEPS_TEST = $(DEPS_BUILD) /usr/include/gtest/gtest.h:libgtest-dev tmux:tmux
DEPS_PACKAGE = $(DEPS_TEST) dpkg-buildpackage:dpkg-dev dh:debhelper

define install_missing
	@pkgs=""; for need in $(1); do \
		what=$${need%%:*}; pkg=$${need#*:}; \
		case $$what in \
		/*) [ -e "$$what" ] || pkgs="$$pkgs $$pkg" ;; \
		*) command -v "$$what" >/dev/null 2>&1 || pkgs="$$pkgs $$pkg" ;; \
		esac; \
	done; \
	if [ -n "$$pkgs" ]; then \
		if [ "$$(id -u)" = 0 ] && command -v apt-get >/dev/null 2>&1; then \
			echo "installing:$$pkgs"; \
			install="apt-get install -y -q --no-install-recommends $$pkgs"; \
			export DEBIAN_FRONTEND=noninteractive; \
			{ ls /var/lib/apt/lists/*_Packages >/dev/null 2>&1 && $$install; } || \
				{ apt-get update -q && $$install; }; \
		else \
			echo "please install:$$pkgs"; exit 1; \
		fi; \
	fi
endef

deps:
	$(call install_missing,$(DEPS_BUILD))

deps-test:
	$(call install_missing,$(DEPS_TEST))

deps-package:
	$(call install_missing,$(DEPS_PACKAGE))

deps-coverage:
	$(call install_missing,$(DEPS_TEST) gcovr:gcovr)

$(BUILD)/CMakeCache.txt:
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo

# Build the program and start a match: you against the wise robot. Whoever
# wins (status 0, 1 or 2), make succeeds; a usage or board file error fails.
play: all
	./$(BUILD)/okwari you wise4 || [ $$? -le 2 ]

# Build everything and run every test, plainly and under the sanitizers,
# then a short fuzzing run of each fuzz target, the format check, the lint
# and the manual page check.
test: test-plain test-asan fuzz-smoke format-check lint man-check

# A test that skips says why, and ctest's log keeps it: those lines are shown,
# a script's SKIP line and the line after a GoogleTest test's "Skipped".
ctest_run = cd $(1) && ctest --output-on-failure -j $(JOBS) && $(ctest_skips)
ctest_skips = awk '/^SKIP/ { print } /: Skipped$$/ { getline; print "SKIP: " $$0 }' \
	Testing/Temporary/LastTest.log

# The test builds are configured again once the test tools are in, so that
# a build directory first made without GoogleTest gains its tests.

test-plain: deps-test
	cmake -S . -B $(BUILD)
	cmake --build $(BUILD) -j $(JOBS)
	$(call ctest_run,$(BUILD))

test-asan: deps-test
	cmake -S . -B $(ASAN_BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DOKWARI_SANITIZE=ON
	cmake --build $(ASAN_BUILD) -j $(JOBS)
	$(call ctest_run,$(ASAN_BUILD))

# The cross-architecture run: the program and its unit and end-to-end tests
# built with Debian's cross compilers, in $(CROSS_BUILD)/ARCH, and run under
# qemu-user for each of CROSS_ARCHS (Debian's names; amd64 is x86-64 on a
# processor without SSSE3, see cmake/cross.cmake), where the last ply must
# take the scalar road. One ctest summary line per architecture, then why
# any test skipped; the build and test logs stay in the build directory.
CROSS_BUILD ?= build-cross
CROSS_ARCHS ?= arm64 armhf i386 s390x amd64
DEPS_CROSS = $(DEPS_TEST) qemu-x86_64:qemu-user /usr/src/googletest/CMakeLists.txt:googletest \
	aarch64-linux-gnu-g++:g++-aarch64-linux-gnu arm-linux-gnueabihf-g++:g++-arm-linux-gnueabihf \
	i686-linux-gnu-g++:g++-i686-linux-gnu s390x-linux-gnu-g++:g++-s390x-linux-gnu

deps-cross:
	$(call install_missing,$(DEPS_CROSS))

test-cross: deps-cross
	@failed=; for arch in $(CROSS_ARCHS); do dir=$(CROSS_BUILD)/$$arch; mkdir -p $$dir; \
		if ! { cmake -S . -B $$dir -DCMAKE_TOOLCHAIN_FILE=$(CURDIR)/cmake/cross.cmake \
			-DOKWARI_ARCH=$$arch -DOKWARI_EXPECT_ROAD=LEAVES_SCALAR -DOKWARI_BUILD_GTEST=ON && \
			cmake --build $$dir -j $(JOBS); } >$$dir/build.log 2>&1; then \
			tail -n 40 $$dir/build.log; echo "$$arch: build failed"; failed="$$failed $$arch"; \
		elif ! (cd $$dir && ctest --output-on-failure -j $(JOBS) >ctest.log 2>&1); then \
			cat $$dir/ctest.log; failed="$$failed $$arch"; \
		else \
			echo "$$arch: $$(grep 'tests passed' $$dir/ctest.log)"; (cd $$dir && $(ctest_skips)); \
		fi; \
	done; [ -z "$$failed" ] || { echo "test-cross: failed on$$failed"; exit 1; }

# The README's set-up on each Debian release of DEBIAN_SUITES, in a fresh
# minimal root made by debootstrap (as root): make play and make test, then
# make test again with every optional tool installed and nothing skipped.
# One line per release (packaging/test_debian.sh).
DEBIAN_SUITES ?= trixie

test-debian:
	$(call install_missing,debootstrap:debootstrap git:git)
	bash packaging/test_debian.sh $(DEBIAN_SUITES)

# Fuzzing with clang's libFuzzer (build-fuzz/): `make fuzz` runs each target
# for ten million executions or FUZZ_TIME seconds, whichever comes first;
# `make fuzz-smoke` for FUZZ_SMOKE_TIME seconds each, and is skipped when
# there is no clang++. Each target works on a scratch copy of its seed corpus
# in a directory of the run's own under the build directory, so the committed
# corpus never grows and two runs at once keep apart; the directory is
# removed when every target passed and kept, with the logs and the failing
# input in TARGET/artifacts/, when one found a crash, a hang or a leak.
FUZZ_TIME ?= 3600
FUZZ_SMOKE_TIME ?= 20
FUZZ_TARGETS = board_file_fuzz human_fuzz rules_fuzz

# $(call fuzz_run,SECONDS,RUNS): one line per target, with the fuzzer's final
# "#N DONE" line and the wall time.
fuzz_run = run=$$(mktemp -d $(FUZZ_BUILD)/fuzz-run-XXXXXX) || exit 1; failed=0; \
	for t in $(FUZZ_TARGETS); do \
		mkdir -p $$run/$$t/artifacts && cp -R fuzz/corpus/$$t $$run/$$t/corpus && start=$$(date +%s); \
		$(FUZZ_BUILD)/$$t $$run/$$t/corpus -runs=$(2) -max_total_time=$(1) -timeout=10 \
			-artifact_prefix=$$run/$$t/artifacts/ >$$run/$$t/log 2>&1 || { failed=1; tail -n 40 $$run/$$t/log; }; \
		echo "$$t: $$(($$(date +%s) - start))s, $$(grep -a DONE $$run/$$t/log || echo FAILED, see $$run/$$t/)"; \
	done; \
	if [ $$failed = 0 ]; then rm -rf $$run; else exit 1; fi

$(FUZZ_BUILD)/CMakeCache.txt:
	CC=clang CXX=clang++ cmake -S . -B $(FUZZ_BUILD) -DOKWARI_FUZZ=ON -DCMAKE_BUILD_TYPE=RelWithDebInfo

fuzz-build: $(FUZZ_BUILD)/CMakeCache.txt
	cmake --build $(FUZZ_BUILD) -j $(JOBS) --target $(FUZZ_TARGETS)

fuzz: fuzz-build
	@$(call fuzz_run,$(FUZZ_TIME),10000000)

fuzz-smoke:
	@if ! command -v clang++ >/dev/null 2>&1; then \
		echo "fuzz-smoke: skipped, clang++ not found (Debian: clang libclang-rt-dev)"; \
	elif ! echo 'extern "C" int LLVMFuzzerTestOneInput(const char *, unsigned long) { return 0; }' | \
		clang++ -x c++ -fsanitize=fuzzer -o /dev/null - 2>/dev/null; then \
		echo "fuzz-smoke: skipped, clang++ lacks libFuzzer" \
			"(Debian: libclang-rt-$$(clang++ -dumpversion | cut -d. -f1)-dev)"; \
	else \
		$(MAKE) --no-print-directory fuzz-build >/dev/null && $(call fuzz_run,$(FUZZ_SMOKE_TIME),-1); \
	fi

clean:
	rm -rf $(BUILD) $(ASAN_BUILD) $(FUZZ_BUILD) $(COV_BUILD) $(LINT_BUILD) $(CROSS_BUILD)

# Line and branch coverage of src/ (tests, bench/ and fuzz/ left out) from a
# gcov-instrumented build in build-cov/ running every test.
$(COV_BUILD)/CMakeCache.txt:
	cmake -S . -B $(COV_BUILD) -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS=--coverage

coverage: deps-coverage $(COV_BUILD)/CMakeCache.txt
	cmake --build $(COV_BUILD) -j $(JOBS)
	find $(COV_BUILD) -name '*.gcda' -delete
	cd $(COV_BUILD) && ctest --output-on-failure -j $(JOBS)
	gcovr -r . $(COV_BUILD) --filter src/ --exclude '.*_test\.cpp$$' \
		--exclude-directories '$(COV_BUILD)/CMakeFiles/[0-9]' --exclude-throw-branches \
		--print-summary --fail-under-line 95

# Source files held to .clang-format.
FORMAT_FILES = $(wildcard $(foreach d,src/* tests bench fuzz,$(d)/*.cpp $(d)/*.h $(d)/*.c))

format-check:
	@if command -v clang-format >/dev/null 2>&1; then \
		clang-format --dry-run -Werror $(FORMAT_FILES) && \
		echo "format-check: $(words $(FORMAT_FILES)) files follow .clang-format"; \
	else \
		echo "format-check: skipped, clang-format not found (Debian: clang-format)"; \
	fi

format:
	clang-format -i $(FORMAT_FILES)

# The manual page must format without a single warning, with mandoc and with
# groff, each that is installed, and name the program's version in its
# header (.Os okwari VERSION).
man-check:
	@grep -qx '\.Os okwari $(VERSION)' man/okwari.6 || \
		{ echo "man-check: man/okwari.6 lacks '.Os okwari $(VERSION)'"; exit 1; }; \
	tools=; \
	if command -v mandoc >/dev/null 2>&1; then \
		mandoc -T lint -W warning man/okwari.6 || exit 1; tools=mandoc; \
	fi; \
	if command -v groff >/dev/null 2>&1; then \
		out=$$(groff -ww -z -mdoc man/okwari.6 2>&1); \
		if [ -n "$$out" ]; then echo "$$out"; exit 1; fi; tools="$$tools$${tools:+ and }groff"; \
	fi; \
	case $$tools in \
	*and*) echo "man-check: $$tools find nothing" ;; \
	?*) echo "man-check: $$tools finds nothing" ;; \
	*) echo "man-check: skipped, neither mandoc nor groff found (Debian: mandoc)" ;; \
	esac

# clang-tidy with .clang-tidy over the program's sources, using the compile
# database of build-lint/. The unit and end-to-end tests take a few minutes
# more: `make lint LINT_TESTS=1`.
LINT_FILES = $(filter-out %_test.cpp,$(wildcard src/*/*.cpp))
ifdef LINT_TESTS
LINT_FILES += $(wildcard src/*/*_test.cpp tests/*_test.cpp)
endif

lint:
	@if command -v clang-tidy >/dev/null 2>&1; then \
		cmake -S . -B $(LINT_BUILD) -DCMAKE_EXPORT_COMPILE_COMMANDS=ON >/dev/null && \
		if clang-tidy --quiet -p $(LINT_BUILD) $(LINT_FILES) 2>$(LINT_BUILD)/clang-tidy.log; then \
			echo "lint: clang-tidy found nothing in $(words $(LINT_FILES)) files"; \
		else \
			cat $(LINT_BUILD)/clang-tidy.log; exit 1; \
		fi; \
	else \
		echo "lint: skipped, clang-tidy not found (Debian: clang-tidy)"; \
	fi

# The benchmark: the wise search against the plain one it was made fast
# from, sowing, and whole matches, with a summary at the end. Not a test.
# Pass options in BENCH_ARGS, e.g. BENCH_ARGS=--benchmark_repetitions=5.
# Google Benchmark is installed like GoogleTest for the tests, and the build
# is configured again so that it finds it. `make level-times`: the wise
# robot's thinking time at levels 4 to 9, the table the manual page quotes.
bench: deps-bench
	cmake -S . -B $(BUILD)
	cmake --build $(BUILD) --target okwari_bench -j $(JOBS)
	./$(BUILD)/okwari_bench $(BENCH_ARGS)

level-times:
	$(MAKE) --no-print-directory bench BENCH_ARGS="--levels $(BENCH_ARGS)"

deps-bench:
	$(call install_missing,$(DEPS_TEST) /usr/include/benchmark/benchmark.h:libbenchmark-dev)

# Releases. `make dist`: the source release $(BUILD)/okwari-<version>.tar.gz of
# the last commit, the same bytes from any clone of it. `make package`: the
# Debian package made from that tarball by dpkg-buildpackage with
# packaging/debian/, as any user; its files land in $(BUILD) and it is checked
# (packaging/package.sh). Outside a git checkout, as in an unpacked release,
# DIST names the tarball. `make distcheck` builds and tests that tarball
# unpacked elsewhere, read-only; `make repro-check` builds the package and the
# tarball in two fresh clones and compares them (packaging/*.sh).
VERSION = $(shell sed -n 's/^project(okwari VERSION \([^ )]*\).*/\1/p' CMakeLists.txt)
DIST = $(BUILD)/okwari-$(VERSION).tar.gz

package: deps-package $(if $(wildcard .git),dist)
	JOBS=$(JOBS) bash packaging/package.sh $(DIST) $(BUILD)

dist:
	@git diff --quiet HEAD 2>/dev/null || echo "dist: uncommitted changes are left out"
	mkdir -p $(BUILD)
	git -c tar.umask=0022 archive --format=tar --prefix=okwari-$(VERSION)/ -o $(DIST:.gz=) HEAD
	gzip -9nf $(DIST:.gz=) && sha256sum $(DIST)

distcheck: deps-test dist
	JOBS=$(JOBS) bash packaging/distcheck.sh $(DIST)

repro-check:
	JOBS=$(JOBS) bash packaging/repro_check.sh
