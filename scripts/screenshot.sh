#!/usr/bin/env bash
# Takes a screenshot of the main window as a person sees it: the program runs under Xvfb on a copy of
# the built program folder (with the demo catalog), and ImageMagick grabs the screen.
#   scripts/screenshot.sh [output.png] [WIDTHxHEIGHT]
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
out=${1:-$root/docs/main-window.png}
size=${2:-1024x768}
bin=$root/build/bin
[[ -x $bin/tessary ]] || { echo "build first: scripts/setup.sh run (or cmake --build build)" >&2; exit 1; }

folder=$(mktemp -d)
trap 'rm -rf "$folder"' EXIT
cp "$bin"/tessary "$bin"/*.dbf "$bin"/*.dbt "$bin"/*.mdx "$bin"/*.MDX "$folder"/
cp -r "$bin"/help "$folder"/ 2>/dev/null || true
"$bin/tessary-demo" "$folder" >/dev/null

xvfb-run -a -s "-screen 0 ${size}x24" bash -c '
    "$1/tessary" & pid=$!
    sleep 4
    import -window root "$2"
    kill -TERM $pid; wait $pid' _ "$folder" "$out"
echo "wrote $out"
