#!/usr/bin/env bash
# The window and the commands for Windows, built on Qt for Windows made from
# Debian's qt6-base source (scripts/build_qt_mingw.sh, once per machine), with
# the installer and the portable ZIP, and proven under Wine:
#   1. the window's and the commands' tests that need no pseudo-terminal;
#   2. a curve read through the Win32 serial binding from gasecu-sim, on a
#      pseudo-terminal the Wine prefix maps as COM7, byte for byte the curve
#      the Linux build reads from the same controller;
#   3. the installer installs silently and again over itself (an upgrade), the
#      installed command runs, the installed window starts headless (offscreen),
#      connects to the virtual ECU and its picture is saved in both languages
#      (build-windows-qt/screenshots), the uninstaller removes the program and
#      its Start-menu entry and leaves the fitter's files in %LOCALAPPDATA%;
#   4. the portable ZIP runs from its folder and keeps the files there.
# Usage: scripts/windows_window_test.sh [BUILD_DIR] [LINUX_BUILD_DIR]
#   LINUX_BUILD_DIR (default: build) has, or is given, gasecu and gasecu-sim.
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
export GASECU_SQLITE_SOURCE_DIR="${GASECU_SQLITE_SOURCE_DIR:-${XDG_CACHE_HOME:-${HOME:-/tmp}/.cache}/gasecu/sqlite3-source}"
"$here/scripts/bootstrap.sh" --windows
build="${1:-$here/build-windows-qt}"
linux_build="${2:-$here/build}"
mkdir -p "$build"
build="$(cd "$build" && pwd)"
phase() { echo "== $1 ($SECONDS s so far)"; }

phase "Qt for Windows"
qt="$("$here/scripts/build_qt_mingw.sh" | tail -n 1)"
echo "Qt for Windows in $qt"

phase "build"
"$here/scripts/sqlite_amalgamation.sh" "$GASECU_SQLITE_SOURCE_DIR" "$build/sqlite"
# Under Wine: Qt's DLLs and the compiler's runtime DLLs found on Wine's PATH,
# the offscreen platform with the DejaVu fonts. Wine passes no variable whose
# name starts with QT_ to a Windows program; WINEQT_X arrives there as QT_X.
winpath() { printf 'Z:%s' "${1//\//\\}"; }
runtime_dir() { dirname "$(x86_64-w64-mingw32-g++-posix -print-file-name="$1")"; }
export WINEPATH="$(winpath "$qt/bin");$(winpath "$(runtime_dir libstdc++-6.dll)");$(winpath "$(runtime_dir libwinpthread-1.dll)")"
export WINEQT_QPA_PLATFORM=offscreen
export WINEQT_QPA_FONTDIR="$(winpath /usr/share/fonts/truetype/dejavu)"
export WINEQT_FORCE_STDERR_LOGGING=1
launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache)
# Qt's toolchain file loads the project's (the shared C++ runtime, Wine as the
# emulator); named here, so a Qt built from another checkout serves this one.
cmake -S "$here" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_TOOLCHAIN_FILE="$qt/lib/cmake/Qt6/qt.toolchain.cmake" \
  -DQT_CHAINLOAD_TOOLCHAIN_FILE="$here/cmake/mingw-w64-x86_64-shared.cmake" \
  -DGASECU_GTEST_SOURCE_DIR=/usr/src/googletest -DGASECU_BUILD_BENCH=OFF \
  -DCMAKE_SKIP_INSTALL_ALL_DEPENDENCY=ON \
  -DGASECU_SQLITE_AMALGAMATION_DIR="$build/sqlite" "${launcher[@]}"
prefix="$build/wine"
"$here/scripts/wine_session.sh" "$prefix" start
sim_pid=""
cleanup() {
  [ -z "$sim_pid" ] || kill "$sim_pid" 2>/dev/null || true
  "$here/scripts/wine_session.sh" "$prefix" stop
}
trap cleanup EXIT
cmake --build "$build" --parallel "$(nproc)" --target gasecu gasecu-console gasecu_qt_tests
run() { "$here/scripts/wine_run.sh" "$prefix" "$@"; }
drive_c="$prefix/drive_c"
user_dir="$(ls -d "$drive_c"/users/*/AppData/Local | grep -v /Public/ | head -n 1)"
user_dir="${user_dir%/AppData/Local}"

phase "the window's tests under Wine"
# One Wine process for all of them: the cases share nothing but the program.
# The few cases that need a POSIX link, /dev/full or a per-process file size
# limit skip themselves on Windows and say why; every other case runs.
run "$build/tests/gasecu_qt_tests.exe" --gtest_brief=1

phase "a curve through COM7 from gasecu-sim"
if [ ! -x "$linux_build/gasecu-sim" ] || [ ! -x "$linux_build/gasecu" ]; then
  cmake -S "$here" -B "$linux_build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
  cmake --build "$linux_build" --parallel "$(nproc)" --target gasecu gasecu-sim
fi
sim_out="$build/gasecu-sim.out"
sleep infinity | "$linux_build/gasecu-sim" >"$sim_out" &
sim_pid=$!
for _ in $(seq 100); do [ -s "$sim_out" ] && break; sleep 0.1; done
pty="$(head -n 1 "$sim_out")"
[ -c "$pty" ] || { echo "gasecu-sim gave no terminal" >&2; exit 1; }
# Wine opens \\.\COM7 as the Unix device its prefix names for com7.
ln -sfn "$pty" "$prefix/dosdevices/com7"
# The tool takes curve files by the window's names (Cur_NN.txt), one folder each.
rm -rf "$build/curves"
mkdir -p "$build"/curves/{windows,linux,simulated,installed,portable}
run "$build/gasecu.com" read-curve --port COM7 -o "$(winpath "$build/curves/windows/Cur_05.txt")"
"$linux_build/gasecu" read-curve --port "$pty" -o "$build/curves/linux/Cur_05.txt"
cmp "$build/curves/windows/Cur_05.txt" "$build/curves/linux/Cur_05.txt"
echo "the curve read through COM7 is byte for byte the Linux build's ($(wc -c <"$build/curves/linux/Cur_05.txt") bytes)"
kill "$sim_pid"
sim_pid=""
run "$build/gasecu.com" read-curve --simulate -o "$(winpath "$build/curves/simulated/Cur_05.txt")"

phase "the installer and the ZIP"
rm -f "$build"/gasecu-*-win64.exe "$build"/gasecu-*-win64.zip
(cd "$build" && cpack -G "NSIS;ZIP" >/dev/null)
setup="$(ls "$build"/gasecu-*-win64.exe)"
installed="$drive_c/Program Files/gasecu"
data="$user_dir/AppData/Local/gasecu"
rm -rf "$installed" "$data"
run "$setup" /S
run "$setup" /S  # a second install over the first: the upgrade in place
# The licences and notices of everything shipped, and Qt's Turkish texts.
beside="COPYING.txt copyright.txt LGPL-3.txt GCC-RUNTIME-COPYRIGHT.txt MINGW-W64-COPYRIGHT.txt translations/qtbase_tr.qm"
for f in gasecu.exe gasecu.com ORJ.DAT Qt6Widgets.dll platforms/qwindows.dll gasecu.installed Uninstall.exe $beside; do
  [ -f "$installed/$f" ] || { echo "not installed: $f" >&2; exit 1; }
done
menu_entry="$(find "$drive_c" -path '*Start Menu/Programs/gasecu/gasecu.lnk' | head -n 1)"
[ -n "$menu_entry" ] || { echo "no Start-menu entry" >&2; exit 1; }
run "$installed/gasecu.com" read-curve --simulate -o "$(winpath "$build/curves/installed/Cur_05.txt")"
cmp "$build/curves/installed/Cur_05.txt" "$build/curves/simulated/Cur_05.txt"
mkdir -p "$build/screenshots"
for lang in tr en; do
  run "$installed/gasecu.exe" --simulate --lang "$lang" --grab-once-linked "$(winpath "$build/screenshots/window-$lang.png")"
done
[ -f "$data/Cur_00.txt" ] || { echo "the installed window kept no files in %LOCALAPPDATA%" >&2; exit 1; }
[ ! -e "$installed/Cur_00.txt" ] || { echo "the installed window wrote into Program Files" >&2; exit 1; }
run "$installed/Uninstall.exe" /S
# The uninstaller runs on from a copy of itself: wait for the folder to go.
for _ in $(seq 100); do [ -e "$installed/gasecu.exe" ] || break; sleep 0.3; done
[ ! -e "$installed/gasecu.exe" ] || { echo "the uninstaller left the program" >&2; exit 1; }
[ ! -e "$menu_entry" ] || { echo "the uninstaller left the Start-menu entry" >&2; exit 1; }
[ -f "$data/Cur_00.txt" ] || { echo "the uninstaller took the fitter's files" >&2; exit 1; }
portable="$build/portable"
rm -rf "$portable"
mkdir -p "$portable"
(cd "$portable" && cmake -E tar xf "$(ls "$build"/gasecu-*-win64.zip)")
portable_dir="$(dirname "$(find "$portable" -name gasecu.com | head -n 1)")"
run "$portable_dir/gasecu.com" read-curve --simulate -o "$(winpath "$build/curves/portable/Cur_05.txt")"
cmp "$build/curves/portable/Cur_05.txt" "$build/curves/simulated/Cur_05.txt"
[ -f "$portable_dir/Cur_00.txt" ] || { echo "the portable program kept its files elsewhere" >&2; exit 1; }
for f in $beside; do
  [ -f "$portable_dir/$f" ] || { echo "not in the ZIP: $f" >&2; exit 1; }
done
phase "done: installer $(basename "$setup") ($(du -h "$setup" | cut -f1))"
