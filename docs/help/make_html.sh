#!/usr/bin/env bash
# Makes the HTML pages of the help (docs/help/html) from velmora.but, so that
# the README can link them. With --check, only says whether the committed
# pages are those the source gives (a test runs it that way).
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

(cd "$work" && halibut --html "$here"/*.but)

if [ "${1:-}" = --check ]; then
  if ! diff -r "$here/html" "$work" >"$work.diff" 2>&1; then
    cat "$work.diff"
    rm -f "$work.diff"
    echo "docs/help/html is not what docs/help/*.but gives: run docs/help/make_html.sh" >&2
    exit 1
  fi
  rm -f "$work.diff"
  echo "docs/help/html is current"
  exit 0
fi

rm -rf "$here/html"
mkdir -p "$here/html"
cp "$work"/*.html "$here/html/"
echo "wrote $(ls "$here/html" | wc -l) pages to $here/html"
