#!/usr/bin/env bash
# Runs the stand-in access-control tool (Config.exe) under Wine from a
# package's Systems folder whose path holds a blank, the way the wizard calls
# the real tool, and checks that it records each call's command line, one
# line per call, beside itself, and ends with exit code 0.
#
# Usage: config_standin_under_wine.sh CONFIG.exe WINE-RUN PREFIX
set -euo pipefail
tool=$1 wine_run=$2
export WINEPREFIX=$3
"$wine_run" --init

systems_unix="$WINEPREFIX/drive_c/tw-config/package Tarnwell/Systems"
systems='C:\tw-config\package Tarnwell\Systems'
rm -rf -- "$WINEPREFIX/drive_c/tw-config"
mkdir -p -- "$systems_unix"
cp -- "$tool" "$systems_unix/Config.exe"

arguments='-on hklm\SYSTEM\CurrentControlSet\Enum\USBPRINT\VELMORANTE_Tarnwell -ot reg -actn ace -ace n:\operator;p:full'
failed=0
for call in 1 2; do
    status=0
    # shellcheck disable=SC2086 # the arguments are separate words, as on the tool's command line
    (cd /tmp && "$wine_run" "$systems\\Config.exe" $arguments) </dev/null >/dev/null 2>&1 || status=$?
    if [ "$status" -ne 0 ]; then
        echo "FAILED call $call: exit code $status"
        failed=1
    fi
done

record=$systems_unix/Config_calls.txt
if [ ! -f "$record" ]; then
    echo "FAILED no record $record"
    exit 1
fi
lines=$(wc -l <"$record")
if [ "$lines" -ne 2 ]; then
    echo "FAILED $lines lines recorded, 2 expected:"
    cat -- "$record"
    failed=1
fi
while IFS= read -r line; do
    line=${line%$'\r'}
    case $line in
        *"Config.exe"*" $arguments") echo "ok     recorded: $line" ;;
        *) echo "FAILED recorded: $line"; failed=1 ;;
    esac
done <"$record"
exit "$failed"
