#!/usr/bin/env bash
# The manual pages format without a warning, tarvel(1) describes every switch
# and long option that "tarvel --help" lists, and every link of the HTML
# manual leads somewhere.
#   docs_test.sh SOURCE_DIR TARVEL
set -euo pipefail
source_dir=$1
tarvel=$2
failures=0

for page in "$source_dir"/doc/*.1; do
  warnings=$(groff -man -Tutf8 -ww -z "$page" 2>&1 || true)
  if [ -n "$warnings" ]; then
    echo "$(basename "$page"): $warnings"
    failures=$((failures + 1))
  fi
done

# The page as text, with the roff escapes of "-" undone.
page_text=$(sed 's/\\-/-/g' "$source_dir/doc/tarvel.1")
while read -r option; do
  if ! grep -qF -- "$option" <<<"$page_text"; then
    echo "tarvel.1 does not describe $option"
    failures=$((failures + 1))
  fi
done < <("$tarvel" --help | tr -d '\r' | grep -oE '^ (--[a-z-]+|/[A-Z?]+[+-]?)' | sed 's/^ //' | sort -u)

# Links of the HTML manual: anchors to ids of the page, files beside it.
manual=$source_dir/doc/manual/index.html
while read -r target; do
  case $target in
    http*:*) ;;
    \#*) grep -q "id=\"${target#\#}\"" "$manual" || { echo "index.html: no anchor $target"; failures=$((failures + 1)); } ;;
    *) [ -f "$source_dir/doc/manual/$target" ] || { echo "index.html: no file $target"; failures=$((failures + 1)); } ;;
  esac
done < <(grep -oE '(href|src)="[^"]*"' "$manual" | sed -E 's/^(href|src)="//; s/"$//')

[ "$failures" -eq 0 ] || exit 1
echo "documentation: pages formatted cleanly, every option described, every link leads somewhere"
