#!/usr/bin/env bash
# Checks a built Debian package: every file the installed tool needs is in it,
# nothing from the build (tests, benchmarks, libraries) slipped in, it depends
# on the Qt libraries it links; lintian finds no error nor warning (nor the
# pedantic notes on hardening and unneeded sections), hardening-check passes on
# the programs it holds, and its AppStream metadata validates.
# Usage: scripts/check_package.sh PACKAGE.deb
set -euo pipefail
deb="${1:?usage: check_package.sh PACKAGE.deb}"

expected=(
  ./usr/bin/gasecu
  ./usr/bin/gasecu-sim
  ./usr/share/gasecu/ORJ.DAT
  ./usr/share/applications/gasecu.desktop
  ./usr/share/icons/hicolor/scalable/apps/gasecu.svg
  ./usr/share/doc/gasecu/copyright
  ./usr/share/doc/gasecu/changelog.gz
  ./usr/share/man/man1/gasecu.1.gz
  ./usr/share/man/man1/gasecu-sim.1.gz
  ./usr/share/metainfo/org.example.gasecu.metainfo.xml
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

# Debian's own checks, on the package as built and on the files it holds.
if command -v lintian >/dev/null; then
  # Errors and warnings fail; the pedantic notes are shown, and those on hardening
  # and on sections a Debian build strips fail too.
  lintian_out="$(lintian --pedantic --display-info --fail-on error,warning "$deb" 2>&1)" || {
    status=1; echo "check_package: lintian finds errors or warnings" >&2; }
  [ -n "$lintian_out" ] && echo "$lintian_out"
  if grep -E 'hardening-no-|binary-has-unneeded-section' <<<"$lintian_out" >&2; then
    echo "check_package: lintian finds the programs unhardened or unstripped" >&2
    status=1
  fi
else
  echo "check_package: lintian is not installed (scripts/bootstrap.sh --checks)" >&2
  status=1
fi
unpacked="$(mktemp -d)"
trap 'rm -rf "$unpacked"' EXIT
dpkg-deb -x "$deb" "$unpacked"
# Control-flow protection (-fcf-protection) is not among Debian 12's build flags.
hardening-check --nocfprotection "$unpacked/usr/bin/gasecu" "$unpacked/usr/bin/gasecu-sim" || {
  status=1; echo "check_package: hardening-check fails" >&2; }
appstreamcli validate --no-net --pedantic "$unpacked"/usr/share/metainfo/*.metainfo.xml || {
  status=1; echo "check_package: the AppStream metadata does not validate" >&2; }

if [ "$status" -eq 0 ]; then
  echo "check_package: $(basename "$deb") holds the ${#expected[@]} expected files; Depends: $depends"
fi
exit "$status"
