#!/bin/sh
# Renders the PNG sizes of the icon (checked in beside the drawings): the
# pixel-grid drawing for 16 to 32 pixels, the full one from 48 up.
# Needs rsvg-convert (Debian package librsvg2-bin; `make icons` installs it).
set -eu
cd "$(dirname "$0")"
for size in 16 22 24 32; do
  rsvg-convert -w "$size" -h "$size" zanvek-small.svg -o "zanvek-$size.png"
done
for size in 48 64 128 256; do
  rsvg-convert -w "$size" -h "$size" zanvek.svg -o "zanvek-$size.png"
done
