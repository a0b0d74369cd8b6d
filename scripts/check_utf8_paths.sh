#!/usr/bin/env bash
# Fails when a file name would pass through the narrow code page. On Windows a
# path turned into a narrow string (path::string()), a file opened by a narrow
# name (fopen, a stream opened with .c_str()) or a path built from a narrow
# literal with letters outside ASCII goes through the ANSI code page, which on a
# western machine has no "ş", "ğ", "ı" or "İ": a fitter's folder "Müşteri" is
# then mangled or throws. Names go through curve::PathFromUtf8 / Utf8FromPath
# (src/curve/curve_file_io.h), OpenFileForWriting (src/platform/line_file.h) or
# a u8"" literal instead.
# A line that must stay (a POSIX-only call on a POSIX path) ends with the
# comment "narrow path: POSIX only".
# Usage: scripts/check_utf8_paths.sh [SOURCE_ROOT]
set -euo pipefail
root="${1:-$(cd "$(dirname "$0")/.." && pwd)}"
cd "$root"

patterns=(
  '\.(generic_)?string\(\)'                 # path -> narrow text
  '(^|[^_[:alnum:]])fopen\('                # narrow file name
  'fstream[^;]*\.c_str\(\)'                 # stream opened by a narrow name
  'u8path\('                                # deprecated, and narrow in disguise
  '[[:alnum:]_)"] +/ +"[^"]*[^[:print:][:space:]]'   # path / "narrow literal with non-ASCII letters"
)
found=0
for pattern in "${patterns[@]}"; do
  while IFS= read -r hit; do
    case "$hit" in
      src/curve/curve_file_io.cpp:*) continue ;;   # the conversions themselves
      *"narrow path: POSIX only"*) continue ;;
    esac
    echo "narrow path: $hit"
    found=1
  done < <(LC_ALL=C grep -rnE "$pattern" src sim tests bench --include='*.cpp' --include='*.h' || true)
done
if [ "$found" -ne 0 ]; then
  echo "Use curve::PathFromUtf8 / curve::Utf8FromPath, OpenFileForWriting or u8\"\" (see the top of $0)." >&2
  exit 1
fi
echo "no narrow paths"
