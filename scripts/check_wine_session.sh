#!/usr/bin/env bash
# Run by CTest among the Windows build's tests: Wine's services for the build's
# prefix are running, started by scripts/wine_session.sh, and none of them holds
# a test's output (standard output and error go nowhere). A service started by
# a test would keep that test's output open, and CTest would wait on it until
# the time-out.
# Usage: scripts/check_wine_session.sh PREFIX
set -euo pipefail
prefix="$(cd "$1" && pwd)"
services=0
held=0
for proc in /proc/[0-9]*; do
  cmdline="$({ tr '\0' ' ' <"$proc/cmdline"; } 2>/dev/null)" || continue
  case "$cmdline" in
    *'\system32\services.exe'* | *'\system32\winedevice.exe'* | *'\system32\plugplay.exe'* | \
    *'\system32\rpcss.exe'* | *'\system32\svchost.exe'* | *wineserver*) ;;
    *) continue ;;
  esac
  { tr '\0' '\n' <"$proc/environ"; } 2>/dev/null | grep -qxF "WINEPREFIX=$prefix" || continue
  services=$((services + 1))
  for fd in 1 2; do
    target="$(readlink "$proc/fd/$fd" 2>/dev/null)" || continue
    if [ "$target" != /dev/null ]; then
      echo "held: ${cmdline% } has its output on $target" >&2
      held=1
    fi
  done
done
if [ "$services" -eq 0 ]; then
  echo "no Wine session for $prefix: start it with scripts/wine_session.sh $prefix start" >&2
  exit 1
fi
[ "$held" -eq 0 ] || exit 1
echo "$services Wine session processes, none holding a test's output"
