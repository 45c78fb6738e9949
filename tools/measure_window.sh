#!/usr/bin/env bash
# Measures the real editor in an X server of its own (Xvfb): the time from the
# start of the process to the first frame shown, the pass rate in layout 1,
# zoom 3 with the grid on, the time that showing a frame takes (UnlockScreen),
# and the peak resident memory after a save and a load. Counts passes and frames with uprobes (perf);
# run as root.
#   tools/measure_window.sh [SECONDS]
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
seconds=${1:-5}
tools/install-packages.sh xvfb xdotool linux-perf
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build -j2 --target terrafix >/dev/null
bin=$root/build/terrafix

address() { nm -C "$bin" | awk -v f="$1" '$3 == f { print "0x" $1; exit }'; }
perf probe -q -d 'probe_terrafix:*' 2>/dev/null || true
perf probe -q -x "$bin" -a "pass=$(address 'terrafix::RunPass(terrafix::EditorState&,')"
perf probe -q -x "$bin" -a "unlock=$(address 'terrafix::UnlockScreen()')"
perf probe -q -x "$bin" -a "unlocked=$(address 'terrafix::UnlockScreen()')%return"

display=:$((70 + RANDOM % 20))
Xvfb "$display" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
work=$(mktemp -d)
trap 'kill $xvfb 2>/dev/null; rm -rf "$work"; perf probe -q -d "probe_terrafix:*" 2>/dev/null || true' EXIT
sleep 1
export DISPLAY=$display
cp data/headers.dat "$work/"
cd "$work"

# Start-up: from the exec of the process to the return of its first UnlockScreen.
perf record -q -o startup.data -e sched:sched_process_exec -e probe_terrafix:unlocked__return -- "$bin" </dev/null >/dev/null 2>&1 &
recorder=$!
sleep 3
window=$(xdotool search --onlyvisible --name '^terrafix$' | head -n 1)
pid=$(pgrep -n -x terrafix)
# Layout 1 is the start; zoom 3 too; the grid box turns the grid on.
xdotool mousemove --window "$window" 986 459 mousedown 1; sleep 0.2; xdotool mouseup 1
xdotool mousemove --window "$window" 1000 700
sleep 0.5
perf record -q -o passes.data -p "$pid" -e probe_terrafix:pass -e probe_terrafix:unlock -e probe_terrafix:unlocked__return -- sleep "$seconds" >/dev/null 2>&1
# A save and a load, so that the peak includes the file buffers.
xdotool mousemove --window "$window" 418 3 mousedown 1; sleep 0.2; xdotool mouseup 1; sleep 0.3
xdotool type level; xdotool key Return; sleep 2; xdotool key space; sleep 0.3
xdotool mousemove --window "$window" 363 3 mousedown 1; sleep 0.2; xdotool mouseup 1; sleep 0.3
xdotool type level; xdotool key Return; sleep 2
peak=$(awk '/VmHWM/ { print $2 " " $3 }' "/proc/$pid/status")
# Quit, answered y.
xdotool mousemove --window "$window" 475 3 mousedown 1; sleep 0.2; xdotool mouseup 1; sleep 0.3
xdotool type y; xdotool key Return
wait "$recorder"

perf script -i startup.data -F time,event 2>/dev/null | awk '
  /sched_process_exec/ && !start { start = $1 + 0 }
  /unlocked__return/ && !first { first = $1 + 0 }
  END { printf "start-up to the first frame shown: %.1f ms\n", (first - start) * 1000 }'
perf script -i passes.data -F time,event 2>/dev/null | awk -v seconds="$seconds" '
  / probe_terrafix:pass/ { passes++ }
  / probe_terrafix:unlock:/ { entered = $1 + 0 }
  / probe_terrafix:unlocked__return:/ { if (entered) { total += $1 - entered; frames++ } }
  END {
    printf "passes per second, layout 1, zoom 3, grid on: %.0f\n", passes / seconds
    printf "showing a frame (UnlockScreen): %.2f ms on average over %d frames\n", total / frames * 1000, frames
  }'
[ -e level ] || echo "the save and load did not happen: the peak misses them"
echo "peak resident memory (after a save and a load): $peak"
