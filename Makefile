# The two commands of the README. Each does the whole set-up on a fresh Debian 12 machine.
BUILD ?= build
WINDOWS_BUILD ?= build-windows
JOBS ?= $(shell nproc)

.PHONY: deps build run test clean windows windows-test windows-bench

deps:
	./scripts/install-deps.sh

build: deps
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo $(CMAKE_EXTRA)
	cmake --build $(BUILD) -j $(JOBS)

run: build
	./scripts/run-demo.sh $(BUILD)

test: build
	./scripts/run-tests.sh $(BUILD)

# The Windows program and its tests, cross-built with MinGW-w64 into $(WINDOWS_BUILD); the
# window templates are compiled by the Linux build's tools, which are built first, with the
# Linux export tests, which read the Windows program's exports.
windows: deps
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo $(CMAKE_EXTRA)
	cmake --build $(BUILD) -j $(JOBS) --target ld_template_compiler ld_asset_generator ld_winner_sound \
		ld_demo_data export_tests
	cmake -S . -B $(WINDOWS_BUILD) -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake \
		-DCMAKE_BUILD_TYPE=Release -DLD_HOST_TOOLS_DIR=$(abspath $(BUILD)) $(CMAKE_EXTRA)
	cmake --build $(WINDOWS_BUILD) -j $(JOBS)

# The Windows tests under Wine, through CTest.
windows-test: windows
	JOBS=$(JOBS) ./scripts/windows-tests.sh $(WINDOWS_BUILD)

# The picture and sound benchmarks, then the roll tick ones (the 50-tile batch tick and the
# check-in storm) on a virtual screen, under Wine against the Linux build's, in one run each.
windows-bench: windows
	cmake --build $(BUILD) -j $(JOBS) --target picture_bench sound_bench batch_tick_bench \
		checkin_bench
	cmake --build $(WINDOWS_BUILD) -j $(JOBS) --target picture_bench sound_bench \
		batch_tick_bench checkin_bench
	./scripts/windows-bench.sh $(BUILD) $(WINDOWS_BUILD)
	./scripts/windows-tick-bench.sh $(BUILD) $(WINDOWS_BUILD)

clean:
	rm -rf $(BUILD) $(WINDOWS_BUILD)
