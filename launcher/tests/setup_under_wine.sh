#!/usr/bin/env bash
# Runs the real setup.exe under Wine from package folders whose
# Systems\Install.exe is the test child program (it records its program file,
# current folder and command line), and checks what install was started with.
#
# Usage: setup_under_wine.sh SETUP.exe CHILD.exe WINE-RUN PREFIX
set -euo pipefail
setup=$1 child=$2 wine_run=$3
export WINEPREFIX=$4
"$wine_run" --init

# Wine's own processes (the desktop of a GUI program) outlive the program and
# would hold the test runner's output open: give them a log file instead.
log=$WINEPREFIX/setup_under_wine.log
: >"$log"
run_setup() {
    (cd /tmp && "$wine_run" "$@") </dev/null >>"$log" 2>&1 || true
}

base_unix=$WINEPREFIX/drive_c/tw-e2e
base='C:\tw-e2e'
rm -rf -- "$base_unix"
passed=0 failed=0

# make_package UNIX-FOLDER: setup.exe at its root, the child as Systems\Install.exe.
make_package() {
    mkdir -p -- "$1/Systems"
    cp -- "$setup" "$1/setup.exe"
    cp -- "$child" "$1/Systems/Install.exe"
}

# check NAME UNIX-FOLDER EXPECTED-RECORD
check() {
    local record actual
    record=$2/child_record.txt
    actual=$(cat -- "$record" 2>/dev/null || echo '<no record>')
    if [ "$actual" = "$3" ]; then
        echo "ok     $1"
        passed=$((passed + 1))
    else
        echo "FAILED $1"
        echo "  expected: $3"
        echo "  actual:   $actual"
        failed=$((failed + 1))
    fi
}

# No argument: one blank ends the command line; the package root is current.
make_package "$base_unix/Pkg"
run_setup "$base\\Pkg\\setup.exe"
check "no argument" "$base_unix/Pkg" \
    "$base\\Pkg\\Systems\\Install.exe|$base\\Pkg|\"$base\\Pkg\\Systems\\Install.exe\" "

# The argument is handed on after one blank.
make_package "$base_unix/Silent"
run_setup "$base\\Silent\\setup.exe" silent
check "silent" "$base_unix/Silent" \
    "$base\\Silent\\Systems\\Install.exe|$base\\Silent|\"$base\\Silent\\Systems\\Install.exe\" silent"

# A package folder with a blank and a stray package.exe beside it: the quoted
# path runs install, never the stray program.
make_package "$base_unix/package Tarnwell"
cp -- "$child" "$base_unix/package.exe"
run_setup "$base\\package Tarnwell\\setup.exe"
check "folder with a blank" "$base_unix/package Tarnwell" \
    "$base\\package Tarnwell\\Systems\\Install.exe|$base\\package Tarnwell|\"$base\\package Tarnwell\\Systems\\Install.exe\" "
if [ -e "$base_unix/child_record.txt" ]; then
    echo "FAILED stray package.exe ran"
    failed=$((failed + 1))
else
    echo "ok     stray package.exe did not run"
    passed=$((passed + 1))
fi

echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
