#!/usr/bin/env bash
# Runs the real Install.exe under Wine on Xvfb, in English and in French (a
# French locale generated for the test): finds the wizard by its caption,
# reads what its controls show (dialog_probe), keeps a screenshot, clicks
# Cancel with xdotool and checks that the program ends. A third run checks
# that a label shows its new text while the step that set it is still busy.
#
# Usage: install_under_wine.sh INSTALL.exe PROBE.exe WINE-RUN PREFIX ARTIFACTS
set -euo pipefail
install=$(realpath -- "$1") probe=$(realpath -- "$2") wine_run=$(realpath -- "$3")
export WINEPREFIX=$(realpath -m -- "$4")
artifacts=$(realpath -m -- "$5")
export TW_WINE_DISPLAY=1
"$wine_run" --init

caption="Tarnwell Setup 1.10"
mkdir -p -- "$artifacts"
passed=0 failed=0
ok() { echo "ok     $*"; passed=$((passed + 1)); }
fail() { echo "FAILED $*"; failed=$((failed + 1)); }

# ends_after_cancel NAME: Install.exe (the background job $runner) must end
# within 20 s of the click on Cancel; one that does not is ended.
ends_after_cancel() {
    local i
    for ((i = 0; i < 200; i++)); do
        kill -0 "$runner" 2>/dev/null || break
        sleep 0.1
    done
    if kill -0 "$runner" 2>/dev/null; then
        fail "$1: Install.exe still runs 20 s after Cancel"
        kill "$runner" 2>/dev/null || true
    else
        ok "$1: Cancel ends Install.exe"
    fi
    wait "$runner" 2>/dev/null || true
}

# The program in a package folder of its own.
package=$WINEPREFIX/drive_c/tw-wizard
mkdir -p -- "$package/Systems"
cp -- "$install" "$package/Systems/Install.exe"

# The French locale, generated once per build tree (nothing system-wide).
locales=$artifacts/locales
if [ ! -d "$locales/fr_FR.UTF-8" ]; then
    mkdir -p -- "$locales"
    localedef -i fr_FR -f UTF-8 "$locales/fr_FR.UTF-8" >/dev/null 2>&1 ||
        [ -d "$locales/fr_FR.UTF-8" ] || { echo "localedef failed"; exit 1; }
fi

# One Wine program held open for the whole test keeps the session (and its
# display) up between the cases, so only the first one pays for the start.
# Its input is a pipe whose one writer is a sleep of the test's own: no
# program started later holds the pipe, so ending the sleep ends the holder.
fifo=$artifacts/.session
rm -f -- "$fifo"
mkfifo -- "$fifo"
"$wine_run" 'C:\windows\system32\cmd.exe' <"$fifo" >/dev/null 2>&1 &
holder=$!
sleep 3600 >"$fifo" &
writer=$!
end_session() {
    kill "$writer" 2>/dev/null || true
    local i
    for ((i = 0; i < 100; i++)); do
        kill -0 "$holder" 2>/dev/null || break
        sleep 0.1
    done
    rm -f -- "$fifo"
}
trap end_session EXIT

# field LINE NAME: the value of NAME=... in a probe line (text= runs to the end).
field() {
    case $2 in
        text) printf '%s\n' "${1#* text=}" ;;
        *) printf '%s\n' "$1" | tr ' ' '\n' | sed -n "s/^$2=//p" ;;
    esac
}

# check_control CONTROLS ID TEXT CHECKED: the control shows TEXT, is enabled
# and its mark is CHECKED.
check_control() {
    local line
    line=$(printf '%s\n' "$1" | grep -m1 "^control $2 ") || { fail "$case_name: no control $2"; return; }
    if [ "$(field "$line" text)" = "$3" ] && [ "$(field "$line" enabled)" = 1 ] &&
        [ "$(field "$line" checked)" = "$4" ]; then
        ok "$case_name: control $2 shows '$3'"
    else
        fail "$case_name: control $2: expected '$3' enabled checked=$4, got: $line"
    fi
}

# run_case NAME CANCEL NEXT OTHER GROUP [ENV...]
run_case() {
    case_name=$1
    local cancel=$2 next=$3 other=$4 group=$5
    shift 5
    local log=$artifacts/install_$case_name.log
    : >"$log"
    (cd "$package" && exec env "$@" "$wine_run" 'C:\tw-wizard\Systems\Install.exe') \
        </dev/null >>"$log" 2>&1 &
    local runner=$!

    local controls
    controls=$(timeout 180 "$wine_run" "$probe" "$caption" 150 </dev/null 2>/dev/null | tr -d '\r') ||
        true
    printf '%s\n' "$controls" >"$artifacts/install_$case_name.controls"
    local window
    window=$(printf '%s\n' "$controls" | grep -m1 '^window ') || window=
    if [ -z "$window" ]; then
        fail "$case_name: no window captioned '$caption'"
        kill "$runner" 2>/dev/null || true
        wait "$runner" 2>/dev/null || true
        return
    fi
    ok "$case_name: window '$caption' found"
    check_control "$controls" 2 "$cancel" 0
    check_control "$controls" 1013 "$next" 0
    check_control "$controls" 1006 "$other" 0
    check_control "$controls" 1005 USB 1
    check_control "$controls" 1004 "$group" 0
    for label in 1009 1010 1011 1012 1014 1015 1016; do
        check_control "$controls" "$label" "" 0
    done

    local display
    display=$(cut -d' ' -f1 "$WINEPREFIX/.tw-xvfb")
    if DISPLAY=:$display xdotool search --name "^$caption\$" >/dev/null; then
        ok "$case_name: xdotool finds the window"
    else
        fail "$case_name: xdotool does not find the window"
    fi
    local x y w h
    x=$(field "$window" x) y=$(field "$window" y) w=$(field "$window" w) h=$(field "$window" h)
    DISPLAY=:$display import -window root -crop "${w}x${h}+${x}+${y}" +repage \
        "$artifacts/install_$case_name.png" || fail "$case_name: no screenshot"

    local button
    button=$(printf '%s\n' "$controls" | grep -m1 '^control 2 ')
    local cx=$(($(field "$button" x) + $(field "$button" w) / 2))
    local cy=$(($(field "$button" y) + $(field "$button" h) / 2))
    DISPLAY=:$display xdotool mousemove "$cx" "$cy" click 1
    ends_after_cancel "$case_name"
}

# colours SHOT X Y W H: how many colours the rectangle of the screenshot holds
# (1: nothing drawn on the background).
colours() {
    convert "$1" -crop "${4}x${5}+${2}+${3}" +repage -format '%k' info:
}

# A label shows its new text while the step that set it keeps the program
# busy: on the Other path, step 1 shows the deleting text on label 1, then
# runs the removal (the spooler is stopped and started, with the holds after
# each command) before label 2 gets its text. A screenshot 3 s after the
# click must show label 1 drawn and label 2 still blank; the program is then
# ended with Cancel once the step is over.
busy_case() {
    case_name=busy
    local log=$artifacts/install_busy.log
    : >"$log"
    (cd "$package" && exec env LC_ALL=C.UTF-8 "$wine_run" 'C:\tw-wizard\Systems\Install.exe') \
        </dev/null >>"$log" 2>&1 &
    local runner=$!
    local controls
    controls=$(timeout 180 "$wine_run" "$probe" "$caption" 150 </dev/null 2>/dev/null | tr -d '\r') ||
        true
    if ! printf '%s\n' "$controls" | grep -q '^window '; then
        fail "busy: no window captioned '$caption'"
        kill "$runner" 2>/dev/null || true
        wait "$runner" 2>/dev/null || true
        return
    fi
    local display
    display=$(cut -d' ' -f1 "$WINEPREFIX/.tw-xvfb")
    # centre LINE: "x y" of the middle of a probe line's rectangle.
    centre() {
        echo "$(($(field "$1" x) + $(field "$1" w) / 2)) $(($(field "$1" y) + $(field "$1" h) / 2))"
    }
    local other next cancel label1 label2
    other=$(printf '%s\n' "$controls" | grep -m1 '^control 1006 ')
    next=$(printf '%s\n' "$controls" | grep -m1 '^control 1013 ')
    cancel=$(printf '%s\n' "$controls" | grep -m1 '^control 2 ')
    label1=$(printf '%s\n' "$controls" | grep -m1 '^control 1009 ')
    label2=$(printf '%s\n' "$controls" | grep -m1 '^control 1010 ')
    # shellcheck disable=SC2046
    DISPLAY=:$display xdotool mousemove $(centre "$other") click 1
    sleep 0.5
    # shellcheck disable=SC2046
    DISPLAY=:$display xdotool mousemove $(centre "$next") click 1
    sleep 3
    local shot=$artifacts/install_busy.png
    DISPLAY=:$display import -window root "$shot"
    local drawn blank
    drawn=$(colours "$shot" "$(field "$label1" x)" "$(field "$label1" y)" "$(field "$label1" w)" \
        "$(field "$label1" h)")
    blank=$(colours "$shot" "$(field "$label2" x)" "$(field "$label2" y)" "$(field "$label2" w)" \
        "$(field "$label2" h)")
    if [ "$blank" -eq 1 ] && [ "$drawn" -gt 1 ]; then
        ok "busy: label 1 shows its text while the step runs"
    else
        fail "busy: label 1 has $drawn colours, label 2 $blank, 3 s into the step"
    fi
    # The probe waits for the busy program; the step then waits for Next.
    controls=$(timeout 120 "$wine_run" "$probe" "$caption" 60 </dev/null 2>/dev/null | tr -d '\r') ||
        true
    check_control "$controls" 1011 \
        ">   Click Next to select the port for the communication with the machine" 0
    # shellcheck disable=SC2046
    DISPLAY=:$display xdotool mousemove $(centre "$cancel") click 1
    ends_after_cancel busy
}

run_case english Cancel Next Other \
    "Select the port type for the communication with the machine" LC_ALL=C.UTF-8
run_case french Annuler Suivant Autre \
    "Sélectionner le type de port pour la communication avec la machine" \
    LOCPATH="$locales" LC_ALL=fr_FR.UTF-8
busy_case

echo "$passed passed, $failed failed; screenshots in $artifacts"
[ "$failed" -eq 0 ]
