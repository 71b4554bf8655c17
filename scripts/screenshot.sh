#!/usr/bin/env bash
# Takes a screenshot of the main window as a person sees it: the program runs under Xvfb on a copy of
# the built program folder (with the demo catalog), and ImageMagick grabs the screen.
#   scripts/screenshot.sh [output.png] [WIDTHxHEIGHT]   (TESSARY_BUILD_DIR picks another build folder)
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
out=${1:-$root/docs/main-window.png}
size=${2:-1024x768}
bin=${TESSARY_BUILD_DIR:-$root/build}/bin
[[ -x $bin/tessary ]] || { echo "build first: scripts/setup.sh run (or cmake --build build)" >&2; exit 1; }

folder=$(mktemp -d)
trap 'rm -rf "$folder"' EXIT
cp "$bin"/tessary "$bin"/*.dbf "$bin"/*.dbt "$bin"/*.mdx "$bin"/*.MDX "$folder"/
cp -r "$bin"/help "$folder"/ 2>/dev/null || true
"$bin/tessary-demo" "$folder" >/dev/null
# The window placement file puts the window at the top left with the size asked for (a right pane of
# 55 percent); the screen is at least 1024 x 768 and the picture is cut to the window.
width=${size%x*}
height=${size#*x}
python3 -c 'import struct, sys; open(sys.argv[1], "wb").write(struct.pack("<5i", 0, 0, *map(int, sys.argv[2:])))' \
    "$folder/DATA/wnd.dat" "$width" "$height" $((width * 55 / 100))
screen="$((width > 1024 ? width : 1024))x$((height > 768 ? height : 768))"

xvfb-run -a -s "-screen 0 ${screen}x24" bash -c '
    "$1/tessary" & pid=$!
    sleep 4
    import -window root -crop "$3+0+0" +repage "$2"
    kill -TERM $pid; wait $pid' _ "$folder" "$out" "$size"
echo "wrote $out"
