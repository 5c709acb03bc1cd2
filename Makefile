# The README's commands. `make run` builds and starts Quorvex (`make run PROGRAM=Zelmora` or Tavrinth for the
# others); `make test` builds and runs every test headless; `make test-sanitize` does the same under
# AddressSanitizer (with LeakSanitizer) and UndefinedBehaviorSanitizer; `make bench` runs the benchmarks.

PROGRAM ?= Quorvex
JOBS ?= $(shell nproc)
BUILD ?= build
SAN_BUILD ?= build-sanitize
COV_BUILD ?= build-coverage

FUZZ_BUILD ?= build-fuzz
FUZZ_SECONDS ?= 60
FUZZ_TARGETS ?= text frame grid plot trace raster landmark sound lesson
SOAK_ACTIONS ?= 333334
SOAK_SEED ?= $(shell od -An -N4 -tu4 /dev/urandom | tr -d ' ')

.PHONY: deps build run test test-sanitize coverage bench soak soak-sanitize fuzz package install-package screenshots format format-check clean

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
	cd $(SAN_BUILD) && QT_QPA_PLATFORM=offscreen LSAN_OPTIONS=suppressions=$(CURDIR)/tests/support/lsan.supp \
	  ctest --output-on-failure -j $(JOBS)

# Line and branch coverage per source folder from the whole test suite (an instrumented build of its own).
# The exerciser runs a tenth of its usual actions there: they add little coverage and cost the most time.
coverage: deps
	cmake -S . -B $(COV_BUILD) -DCMAKE_BUILD_TYPE=Debug -DEXPLORERS_COVERAGE=ON -DEXPLORERS_BENCH=OFF -DEXERCISER_ACTIONS=2000
	cmake --build $(COV_BUILD) -j $(JOBS)
	find $(COV_BUILD) -name '*.gcda' -delete
	cd $(COV_BUILD) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS) -LE package
	python3 tools/coverage.py $(COV_BUILD)

# Each benchmark program, then one table of the real routines against their naive baselines of the same run.
bench: build
	mkdir -p $(BUILD)/bench/results
	for b in $(BUILD)/bench/*_bench; do \
	  QT_QPA_PLATFORM=offscreen $$b --benchmark_out=$(BUILD)/bench/results/$$(basename $$b).json \
	    --benchmark_out_format=json || exit 1; \
	done
	python3 tools/benchtable.py $(BUILD)/bench/results/*.json

# The Debian package of the three programs (in $(BUILD)/), and installing it on this machine.
package: build
	cd $(BUILD) && cpack -G DEB

install-package: package
	$(if $(filter 0,$(shell id -u)),,sudo) apt-get install -y ./$(BUILD)/function-explorers_*.deb

# The README's screenshots, made under Xvfb.
screenshots: build
	bash tools/screenshots.sh $(BUILD)

# A million random actions across the three programs (a third each), with a fresh seed that it prints.
soak: build
	QT_QPA_PLATFORM=offscreen ./$(BUILD)/tests/exerciser --program=all --actions=$(SOAK_ACTIONS) --seed=$(SOAK_SEED)

# The same million actions in the AddressSanitizer and UndefinedBehaviorSanitizer build, where every event
# may take up to 30 s; it ends with a summary (messages answered, peak memory, the ten slowest actions).
# AddressSanitizer keeps every distinct allocation stack it records for good, and stacks unwound through
# Qt's libraries (built without frame pointers) are mostly distinct garbage past their second frame: with
# the default depth of 30 that record alone grows by about 2 KB an action and passes 1 GB long before the
# end. Two frames name the allocating code and the record stays at a few thousand stacks; a finding is
# replayed from its seed and position with full stacks. Freed memory waits in a quarantine of 64 MB (not
# 256) before it is used again, which still catches a use after free of anything freed since.
soak-sanitize: deps
	cmake -S . -B $(SAN_BUILD) -DCMAKE_BUILD_TYPE=Debug -DEXPLORERS_SANITIZE=ON -DEXPLORERS_BENCH=OFF -DEXPLORERS_WERROR=ON
	cmake --build $(SAN_BUILD) -j $(JOBS) --target exerciser
	QT_QPA_PLATFORM=offscreen ASAN_OPTIONS=detect_leaks=0:malloc_context_size=2:quarantine_size_mb=64 ./$(SAN_BUILD)/tests/exerciser --program=all \
	  --actions=$(SOAK_ACTIONS) --seed=$(SOAK_SEED) --time-limit-ms=30000

# Each libFuzzer target for FUZZ_SECONDS, built with clang. A run grows its own corpus in a scratch folder,
# kept between runs; it does not start from fuzz/corpus, whose inputs (each found a fault once) are mostly
# the costly ones and are replayed by every `make test` instead. Add an input that finds a fault to
# fuzz/corpus/<target>/. Leaks are not looked for: the recording surface keeps an input's operations until
# the next one, and libFuzzer would run every such input a second time to look for one. Inputs that reach a
# pass bound take thousands of times longer than a lesson's view: under libFuzzer the targets keep every
# input to a budget of work (the replay in `make test` runs the kept ones in full), and the schedule
# favours quick inputs, or the few slow ones would take nearly all the time.
fuzz: deps
	@bash scripts/install-deps.sh clang-14 libclang-rt-14-dev
	cmake -S . -B $(FUZZ_BUILD) -DCMAKE_CXX_COMPILER=clang++-14 -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	  -DEXPLORERS_FUZZ=ON -DEXPLORERS_TESTS=OFF -DEXPLORERS_BENCH=OFF
	cmake --build $(FUZZ_BUILD) -j $(JOBS)
	for t in $(FUZZ_TARGETS); do \
	  mkdir -p $(FUZZ_BUILD)/corpus/$$t $(FUZZ_BUILD)/artifacts && \
	  ASAN_OPTIONS=detect_leaks=0 ./$(FUZZ_BUILD)/fuzz/fuzz_$$t -max_total_time=$(FUZZ_SECONDS) -timeout=10 -detect_leaks=0 \
	    -entropic_scale_per_exec_time=1 \
	    -rss_limit_mb=4096 -artifact_prefix=$(FUZZ_BUILD)/artifacts/$$t- $(FUZZ_BUILD)/corpus/$$t \
	    || exit 1; \
	done

format:
	clang-format -i $$(git ls-files '*.cpp' '*.h')

# Fails, naming the files, where a source is not as `make format` leaves it (CI runs it first).
format-check: deps
	clang-format --dry-run --Werror $$(git ls-files '*.cpp' '*.h')

clean:
	rm -rf $(BUILD) $(SAN_BUILD) $(COV_BUILD) $(FUZZ_BUILD)
