#!/usr/bin/env bash
# Checks built modules: each exports exactly c4d_main, g_maxon and
# g_CpuYieldDelegate, and needs nothing but the C/C++ runtime.
#   ELF (.so):      nm -D --defined-only; NEEDED entries (readelf -d)
#   PE (.xdl64):    objdump -p export table and DLL names; only KERNEL32,
#                   msvcrt and api-ms-win-* (libstdc++ and libgcc are static)
#   Mach-O (.xlib): nm -gU; otool -L (libc++ and libSystem only)
# Usage: tools/check_exports.sh MODULE...   Exit status 1 when any check fails.
# ORPHANEX_ALLOW_SANITIZERS=1 also accepts the sanitizer runtimes (for
# sanitizer builds, which are never shipped).
set -uo pipefail
export LC_ALL=C

expected="c4d_main g_CpuYieldDelegate g_maxon"

elf_runtime='^(libc\.so\.[0-9]+|libm\.so\.[0-9]+|libstdc\+\+\.so\.[0-9]+|libgcc_s\.so\.[0-9]+|libdl\.so\.[0-9]+|libpthread\.so\.[0-9]+|librt\.so\.[0-9]+|ld-linux[-a-z0-9_.]*\.so\.[0-9]+)$'
if [[ "${ORPHANEX_ALLOW_SANITIZERS:-0}" == 1 ]]; then
  elf_runtime="${elf_runtime%)\$}|lib[alt]san\.so\.[0-9]+|libubsan\.so\.[0-9]+)\$"
fi
pe_runtime='^(kernel32\.dll|msvcrt\.dll|api-ms-win-[a-z0-9-]+\.dll)$'
macho_runtime='^(/usr/lib/libc\+\+\.1\.dylib|/usr/lib/libSystem\.B\.dylib)$'

pe_objdump() {
  if command -v x86_64-w64-mingw32-objdump >/dev/null; then
    x86_64-w64-mingw32-objdump "$@"
  else
    objdump "$@"
  fi
}

sorted() { tr ' ' '\n' | sed '/^$/d' | LC_ALL=C sort -u | tr '\n' ' ' | sed 's/ $//'; }

failures=0
fail() {
  echo "check_exports: $1: $2" >&2
  failures=$((failures + 1))
}

check() {
  local file="$1" kind exports needs bad
  if [[ ! -f "$file" ]]; then
    fail "$file" "no such file"
    return
  fi
  kind="$(head -c 4 "$file" | od -An -tx1 | tr -d ' \n')"
  case "$kind" in
  7f454c46) # ELF
    exports="$(nm -D --defined-only "$file" | awk 'NF >= 3 { print $3 }' | sorted)"
    needs="$(readelf -dW "$file" | sed -n 's/.*(NEEDED).*\[\(.*\)\]/\1/p' | sorted)"
    bad="$(tr ' ' '\n' <<<"$needs" | sed '/^$/d' | grep -Ev "$elf_runtime" | tr '\n' ' ')"
    ;;
  4d5a*) # PE ("MZ")
    exports="$(pe_objdump -p "$file" | sed -n '/\[Ordinal\/Name Pointer\] Table/,/^$/p' |
      sed -n 's/^[[:space:]]*\[ *[0-9]*\] \(.*\)$/\1/p' | sorted)"
    needs="$(pe_objdump -p "$file" | sed -n 's/^[[:space:]]*DLL Name: //p' | sorted)"
    bad="$(tr ' ' '\n' <<<"$needs" | sed '/^$/d' | tr 'A-Z' 'a-z' | grep -Ev "$pe_runtime" | tr '\n' ' ')"
    ;;
  cffaedfe | cefaedfe | cafebabe) # Mach-O
    exports="$(nm -gU "$file" | awk '{ print $3 }' | sed 's/^_//' | sorted)"
    needs="$(otool -L "$file" | tail -n +2 | awk '{ print $1 }' | grep -v '@rpath\|@loader_path' | sorted)"
    bad="$(tr ' ' '\n' <<<"$needs" | sed '/^$/d' | grep -Ev "$macho_runtime" | tr '\n' ' ')"
    ;;
  *)
    fail "$file" "not an ELF, PE or Mach-O file"
    return
    ;;
  esac

  local ok=1
  if [[ "$exports" != "$expected" ]]; then
    local extra missing count
    extra="$(comm -23 <(tr ' ' '\n' <<<"$exports" | sed '/^$/d') <(tr ' ' '\n' <<<"$expected"))"
    missing="$(comm -13 <(tr ' ' '\n' <<<"$exports" | sed '/^$/d') <(tr ' ' '\n' <<<"$expected") | tr '\n' ' ')"
    count="$(sed '/^$/d' <<<"$extra" | wc -l)"
    [[ -n "${missing// /}" ]] && fail "$file" "does not export: ${missing% }"
    ((count > 0)) && fail "$file" "exports $count more symbol(s): $(head -5 <<<"$extra" | tr '\n' ' ')$( ((count > 5)) && echo ...)"
    ok=0
  fi
  if [[ -n "${bad// /}" ]]; then
    fail "$file" "needs more than the C/C++ runtime: ${bad% }"
    ok=0
  fi
  ((ok)) && echo "check_exports: $file: ok (exports $exports; needs $needs)"
}

if (($# == 0)); then
  echo "usage: tools/check_exports.sh MODULE..." >&2
  exit 2
fi
for file in "$@"; do
  check "$file"
done
((failures == 0))
