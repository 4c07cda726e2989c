# make run  - install what is missing, configure, build, start the backup program
# make test - the same set-up, then a checked build (warnings as errors,
#             AddressSanitizer and UndefinedBehaviorSanitizer), then every test, headless
BUILD_DIR ?= build
TEST_BUILD_DIR ?= build-checked
JOBS ?= $(shell nproc)

.PHONY: all deps configure build run test bench clean

all: build

deps:
	bash scripts/install-deps.sh

configure: deps
	cmake -S . -B $(BUILD_DIR) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCORVEX_BUILD_TESTS=OFF

build: configure
	cmake --build $(BUILD_DIR) -j $(JOBS)

run: build
	./$(BUILD_DIR)/bin/corvex

test: build
	cmake -S . -B $(TEST_BUILD_DIR) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCORVEX_WERROR=ON -DCORVEX_SANITIZE=ON
	cmake --build $(TEST_BUILD_DIR) -j $(JOBS)
	cd $(TEST_BUILD_DIR) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS)

bench: build
	./$(BUILD_DIR)/bench/bench_scan
	./$(BUILD_DIR)/bench/bench_copy
	./$(BUILD_DIR)/bench/bench_planner

clean:
	rm -rf $(BUILD_DIR) $(TEST_BUILD_DIR)
