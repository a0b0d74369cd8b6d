#!/usr/bin/env bash
# Starts or ends the one Wine session a test run of the Windows build uses.
#
# Why: the Wine process that finds no server running starts the server and Wine's
# own services (services.exe, winedevice.exe, plugplay.exe, rpcss.exe, svchost.exe),
# and they inherit its standard error. Under CTest that is a pipe CTest reads to
# its end: the test whose program started the session "does not exit" until the
# session ends, which with other tests always starting is the test's time-out.
# Here the server stays for the run and the services are started by a program
# whose output goes nowhere, so each test's output ends with its own process
# (scripts/check_wine_session.sh checks it during the run).
# Usage: scripts/wine_session.sh PREFIX start|stop
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
prefix="$1"
quiet() { WINEPREFIX="$prefix" "$@" </dev/null >/dev/null 2>&1; }
case "$2" in
  start)
    # The prefix, made once (wine_run.sh), then no server left from making it
    # nor from a run that was killed before it could stop its session.
    quiet "$here/wine_run.sh" "$prefix" cmd /c exit
    quiet wineserver -k || true
    quiet wineserver -w || true
    quiet wineserver --persistent
    quiet "$here/wine_run.sh" "$prefix" cmd /c exit
    ;;
  stop)
    quiet wineserver -k || true
    quiet wineserver -w || true
    ;;
  *)
    echo "usage: $0 PREFIX start|stop" >&2
    exit 2
    ;;
esac
