#!/usr/bin/env bash
# Checks a built Debian package: every file the installed tool needs is in it,
# nothing from the build (tests, benchmarks, libraries) slipped in, and it depends
# on the Qt libraries it links.
# Usage: scripts/check_package.sh PACKAGE.deb
set -euo pipefail
deb="${1:?usage: check_package.sh PACKAGE.deb}"

expected=(
  ./usr/bin/gasecu
  ./usr/bin/gasecu-sim
  ./usr/share/gasecu/ORJ.DAT
  ./usr/share/applications/gasecu.desktop
  ./usr/share/icons/hicolor/scalable/apps/gasecu.svg
)

# Regular files only ("-" in the mode column), as paths.
actual="$(dpkg-deb -c "$deb" | awk '$1 ~ /^-/ { print $NF }' | sort)"
status=0
for path in "${expected[@]}"; do
  if ! grep -qxF "$path" <<<"$actual"; then
    echo "check_package: missing $path" >&2
    status=1
  fi
done
while IFS= read -r path; do
  [ -z "$path" ] && continue
  if ! printf '%s\n' "${expected[@]}" | grep -qxF "$path"; then
    echo "check_package: unexpected $path" >&2
    status=1
  fi
done <<<"$actual"

for exe in ./usr/bin/gasecu ./usr/bin/gasecu-sim; do
  mode="$(dpkg-deb -c "$deb" | awk -v p="$exe" '$NF == p { print $1 }')"
  case "$mode" in
    -rwxr-xr-x) ;;
    *) echo "check_package: $exe is not executable ($mode)" >&2; status=1 ;;
  esac
done

depends="$(dpkg-deb -f "$deb" Depends)"
for lib in libqt6core6 libqt6gui6 libqt6widgets6 libqt6serialport6 libsqlite3-0 qt6-qpa-plugins; do
  if ! grep -q "\b$lib\b" <<<"$depends"; then
    echo "check_package: Depends lacks $lib ($depends)" >&2
    status=1
  fi
done

if [ "$status" -eq 0 ]; then
  echo "check_package: $(basename "$deb") holds the ${#expected[@]} expected files; Depends: $depends"
fi
exit "$status"
