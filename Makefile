# The two commands of the README. Each does the whole set-up on a fresh Debian 12 machine.
BUILD ?= build
JOBS ?= $(shell nproc)

.PHONY: deps build run test clean

deps:
	./scripts/install-deps.sh

build: deps
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo $(CMAKE_EXTRA)
	cmake --build $(BUILD) -j $(JOBS)

run: build
	./scripts/run-demo.sh $(BUILD)

test: build
	./scripts/run-tests.sh $(BUILD)

clean:
	rm -rf $(BUILD)
