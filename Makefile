# KV Quillon - top-level commands. The build itself is CMake + Ninja (+ ccache).
#   make        build into build/ (executables in build/bin/)
#   make run    install what is missing, build, start the program on its demo sources
#   make test   install what is missing, build, run every test (also under ASan+UBSan)
#   make bench  build and run the benchmarks
#   make fuzz   build the libFuzzer targets with clang and run each for FUZZ_SECONDS

BUILD      ?= build
ASAN_BUILD ?= build-asan
FUZZ_BUILD ?= build-fuzz
FUZZ_SECONDS ?= 60
CMAKE_GEN  = -G Ninja

.PHONY: all build deps run test test-main test-asan asan bench fuzz clean

all: build

deps:
	@scripts/install-deps

$(BUILD)/build.ninja:
	cmake -S . -B $(BUILD) $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=RelWithDebInfo

build: $(BUILD)/build.ninja
	cmake --build $(BUILD)

$(ASAN_BUILD)/build.ninja:
	cmake -S . -B $(ASAN_BUILD) $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=Debug -DKVQ_CORE_ONLY=ON -DKVQ_SANITIZE=ON

asan: $(ASAN_BUILD)/build.ninja
	cmake --build $(ASAN_BUILD)

run: deps build
	scripts/run-demo $(BUILD)

test: deps build asan
	ctest --test-dir $(BUILD) --output-on-failure
	ctest --test-dir $(ASAN_BUILD) --output-on-failure

bench: deps build
	bench/run $(BUILD)

$(FUZZ_BUILD)/build.ninja:
	CXX=clang++ cmake -S . -B $(FUZZ_BUILD) $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKVQ_CORE_ONLY=ON -DKVQ_FUZZ=ON

fuzz: deps $(FUZZ_BUILD)/build.ninja
	cmake --build $(FUZZ_BUILD)
	scripts/run-fuzzers $(FUZZ_BUILD) $(FUZZ_SECONDS)

clean:
	rm -rf $(BUILD) $(ASAN_BUILD) $(FUZZ_BUILD)
