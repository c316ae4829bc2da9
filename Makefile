# Set-up, build, tests and packages on Debian 12. Run as root (or with sudo
# available): `make test` or `make run` installs what is missing. On a machine
# without make, `sh setup.sh test` installs make too and then runs `make test`.

BUILD      ?= build
ASAN_BUILD ?= build-asan
JOBS       ?= $(shell nproc)
EXAMPLE    ?= examples/blink.a51
# make install: PREFIX/bin, PREFIX/share/...; DESTDIR is put in front of it.
PREFIX     ?= /usr/local
DESTDIR    ?=

.PHONY: all deps deps-fuzz build test run install uninstall deb icons sanitize bench fuzz screenshots clean

all: build

# The Debian packages the build needs, and those of the other targets, are
# listed in setup.sh; each installs only what is not installed yet.
deps:
	@sh ./setup.sh --deps build

deps-fuzz:
	@sh ./setup.sh --deps fuzz

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

# The programs, manual pages, desktop entry, icons, MIME type, bash
# completion and examples (stripped programs, as in the Debian package).
# A real install (no DESTDIR) also refreshes the MIME and desktop databases
# so that "Open with zanvek" knows .a51 and .asm files at once.
install: build
	DESTDIR="$(DESTDIR)" cmake --install $(BUILD) --prefix "$(PREFIX)" --strip
	@if [ -z "$(DESTDIR)" ]; then \
	  cp $(BUILD)/install_manifest.txt $(BUILD)/installed-files.txt; \
	  $(call refresh-databases,"$(PREFIX)"); \
	fi

# Removes what the last make install (without DESTDIR) put in place; every
# other install, make deb's and the tests' included, rewrites CMake's own
# install_manifest.txt, so make install keeps its list apart.
uninstall:
	@[ -f $(BUILD)/installed-files.txt ] || { echo "Nothing installed from $(BUILD)."; exit 1; }
	xargs -d '\n' rm -f < $(BUILD)/installed-files.txt
	@prefix=$$(sed -n 's|/bin/zanvek-cli$$||p' $(BUILD)/installed-files.txt); \
	rmdir "$$prefix/share/doc/zanvek/examples" "$$prefix/share/doc/zanvek" 2>/dev/null; \
	$(call refresh-databases,"$$prefix"); \
	rm -f $(BUILD)/installed-files.txt

# The MIME and desktop databases under the prefix $(1), brought up to date
# with the files there (where the tools and the folders exist).
refresh-databases = \
  if command -v update-mime-database >/dev/null && [ -d $(1)/share/mime/packages ]; then \
    update-mime-database $(1)/share/mime; fi; \
  if command -v update-desktop-database >/dev/null && [ -d $(1)/share/applications ]; then \
    update-desktop-database -q $(1)/share/applications; fi

# The Debian package (CPack) from the same build, files under /usr:
# $(BUILD)/zanvek_<version>_<arch>.deb, for `apt install ./zanvek_*.deb`.
deb: build
	@sh ./setup.sh --deps deb
	cd $(BUILD) && cpack -G DEB
	@ls $(BUILD)/zanvek_*.deb

# Renders the PNG icons from the SVG drawings again (they are checked in).
icons:
	@sh ./setup.sh --deps icons
	packaging/icons/render.sh

# The whole test suite once more with AddressSanitizer and UBSan.
sanitize: deps
	cmake -S . -B $(ASAN_BUILD) -DCMAKE_BUILD_TYPE=Debug -DZANVEK_SANITIZE=ON -DZANVEK_BENCH=OFF
	cmake --build $(ASAN_BUILD) -j $(JOBS)
	cd $(ASAN_BUILD) && QT_QPA_PLATFORM=offscreen ASAN_OPTIONS=detect_leaks=1 \
	  UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 ctest --output-on-failure -j $(JOBS)

# The libFuzzer targets (clang, AddressSanitizer and UBSan), each run for
# FUZZ_SECONDS on a scratch corpus in $(FUZZ_BUILD)/fuzz-run: the seeds of
# tests/fuzz/corpus and tests/fuzz/regressions are read, never written.
# Ends with each target's executions per second and total executions and
# fails when a target found a fault (its input and log stay in fuzz-run).
FUZZ_BUILD   ?= build-fuzz
FUZZ_SECONDS ?= 60
FUZZ_RSS_MB  ?= 2048
FUZZ_TIMEOUT ?= 10
# A fixed seed makes a short run repeat the same inputs (CI uses 1).
# Without one, inputs that run faster are chosen more often (libFuzzer's
# -entropic_scale_per_exec_time, which gives up repeatability).
FUZZ_SEED    ?=
# A small quarantine that is never handed back to the system: freed memory
# is reused while it is still mapped, instead of every run paying page
# faults for fresh memory (most of a small input's time otherwise); no
# fill of new blocks. Use-after-free within a run is still caught.
FUZZ_ASAN_OPTIONS ?= detect_leaks=1:quarantine_size_mb=16:allocator_release_to_os_interval_ms=-1:max_malloc_fill_size=0
# Inputs of the whole-file targets are kept small (larger seeds are read
# up to this length; the disassembler's to 128 bytes, each of which is an
# instruction line of two listings): a run costs about as much per source
# line or record as the rest of it, and the targets stretch short inputs
# where a limit needs more.
FUZZ_MAX_LEN ?= 1024
FUZZ_TARGETS  = razborstr evaluator assemble hexread disasm emulator phonebook compare condition

fuzz: deps deps-fuzz
	CC=clang CXX=clang++ cmake -S . -B $(FUZZ_BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	  -DZANVEK_FUZZ=ON -DZANVEK_GUI=OFF -DZANVEK_SANITIZE=ON -DZANVEK_BENCH=OFF
	cmake --build $(FUZZ_BUILD) -j $(JOBS) --target $(addprefix fuzz_,$(FUZZ_TARGETS))
	@work=$$(cd $(FUZZ_BUILD) && pwd)/fuzz-run; rm -rf $$work; mkdir -p $$work; \
	if [ -d /dev/shm ] && [ -w /dev/shm ]; then scratch=$$(mktemp -d /dev/shm/zanvek-fuzz.XXXXXX); \
	else scratch=$$work/tmp; mkdir -p $$scratch; fi; \
	failed=""; summary=""; \
	for t in $(FUZZ_TARGETS); do \
	  mkdir -p $$work/$$t/corpus $$work/$$t/artifacts; \
	  seeds=tests/fuzz/corpus/$$t; \
	  [ -d tests/fuzz/regressions/$$t ] && seeds="$$seeds tests/fuzz/regressions/$$t"; \
	  case $$t in evaluator|emulator) maxlen=4096;; disasm) maxlen=128;; *) maxlen=$(FUZZ_MAX_LEN);; esac; \
	  echo "fuzz_$$t: $(FUZZ_SECONDS) s, inputs up to $$maxlen bytes"; \
	  TMPDIR=$$scratch ASAN_OPTIONS=$(FUZZ_ASAN_OPTIONS) UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
	    $(FUZZ_BUILD)/tests/fuzz/fuzz_$$t -max_total_time=$(FUZZ_SECONDS) -rss_limit_mb=$(FUZZ_RSS_MB) \
	    -timeout=$(FUZZ_TIMEOUT) -max_len=$$maxlen $(if $(FUZZ_SEED),-seed=$(FUZZ_SEED),-entropic_scale_per_exec_time=1) -print_final_stats=1 -artifact_prefix=$$work/$$t/artifacts/ \
	    $$work/$$t/corpus $$seeds > $$work/$$t/log.txt 2>&1; \
	  rc=$$?; result=clean; \
	  if [ $$rc -ne 0 ]; then result=FAULT; failed="$$failed $$t"; \
	    grep -E -A12 "ERROR|runtime error|invariant broken" $$work/$$t/log.txt | head -40; \
	    ls $$work/$$t/artifacts; fi; \
	  runs=$$(sed -n 's/^stat::number_of_executed_units: *//p' $$work/$$t/log.txt); \
	  rate=$$(sed -n 's/^stat::average_exec_per_sec: *//p' $$work/$$t/log.txt); \
	  summary="$$summary$$(printf '%-10s %10s %14s  %s' $$t "$${rate:--}" "$${runs:--}" $$result)\n"; \
	done; \
	rm -rf $$scratch; \
	printf '\n%-10s %10s %14s\n' target exec/s executions; printf "$$summary"; \
	if [ -n "$$failed" ]; then echo "Faults found by:$$failed (inputs and logs in $$work)"; exit 1; fi

bench: build
	@for b in bench/*.sh; do [ -x "$$b" ] && BUILD=$(BUILD) "$$b"; done; \
	[ -x $(BUILD)/bench/listing_in_window ] && $(BUILD)/bench/listing_in_window; \
	[ -x $(BUILD)/bench/debug_run_in_window ] && $(BUILD)/bench/debug_run_in_window; true

# Renders the main window and the emulator window to docs/*.png (offscreen).
screenshots: build
	BUILD=$(BUILD) EXAMPLE=$(EXAMPLE) docs/screenshots.sh

clean:
	rm -rf $(BUILD) $(ASAN_BUILD)
