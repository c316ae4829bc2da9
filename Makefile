# Set-up, build and tests on Debian 12. Run as root (or with sudo available)
# on a fresh machine: `make test` or `make run` installs what is missing.

BUILD      ?= build
ASAN_BUILD ?= build-asan
JOBS       ?= $(shell nproc)
EXAMPLE    ?= examples/blink.a51

# Debian packages the build and the tests need.
PACKAGES = cmake make g++ pkg-config libgtest-dev libgmock-dev libbenchmark-dev \
           qt6-base-dev libgl-dev fonts-liberation
# Only for `make fuzz`.
FUZZ_PACKAGES = clang libclang-rt-14-dev

SUDO := $(shell [ "$$(id -u)" = 0 ] || echo sudo)

.PHONY: all deps deps-fuzz build test run sanitize bench fuzz screenshots clean

all: build

# Installs the packages that are not installed yet; apt is not touched when
# everything is there.
deps:
	@missing=""; for p in $(PACKAGES); do \
	  dpkg-query -W -f='$${Status}' $$p 2>/dev/null | grep -q "ok installed" || missing="$$missing $$p"; \
	done; \
	if [ -n "$$missing" ]; then \
	  echo "Installing:$$missing"; \
	  $(SUDO) apt-get update -qq && DEBIAN_FRONTEND=noninteractive $(SUDO) apt-get install -y -qq $$missing; \
	fi

deps-fuzz:
	@missing=""; for p in $(FUZZ_PACKAGES); do \
	  dpkg-query -W -f='$${Status}' $$p 2>/dev/null | grep -q "ok installed" || missing="$$missing $$p"; \
	done; \
	if [ -n "$$missing" ]; then \
	  $(SUDO) apt-get update -qq && DEBIAN_FRONTEND=noninteractive $(SUDO) apt-get install -y -qq $$missing; \
	fi

$(BUILD)/CMakeCache.txt:
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo

build: deps $(BUILD)/CMakeCache.txt
	cmake --build $(BUILD) -j $(JOBS)

test: build
	cd $(BUILD) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS)

# Starts the window on the bundled example; without a display the same
# example goes through zanvek-cli.
run: build
	@if [ -n "$$DISPLAY$$WAYLAND_DISPLAY" ]; then \
	  $(BUILD)/shell/zanvek $(EXAMPLE); \
	else \
	  echo "No display: running the example through zanvek-cli."; \
	  $(BUILD)/cli/zanvek-cli asm $(EXAMPLE); \
	fi

# The whole test suite once more with AddressSanitizer and UBSan.
sanitize: deps
	cmake -S . -B $(ASAN_BUILD) -DCMAKE_BUILD_TYPE=Debug -DZANVEK_SANITIZE=ON -DZANVEK_BENCH=OFF
	cmake --build $(ASAN_BUILD) -j $(JOBS)
	cd $(ASAN_BUILD) && QT_QPA_PLATFORM=offscreen ASAN_OPTIONS=detect_leaks=1 \
	  UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 ctest --output-on-failure -j $(JOBS)

bench: build
	@for b in bench/*.sh; do [ -x "$$b" ] && BUILD=$(BUILD) "$$b"; done; \
	for b in $(BUILD)/bench/bench_*; do [ -x "$$b" ] && "$$b"; done; \
	[ -x $(BUILD)/bench/listing_in_window ] && $(BUILD)/bench/listing_in_window; true

# Renders the main window and the emulator window to docs/*.png (offscreen).
screenshots: build
	BUILD=$(BUILD) EXAMPLE=$(EXAMPLE) docs/screenshots.sh

clean:
	rm -rf $(BUILD) $(ASAN_BUILD)
