#!/usr/bin/env bash
# Speed of the emulator's step: in both models, under the debugger
# (breakpoints armed, a condition checked after every instruction), and
# against s51 (Debian package sdcc-ucsim) when it is installed.
#
# loop:   50,040,202 instructions (three nested DJNZ loops whose inner body
#         does MOV, ADD, ADDC, SUBB, XRL, MOVX in both directions, INC DPTR
#         and MOVC), run to its end through `zanvek-cli emu --until`: in the
#         simple model, plain and under the debugger, and in the 8051 model.
# timers: the same loop in the 8051 model with timers 0 and 1 running (both
#         in mode 2, timer 1 as a baud rate generator) and a timer 0
#         interrupt every 256 machine cycles (INC 31H; RETI), about
#         50.6 million instructions; and the same program in s51.
# Best of three by wall clock and by CPU time (the machine may be shared).
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
  > "$tmp/loop.bin"

# 0000 02 00 0E          LJMP  START
# 000B 05 31             INC   31H        ; timer 0 interrupt
# 000D 32                RETI
# 000E 75 89 22   START: MOV   TMOD,#22H
# 0011 75 8C 00          MOV   TH0,#0
# 0014 75 8D FD          MOV   TH1,#0FDH
# 0017 D2 8C             SETB  TR0
# 0019 D2 8E             SETB  TR1
# 001B D2 A9             SETB  ET0
# 001D D2 AF             SETB  EA
# 001F ..                the loop above, from MOV DPTR,#1000H; DONE at 0039H
printf '\002\000\016\377\377\377\377\377\377\377\377\005\061\062\165\211\042\165\214\000\165\215\375\322\214\322\216\322\251\322\257\220\020\000\177\144\176\310\175\372\355\056\064\003\360\243\223\142\060\237\342\335\363\336\357\337\353\200\376' \
  > "$tmp/timers.bin"

# Prints "wall cpu" seconds of a command; its output goes to $tmp/out.
timed() {
  local TIMEFORMAT='%R %U %S'
  { time "$@" > "$tmp/out" 2>&1; } 2> "$tmp/time"
  awk '{ printf "%s %.3f\n", $1, $2 + $3 }' "$tmp/time"
}

rate() { awk -v n="$1" -v s="$2" 'BEGIN { if (s > 0) printf "%.1f", n / s / 1e6; else printf "inf" }'; }
less() { awk -v a="$1" -v b="$2" 'BEGIN { exit !(a < b) }'; }

# row NAME STOP ARGS...: best of three runs of zanvek-cli emu that must stop at STOP.
row() {
  local name=$1 stop=$2
  shift 2
  local best_wall=0 best_cpu=0 steps="" run wall cpu
  for run in 1 2 3; do
    read -r wall cpu < <(timed "$cli" emu "$@")
    steps=$(sed -n "s/^Stopped at $stop after \\([0-9]*\\) steps.*/\\1/p" "$tmp/out")
    if [ -z "$steps" ]; then
      echo "emu_bench: zanvek-cli did not stop at $stop:" >&2
      cat "$tmp/out" >&2
      exit 1
    fi
    if [ "$run" = 1 ] || less "$wall" "$best_wall"; then best_wall=$wall; fi
    if [ "$run" = 1 ] || less "$cpu" "$best_cpu"; then best_cpu=$cpu; fi
  done
  last_wall=$(rate "$steps" "$best_wall")
  last_cpu=$(rate "$steps" "$best_cpu")
  printf '%-34s %9d instr  wall %6ss  CPU %6ss  %7s M instr/s (wall)  %7s M instr/s (CPU)\n' \
    "$name" "$steps" "$best_wall" "$best_cpu" "$last_wall" "$last_cpu"
}

row "zanvek simple model, loop" 001AH --until 001AH "$tmp/loop.bin"
# The debugger's runs: ten address breakpoints that are never reached, one
# condition that never becomes true, the cycle count alone.
ten=()
for a in 8000H 8001H 8002H 8003H 8004H 8005H 8006H 8007H 8008H 8009H; do ten+=(--break "$a"); done
row "  with 10 address breakpoints" 001AH --until 001AH "${ten[@]}" "$tmp/loop.bin"
row "  with 1 conditional breakpoint" 001AH --until 001AH --break-if "RAM[7FH] = 1 AND R7 = 0" "$tmp/loop.bin"
row "  with the cycles counted" 001AH --until 001AH --cycles "$tmp/loop.bin"
row "zanvek 8051 model, loop" 001AH --model 8051 --until 001AH "$tmp/loop.bin"
row "zanvek 8051 model, timers + irq" 0039H --model 8051 --until 0039H "$tmp/timers.bin"
z_wall=$last_wall z_cpu=$last_cpu

if ! command -v s51 > /dev/null; then
  echo "s51: not installed (apt-get install sdcc-ucsim to compare)"
  exit 0
fi
"$cli" bin2hex "$tmp/timers.bin" "$tmp/timers.hex" > /dev/null
printf 'file "%s"\nbreak 0x39\nrun\nstate\nquit\n' "$tmp/timers.hex" > "$tmp/s51.cmd"
read -r wall cpu < <(timed s51 -t 51 -b -q -C "$tmp/s51.cmd")
insts=$(sed -n 's/^Inst= *\([0-9]*\).*/\1/p' "$tmp/out")
if [ -z "$insts" ]; then
  echo "s51: no instruction count in its output:" >&2
  cat "$tmp/out" >&2
  exit 1
fi
s_wall=$(rate "$insts" "$wall")
s_cpu=$(rate "$insts" "$cpu")
printf '%-34s %9d instr  wall %6ss  CPU %6ss  %7s M instr/s (wall)  %7s M instr/s (CPU)\n' \
  "s51, timers + irq (one run)" "$insts" "$wall" "$cpu" "$s_wall" "$s_cpu"
awk -v a="$z_wall" -v b="$s_wall" -v c="$z_cpu" -v d="$s_cpu" \
  'BEGIN { printf "zanvek 8051 / s51, timers + irq: %.0fx (wall), %.0fx (CPU)\n", a / b, c / d }'
