#!/usr/bin/env bash
# The x86-64 package end to end under Wine: `setup.exe silent` on a fresh prefix
# that holds an earlier installation of the driver, as far as Wine lets it be
# seeded, in two situations that are also tarnwell-sim scenarios:
#
#   silent_earlier_installation  a queue of the model, the driver model, its
#       files in the driver folder, the port monitor library, an old package
#       oemN.inf and the device key: the silent wizard removes all of it,
#       installs the package's INF and ends by itself, with no message box;
#   silent_driver_file_in_use  the same, with a driver file held open by
#       another process: the package lands in the temporary-files folder
#       under "package Tarnwell", the RunOnce entry holds the quoted path of
#       its setup.exe, and the restart is offered.
#
# Each case: the prefix is seeded from the scenario file (outcome.py plan and
# place), listed (prefix_state.py: files with sizes and hashes, registry keys
# and values), setup.exe runs on Xvfb while every window that shows is
# watched, and the prefix is listed again. The test checks what went and what
# came, that nothing else in the prefix changed, and compares the outcome
# with tarnwell-sim's run of the same scenario.
#
# Message boxes: the wizard's own window ("Tarnwell Setup 1.10") is the only
# window expected. Every other window that shows is found by its caption with
# xdotool (a message box of install is captioned "Install"), read with
# dialog_probe, photographed into the artifacts and answered (OK, or No for a
# restart question), so the run goes on and the boxes are counted. Wine's
# SetupPromptReboot shows nothing (a stub): that the restart was offered is
# seen in Wine's trace of the call (WINEDEBUG fixme+setupapi).
#
# RunOnce: any Wine program started once the wineserver has ended runs
# wineboot first, which runs the RunOnce entries and removes them. So the
# restart entry is read while the session is still up (held by the program
# that holds the driver file), and after the run the prefix is read from its
# files, with no Wine program started.
#
# Usage: package_under_wine.sh SOURCE_DIR PACKAGE_DIR SEED.exe PROBE.exe WINE-RUN
#                              PREFIX ARTIFACTS TARNWELL_SIM
#   PREFIX is made afresh and removed at the end (kept with TW_KEEP_WINE_PREFIX=1).
set -euo pipefail
source_dir=$(realpath -- "$1") package_dir=$(realpath -- "$2")
seed=$(realpath -- "$3") probe=$(realpath -- "$4") wine_run=$(realpath -- "$5")
WINEPREFIX=$(realpath -m -- "$6")
export WINEPREFIX
artifacts=$(realpath -m -- "$7")
tarnwell_sim=$8
tests=$source_dir/package/tests
export TW_WINE_DISPLAY=1
# The test's Python helpers leave no compiled files in the source tree.
export PYTHONDONTWRITEBYTECODE=1
wineserver=$(dirname "${TW_WINE:-/usr/lib/wine/wine64}")/wineserver
[ -x "$wineserver" ] || wineserver=$(command -v wineserver)

wizard_caption="Tarnwell Setup 1.10"
run_limit=100 # seconds setup.exe may take before the run counts as hung
passed=0 failed=0
ok() { echo "ok     $*"; passed=$((passed + 1)); }
fail() { echo "FAILED $*"; failed=$((failed + 1)); }
note() { echo "note   $*"; }
seconds() { date +%s.%N; }
since() { awk -v a="$1" -v b="$(seconds)" 'BEGIN { printf "%.1f", b - a }'; }

# --- A fresh prefix of the test's own -------------------------------------------
started=$(seconds)
"$wine_run" --shutdown
rm -rf -- "$WINEPREFIX" "$artifacts"
mkdir -p -- "$artifacts"
"$wine_run" --init
note "fresh prefix made in $(since "$started") s"
writer=
finish() {
    if [ -n "$writer" ]; then kill "$writer" 2>/dev/null || true; fi
    "$wine_run" --shutdown || true
    if [ "${TW_KEEP_WINE_PREFIX:-0}" != 1 ]; then
        rm -rf -- "$WINEPREFIX" "$WINEPREFIX.lock"
    fi
}
trap finish EXIT

# Wine's programs, with their output in the case's log (Wine's own processes
# would otherwise hold the test runner's output open).
wine() { "$wine_run" "$@" </dev/null >>"$case_dir/wine.log" 2>&1; }
unix_of() { # C:\a\b -> <prefix>/drive_c/a/b (for paths the test makes itself)
    local path=${1#[cC]:\\}
    printf '%s/drive_c/%s\n' "$WINEPREFIX" "${path//\\//}"
}
display() { cut -d' ' -f1 "$WINEPREFIX/.tw-xvfb"; }

# field LINE NAME: the value of NAME=... in a dialog_probe line (text= runs to the end).
field() {
    case $2 in
        text) printf '%s\n' "${1#* text=}" ;;
        *) printf '%s\n' "$1" | tr ' ' '\n' | sed -n "s/^$2=//p" ;;
    esac
}
click_centre() { # dialog_probe line of a control
    DISPLAY=:$(display) xdotool mousemove $(($(field "$1" x) + $(field "$1" w) / 2)) \
        $(($(field "$1" y) + $(field "$1" h) / 2)) click 1
}

# A window other than the wizard showed: photograph it, read it, answer it.
answer_window() {
    local name=$1 shot controls text button
    shot=$case_dir/window_$((++windows_seen)).png
    DISPLAY=:$(display) import -window root "$shot" 2>/dev/null || true
    controls=$(timeout 20 "$wine_run" "$probe" "$name" 5 </dev/null 2>/dev/null | tr -d '\r') || true
    printf '%s\n' "$controls" >"${shot%.png}.controls"
    text=$(printf '%s\n' "$controls" | grep '^control [0-9]* Static ' | while IFS= read -r l; do
        field "$l" text; done | grep -v '^$' | head -n1) || true
    if [ "$name" = Install ]; then
        # A message box of install: its text is counted, OK answers it.
        printf '%s\n' "$text" >>"$case_dir/boxes.txt"
        echo "message box [Install] \"$text\" ($shot)" >>"$case_dir/windows.txt"
        button=$(printf '%s\n' "$controls" | grep -m1 '^control [0-9]* Button ') || true
    else
        echo "window \"$name\": \"$text\" ($shot)" >>"$case_dir/windows.txt"
        button=$(printf '%s\n' "$controls" | grep -m1 -E '^control [0-9]* Button .* text=&?No$') ||
            true
        [ -n "$button" ] && echo "$name: No" >>"$case_dir/prompt_answered.txt"
    fi
    [ -n "$button" ] && click_centre "$button"
}

# The screen once the restart has been offered (Wine's trace shows the call):
# Wine shows no prompt, and the shot keeps what was on the screen then.
restart_screen() {
    if [ ! -f "$case_dir/restart_offered.png" ] &&
        grep -q SetupPromptReboot "$case_dir/run.log" 2>/dev/null; then
        DISPLAY=:$(display) import -window root "$case_dir/restart_offered.png" 2>/dev/null || true
    fi
}

# Runs setup.exe with its arguments, watching the windows, until it ends or the
# time limit passes. Sets run_status (124: it did not end in time).
run_setup() {
    local program=$1 arguments=$2 seen="|" id name
    windows_seen=0
    : >"$case_dir/windows.txt"
    # shellcheck disable=SC2086 # the arguments are the scenario's words
    (cd /tmp && WINEDEBUG=-all,fixme+setupapi exec timeout "$run_limit" "$wine_run" \
        "$program" $arguments) </dev/null >"$case_dir/run.log" 2>&1 &
    local runner=$! start
    start=$(seconds)
    while kill -0 "$runner" 2>/dev/null; do
        if [ -f "$WINEPREFIX/.tw-xvfb" ]; then
            for id in $(DISPLAY=:$(display) xdotool search --onlyvisible --name . 2>/dev/null); do
                [[ $seen == *"|$id|"* ]] && continue
                seen="$seen$id|"
                name=$(DISPLAY=:$(display) xdotool getwindowname "$id" 2>/dev/null) || continue
                if [ "$name" = "$wizard_caption" ]; then
                    echo "window \"$name\" (the wizard)" >>"$case_dir/windows.txt"
                else
                    answer_window "$name"
                fi
            done
            restart_screen
        fi
        sleep 0.25
    done
    run_status=0
    wait "$runner" || run_status=$?
    run_seconds=$(since "$start")
    restart_screen
}

# A Wine session held open from before setup.exe starts until the test has
# read what it must read while the wineserver is up: programs that hold the
# scenario's files open (or cmd.exe when none is held), reading from a pipe
# whose one writer is a sleep of the test's own.
start_holders() {
    fifo=$case_dir/.session
    rm -f -- "$fifo"
    mkfifo -- "$fifo"
    holders=()
    local path
    if [ ${#holds[@]} -eq 0 ]; then
        "$wine_run" 'C:\windows\system32\cmd.exe' <"$fifo" >/dev/null 2>&1 &
        holders+=($!)
    fi
    for path in "${holds[@]}"; do
        "$wine_run" "$seed" hold "$path" <"$fifo" >"$case_dir/hold_${#holders[@]}.log" 2>&1 &
        holders+=($!)
    done
    # Its error output goes nowhere: left running, it would hold the test
    # runner's output open.
    sleep 3600 >"$fifo" 2>/dev/null &
    writer=$!
    local i log
    for ((i = 0; i < ${#holds[@]}; i++)); do
        log=$case_dir/hold_$i.log
        for _ in $(seq 150); do
            grep -q '^held' "$log" 2>/dev/null && break
            sleep 0.2
        done
        if grep -q '^held' "$log"; then
            ok "$case_name: ${holds[$i]} held open by another process"
        else
            fail "$case_name: ${holds[$i]} could not be held open: $(cat -- "$log")"
        fi
    done
}
end_holders() {
    kill "$writer" 2>/dev/null || true
    writer=
    local pid
    for pid in "${holders[@]}"; do
        wait "$pid" 2>/dev/null || true
    done
    rm -f -- "$fifo"
}

# --- One case --------------------------------------------------------------------
run_case() {
    case_name=$1
    case_dir=$artifacts/$case_name
    mkdir -p -- "$case_dir"
    local scenario started
    started=$(seconds)
    scenario=$source_dir/scenarios/$case_name.json
    note "$case_name: scenario $scenario"

    # Seeding, from the scenario.
    python3 "$tests/outcome.py" plan "$scenario" "$case_dir" >"$case_dir/plan.tsv"
    local kind a b c d root="" program="" arguments=""
    holds=()
    local driver_folder
    driver_folder=$(unix_of 'C:\windows\system32\spool\drivers\x64\3')
    mkdir -p -- "$driver_folder"
    ls -- "$driver_folder" >"$case_dir/driver_folder_before_spooler.txt"
    while IFS=$'\t' read -r kind a b c d; do
        case $kind in
            package)
                root=$a
                rm -rf -- "$(unix_of "$root")"
                cp -r -- "$package_dir" "$(unix_of "$root")"
                ;;
            lacks) rm -f -- "$(unix_of "$root\\$a")" ;;
            driver) # its files from the package, copied by the spooler
                wine "$seed" driver "$a" "$root" kelvra.dll kelvra.pcd kelvraui.dll ||
                    fail "$case_name: the spooler refused driver $a"
                ;;
            queue) wine "$seed" queue "$a" "$b" "$c" || fail "$case_name: the spooler refused queue $a" ;;
            key) ;;  # after the files
            hold) holds+=("$a") ;;
            run) program=$a arguments=$b ;;
            skip) note "$case_name: not seeded under Wine: $a ($b)" ;;
        esac
    done <"$case_dir/plan.tsv"
    python3 "$tests/outcome.py" place "$scenario" "$WINEPREFIX" "$case_dir"
    while IFS=$'\t' read -r kind a b c d; do
        [ "$kind" = key ] || continue
        if [ -n "$b" ]; then
            wine reg add "$a" /v "$b" /t "$c" /d "$d" /f || fail "$case_name: reg add $a failed"
        else
            wine reg add "$a" /f || fail "$case_name: reg add $a failed"
        fi
    done <"$case_dir/plan.tsv"
    "$wine_run" "$seed" list </dev/null 2>>"$case_dir/wine.log" | tr -d '\r' \
        >"$case_dir/spooler_before.txt" || fail "$case_name: the spooler's queues cannot be listed"
    "$wineserver" -w
    python3 "$tests/prefix_state.py" snapshot "$WINEPREFIX" "$case_dir/before.json" \
        "$artifacts/.hashes.json"
    note "$case_name: prefix seeded and listed in $(since "$started") s"

    # The run.
    start_holders
    run_setup "$program" "$arguments"
    if [ "$run_status" -eq 124 ]; then
        fail "$case_name: setup.exe did not end within $run_limit s (windows: $(tr '\n' ' ' <"$case_dir/windows.txt"))"
        DISPLAY=:$(display) import -window root "$case_dir/hung.png" 2>/dev/null || true
    else
        ok "$case_name: setup.exe $arguments ended by itself after $run_seconds s (exit code $run_status)"
    fi
    # While the session is up: the spooler's queues and drivers, the restart entry.
    "$wine_run" "$seed" list </dev/null 2>>"$case_dir/wine.log" | tr -d '\r' \
        >"$case_dir/spooler_after.txt" || fail "$case_name: the spooler's queues cannot be listed"
    "$wine_run" reg query 'HKLM\Software\Microsoft\Windows\CurrentVersion\RunOnce' \
        /v RestartSetupLaser </dev/null 2>>"$case_dir/wine.log" | tr -d '\r' |
        sed -n 's/^ *RestartSetupLaser *REG_SZ *//p' >"$case_dir/run_once.txt" || true
    local record
    record=$(unix_of "$root")/Systems/Config_calls.txt
    if [ -f "$record" ]; then cp -- "$record" "$case_dir/config_calls.txt"; fi
    end_holders
    # The session ends by itself once its programs have; one left running is
    # ended, so that the registry files are written either way.
    timeout 30 "$wineserver" -w || "$wine_run" --shutdown
    python3 "$tests/prefix_state.py" snapshot "$WINEPREFIX" "$case_dir/after.json" \
        "$artifacts/.hashes.json"
    python3 "$tests/prefix_state.py" diff "$case_dir/before.json" "$case_dir/after.json" \
        >"$case_dir/diff.txt"
    python3 "$tests/outcome.py" wine "$case_dir" "$case_dir/wine_outcome.json"

    # No message box, no other window.
    local boxes
    boxes=$(grep -v '(the wizard)$' "$case_dir/windows.txt" || true)
    if [ -z "$boxes" ]; then
        ok "$case_name: no message box, no window but the wizard's"
    else
        fail "$case_name: windows shown: $boxes"
    fi
    # Nothing changed in the prefix but what the outcome accounts for.
    local others
    others=$(python3 "$tests/outcome.py" unexpected "$case_dir")
    if [ -z "$others" ]; then
        ok "$case_name: nothing else in the prefix changed ($(wc -l <"$case_dir/diff.txt") changes, all accounted for)"
    else
        fail "$case_name: changes in the prefix beyond the outcome:"
        printf '         %s\n' "$others"
    fi
    outcome_lines=$(python3 "$tests/outcome.py" flat "$case_dir/wine_outcome.json")
    "check_$case_name"
    compare_with_sim "$scenario"
    note "$case_name: done in $(since "$started") s"
}

# expect FIELD [ITEM] VALUE: a field (or a seeded thing) of the Wine outcome
# has the value.
expect() {
    local want=${!#} key got
    key=$(printf '%s\t' "${@:1:$#-1}")
    got=$(printf '%s\n' "$outcome_lines" | while IFS= read -r line; do
        if [ "${line:0:${#key}}" = "$key" ]; then printf '%s\n' "${line:${#key}}"; fi
    done)
    if [ "$got" = "$want" ]; then
        ok "$case_name: ${*:1:$#-1}: $want"
    else
        fail "$case_name: ${*:1:$#-1}: expected $want, got ${got:-nothing}"
    fi
}

driver_files=(kelvra.pcd kelvra.dll kelvraui.dll velmoxis.dll alignment_test.las
    alignment_test_2.las alignment_test_3.las alignment_test_4.las firmware_table.dos
    firmware_table_2.dos ktw_anglais.hlp ktw_francais.hlp tickle_test.las focus_adjust.las)
driver_folder_32='C:\Windows\System32\spool\drivers\W32X86\3'

check_silent_earlier_installation() {
    local name
    expect seeded "print queue Tarn-Well" gone
    expect seeded "printer driver Tarn-Well" gone
    for name in "${driver_files[@]}"; do
        expect seeded "file $driver_folder_32\\$name" gone
    done
    expect seeded 'file C:\Windows\System32\TarnwellMon.dll' gone
    expect seeded "driver package oem7.inf" gone
    expect seeded 'registry key HKLM\SYSTEM\CurrentControlSet\Enum\USBPRINT\VELMORANTE_Tarnwell\1&2a3b4c5&0&USB001' gone
    if grep -qix 'deleted key HKLM\\System\\CurrentControlSet\\Enum\\USBPRINT\\VELMORANTE_Tarnwell' \
        "$case_dir/diff.txt"; then
        ok "$case_name: the device key went with its subkeys"
    else
        fail "$case_name: the device key VELMORANTE_Tarnwell itself stayed"
    fi
    if [ -f "$(unix_of 'C:\windows\inf\kelvra.inf')" ]; then
        ok "$case_name: the package's INF sits in the INF folder as kelvra.inf (Wine keeps its name)"
    else
        fail "$case_name: no kelvra.inf in the INF folder: $(ls "$(unix_of 'C:\windows\inf')")"
    fi
    expect newPackagesInInfFolder 1
    expect fallbackCopy null
    expect restartOffered false
    expect accessToolCalls \
        '["-on hklm\\SYSTEM\\CurrentControlSet\\Enum\\USBPRINT\\VELMORANTE_Tarnwell -ot reg -actn ace -ace n:\\<user>;p:full"]'
}

check_silent_driver_file_in_use() {
    local name i=0
    expect seeded "print queue Tarn-Well" gone
    for name in "${driver_files[@]}"; do
        # The fifth file is the one held open: the ones before it go, the
        # ones from it on are not attempted.
        if [ "$i" -lt 4 ]; then
            expect seeded "file $driver_folder_32\\$name" gone
        else
            expect seeded "file $driver_folder_32\\$name" stayed
        fi
        i=$((i + 1))
    done
    # The wizard ends after the fallback: the rest of the removal does not run.
    expect seeded "printer driver Tarn-Well" stayed
    expect seeded "driver package oem7.inf" stayed
    expect seeded 'registry key HKLM\SYSTEM\CurrentControlSet\Enum\USBPRINT\VELMORANTE_Tarnwell\1&2a3b4c5&0&USB001' stayed
    expect newPackagesInInfFolder 0
    expect fallbackCopy "$(python3 "$tests/outcome.py" listing "$package_dir")"
    expect restartEntry '"<temp>\package Tarnwell\setup.exe"'
    # The entry as the registry file holds it once the session has ended
    # (read from the file: a Wine start would run the entry and remove it).
    local stored live
    stored=$(python3 "$tests/prefix_state.py" value "$case_dir/after.json" \
        'HKLM\Software\Microsoft\Windows\CurrentVersion\RunOnce' RestartSetupLaser) || stored=
    live=$(head -n1 "$case_dir/run_once.txt")
    if [ -n "$stored" ] && [ "$stored" = "$live" ]; then
        ok "$case_name: the registry file holds the same restart entry: $stored"
    else
        fail "$case_name: restart entry read live '$live', in the registry file '$stored'"
    fi
    expect restartOffered true
    expect accessToolCalls '[]'
}

# --- The same scenario on the simulated machine --------------------------------------
# tarnwell-sim runs the same scenario; it must meet its expected outcome.
compare_with_sim() {
    local scenario=$1 status=0 sim_outcome=$case_dir/sim_outcome.json
    if [ -x "$tarnwell_sim" ]; then
        "$tarnwell_sim" --json --calls "$scenario" >"$case_dir/sim_report.json" 2>&1 || status=$?
    else
        status=127
    fi
    if [ "$status" -eq 0 ]; then
        python3 "$tests/outcome.py" sim "$scenario" "$case_dir/sim_report.json" "$sim_outcome"
        note "$case_name: compared with tarnwell-sim's run of the scenario"
    elif [ "$status" -eq 127 ]; then
        fail "$case_name: no tarnwell-sim at $tarnwell_sim to compare with: build the native preset first"
        return
    else
        fail "$case_name: tarnwell-sim does not meet the scenario (exit $status):"
        python3 -c 'import json, sys
for line in json.load(open(sys.argv[1])).get("unmet", []): print("         " + line)' \
            "$case_dir/sim_report.json" 2>/dev/null || sed 's/^/         /' "$case_dir/sim_report.json"
        return
    fi
    if python3 "$tests/outcome.py" compare "$case_dir/wine_outcome.json" "$sim_outcome" \
        >"$case_dir/comparison.txt"; then
        ok "$case_name: Wine and the simulation agree ($(grep -c '^same' "$case_dir/comparison.txt") observations)"
    else
        fail "$case_name: Wine and the simulation differ:"
        grep -v '^same' "$case_dir/comparison.txt" | sed 's/^/         /' || true
    fi
}

# Both cases share the prefix; the driver-file case runs last, since the next
# Wine start would run its RunOnce entry.
run_case silent_earlier_installation
run_case silent_driver_file_in_use

echo "$passed passed, $failed failed in $(since "$started") s; logs, listings and outcomes in $artifacts"
[ "$failed" -eq 0 ]
