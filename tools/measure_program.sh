#!/usr/bin/env bash
# Measures the real editor: the processor time an untouched editor uses over
# 10 s, in a window (an Xvfb of its own, alone and with the picture window
# open) and in a terminal (tmux); its threads;
# the peak resident memory of the window's editor after a save and a load,
# and after a stroke over the loaded level and its undo; and the peak
# resident memory of a Load of a level of 1024 x 1024 x 256 (256 MiB of
# cells, written by the game's own classes with the JDK), beside its cells.
# The processor time is the process's own, from /proc.
#   tools/measure_program.sh [TERRAFIX_BINARY]
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
tools/install-packages.sh xvfb xdotool tmux
if [ $# -ge 1 ]; then
  bin=$(realpath "$1")
else
  cmake -S . -B build -DCMAKE_BUILD_TYPE=Release >/dev/null
  cmake --build build -j2 --target terrafix >/dev/null
  bin=$root/build/terrafix
fi
idle_seconds=10
ticks=$(getconf CLK_TCK)

# utime + stime of a process, in clock ticks.
cpu_ticks() { awk '{ print $14 + $15 }' "/proc/$1/stat"; }
idle_share() {
  local pid=$1 before after
  before=$(cpu_ticks "$pid")
  sleep "$idle_seconds"
  after=$(cpu_ticks "$pid")
  awk -v b="$before" -v a="$after" -v t="$ticks" -v s="$idle_seconds" \
    'BEGIN { printf "%.1f %% of a core", (a - b) / t / s * 100 }'
}
wait_for() { for _ in $(seq 100); do eval "$1" && return 0; sleep 0.1; done; return 1; }

work=$(mktemp -d)
display=:$((70 + RANDOM % 20))
Xvfb "$display" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
socket=terrafix-measure-$$
trap 'kill $xvfb 2>/dev/null; tmux -L "$socket" kill-server 2>/dev/null; rm -rf "$work"' EXIT
cp data/headers.dat "$work/"
cd "$work"
# Work the measured editors keep as they are ended stays with them.
export XDG_STATE_HOME=$work/state

export DISPLAY=$display
wait_for 'xdotool getdisplaygeometry >/dev/null 2>&1'
"$bin" </dev/null >/dev/null 2>&1 &
pid=$!
wait_for '[ -n "$(xdotool search --onlyvisible --name "^terrafix$" 2>/dev/null)" ]'
window=$(xdotool search --onlyvisible --name '^terrafix$' | head -n 1)
xdotool mousemove --window "$window" 1000 700
sleep 2  # settled
echo "window, untouched for ${idle_seconds} s: $(idle_share "$pid")"
echo "window, threads: $(awk '/^Threads/ { print $2 }' "/proc/$pid/status")"
# A save and a load, so that the peak includes the file buffers.
xdotool mousemove --window "$window" 418 3 mousedown 1; sleep 0.3; xdotool mouseup 1; sleep 0.3
xdotool type level; xdotool key Return
wait_for '[ -e level.dat ]'; sleep 0.5; xdotool key space; sleep 0.3
xdotool mousemove --window "$window" 363 3 mousedown 1; sleep 0.3; xdotool mouseup 1; sleep 0.3
xdotool type level; xdotool key Return
sleep 1.5  # a load leaves no file behind
echo "window, peak resident memory after a save and a load: $(awk '/VmHWM/ { print $2 " " $3 }' "/proc/$pid/status")"
# A stroke over the loaded level, undone, redone and undone again.
xdotool mousemove --window "$window" 100 100 mousedown 1
for x in 103 106 109 112 115; do sleep 0.1; xdotool mousemove --window "$window" "$x" 100; done
sleep 0.1; xdotool mouseup 1; sleep 0.2
xdotool key ctrl+z; sleep 0.2; xdotool key ctrl+y; sleep 0.2; xdotool key ctrl+z; sleep 0.5
echo "window, peak resident memory after a load, a stroke and its undo: $(awk '/VmHWM/ { print $2 " " $3 }' "/proc/$pid/status")"
# The picture window open beside it, and nothing happening.
xdotool key i
wait_for '[ -n "$(xdotool search --onlyvisible --name "^terrafix picture$" 2>/dev/null)" ]'
sleep 2  # settled
echo "window with the picture window open, untouched for ${idle_seconds} s: $(idle_share "$pid")"
kill "$pid"

unset DISPLAY
tmux -L "$socket" new-session -d -x 140 -y 80 "$bin"
wait_for '[ -n "$(pgrep -n -f "^$bin")" ]'
pid=$(pgrep -n -f "^$bin")
sleep 2
echo "terminal, untouched for ${idle_seconds} s: $(idle_share "$pid")"
kill "$pid"

# A Load of a large level, in the terminal: the peak beside the level's cells
# (the window's editor, ended with a stroke unsaved, kept it: not offered here).
rm -rf "$XDG_STATE_HOME"
javac -d classes "$root/tests/java/Level.java" "$root/tests/java/LevelTool.java"
java -cp classes com.mojang.minecraft.level.LevelTool write large.raw 1024 1024 256
gzip -c -n large.raw > large.dat && rm large.raw
tmux -L "$socket" new-session -d -x 140 -y 80 "$bin"
wait_for '[ -n "$(pgrep -n -f "^$bin")" ]'
pid=$(pgrep -n -f "^$bin")
sleep 1
load_click=$'\e[<0;46;1M\e[<0;46;1m'
tmux -L "$socket" send-keys -l "$load_click"
sleep 0.5
tmux -L "$socket" send-keys -l large
tmux -L "$socket" send-keys Enter
wait_for 'tmux -L "$socket" capture-pane -p | head -n 1 | grep -q "New   Load"'
sleep 1
echo "terminal, peak resident memory of a Load of 1024 x 1024 x 256 (256 MiB of cells): $(awk '/VmHWM/ { print $2 " " $3 }' "/proc/$pid/status")"
