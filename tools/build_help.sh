#!/usr/bin/env bash
# Builds the help file res/Orphanex.pdf from res/help/Orphanex.ms with groff
# (Debian package `groff`). The output is reproducible: the PDF's dates come
# from SOURCE_DATE_EPOCH, fixed below, and only the standard PDF fonts are
# used, which gropdf does not embed. Two builds give the same bytes.
#
#   tools/build_help.sh [OUT.pdf]
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
source="$root/res/help/Orphanex.ms"
out="${1:-$root/res/Orphanex.pdf}"

# groff-base alone has no PDF device.
if ! command -v groff >/dev/null || ! groff -Tpdf </dev/null >/dev/null 2>&1; then
  echo "build_help: groff with its PDF device is needed (apt-get install groff)" >&2
  exit 3
fi

# 2025-01-01 00:00:00 UTC: the release date of 1.0.0 as written into the PDF.
export SOURCE_DATE_EPOCH=1735689600
export TZ=UTC LC_ALL=C
tmp="$(mktemp "${out}.XXXXXX")"
trap 'rm -f "$tmp"' EXIT
# The paper size is pinned, not taken from the machine (/etc/papersize).
groff -ms -t -Tpdf -wall -dpaper=a4 -P-pa4 "$source" >"$tmp"
chmod 644 "$tmp"
mv "$tmp" "$out"
trap - EXIT
