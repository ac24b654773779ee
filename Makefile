# The two commands of the README: `make run` and `make test`.
BUILD ?= build
JOBS ?= $(shell nproc)

.PHONY: run test build deps screenshots bench

deps:
	@scripts/install-deps

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
