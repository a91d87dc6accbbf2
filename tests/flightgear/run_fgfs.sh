#!/usr/bin/env bash
# Runs FlightGear 2020.3 (Debian's fgfs) for the link's real test: its own X server (Xvfb,
# software GL), the props server on 127.0.0.1:PORT, the UFO at KSFO with the light settings,
# the GFC700 autopilot, and an FG1000 (PFD 1, MFD 2) brought up by fg1000_load.nas, which
# sets /test/fg1000-ready. Runs until fgfs ends or this script gets SIGTERM/SIGINT (then both
# fgfs and the X server end). FG_HOME defaults to a cache folder outside the clone, so the
# navdata cache (166 MB, 25-40 s to build) is built once per machine.
# Usage: run_fgfs.sh PORT [FG_HOME]
set -euo pipefail
port=${1:?usage: run_fgfs.sh PORT [FG_HOME]}
here=$(cd "$(dirname "$0")" && pwd)
export FG_HOME=${2:-${XDG_CACHE_HOME:-$HOME/.cache}/qel1000keysend/fghome}
mkdir -p "$FG_HOME"
fgfs=$(command -v fgfs || echo /usr/games/fgfs)
[ -x "$fgfs" ] || { echo "run_fgfs.sh: fgfs is not installed (scripts/install-flightgear)" >&2; exit 2; }
command -v Xvfb >/dev/null || { echo "run_fgfs.sh: Xvfb is not installed" >&2; exit 2; }

xvfb=
fg=
stop() {
    [ -z "$fg" ] || kill "$fg" 2>/dev/null || true
    [ -z "$fg" ] || wait "$fg" 2>/dev/null || true
    [ -z "$xvfb" ] || kill "$xvfb" 2>/dev/null || true
}
trap stop EXIT
trap 'exit 143' TERM INT

# Xvfb picks a free display and writes its number to the fifo.
fifo=$(mktemp -u)
mkfifo "$fifo"
Xvfb -displayfd 3 -screen 0 800x600x24 -nolisten tcp 3>"$fifo" >/dev/null 2>&1 &
xvfb=$!
display=
read -r -t 10 display <"$fifo" || true
rm -f "$fifo"
[ -n "$display" ] || { echo "run_fgfs.sh: Xvfb did not start" >&2; exit 2; }

# Without a session bus fgfs aborts in libdbus unless dbus warnings are not fatal. A tiny
# window: software GL draws 640x480 at a few frames a second here, 160x120 at 30; the FG1000
# draws into canvases of its own.
DISPLAY=:$display LIBGL_ALWAYS_SOFTWARE=1 DBUS_FATAL_WARNINGS=0 nice -n 15 "$fgfs" \
    --telnet=socket,bi,60,localhost,"$port",tcp \
    --aircraft=ufo --airport=KSFO --timeofday=noon \
    --disable-sound --disable-splash-screen --disable-terrasync \
    --disable-ai-traffic --disable-ai-models --disable-real-weather-fetch \
    --disable-clouds --disable-clouds3d --fog-fastest --disable-random-objects \
    --disable-random-vegetation --disable-random-buildings \
    --geometry=160x120 --max-fps=30 --disable-hud --disable-panel \
    --prop:/sim/rendering/draw-mask/terrain=false \
    --prop:/sim/rendering/draw-mask/models=false \
    --prop:/sim/rendering/draw-mask/aircraft=false \
    --prop:/sim/systems/autopilot[1]/path=Aircraft/Instruments-3d/FG1000/GFC700.xml \
    --prop:/nasal/fg1000_test/file="$here/fg1000_load.nas" &
fg=$!
wait "$fg"
