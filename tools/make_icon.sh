#!/usr/bin/env bash
# Rebuilds res/Orphanex32x32.png from tools/make_icon.cpp (needs g++ and
# libpng-dev). Usage: tools/make_icon.sh [OUT.png]
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
out="${1:-$root/res/Orphanex32x32.png}"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
# shellcheck disable=SC2046
g++ -std=c++20 -O2 -Wall -Wextra -Werror -o "$work/make_icon" "$root/tools/make_icon.cpp" \
  $(pkg-config --cflags --libs libpng)
"$work/make_icon" "$out"
echo "make_icon: wrote $out"
