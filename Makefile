# Set-up, build and test in one place. `make run` and `make test` work on a fresh Debian machine.

BUILD     ?= build
BUILD_SAN ?= build-san
BUILD_BENCH ?= build-bench
JOBS      ?= $(shell nproc)
PACKAGES  := cmake g++ make libcli11-dev nlohmann-json3-dev libgtest-dev libbenchmark-dev
# What bench/vs_cp.sh needs besides: hyperfine for the timings, GNU time for peak memory.
BENCH_PACKAGES := hyperfine time

.PHONY: all setup setup-bench build run test test-san bench fuzz clean

all: build

# Installs the Debian packages in $(1), only those missing.
define installa
	@missing=$$(for p in $(1); do dpkg-query -W -f='$${Status}\n' $$p 2>/dev/null | grep -q 'install ok installed' || echo $$p; done); \
	if [ -n "$$missing" ]; then \
	  echo "installing:" $$missing; \
	  SUDO=$$( [ "$$(id -u)" = 0 ] || echo sudo ); \
	  $$SUDO apt-get update -qq && DEBIAN_FRONTEND=noninteractive $$SUDO apt-get install -y -qq $$missing; \
	fi
endef

# What the build needs.
setup:
	$(call installa,$(PACKAGES))

setup-bench:
	$(call installa,$(PACKAGES) $(BENCH_PACKAGES))

$(BUILD)/CMakeCache.txt: | setup
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo

build: setup $(BUILD)/CMakeCache.txt
	cmake --build $(BUILD) -j $(JOBS)

# The program alone, not the tests: a newcomer's first run stays quick.
run: setup $(BUILD)/CMakeCache.txt
	cmake --build $(BUILD) -j $(JOBS) --target tracciato
	./$(BUILD)/tracciato

test: build
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS)

# The same tests under AddressSanitizer and UndefinedBehaviorSanitizer.
test-san: setup
	cmake -S . -B $(BUILD_SAN) -DCMAKE_BUILD_TYPE=Debug -DTRACCIATO_SANITIZE=ON
	cmake --build $(BUILD_SAN) -j $(JOBS)
	cd $(BUILD_SAN) && ctest --output-on-failure -j $(JOBS)

# The in-process benchmarks, then whole runs against cp of their outputs.
bench: setup-bench
	cmake -S . -B $(BUILD_BENCH) -DCMAKE_BUILD_TYPE=Release -DTRACCIATO_BENCH=ON
	cmake --build $(BUILD_BENCH) -j $(JOBS) --target tracciato_bench tracciato
	./$(BUILD_BENCH)/tracciato_bench
	bench/vs_cp.sh ./$(BUILD_BENCH)/tracciato

# The loader fuzz target (clang's libFuzzer), run for FUZZ_SECONDS.
BUILD_FUZZ ?= build-fuzz
FUZZ_SECONDS ?= 120
fuzz: setup
	CXX=clang++ cmake -S . -B $(BUILD_FUZZ) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTRACCIATO_FUZZ=ON
	cmake --build $(BUILD_FUZZ) -j $(JOBS) --target loader_fuzzer
	mkdir -p $(BUILD_FUZZ)/corpus && cp fuzz/corpus/* $(BUILD_FUZZ)/corpus/
	./$(BUILD_FUZZ)/loader_fuzzer -dict=fuzz/parole.dict -max_len=4096 -timeout=10 \
	  -max_total_time=$(FUZZ_SECONDS) $(BUILD_FUZZ)/corpus

clean:
	rm -rf $(BUILD) $(BUILD_SAN) $(BUILD_BENCH) $(BUILD_FUZZ)
