#!/usr/bin/env bash
# Runs a Windows program of the cross build under Wine, the way CTest and the
# test discovery start them (the toolchain file names this as the emulator).
# Usage: scripts/wine_run.sh PREFIX PROGRAM.exe [arguments...]
#
# The Wine prefix is made on first use, once, even when CTest starts several
# programs at the same time. It is a western Windows: ANSI code page 1252, so a
# path pushed through the narrow code page loses "ş", "ğ", "ı" and "İ" as on a
# fitter's laptop, and its temporary folder (where every test makes its files)
# has Turkish letters and a space in its name. No display is needed: the tests
# are console programs.
set -euo pipefail
prefix="$1"
shift

export WINEPREFIX="$prefix"
# Wine's own errors stay visible: a program Wine could not start or lost says why.
export WINEDEBUG=-all,err+all
# No Mono or Gecko installer offered on the first start: nothing here needs them.
export WINEDLLOVERRIDES="mscoree,mshtml="
# Wine takes the ANSI code page from the region (C: English, 1252) and the
# encoding of the Linux file names from the character set (UTF-8).
export LC_ALL=C.UTF-8
unset DISPLAY WAYLAND_DISPLAY
# The tests check that the code page is the one meant here.
export GASECU_EXPECT_ANSI_CODE_PAGE=1252

temp_folder='Müşteri Ğİ klasörü'

mkdir -p "$(dirname "$prefix")"
(
    flock 9
    if [ ! -f "$prefix/.gasecu-ready" ]; then
        rm -rf "$prefix"
        wineboot --init >/dev/null 2>&1
        temp="$(wine cmd /c echo %USERPROFILE% 2>/dev/null | tr -d '\r')\\Temp\\$temp_folder"
        wine cmd /c mkdir "$temp" >/dev/null 2>&1
        wine reg add 'HKCU\Environment' /v TEMP /t REG_SZ /d "$temp" /f >/dev/null 2>&1
        wine reg add 'HKCU\Environment' /v TMP /t REG_SZ /d "$temp" /f >/dev/null 2>&1
        wineserver -w
        touch "$prefix/.gasecu-ready"
    fi
) 9>"$prefix.lock"

exec wine "$@"
