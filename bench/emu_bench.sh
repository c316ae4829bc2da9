#!/usr/bin/env bash
# Speed of the emulator's step, plain and under the debugger (breakpoints
# armed, a condition checked after every instruction). Runs a program of 50,040,202 instructions
# (three nested DJNZ loops whose inner body does MOV, ADD, ADDC, SUBB, XRL,
# MOVX in both directions, INC DPTR and MOVC) through
# `zanvek-cli emu --until`, best of three, and the same program through s51
# (Debian package sdcc-ucsim) when it is installed. Prints instructions per
# second by wall clock and by CPU time (the machine may be shared).
#
# Usage: [BUILD=/path/to/build] bench/emu_bench.sh   (default: build/ beside bench/)
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
BUILD=${BUILD:-$here/../build}
cli=$BUILD/cli/zanvek-cli
if [ ! -x "$cli" ]; then
  echo "emu_bench: $cli not found (build zanvek-cli, or set BUILD)" >&2
  exit 2
fi
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

# 0000 90 10 00        MOV   DPTR,#1000H
# 0003 7F 64           MOV   R7,#100
# 0005 7E C8     L1:   MOV   R6,#200
# 0007 7D FA     L2:   MOV   R5,#250
# 0009 ED        L3:   MOV   A,R5
# 000A 2E              ADD   A,R6
# 000B 34 03           ADDC  A,#3
# 000D F0              MOVX  @DPTR,A
# 000E A3              INC   DPTR
# 000F 93              MOVC  A,@A+DPTR
# 0010 62 30           XRL   30H,A
# 0012 9F              SUBB  A,R7
# 0013 E2              MOVX  A,@R0
# 0014 DD F3           DJNZ  R5,L3
# 0016 DE EF           DJNZ  R6,L2
# 0018 DF EB           DJNZ  R7,L1
# 001A 80 FE     DONE: SJMP  DONE
# 2 + 100 * (1 + 200 * (1 + 250 * 10 + 1) + 1) = 50,040,202 instructions to DONE.
printf '\220\020\000\177\144\176\310\175\372\355\056\064\003\360\243\223\142\060\237\342\335\363\336\357\337\353\200\376' \
  > "$tmp/bench.bin"
expected=50040202

# Prints "wall cpu" seconds of a command; its output goes to $tmp/out.
timed() {
  local TIMEFORMAT='%R %U %S'
  { time "$@" > "$tmp/out" 2>&1; } 2> "$tmp/time"
  awk '{ printf "%s %.3f\n", $1, $2 + $3 }' "$tmp/time"
}

rate() { awk -v n="$1" -v s="$2" 'BEGIN { if (s > 0) printf "%.1f", n / s / 1e6; else printf "inf" }'; }

# Best of three runs of zanvek-cli emu with the options given; sets
# z_wall and z_cpu (M instructions per second) and prints them.
measure() {
  local label=$1 best_wall=0 best_cpu=0 run wall cpu steps
  shift
  for run in 1 2 3; do
    read -r wall cpu < <(timed "$cli" emu --until 001AH "$@" "$tmp/bench.bin")
    steps=$(sed -n 's/^Stopped at 001AH after \([0-9]*\) steps.*/\1/p' "$tmp/out")
    if [ "$steps" != "$expected" ]; then
      echo "emu_bench: zanvek-cli $* did not reach 001AH after $expected steps:" >&2
      cat "$tmp/out" >&2
      exit 1
    fi
    if [ "$run" = 1 ] || awk -v a="$wall" -v b="$best_wall" 'BEGIN { exit !(a < b) }'; then best_wall=$wall; fi
    if [ "$run" = 1 ] || awk -v a="$cpu" -v b="$best_cpu" 'BEGIN { exit !(a < b) }'; then best_cpu=$cpu; fi
  done
  z_wall=$(rate $expected "$best_wall")
  z_cpu=$(rate $expected "$best_cpu")
  printf '%-34s %d instructions, best wall %ss, best CPU %ss: %s M instr/s (wall), %s M instr/s (CPU)\n' \
    "$label" $expected "$best_wall" "$best_cpu" "$z_wall" "$z_cpu"
}

# The debugger's runs: ten address breakpoints that are never reached, one
# condition that never becomes true, the cycle count alone.
ten=()
for a in 8000H 8001H 8002H 8003H 8004H 8005H 8006H 8007H 8008H 8009H; do ten+=(--break "$a"); done
measure "emu, 10 address breakpoints:" "${ten[@]}"
measure "emu, 1 conditional breakpoint:" --break-if "RAM[7FH] = 1 AND R7 = 0"
measure "emu, cycles counted:" --cycles
measure "zanvek-cli emu:"

if ! command -v s51 > /dev/null; then
  echo "s51: not installed (apt-get install sdcc-ucsim to compare)"
  exit 0
fi
"$cli" bin2hex "$tmp/bench.bin" "$tmp/bench.hex" > /dev/null
printf 'file "%s"\nbreak 0x1a\nrun\nstate\nquit\n' "$tmp/bench.hex" > "$tmp/s51.cmd"
read -r wall cpu < <(timed s51 -t 51 -b -q -C "$tmp/s51.cmd")
insts=$(sed -n 's/^Inst= *\([0-9]*\).*/\1/p' "$tmp/out")
if [ -z "$insts" ]; then
  echo "s51: no instruction count in its output:" >&2
  cat "$tmp/out" >&2
  exit 1
fi
s_wall=$(rate "$insts" "$wall")
s_cpu=$(rate "$insts" "$cpu")
printf 's51:            %d instructions, wall %ss, CPU %ss: %s M instr/s (wall), %s M instr/s (CPU)\n' \
  "$insts" "$wall" "$cpu" "$s_wall" "$s_cpu"
awk -v a="$z_wall" -v b="$s_wall" -v c="$z_cpu" -v d="$s_cpu" \
  'BEGIN { printf "zanvek / s51:   %.0fx (wall), %.0fx (CPU)\n", a / b, c / d }'
