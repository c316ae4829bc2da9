#!/bin/sh
# man_options.sh PAGE PROGRAM: the manual page names exactly the --options
# that the program's --help shows. For a program with commands (a
# "Commands:" section), the help of every command that answers
# `PROGRAM COMMAND --help` counts too.
set -eu
page=$1
program=$2

help=$("$program" --help 2>&1) || true
commands=$(printf '%s\n' "$help" | sed -n '/^Commands:/,/^$/s/^  \([a-z0-9][a-z0-9]*\).*/\1/p')
for command in $commands; do
  if more=$("$program" "$command" --help 2>/dev/null); then
    help="$help
$more"
  fi
done

options() { grep -o -- '--[a-z0-9][a-z0-9-]*' | sort -u; }
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
printf '%s\n' "$help" | options > "$tmp/help"
# roff: \- is a hyphen; font changes (\fB, \f(CW, \f[B]) split no word.
sed -e 's/\\-/-/g' -e 's/\\f([A-Z][A-Z]//g' -e 's/\\f\[[A-Z]*\]//g' -e 's/\\f[A-Z1-4]//g' "$page" |
  options > "$tmp/page"

status=0
only_help=$(comm -23 "$tmp/help" "$tmp/page")
only_page=$(comm -13 "$tmp/help" "$tmp/page")
if [ -n "$only_help" ]; then
  echo "In --help but not in $(basename "$page"):" $only_help
  status=1
fi
if [ -n "$only_page" ]; then
  echo "In $(basename "$page") but not in --help:" $only_page
  status=1
fi
[ $status = 1 ] || echo "$(basename "$page"): $(wc -l < "$tmp/help") options, as in --help"
exit $status
