# make run  - install what is missing, configure, build, start the backup program
# make test - the same set-up, then a checked build (warnings as errors,
#             AddressSanitizer and UndefinedBehaviorSanitizer), then every test, headless,
#             and the tests skipped (each with its reason) and how many
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
	@cd $(TEST_BUILD_DIR) && { QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS); status=$$?; \
	  if [ -f Testing/Temporary/LastTest.log ]; then awk -f $(CURDIR)/scripts/skipped-tests.awk Testing/Temporary/LastTest.log; fi; \
	  exit $$status; }

# make bench                  - every benchmark case (bench/; several minutes)
# make bench CASE=copy-4kb     - one case (bench/bench_<x> --cases lists them)
# make bench ROUNDS=7          - timed rounds of every figure (default: 5, 3 for the long cases)
# make bench TREES=/mnt/ram    - build the trees and copy below that folder (default: /tmp)
BENCHES = bench_scan bench_copy bench_planner
bench: build
	@status=0; found=0; \
	for b in $(BENCHES); do \
	  if [ -z "$(CASE)" ] || ./$(BUILD_DIR)/bench/$$b --cases | grep -qx '$(CASE)'; then \
	    found=1; ./$(BUILD_DIR)/bench/$$b $(if $(ROUNDS),--rounds $(ROUNDS)) $(if $(TREES),--trees $(TREES)) $(CASE) || status=1; \
	  fi; \
	done; \
	if [ $$found = 0 ]; then echo "no benchmark has a case '$(CASE)'"; status=2; fi; \
	exit $$status

clean:
	rm -rf $(BUILD_DIR) $(TEST_BUILD_DIR)
