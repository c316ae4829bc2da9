#!/usr/bin/env bash
# Assembler speed, through `zanvek-cli asm` (both passes, .Bin, .Hex, the
# listing to /dev/null), on two generated programs:
#   forms   20,000 lines: every instruction form, about 2,000 labels with
#           forward and backward references, equates, bit names, data;
#   random  20,000 random instructions with 20 labels, numeric operands
#           and branch targets (the kind of program as31 also accepts).
# When as31 is installed, the same programs in its dialect are timed side
# by side (as31 is a benchmark dependency only); for the random program
# both must give the same bytes. Wall clock (mean and best) and CPU time
# (user + system, mean of RUNS runs).
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

# One generator per program, two dialects: "z51" (this assembler) and "as31".
generate_forms() {
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

# 20,000 random instructions; both dialects come from one run of the
# generator (one random sequence), written to the files $1 (z51) and $2
# (as31). Relative and AJMP/ACALL targets are numbers within reach of the
# address the generator keeps; LCALL and LJMP go to the 20 labels.
generate_random() {
  awk -v seed=51 -v n=20000 -v zf="$1" -v af="$2" '
  function hex(v, d) { return sprintf("%0" d "X", v) }
  function z8(v) { return "0" hex(v, 2) "H" }
  function z16(v) { return "0" hex(v, 4) "H" }
  function a8(v) { return sprintf("0x%02x", v) }
  function a16(v) { return sprintf("0x%04x", v) }
  function r(n) { return int(rand() * n) }
  function put(z, a, len) { print "\t" z > zf; print "\t" a > af; addr += len }
  function rel(len,   t) { t = addr + len + r(200) - 100; if (t < 0) t = 0; return t }
  function page(   t) { return int((addr + 2) / 2048) * 2048 + r(2048) }
  BEGIN {
    srand(seed); addr = 0; labels = 0
    print "\tORG\t0" > zf; print "\t.org\t0" > af
    for (i = 0; i < n; i++) {
      if (i % 1000 == 0) { print "L" labels ":" > zf; print "L" labels ":" > af; labels++ }
      k = r(40); n8 = r(256); d = 32 + r(96); e = 32 + r(96); b = r(128); rn = "R" r(8); ri = "@R" r(2)
      if (k == 0) put("MOV\tA," rn, "mov\ta," rn, 1)
      else if (k == 1) put("MOV\t" rn ",A", "mov\t" rn ",a", 1)
      else if (k == 2) put("ADD\tA," ri, "add\ta," ri, 1)
      else if (k == 3) put("ADDC\tA," rn, "addc\ta," rn, 1)
      else if (k == 4) put("SUBB\tA,#" z8(n8), "subb\ta,#" a8(n8), 2)
      else if (k == 5) put("ORL\tA," z8(d), "orl\ta," a8(d), 2)
      else if (k == 6) put("ANL\t" z8(d) ",#" z8(n8), "anl\t" a8(d) ",#" a8(n8), 3)
      else if (k == 7) put("XRL\t" z8(d) ",A", "xrl\t" a8(d) ",a", 2)
      else if (k == 8) put("MOV\t" z8(d) "," z8(e), "mov\t" a8(d) "," a8(e), 3)
      else if (k == 9) put("MOV\t" z8(d) ",#" z8(n8), "mov\t" a8(d) ",#" a8(n8), 3)
      else if (k == 10) put("MOV\t" rn "," z8(d), "mov\t" rn "," a8(d), 2)
      else if (k == 11) put("MOV\t" ri ",#" z8(n8), "mov\t" ri ",#" a8(n8), 2)
      else if (k == 12) put("INC\t" z8(d), "inc\t" a8(d), 2)
      else if (k == 13) put("DEC\t" rn, "dec\t" rn, 1)
      else if (k == 14) put("SETB\t" z8(b), "setb\t" a8(b), 2)
      else if (k == 15) put("CLR\t" z8(b), "clr\t" a8(b), 2)
      else if (k == 16) put("CPL\tC", "cpl\tc", 1)
      else if (k == 17) put("MOV\tC," z8(b), "mov\tc," a8(b), 2)
      else if (k == 18) put("MOV\t" z8(b) ",C", "mov\t" a8(b) ",c", 2)
      else if (k == 19) put("ANL\tC,/" z8(b), "anl\tc,/" a8(b), 2)
      else if (k == 20) put("PUSH\t" z8(d), "push\t" a8(d), 2)
      else if (k == 21) put("POP\t" z8(d), "pop\t" a8(d), 2)
      else if (k == 22) put("XCH\tA," z8(d), "xch\ta," a8(d), 2)
      else if (k == 23) put("SWAP\tA", "swap\ta", 1)
      else if (k == 24) put("MUL\tAB", "mul\tab", 1)
      else if (k == 25) put("MOVX\tA,@DPTR", "movx\ta,@dptr", 1)
      else if (k == 26) put("MOVC\tA,@A+DPTR", "movc\ta,@a+dptr", 1)
      else if (k == 27) { t = r(65536); put("MOV\tDPTR,#" z16(t), "mov\tdptr,#" a16(t), 3) }
      else if (k == 28) { t = rel(2); put("SJMP\t" z16(t), "sjmp\t" a16(t), 2) }
      else if (k == 29) { t = rel(2); put("JNZ\t" z16(t), "jnz\t" a16(t), 2) }
      else if (k == 30) { t = rel(2); put("DJNZ\t" rn "," z16(t), "djnz\t" rn "," a16(t), 2) }
      else if (k == 31) { t = rel(3); put("CJNE\tA,#" z8(n8) "," z16(t), "cjne\ta,#" a8(n8) "," a16(t), 3) }
      else if (k == 32) { t = rel(3); put("CJNE\t" rn ",#" z8(n8) "," z16(t), "cjne\t" rn ",#" a8(n8) "," a16(t), 3) }
      else if (k == 33) { t = rel(3); put("JB\t" z8(b) "," z16(t), "jb\t" a8(b) "," a16(t), 3) }
      else if (k == 34) { t = rel(3); put("DJNZ\t" z8(d) "," z16(t), "djnz\t" a8(d) "," a16(t), 3) }
      else if (k == 35) { t = page(); put("AJMP\t" z16(t), "ajmp\t" a16(t), 2) }
      else if (k == 36) { t = page(); put("ACALL\t" z16(t), "acall\t" a16(t), 2) }
      else if (k == 37) { l = "L" r(20); put("LCALL\t" l, "lcall\t" l, 3) }
      else if (k == 38) { l = "L" r(20); put("LJMP\t" l, "ljmp\t" l, 3) }
      else put("MOV\tA,#" z8(n8), "mov\ta,#" a8(n8), 2)
    }
    print "\tEND" > zf; print "\t.end" > af
  }'
}

generate_forms z51 > "$WORK/forms.a51"
have_as31=0
command -v as31 > /dev/null && have_as31=1
[ $have_as31 = 1 ] && generate_forms as31 > "$WORK/forms31.asm"
generate_random "$WORK/random.a51" "$WORK/random31.asm"

# Each program must assemble cleanly, or the timing means nothing.
for prog in forms random; do
  "$CLI" asm "$WORK/$prog.a51" > "$WORK/$prog.lst" || { tail -5 "$WORK/$prog.lst"; exit 1; }
  echo "$prog: $(wc -l < "$WORK/$prog.a51") lines, $(grep -c '^L[0-9]*:' "$WORK/$prog.a51") labels," \
    "$(stat -c %s "$WORK/$prog.Bin") code bytes"
  if [ $have_as31 = 1 ] && ! (cd "$WORK" && as31 -l "${prog}31.asm" > as31.log 2>&1); then
    echo "as31 refused the $prog program; timing zanvek only"; tail -3 "$WORK/as31.log"; have_as31=0
  fi
done
if [ $have_as31 = 1 ]; then
  (cd "$WORK" && as31 -Fbin random31.asm > /dev/null 2>&1)
  cmp -s "$WORK/random.Bin" "$WORK/random31.bin" || { echo "asm_bench: as31 and zanvek differ on the random program" >&2; exit 1; }
fi

# Wall clock: mean and best of RUNS runs; CPU (user + system of the runs
# together, so that the clock tick does not round each run): mean.
time_runs() {
  local best=0 sum=0 t0 t1 dt cpu TIMEFORMAT='%U %S'
  for ((k = 0; k < RUNS; k++)); do
    t0=$(date +%s%N); "$@" > /dev/null 2>&1; t1=$(date +%s%N)
    dt=$(( (t1 - t0) / 1000 ))
    sum=$((sum + dt)); if [ $best = 0 ] || [ $dt -lt $best ]; then best=$dt; fi
  done
  cpu=$({ time (for ((k = 0; k < RUNS; k++)); do "$@" > /dev/null 2>&1; done); } 2>&1 | tail -1)
  awk -v n="$NAME" -v s="$sum" -v b="$best" -v r="$RUNS" -v c="$cpu" 'BEGIN {
    split(c, t, " ")
    printf "%-16s wall mean %6.1f ms  best %6.1f ms   CPU mean %6.1f ms   (%d runs)\n",
           n, s / r / 1000, b / 1000, (t[1] + t[2]) * 1000 / r, r }'
}

# Wall time is noisy on a shared machine; instruction counts are not.
# COUNT=1 adds them (needs valgrind).
count() {
  valgrind --tool=callgrind --callgrind-out-file=/dev/null "$@" 2>&1 > /dev/null |
    awk '/Collected/ { printf "%.1f million instructions\n", $4 / 1e6 }'
}

for prog in forms random; do
  NAME="zanvek $prog" time_runs "$CLI" asm "$WORK/$prog.a51"
  [ $have_as31 = 1 ] && (cd "$WORK" && NAME="as31 $prog" time_runs as31 -l "${prog}31.asm")
  if [ "${COUNT:-0}" = 1 ] && command -v valgrind > /dev/null; then
    echo "  zanvek $prog: $(count "$CLI" asm "$WORK/$prog.a51")"
    [ $have_as31 = 1 ] && echo "  as31 $prog:   $(cd "$WORK" && count as31 -l "${prog}31.asm")"
  fi
done
exit 0
