#!/usr/bin/env bash
# Builds everything and runs every test: native tests, the sanitizer build,
# the shipped 32-bit Windows programs, and the x86-64 Windows build with its
# contract and end-to-end tests under Wine.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh test

step() { printf '\n=== %s\n' "$*"; }

step "native build and tests"
cmake --preset default >/dev/null
cmake --build --preset default
ctest --preset default

step "sanitizer build and tests"
cmake --preset asan >/dev/null
cmake --build --preset asan
ctest --preset asan

step "fuzzing the status exchange (libFuzzer with ASan, 20 s)"
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz --target status_query_fuzz
fuzz_corpus=$(mktemp -d)
build/fuzz/engraver/status_query_fuzz -max_total_time=20 -print_final_stats=1 \
    "$fuzz_corpus" engraver/fuzz/corpus
rm -rf "$fuzz_corpus"

step "Windows i686 build (the shipped programs)"
cmake --preset win32 >/dev/null
cmake --build --preset win32
# The package folder and its zip: both programs are 32-bit x86, and the zip
# holds what the folder holds.
programs=(build/win32/package/setup.exe build/win32/package/Systems/Install.exe)
for program in "${programs[@]}"; do
    kind=$(file "$program")
    echo "$kind"
    grep -q 'PE32 executable.*Intel 80386' <<<"$kind"
done
diff <(cd build/win32/package && find . -type f | sed 's|^\./||' | sort) \
    <(unzip -Z1 build/win32/tarnwell_package.zip | grep -v '/$' | sort)

step "Windows x86-64 build and the tests under Wine"
cmake --preset win64 >/dev/null
cmake --build --preset win64
ctest --preset win64
