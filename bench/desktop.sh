#!/usr/bin/env bash
# Desktop figures, run by hand (not a test): starts the game three times under a virtual X
# server without a window manager and prints, per run and as the median, exec to window
# mapped, exec to painted board, RSS at 5 s, idle CPU over 10 s in an 800x600 window, a
# 1280x1024 one and full screen, CPU while the mouse sweeps the board, the frames the
# game counted in its last whole 10 s window before the sweep, and the frames and CPU over
# 10 s of clicks popping groups (pops, rising pictures and falling balloons flying), and
# idle wake-ups a second (context switches, voluntary or not, over 10 s) for the process,
# and per thread on standard error.
# Klickety's figures are printed beside them when it is installed.
#
#   bench/desktop.sh [BUILD_DIR]      (default: build; ZORBIT=path overrides the program)
#   DISPLAY_NUMBER=73 RUNS=3 SECONDS_PER_FIGURE=10
#   SHOT_DIR=dir     also saves dir/f1-effects.png: the window with F1's frame rate shown
#                    while effects fly (first run)
#   ZORBIT_VSYNC=1, ZORBIT_PRESENT=...   are passed on to the game
#
# CPU is the process's own utime+stime from /proc (all its threads), in % of one core.
set -u
export PATH="$PATH:/usr/games"
here=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$here/build}
zorbit=${ZORBIT:-$build/zorbit}
data=${ZORBIT_DATA:-$build/game}
runs=${RUNS:-3}
span=${SECONDS_PER_FIGURE:-10}
number=${DISPLAY_NUMBER:-73}
work=$(mktemp -d)
trap 'cleanup' EXIT
tick=$(getconf CLK_TCK)

cc -O2 -o "$work/xprobe" "$here/bench/xprobe.c" -lX11 || exit 1
probe=$work/xprobe

# -noreset: a desktop's X server does not start afresh each time its last client leaves;
# without it every start pays for the server's reset (a keymap compile, its framebuffer
# faulted in again on the first picture), which is the server's cost, not the game's.
Xvfb ":$number" -screen 0 1280x1024x24 -nolisten tcp -noreset >/dev/null 2>&1 &
xpid=$!
export DISPLAY=":$number"
for _ in $(seq 100); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.05; done 2>/dev/null
sleep 0.5

started=()
cleanup() {
  for p in "${started[@]}"; do kill "$p" 2>/dev/null; done
  kill "$xpid" 2>/dev/null
  wait 2>/dev/null
  rm -rf "$work"
}

cpu_ticks() { awk '{print $14 + $15}' "/proc/$1/stat" 2>/dev/null || echo 0; }

# % of one core that process $1 used over $span seconds (while $2..., if given, runs).
cpu_over() {
  local pid=$1 before after
  shift
  before=$(cpu_ticks "$pid")
  if [ $# -gt 0 ]; then "$@"; else sleep "$span"; fi
  after=$(cpu_ticks "$pid")
  awk -v a="$after" -v b="$before" -v t="$tick" -v s="$span" \
    'BEGIN { printf "%.1f", (a - b) * 100 / t / s }'
}

# Context switches (voluntary and not) of each thread of $1 so far: "tid name count" lines.
switches() {
  local t
  for t in "/proc/$1"/task/*; do
    awk -v tid="${t##*/}" -v name="$(tr ' ' _ <"$t/comm" 2>/dev/null)" \
      '/ctxt_switches/ {n += $2} END {print tid, name, n}' "$t/status" 2>/dev/null
  done
}

# Idle figures of process $1 over $span seconds: "cpu wakeups-a-second"; each thread's
# wake-ups a second go to standard error, labelled $2.
idle_over() {
  local pid=$1 label=$2 before after ticks0 ticks1
  before=$(switches "$pid")
  ticks0=$(cpu_ticks "$pid")
  sleep "$span"
  ticks1=$(cpu_ticks "$pid")
  after=$(switches "$pid")
  printf '%s\n--\n%s\n' "$before" "$after" | awk -v s="$span" -v label="$label" \
    -v a="$ticks1" -v b="$ticks0" -v t="$tick" '
    $1 == "--" { later = 1; next }
    !later { first[$1] = $3; next }
    { n = $3 - ($1 in first ? first[$1] : 0); all += n; line = line sprintf(" %s %.1f", $2, n / s) }
    END {
      printf "  %s wake-ups a second by thread:%s\n", label, line > "/dev/stderr"
      printf "%.1f %.1f\n", (a - b) * 100 / t / s, all / s
    }'
}

rss_mib() { awk '/^VmRSS/ {printf "%.0f", $2 / 1024}' "/proc/$1/status" 2>/dev/null; }

# The pid of the program itself when it runs under a helper (dbus-run-session).
real_pid() {
  local pid=$1 name=$2 child
  for _ in $(seq 50); do
    child=$(ps -o pid= --ppid "$pid" -o comm= 2>/dev/null | awk -v n="$name" '$2 == n {print $1}')
    [ -n "$child" ] && { echo "$child"; return; }
    [ "$(ps -o comm= -p "$pid" 2>/dev/null)" = "$name" ] && { echo "$pid"; return; }
    sleep 0.1
  done
  echo "$pid"
}

# The game's trace counts the frames presented in windows of 10 s from its first picture;
# this is the last whole window it printed, which need not match the idle span measured.
frames_in_span() {
  grep -o 'frames [0-9]*' "$1" | tail -1 | awk '{print $2}'
}

# Trace lines with a frame count the game has printed so far.
trace_lines() { grep -c 'frames [0-9]*' "$1"; }

# Waits (up to 25 s) until the game has printed $2 such lines.
wait_lines() {
  for _ in $(seq 500); do [ "$(trace_lines "$1")" -ge "$2" ] && return; sleep 0.05; done
}

# Pops groups on the board of window $1 for $2 seconds: a plain click every 300 ms on a cell
# of the upper rows (the balloons below a gap float up into them), the cells in an order
# fixed by a small generator so that every run plays the same clicks on the same seed.
# The board starts at (154, 7) in cells of 32 x 40.
pop_for() {
  local wid=$1 end seed=7 column row
  end=$(( $(date +%s%N) + $2 * 1000000000 ))
  while [ "$(date +%s%N)" -lt "$end" ]; do
    seed=$(( (seed * 1103515245 + 12345) % 2147483648 ))
    column=$(( seed / 65536 % 18 )) row=$(( seed / 16 % 8 ))
    xdotool mousemove --window "$wid" $((170 + 32 * column)) $((27 + 40 * row)) click 1
    sleep 0.3
  done
}

# 10 s of effects in window $3 of process $2 logging to $1, counted by the game's own trace:
# the clicks start as a trace window begins, and the next line counts the frames over them.
# Prints "frames cpu shown" (shown: the pictures a presenting thread showed, or -).
measure_effects() {
  local log=$1 app=$2 wid=$3 lines cpu line shown
  lines=$(trace_lines "$log")
  wait_lines "$log" $((lines + 1))
  cpu=$(cpu_over "$app" pop_for "$wid" "$span")
  wait_lines "$log" $((lines + 2))
  line=$(grep 'frames [0-9]*' "$log" | sed -n "$((lines + 2))p")
  shown=$(echo "$line" | grep -o '[0-9]* shown' | awk '{print $1}')
  echo "$(echo "$line" | grep -o 'frames [0-9]*' | awk '{print $2}') $cpu ${shown:--}"
}

# F1 on while effects fly, a picture of the window, F1 off again.
shoot_f1() {
  local wid=$1
  xdotool key F1
  pop_for "$wid" 3 &
  sleep 2.5
  mkdir -p "$SHOT_DIR"
  if ! command -v import >/dev/null; then
    echo "no picture taken (ImageMagick's import is needed)" >&2
  elif ! import -window "$wid" "$SHOT_DIR/f1-effects.png" 2>/dev/null; then
    echo "no picture taken: import failed on window $wid" >&2
  fi
  wait $!
  xdotool key F1
}

# One run of one program: prints "mapped painted rss idle800 idle1280 sweep frames
# effect-frames effect-cpu effect-shown".
measure() {
  local kind=$1 log=$work/$kind.log title pid mapped painted wid rss idle big sweep frames
  local -a command
  if [ "$kind" = zorbit ]; then
    title=Zorbit
    command=(env ZORBIT_TRACE=1 "$zorbit" --data "$work/game" --seed 1)
  else
    title=Klickety
    command=(env XDG_RUNTIME_DIR="$work/runtime" dbus-run-session -- klickety)
  fi
  read -r pid mapped painted wid < <("$probe" launch "$title" -- "${command[@]}" 2>"$log")
  started+=("$pid")
  local app
  app=$(real_pid "$pid" "$kind")
  sleep "$(awk -v p="$painted" 'BEGIN { s = 5 - p / 1000; print (s > 0 ? s : 0) }')"
  rss=$(rss_mib "$app")
  # No window manager gives the focus: without it a game may pause as an inactive window.
  xdotool windowfocus "$wid" 2>/dev/null
  xdotool windowsize "$wid" 800 600 2>/dev/null; sleep 1
  local wake bigwake
  read -r idle wake < <(idle_over "$app" "$kind 800x600")
  frames=$( [ "$kind" = zorbit ] && frames_in_span "$log" || echo -)
  xdotool windowsize "$wid" 1280 1024 2>/dev/null; sleep 1
  read -r big bigwake < <(idle_over "$app" "$kind 1280x1024")
  xdotool windowsize "$wid" 800 600 2>/dev/null; sleep 1
  sweep=$(cpu_over "$app" "$probe" sweep "$wid" "$span")
  local effects="- - -"
  if [ "$kind" = zorbit ]; then
    effects=$(measure_effects "$log" "$app" "$wid")
    [ -n "${SHOT_DIR:-}" ] && [ "$run" = 1 ] && shoot_f1 "$wid"
  fi
  kill "$app" "$pid" 2>/dev/null; wait "$pid" 2>/dev/null; sleep 1
  echo "$mapped $painted $rss $idle $big $sweep ${frames:--} $effects $wake $bigwake"
}

# Full screen (the game only): idle and sweeping CPU.
measure_full() {
  local log=$work/full.log pid mapped painted wid
  read -r pid mapped painted wid < <("$probe" launch Zorbit -- env ZORBIT_TRACE=1 "$zorbit" --data "$work/full" 2>"$log")
  started+=("$pid")
  xdotool windowfocus "$wid" 2>/dev/null
  sleep 2
  local idle sweep wake
  read -r idle wake < <(idle_over "$pid" "zorbit full screen")
  sweep=$(cpu_over "$pid" "$probe" sweep "$wid" "$span")
  kill "$pid" 2>/dev/null; wait "$pid" 2>/dev/null; sleep 1
  echo "$idle $sweep $wake"
}

median() { printf '%s\n' "$@" | grep -v '^-$' | sort -g | awk '{v[NR]=$1} END {if (NR) print v[int((NR+1)/2)]; else print "-"}'; }

mkdir -m 700 "$work/runtime"
# The game plays in copies of its data: one windowed, one full screen.
cp -r "$data" "$work/game"
cp -r "$data" "$work/full"
printf '[setup]\nfullscreen=1\n' >"$work/full/setup.ini"
declare -A figures
programs=(zorbit)
command -v klickety >/dev/null && command -v dbus-run-session >/dev/null && programs+=(klickety)
for run in $(seq "$runs"); do
  for kind in "${programs[@]}"; do
    read -r -a f < <(measure "$kind")
    for i in 0 1 2 3 4 5 6; do figures[$kind,$i]+="${f[$i]} "; done
    for i in 7 8 9; do figures[$kind,$((i + 2))]+="${f[$i]} "; done
    for i in 10 11; do figures[$kind,$((i + 2))]+="${f[$i]} "; done
    echo "run $run $kind: ${f[*]}" >&2
  done
  read -r -a f < <(measure_full)
  figures[zorbit,7]+="${f[0]} "
  figures[zorbit,8]+="${f[1]} "
  figures[zorbit,14]+="${f[2]} "
  echo "run $run zorbit full screen: ${f[*]}" >&2
done

names=("exec to window mapped (ms)" "exec to board painted (ms)" "RSS 5 s after start (MiB)"
       "CPU idle, 800x600 window (% core)" "CPU idle, 1280x1024 window (% core)"
       "CPU while the mouse sweeps (% core)" "frames in the game's last 10 s trace window"
       "CPU idle, full screen (% core)" "CPU sweeping, full screen (% core)"
       "frames in 10 s with effects flying" "CPU with effects flying (% core)"
       "pictures shown in those 10 s (presenting thread)"
       "wake-ups a second idle, 800x600 (process)" "wake-ups a second idle, 1280x1024 (process)"
       "wake-ups a second idle, full screen (process)")
printf '| figure | Zorbit (median; runs) | Klickety (median; runs) |\n|---|---|---|\n'
for i in 0 1 2 3 12 4 13 5 6 9 10 11 7 14 8; do
  z=${figures[zorbit,$i]:-}
  k=${figures[klickety,$i]:-}
  # shellcheck disable=SC2086
  printf '| %s | %s (%s) | %s |\n' "${names[$i]}" "$(median $z)" "${z% }" \
    "$([ -n "$k" ] && echo "$(median $k) (${k% })" || echo -)"
done
