#!/usr/bin/env bash
# Sets up a Debian 12 machine, builds Stamp Tessary, and then either starts it or runs every test.
#   scripts/setup.sh run    install what is missing, build, start the program on its default data folder
#   scripts/setup.sh test   install what is missing, build, run every test (plain, sanitized and fuzzed)
set -euo pipefail

mode=${1:-}
if [[ $mode != run && $mode != test ]]; then
    echo "usage: $0 run|test" >&2
    exit 2
fi
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
jobs=$(nproc)

run_packages=(build-essential cmake ninja-build pkg-config
    qt6-base-dev qt6-base-dev-tools qt6-charts-dev qt6-svg-dev qt6-image-formats-plugins libgl1-mesa-dev
    fonts-dejavu-core libgtest-dev libgmock-dev libsqlite3-dev libsane-dev)
test_packages=(clang libclang-rt-14-dev xvfb xauth imagemagick poppler-utils
    libdbd-xbase-perl python3-dbfread python3-dbf sane-utils)

packages=("${run_packages[@]}")
[[ $mode == test ]] && packages+=("${test_packages[@]}")

missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if ((${#missing[@]})); then
    sudo=()
    ((EUID == 0)) || sudo=(sudo)
    "${sudo[@]}" apt-get update -qq
    DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

build=$root/build
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" -j "$jobs"

if [[ $mode == run ]]; then
    # The first run gets a small demo catalog; later runs find the collector's own data untouched.
    if [[ ! -e $build/bin/DATA/data.dbf ]]; then
        "$build/bin/tessary-demo" "$build/bin"
    fi
    exec "$build/bin/tessary"
fi

export QT_QPA_PLATFORM=offscreen
ctest --test-dir "$build" --output-on-failure -j "$jobs"

# The engine once more under AddressSanitizer and UBSan, and its file readers fuzzed for a while.
sanitized=$root/build-sanitize
cmake -S "$root" -B "$sanitized" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DTESSARY_ENGINE_ONLY=ON \
    -DTESSARY_SANITIZE=ON -DTESSARY_FUZZ=ON -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ >/dev/null
cmake --build "$sanitized" -j "$jobs"
ctest --test-dir "$sanitized" --output-on-failure -j "$jobs"
"$root/fuzz/run-all.sh" "$sanitized/bin"
