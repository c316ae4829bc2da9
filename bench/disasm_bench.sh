#!/usr/bin/env bash
# Speed of the disassemblers and the Intel HEX conversion on 64 KiB binaries,
# through zanvek-cli, side by side with d52 (Debian package d52) and
# srec_cat (package srecord) when they are installed. Two binaries: 65,536
# random bytes, and the assembled example program repeated to 64 KiB.
# Each command runs nine times for the best wall-clock time and nine times
# more for the mean CPU time.
# Listings go to /dev/null; the files are written to a temporary folder
# (BENCH_DIR, default the system's). zanvek-cli flushes every file it
# writes to the disk before renaming it into place; the other tools do not,
# which shows in the wall-clock column on a real disk.
#
# Usage: [BUILD=/path/to/build] [EXAMPLE=prog.a51] [COUNT=1] bench/disasm_bench.sh
#        (default build: build/ beside bench/; default example: the largest
#        examples/*.a51; COUNT=1 also counts the instructions of the plain
#        disassembly and of d52 with valgrind)
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
BUILD=${BUILD:-$here/../build}
cli=$BUILD/cli/zanvek-cli
if [ -x "$cli" ]; then
  cli=$(cd "$(dirname "$cli")" && pwd)/zanvek-cli  # the timing runs in a temporary folder
else
  echo "disasm_bench: $cli not found (build zanvek-cli, or set BUILD)" >&2
  exit 2
fi
tmp=$(mktemp -d "${BENCH_DIR:-${TMPDIR:-/tmp}}/disasm_bench.XXXXXX")
trap 'rm -rf "$tmp"' EXIT
cd "$tmp"

# Random bytes from a fixed seed, so that runs compare.
LC_ALL=C awk 'BEGIN { srand(8051); for (i = 0; i < 65536; i++) printf "%c", int(rand() * 256) }' > random.bin
if [ "$(stat -c %s random.bin)" != 65536 ]; then
  head -c 65536 /dev/urandom > random.bin
fi

# The example program, assembled by zanvek-cli and repeated to 64 KiB.
example=${EXAMPLE:-$(ls -S "$here"/../examples/*.a51 2>/dev/null | head -n 1 || true)}
inputs="random"
if [ -n "$example" ] && [ -f "$example" ]; then
  # Beside the files it may include.
  mkdir -p src
  cp "$(dirname "$example")"/* src/ 2> /dev/null || true
  cp "$example" src/example.a51
  if "$cli" asm src/example.a51 > /dev/null 2>&1 && [ -s src/example.Bin ]; then
    : > example.bin
    while [ "$(stat -c %s example.bin)" -lt 65536 ]; do cat src/example.Bin >> example.bin; done
    head -c 65536 example.bin > example.tmp && mv example.tmp example.bin
    inputs="random example"
  else
    echo "disasm_bench: $example did not assemble; only the random binary is measured" >&2
  fi
fi

# "wall cpu" in milliseconds: the best wall-clock time of nine runs, and
# the CPU time (user + system) of nine more runs together, divided by nine,
# so that the clock tick does not round each run.
best() {
  local TIMEFORMAT='%R %U %S' bw="" w c
  for _ in 1 2 3 4 5 6 7 8 9; do
    { time "$@" > /dev/null 2>&1; } 2> time.txt
    read -r w < <(awk '{ printf "%.1f\n", $1 * 1000 }' time.txt)
    if [ -z "$bw" ] || awk -v a="$w" -v b="$bw" 'BEGIN { exit !(a < b) }'; then bw=$w; fi
  done
  { time (for _ in 1 2 3 4 5 6 7 8 9; do "$@" > /dev/null 2>&1; done); } 2> time.txt
  read -r c < <(awk '{ printf "%.2f\n", ($2 + $3) * 1000 / 9 }' time.txt)
  echo "$bw $c"
}

row() {  # label, then the command
  local label=$1
  shift
  read -r w c < <(best "$@")
  printf '  %-44s %9s ms %9s ms\n' "$label" "$w" "$c"
}

have() { command -v "$1" > /dev/null 2>&1; }

echo "64 KiB binaries in $tmp; wall clock best of 9, CPU (user+sys) mean of 9"
for name in $inputs; do
  echo "$name.bin:"
  row "zanvek-cli disasm" "$cli" disasm "$name.bin"
  row "zanvek-cli disasm --labels" "$cli" disasm --labels "$name.bin"
  if have d52; then
    row "d52 -b" d52 -b "$name"
  else
    echo "  d52 not installed (apt-get install d52)"
  fi
  if [ "${COUNT:-0}" = 1 ] && have valgrind; then
    count() {
      valgrind --tool=callgrind --callgrind-out-file=/dev/null "$@" 2>&1 > /dev/null |
        awk '/Collected/ { printf "%.1f million instructions", $4 / 1e6 }'
    }
    echo "  zanvek-cli disasm: $(count "$cli" disasm "$name.bin")"
    have d52 && echo "  d52 -b:            $(count d52 -b "$name")"
  fi
  row "zanvek-cli bin2hex" "$cli" bin2hex "$name.bin" "$name.hex"
  row "zanvek-cli hex2bin" "$cli" hex2bin "$name.hex" "$name.back.bin"
  if have srec_cat; then
    row "srec_cat binary -> intel" srec_cat "$name.bin" -binary -o "$name.srec.hex" -intel -obs=16
    row "srec_cat intel -> binary" srec_cat "$name.hex" -intel -o "$name.srec.bin" -binary
  else
    echo "  srec_cat not installed (apt-get install srecord)"
  fi
  # The conversions must give the bytes back (FFH bytes at the very end are
  # not records, so the random file's tail is compared as far as it came back).
  size=$(stat -c %s "$name.back.bin")
  if ! cmp -s -n "$size" "$name.bin" "$name.back.bin"; then
    echo "disasm_bench: $name.bin did not come back from HEX" >&2
    exit 1
  fi
done
