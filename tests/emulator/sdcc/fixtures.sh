#!/bin/sh
# How the fixtures here were made (the tests only read the results):
# each program compiled by sdcc and made a binary from 0000H by makebin,
# and the same C compiled for the host, whose output is what the emulated
# serial port must send.
set -e
cd "$(dirname "$0")"
for p in mix ticks upper; do
  iram=""
  [ "$p" = upper ] && iram="--iram-size 256"
  sdcc -mmcs51 $iram -o /tmp/$p.ihx $p.c
  makebin -p /tmp/$p.ihx $p.bin
  cc -O1 -o /tmp/$p.host $p.c
  /tmp/$p.host > $p.txt
done
