# The README's commands. `make run` builds and starts Quorvex (`make run PROGRAM=Zelmora` or Tavrinth for the
# others); `make test` builds and runs every test headless; `make test-sanitize` does the same under
# AddressSanitizer and UndefinedBehaviorSanitizer; `make bench` runs the benchmarks.

PROGRAM ?= Quorvex
JOBS ?= $(shell nproc)
BUILD ?= build
SAN_BUILD ?= build-sanitize

.PHONY: deps build run test test-sanitize bench format clean

deps:
	@bash scripts/install-deps.sh

build: deps
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DEXPLORERS_WERROR=ON
	cmake --build $(BUILD) -j $(JOBS)

run: build
	./$(BUILD)/$(if $(filter Quorvex,$(PROGRAM)),power,expolog)/$(PROGRAM)

test: build
	cd $(BUILD) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS)

test-sanitize: deps
	cmake -S . -B $(SAN_BUILD) -DCMAKE_BUILD_TYPE=Debug -DEXPLORERS_SANITIZE=ON -DEXPLORERS_BENCH=OFF -DEXPLORERS_WERROR=ON
	cmake --build $(SAN_BUILD) -j $(JOBS)
	cd $(SAN_BUILD) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS)

bench: build
	for b in $(BUILD)/bench/*_bench; do QT_QPA_PLATFORM=offscreen $$b; done

format:
	clang-format -i $$(git ls-files '*.cpp' '*.h')

clean:
	rm -rf $(BUILD) $(SAN_BUILD)
