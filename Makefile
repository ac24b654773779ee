# The two commands of the README, `make run` and `make test`, and `make package`.
BUILD ?= build
JOBS ?= $(shell nproc)

.PHONY: run test build deps deps-package package screenshots bench

deps:
	@scripts/install-deps

# appstreamcli (package appstream) validates the package's metainfo; only `make package`
# needs it.
deps-package:
	@scripts/install-deps --package

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

# build/tobrin_<version>_amd64.deb, then checked: file list, a run from a scratch root,
# metainfo, desktop entry and manual pages.
package: build deps-package
	cd $(BUILD) && cpack -G DEB
	scripts/check-package $(BUILD) --built
