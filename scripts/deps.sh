#!/usr/bin/env bash
# Installs the Debian packages the build needs, when they are missing.
# Usage: scripts/deps.sh main|test
set -euo pipefail

main_packages=(cmake ninja-build g++ libgtest-dev libgmock-dev nlohmann-json3-dev libcli11-dev)
test_packages=("${main_packages[@]}" googletest libbenchmark-dev clang clang-tidy clang-format
    libclang-rt-dev mingw-w64 wine wine64 xvfb xdotool imagemagick locales file unzip python3)

case ${1:-} in
    main) wanted=("${main_packages[@]}") ;;
    test) wanted=("${test_packages[@]}") ;;
    *) echo "usage: $0 main|test" >&2; exit 2 ;;
esac

missing=()
for package in "${wanted[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed'; then
        missing+=("$package")
    fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
sudo=()
[ "$(id -u)" -eq 0 ] || sudo=(sudo)
"${sudo[@]}" apt-get update -qq
DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq --no-install-recommends \
    "${missing[@]}" >/dev/null
