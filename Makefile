# `make test`: install what is missing, build with the sanitizers, run every test.
# `make run`: install what is missing, build an optimised program without the sanitizers and
# start it from the build tree, where it finds its data files.
# `make fuzz`: the fuzz build with clang (docs/fuzzing.md), every target run FUZZ_SECONDS.
BUILD_DIR ?= build
JOBS ?= $(shell nproc)
FUZZ_DIR ?= build-fuzz
FUZZ_SECONDS ?= 20
FUZZ_JOBS ?= $(JOBS)
RUN_DIR ?= build-run

.PHONY: test deps configure build clean fuzz run

deps:
	scripts/install-deps.sh

configure: deps
	cmake -S . -B $(BUILD_DIR) -G Ninja -DCMAKE_BUILD_TYPE=Debug \
	  -DZEPH_SANITIZE=ON -DZEPH_WERROR=ON

build: configure
	cmake --build $(BUILD_DIR) -j $(JOBS)

test: build
	QT_QPA_PLATFORM=offscreen ASAN_OPTIONS=detect_leaks=1 \
	  UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
	  ctest --test-dir $(BUILD_DIR) --output-on-failure -j $(JOBS)

run: deps
	cmake -S . -B $(RUN_DIR) -G Ninja -DCMAKE_BUILD_TYPE=Release \
	  -DZEPH_SANITIZE=OFF -DZEPH_WERROR=OFF -DZEPH_BUILD_TESTS=OFF -DZEPH_BUILD_BENCH=OFF \
	  -DZEPH_BUILD_FUZZ=OFF
	cmake --build $(RUN_DIR) -j $(JOBS) --target zephorin zeph_dictionary
	$(RUN_DIR)/src/app/zephorin $(ARGS)

fuzz: deps
	cmake -S . -B $(FUZZ_DIR) -G Ninja -DCMAKE_BUILD_TYPE=Debug \
	  -DCMAKE_CXX_COMPILER=clang++ -DZEPH_FUZZ=ON
	cmake --build $(FUZZ_DIR) -j $(JOBS) --target fuzz_targets
	fuzz/run.sh $(FUZZ_DIR) $(FUZZ_SECONDS) $(FUZZ_JOBS)

clean:
	rm -rf $(BUILD_DIR)
