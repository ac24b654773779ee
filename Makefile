# SPDX-License-Identifier: GPL-3.0-or-later
# The two commands of the README, `make run` and `make test`, and `make package`.
BUILD ?= build
JOBS ?= $(shell nproc)

.PHONY: run test build deps deps-package deps-fuzz package screenshots bench fuzz sanitize mutate

deps:
	@scripts/install-deps

# lintian checks the package, appstreamcli (package appstream) its metainfo; only
# `make package` needs them.
deps-package:
	@scripts/install-deps --package

# clang with libFuzzer; only `make fuzz` needs it.
deps-fuzz:
	@scripts/install-deps --fuzz

build: deps
	@cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
	@cmake --build $(BUILD) -j $(JOBS)

# As the menu entry starts it: in ~/Tobrin, where the catalogue and its files lie.
run: build
	mkdir -p ~/Tobrin && cd ~/Tobrin && exec $(abspath $(BUILD))/tobrin

test: build
	cd $(BUILD) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS)

screenshots: build
	scripts/screenshots $(BUILD)

bench: build
	bench/run-all $(BUILD)

# build-package/tobrin_<version>_amd64.deb, then checked: lintian, file list, a run from a
# scratch root, metainfo, desktop entry and manual pages. Its own build folder builds only
# what the package ships, with Debian's build flags (hardening: fortify, relro, bind-now).
PACKAGE_BUILD ?= build-package
package: deps deps-package
	@DEB_BUILD_MAINT_OPTIONS=hardening=+all; export DEB_BUILD_MAINT_OPTIONS; \
	cmake -S . -B $(PACKAGE_BUILD) -DCMAKE_BUILD_TYPE=None -DTOBRIN_BUILD_TESTS=OFF \
		-DCMAKE_CXX_FLAGS="$$(dpkg-buildflags --get CXXFLAGS) $$(dpkg-buildflags --get CPPFLAGS)" \
		-DCMAKE_EXE_LINKER_FLAGS="$$(dpkg-buildflags --get LDFLAGS)" >/dev/null
	@cmake --build $(PACKAGE_BUILD) -j $(JOBS)
	cd $(PACKAGE_BUILD) && cpack -G DEB
	scripts/check-package $(PACKAGE_BUILD) --built

# Each fuzz target for FUZZ_SECONDS (clang, libFuzzer, ASan + UBSan) in its own build folder;
# prints the executions and executions per second of each at the end.
FUZZ_SECONDS ?= 60
fuzz: deps deps-fuzz
	scripts/fuzz build-fuzz $(FUZZ_SECONDS)

# The whole suite under AddressSanitizer and UndefinedBehaviorSanitizer, with the index
# checks and assertions on (a Debug build), in its own build folder. The package check
# is left out: it tests packaging, not code.
SANITIZE_FLAGS = -O1 -fsanitize=address,undefined -fno-sanitize-recover=undefined \
	-fno-omit-frame-pointer -D_GLIBCXX_ASSERTIONS
sanitize: deps
	@cmake -S . -B build-sanitize -DCMAKE_BUILD_TYPE=Debug \
		-DCMAKE_CXX_FLAGS="$(SANITIZE_FLAGS)" >/dev/null
	@cmake --build build-sanitize -j $(JOBS)
	cd build-sanitize && QT_QPA_PLATFORM=offscreen \
		ASAN_OPTIONS=detect_leaks=1:abort_on_error=1:fast_unwind_on_malloc=0 \
		LSAN_OPTIONS=suppressions=$(CURDIR)/tests/lsan.supp UBSAN_OPTIONS=print_stacktrace=1 \
		ctest --output-on-failure -j $(JOBS) -E '^package_check$$'

# Each mutant of tests/mutants.txt (a careless one-line change) built in a scratch copy of the
# tracked files (build-mutate) and checked by the whole suite: killed, survived or stale.
# MUTANTS="12-20" or MUTANTS="search/*" for some of them.
mutate: deps
	scripts/mutate --jobs $(JOBS) $(MUTANTS)
