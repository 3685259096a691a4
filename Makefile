# Set-up, build and test in one place. `make run` and `make test` work on a fresh Debian machine.

BUILD     ?= build
BUILD_SAN ?= build-san
BUILD_BENCH ?= build-bench
JOBS      ?= $(shell nproc)
# What the program needs to build and run (make run, make build).
PACKAGES  := cmake g++ make libcli11-dev nlohmann-json3-dev
# What the tests add: GoogleTest, and the editor and the browser that the
# language-server and page tests drive.
TEST_PACKAGES := libgtest-dev neovim chromium emacs-nox elpa-eglot
# What the benchmarks add: Google Benchmark, hyperfine for bench/vs_cp.sh's
# timings, GNU time for its peak memory, python3 for bench/obiettivi.py.
BENCH_PACKAGES := libbenchmark-dev hyperfine time python3
# What the fuzz targets add: clang and its libFuzzer runtime (clang 14 on
# Debian 12, whose runtime package apt may leave out as a recommendation).
FUZZ_PACKAGES := clang libclang-rt-14-dev
# What the Windows build adds: the cross compiler, and wine to run its tests.
WINDOWS_PACKAGES := g++-mingw-w64-x86-64-posix wine64
BUILD_WINDOWS ?= build-windows

.PHONY: all setup setup-test setup-bench setup-fuzz build build-test run test test-san bench fuzz install clean

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

# What the program needs.
setup:
	$(call installa,$(PACKAGES))

setup-test:
	$(call installa,$(PACKAGES) $(TEST_PACKAGES))

setup-bench:
	$(call installa,$(PACKAGES) $(BENCH_PACKAGES))

setup-fuzz:
	$(call installa,$(PACKAGES) $(FUZZ_PACKAGES))

$(BUILD)/CMakeCache.txt: | setup
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=Release

# The program, and the tests when GoogleTest is installed.
build: setup $(BUILD)/CMakeCache.txt
	cmake --build $(BUILD) -j $(JOBS)

# The program and its tests. Configured again, so that a build folder first
# made without GoogleTest (by make run) gains the tests.
build-test: setup-test $(BUILD)/CMakeCache.txt
	cmake -S . -B $(BUILD) >/dev/null
	cmake --build $(BUILD) -j $(JOBS)

# The program alone, not the tests: a newcomer's first run stays quick, and
# installs only what the program needs.
run: setup $(BUILD)/CMakeCache.txt
	cmake --build $(BUILD) -j $(JOBS) --target tracciato
	./$(BUILD)/tracciato

test: build-test
	cd $(BUILD) && ctest --output-on-failure --no-tests=error -j $(JOBS)

# The same tests under AddressSanitizer and UndefinedBehaviorSanitizer.
test-san: setup-test
	cmake -S . -B $(BUILD_SAN) -DCMAKE_BUILD_TYPE=Debug -DTRACCIATO_SANITIZE=ON
	cmake --build $(BUILD_SAN) -j $(JOBS)
	cd $(BUILD_SAN) && ctest --output-on-failure --no-tests=error -j $(JOBS)

# The in-process benchmarks, then whole runs against cp of their outputs, then
# the tools against their goals (the Windows build and the studio when built).
bench: setup-bench
	cmake -S . -B $(BUILD_BENCH) -DCMAKE_BUILD_TYPE=Release -DTRACCIATO_BENCH=ON
	cmake --build $(BUILD_BENCH) -j $(JOBS) --target tracciato_bench tracciato
	./$(BUILD_BENCH)/tracciato_bench
	bench/vs_cp.sh ./$(BUILD_BENCH)/tracciato
	python3 bench/obiettivi.py ./$(BUILD_BENCH)/tracciato --windows $(BUILD_WINDOWS)/tracciato.exe --studio $(BUILD)/studio/wasm

# The fuzz targets (clang's libFuzzer, under ASan and UBSan), each run for
# FUZZ_SECONDS from seeds made of the examples and the built-in files:
# the field reader, the whole compile from text to bytes, the binary decoders.
BUILD_FUZZ ?= build-fuzz
FUZZ_SECONDS ?= 120
# Empty: a fresh random start each run, for exploring. CI gives a fixed seed,
# so that the gate takes the same path on every run; what exploring finds is
# kept as build-fuzz/<target>-crash-... to mend.
FUZZ_SEED ?=
FUZZERS := campi_fuzzer compile_fuzzer decodifica_fuzzer decompila_fuzzer
fuzz: setup-fuzz build
	CXX=clang++ cmake -S . -B $(BUILD_FUZZ) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTRACCIATO_FUZZ=ON
	cmake --build $(BUILD_FUZZ) -j $(JOBS) --target $(FUZZERS)
	fuzz/semi.sh $(BUILD)/tracciato $(BUILD_FUZZ)
	for f in $(FUZZERS); do \
	  ./$(BUILD_FUZZ)/$$f -dict=fuzz/parole.dict -max_len=16384 -timeout=10 -rss_limit_mb=2048 \
	    -max_total_time=$(FUZZ_SECONDS) $(if $(FUZZ_SEED),-seed=$(FUZZ_SEED)) -print_final_stats=1 -artifact_prefix=$(BUILD_FUZZ)/$$f- \
	    $(BUILD_FUZZ)/corpus-$$f || exit 1; \
	done

# Installs the program and its manual page under PREFIX (bin/, share/man/man1/).
PREFIX ?= /usr/local
install: build
	cmake --install $(BUILD) --prefix $(PREFIX)

# The studio: the toolkit as one offline web page (build/studio/tracciato-studio.html),
# from the same C++ built with em++, and its tests in headless Chromium. Its
# own packages: the WebAssembly tool chain (with the JS parser its optimizer
# needs), node and npm; the npm packages are pinned by studio/package-lock.json.
BUILD_STUDIO ?= $(BUILD)/studio
# npm comes with some builds of node; Debian has it as a package of its own.
STUDIO_PACKAGES := emscripten node-acorn nodejs $(if $(shell command -v npm),,npm)
# The optimizer of Debian's emscripten looks for acorn among Debian's node modules.
STUDIO_NODE := NODE_PATH=/usr/share/nodejs
.PHONY: setup-studio studio test-studio
setup-studio: studio/node_modules/.installati
studio/node_modules/.installati: studio/package-lock.json
	$(call installa,$(STUDIO_PACKAGES))
	cd studio && PUPPETEER_SKIP_DOWNLOAD=1 npm ci --no-audit --no-fund
	touch $@

studio: setup-studio
	$(STUDIO_NODE) emcmake cmake -S studio -B $(BUILD_STUDIO)/wasm -DCMAKE_BUILD_TYPE=Release >/dev/null
	$(STUDIO_NODE) cmake --build $(BUILD_STUDIO)/wasm -j $(JOBS)
	node studio/costruisci.mjs $(BUILD_STUDIO)/wasm $(BUILD_STUDIO)/tracciato-studio.html

# The module against the native program, then the page in headless Chromium.
test-studio: studio setup $(BUILD)/CMakeCache.txt
	$(call installa,chromium)
	cmake --build $(BUILD) -j $(JOBS) --target tracciato
	node studio/prova_testo.mjs
	node --no-experimental-fetch studio/prova_modulo.mjs $(BUILD)/tracciato $(BUILD_STUDIO)/wasm
	node studio/prova_pagina.mjs $(BUILD)/tracciato $(BUILD_STUDIO)/tracciato-studio.html

clean:
	rm -rf $(BUILD) $(BUILD_SAN) $(BUILD_BENCH) $(BUILD_FUZZ)

# Windows: one static tracciato.exe, cross-compiled with mingw-w64.
.PHONY: setup-windows windows test-windows dist
setup-windows:
	$(call installa,$(PACKAGES) $(WINDOWS_PACKAGES))

windows: setup-windows
	cmake -S . -B $(BUILD_WINDOWS) -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake -DCMAKE_BUILD_TYPE=Release
	cmake --build $(BUILD_WINDOWS) -j $(JOBS) --target tracciato

# The Windows build under wine, against the Linux build's bytes.
test-windows: windows $(BUILD)/CMakeCache.txt
	cmake --build $(BUILD) -j $(JOBS) --target tracciato
	cmake --build $(BUILD_WINDOWS) -j $(JOBS) --target tracciato_tests_windows
	WINEPREFIX=$(CURDIR)/$(BUILD_WINDOWS)/wine WINEDEBUG=-all wine $(BUILD_WINDOWS)/tracciato_tests_windows.exe
	tests/windows.sh $(BUILD_WINDOWS)/tracciato.exe $(BUILD)/tracciato

# The releases: the program, README, docs and examples, for Linux (with the
# manual page) and for Windows.
VERSION := $(shell grep -m1 -o 'tracciato VERSION [0-9.]*' CMakeLists.txt | cut -d' ' -f3)
DIST ?= dist
dist: windows $(BUILD)/CMakeCache.txt
	cmake --build $(BUILD) -j $(JOBS) --target tracciato
	rm -rf $(DIST) && mkdir -p $(DIST)/tracciato-$(VERSION)-linux-x86_64 $(DIST)/tracciato-$(VERSION)-windows-x86_64
	cp -r $(BUILD)/tracciato README.md docs examples $(DIST)/tracciato-$(VERSION)-linux-x86_64/
	cp -r $(BUILD_WINDOWS)/tracciato.exe README.md docs examples $(DIST)/tracciato-$(VERSION)-windows-x86_64/
	rm $(DIST)/tracciato-$(VERSION)-windows-x86_64/docs/tracciato.1
	strip $(DIST)/tracciato-$(VERSION)-linux-x86_64/tracciato
	x86_64-w64-mingw32-strip $(DIST)/tracciato-$(VERSION)-windows-x86_64/tracciato.exe
	cd $(DIST) && tar czf tracciato-$(VERSION)-linux-x86_64.tar.gz tracciato-$(VERSION)-linux-x86_64
	cd $(DIST) && cmake -E tar cf tracciato-$(VERSION)-windows-x86_64.zip --format=zip tracciato-$(VERSION)-windows-x86_64
	@ls -l $(DIST)/*.tar.gz $(DIST)/*.zip

# The editor grammar, tokenized by a real TextMate engine (vscode-textmate with
# oniguruma, pinned by editors/package-lock.json) on the built-in files and the
# example; run by make test-studio, which has node already.
.PHONY: test-grammatica
editors/node_modules/.installati: editors/package-lock.json
	$(call installa,nodejs $(if $(shell command -v npm),,npm))
	cd editors && npm ci --no-audit --no-fund
	touch $@
test-grammatica: editors/node_modules/.installati setup $(BUILD)/CMakeCache.txt
	cmake --build $(BUILD) -j $(JOBS) --target tracciato
	node editors/prova_grammatica.mjs $(BUILD)/tracciato
test-studio: test-grammatica
