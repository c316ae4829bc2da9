#!/bin/sh
# install_layout.sh BUILD SOURCE GUI(yes|no): `cmake --install` into a
# DESTDIR lays out exactly the listed files under /usr/local, the programs
# executable, and the desktop entry names an icon and a MIME type that are
# installed with it.
set -eu
build=$1
source=$2
gui=$3

tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
DESTDIR=$tmp/root cmake --install "$build" --prefix /usr/local > "$tmp/log" || { cat "$tmp/log"; exit 1; }

p=usr/local
{
  echo $p/bin/zanvek-cli
  echo $p/bin/tolvane
  echo $p/share/man/man1/zanvek-cli.1
  echo $p/share/man/man1/tolvane.1
  echo $p/share/bash-completion/completions/zanvek-cli
  if [ "$gui" = yes ]; then
    echo $p/bin/zanvek
    echo $p/share/man/man1/zanvek.1
    echo $p/share/applications/zanvek.desktop
    echo $p/share/mime/packages/zanvek.xml
    echo $p/share/icons/hicolor/scalable/apps/zanvek.svg
    for size in 16 22 24 32 48 64 128 256; do
      echo $p/share/icons/hicolor/${size}x$size/apps/zanvek.png
    done
  fi
} > "$tmp/expected"

# The examples are the files of examples/ under version control; outside a
# git checkout they are taken as installed.
if git -C "$source" rev-parse --is-inside-work-tree > /dev/null 2>&1; then
  git -C "$source" ls-files examples | sed "s|^examples/|$p/share/doc/zanvek/examples/|" >> "$tmp/expected"
  [ -n "$(git -C "$source" ls-files examples)" ] || { echo "no example under version control"; exit 1; }
else
  (cd "$tmp/root" && find $p/share/doc/zanvek/examples -type f) >> "$tmp/expected"
fi

(cd "$tmp/root" && find . ! -type d | sed 's|^\./||') | sort > "$tmp/installed"
sort -o "$tmp/expected" "$tmp/expected"
if ! cmp -s "$tmp/expected" "$tmp/installed"; then
  echo "Installed files differ from the list (- missing, + not listed):"
  diff "$tmp/expected" "$tmp/installed" | sed -n 's/^< /- /p; s/^> /+ /p'
  exit 1
fi

for program in zanvek-cli tolvane $( [ "$gui" = yes ] && echo zanvek ); do
  [ -x "$tmp/root/$p/bin/$program" ] || { echo "$program is not executable"; exit 1; }
done

if [ "$gui" = yes ]; then
  entry=$tmp/root/$p/share/applications/zanvek.desktop
  grep -qx 'Exec=zanvek %f' "$entry" || { echo "the desktop entry does not open zanvek with the file"; exit 1; }
  icon=$(sed -n 's/^Icon=//p' "$entry")
  [ -f "$tmp/root/$p/share/icons/hicolor/scalable/apps/$icon.svg" ] || { echo "no icon named $icon"; exit 1; }
  mime=$(sed -n 's/^MimeType=\([^;]*\);$/\1/p' "$entry")
  grep -qF "<mime-type type=\"$mime\">" "$tmp/root/$p/share/mime/packages/zanvek.xml" ||
    { echo "MIME type $mime of the desktop entry is not defined"; exit 1; }
  for glob in '*.a51' '*.asm'; do
    grep -qF "<glob pattern=\"$glob\"/>" "$tmp/root/$p/share/mime/packages/zanvek.xml" ||
      { echo "$glob is not registered"; exit 1; }
  done
fi
echo "$(wc -l < "$tmp/installed") files installed as listed"
