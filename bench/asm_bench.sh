#!/usr/bin/env bash
# Assembler speed: a generated 20,000-line source (every instruction form,
# about 2,000 labels with forward and backward references, equates, bit
# names, data) through `zanvek-cli asm`, both passes, the listing to
# /dev/null. When as31 is installed, the same program in its dialect is
# timed side by side (as31 is a benchmark dependency only).
#
#   BUILD=build bench/asm_bench.sh        RUNS=20 by default; COUNT=1 also
#                                         counts instructions (valgrind)
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD=${BUILD:-build}
RUNS=${RUNS:-20}
CLI="$BUILD/cli/zanvek-cli"
[ -x "$CLI" ] || { echo "asm_bench: $CLI not built (make build)" >&2; exit 2; }

# In memory when possible: the output files are committed with fsync,
# which would time the disk rather than the assembler.
BASE=${TMPDIR:-/tmp}
[ -d /dev/shm ] && [ -w /dev/shm ] && BASE=/dev/shm
WORK=$(mktemp -d "$BASE/asm_bench.XXXXXX")
trap 'rm -rf "$WORK"' EXIT

# One generator, two dialects: "z51" (this assembler) and "as31".
generate() {
  awk -v dialect="$1" -v blocks=1970 -v total=20000 '
  function emit(s) { print s; lines++ }
  function op(s) { emit("\t" s) }
  function equ(name, value) {
    if (dialect == "as31") emit("\t.equ\t" name ", " value); else emit(name "\tEQU\t" value)
  }
  function bit(name, n) {
    if (dialect == "as31") emit("\t.flag\t" name ", 0x20." n); else emit(name "\tBIT\t20H." n)
  }
  function data(i) {
    if (dialect == "as31") { op(".db\t" i%256 "," (i*3)%256 "," (i*7)%256 ",255"); op(".dw\t" i) }
    else { op("DB\t" i%256 "," (i*3)%256 "," (i*7)%256 ",0FFH"); op("DW\t" i) }
  }
  function form(k, i,   r, v, w) {
    r = i % 8; v = "VAR" (i % 50); w = "VAR" ((i * 3) % 50)
    if (k == 0) return "MOV\tA,R" r
    if (k == 1) return "MOV\tR" r ",A"
    if (k == 2) return "MOV\tA,@R1"
    if (k == 3) return "MOV\t@R0,#" i % 256
    if (k == 4) return "MOV\t" v ",#" i % 256
    if (k == 5) return "MOV\t" v "," w
    if (k == 6) return "MOV\tA," v
    if (k == 7) return "ADDC\tA,#" i % 256
    if (k == 8) return "SUBB\tA,R" r
    if (k == 9) return "ORL\tA," v
    if (k == 10) return "ANL\t" v ",#" i % 256
    if (k == 11) return "XRL\t" v ",A"
    if (k == 12) return "INC\tDPTR"
    if (k == 13) return "INC\t" v
    if (k == 14) return "DEC\tR" r
    if (k == 15) return "MUL\tAB"
    if (k == 16) return "DIV\tAB"
    if (k == 17) return "DA\tA"
    if (k == 18) return "SWAP\tA"
    if (k == 19) return "RLC\tA"
    if (k == 20) return "RRC\tA"
    if (k == 21) return "CPL\tA"
    if (k == 22) return "CLR\tC"
    if (k == 23) return "SETB\tFLAG" r
    if (k == 24) return "CPL\tFLAG" r
    if (k == 25) return "MOV\tC,FLAG" r
    if (k == 26) return "MOV\tFLAG" r ",C"
    if (k == 27) return "ANL\tC,/ACC." r
    if (k == 28) return "PUSH\tACC"
    if (k == 29) return "POP\tB"
    if (k == 30) return "XCH\tA,R" r
    if (k == 31) return "XCHD\tA,@R0"
    if (k == 32) return "MOVX\tA,@DPTR"
    if (k == 33) return "MOVX\t@R1,A"
    if (k == 34) return "MOVC\tA,@A+DPTR"
    if (k == 35) return "MOVC\tA,@A+PC"
    if (k == 36) return "JC\tL" i + 1
    if (k == 37) return "JZ\tL" i + 1
    if (k == 38) return "JBC\tFLAG" r ",L" i + 1
    return "ORL\t" v ",#" (i * 5) % 256
  }
  BEGIN {
    emit("; generated: " blocks " blocks of ten lines")
    for (n = 0; n < 50; n++) equ("VAR" n, 48 + n)
    for (n = 0; n < 8; n++) bit("FLAG" n, n)
    op(dialect == "as31" ? ".org\t0" : "ORG\t0")
    for (i = 0; i < blocks; i++) {
      emit("L" i ":\tMOV\tA,#" i % 256)
      op(form(i % 40, i))
      op(form((i * 7 + 3) % 40, i))
      op("CJNE\tA,#" (i * 11) % 256 ",L" i + 1)
      op("DJNZ\tR" i % 8 ",L" i)
      op("JNB\tFLAG" i % 8 ",L" i + 1)
      op("LCALL\tL" (i * 7919) % blocks)
      op("MOV\tDPTR,#L" (i * 104729) % blocks)
      op(form((i * 13 + 5) % 40, i))
      op("AJMP\tL" i + 1)
      if (i % 20 == 19) data(i)
    }
    emit("L" blocks ":\tRET")
    while (lines < total - 1) emit("; padding")
    op(dialect == "as31" ? ".end" : "END")
  }'
}

generate z51 > "$WORK/prog.a51"
echo "source: $(wc -l < "$WORK/prog.a51") lines, $(grep -c '^L[0-9]*:' "$WORK/prog.a51") labels"
# The program must assemble cleanly, or the timing means nothing.
"$CLI" asm "$WORK/prog.a51" > "$WORK/listing.txt" || { tail -5 "$WORK/listing.txt"; exit 1; }
echo "zanvek: $(stat -c %s "$WORK/prog.Bin") code bytes"

have_as31=0
if command -v as31 > /dev/null; then
  generate as31 > "$WORK/prog31.asm"
  if (cd "$WORK" && as31 -l prog31.asm > as31.log 2>&1); then
    have_as31=1
  else
    echo "as31 refused the generated program; timing zanvek only"; tail -3 "$WORK/as31.log"
  fi
fi

# Without hyperfine: mean and best of RUNS runs, in milliseconds.
time_runs() {
  local best=0 sum=0 t0 t1 dt
  for ((k = 0; k < RUNS; k++)); do
    t0=$(date +%s%N); "$@" > /dev/null 2>&1; t1=$(date +%s%N)
    dt=$(( (t1 - t0) / 1000 ))
    sum=$((sum + dt)); if [ $best = 0 ] || [ $dt -lt $best ]; then best=$dt; fi
  done
  awk -v n="$NAME" -v s="$sum" -v b="$best" -v r="$RUNS" \
    'BEGIN { printf "%-8s mean %6.1f ms   best %6.1f ms   (%d runs)\n", n, s / r / 1000, b / 1000, r }'
}

if command -v hyperfine > /dev/null; then
  cmds=("$CLI asm $WORK/prog.a51")
  [ $have_as31 = 1 ] && cmds+=("cd $WORK && as31 -l prog31.asm")
  hyperfine --warmup 2 --runs "$RUNS" --output=null "${cmds[@]}"
else
  NAME=zanvek time_runs "$CLI" asm "$WORK/prog.a51"
  if [ $have_as31 = 1 ]; then
    (cd "$WORK" && NAME=as31 time_runs as31 -l prog31.asm)
  fi
fi

# Wall time is noisy on a shared machine; instruction counts are not.
# COUNT=1 adds them (needs valgrind).
if [ "${COUNT:-0}" = 1 ] && command -v valgrind > /dev/null; then
  count() {
    valgrind --tool=callgrind --callgrind-out-file=/dev/null "$@" 2>&1 > /dev/null |
      awk '/Collected/ { printf "%.1f million instructions\n", $4 / 1e6 }'
  }
  echo "zanvek   $(count "$CLI" asm "$WORK/prog.a51")"
  if [ $have_as31 = 1 ]; then
    echo "as31     $(cd "$WORK" && count as31 -l prog31.asm)"
  fi
fi
