#!/usr/bin/env bash
# Application figures, each printed next to its bound:
#  1. CPU time of `sealwise --demo` (offscreen) over 60 s of streaming with the dashboard shown,
#     as a share of one core; bound 5 %.
#  2. Start-up to the first painted window of `sealwise` against bench_bare_window, both started
#     the same way, alternating runs, medians compared; bound 2x.
# Usage: bash bench/app/run.sh <build-dir>   (STREAM_SECONDS and RUNS override the defaults)
set -euo pipefail

build=${1:?usage: run.sh <build-dir>}
app=$build/app/sealwise
bare=$build/bench/app/bench_bare_window
stream_seconds=${STREAM_SECONDS:-60}
runs=${RUNS:-10}
for exe in "$app" "$bare"; do
  [[ -x $exe ]] || { echo "missing $exe: cmake --build $build --target sealwise bench_bare_window" >&2; exit 2; }
done

data=$(mktemp -d)
app_pid=
cleanup() {
  if [[ -n $app_pid ]]; then kill -TERM "$app_pid" 2>/dev/null || true; fi
  rm -rf "$data"
}
trap cleanup EXIT
# The agreement page is skipped so the device connects straight away.
printf '[License]\nShow=0\n' >"$data/Settings.cfg"
export QT_QPA_PLATFORM=offscreen

now_ns() { date +%s%N; }
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", a / b }'; }
# user + system clock ticks of the whole process (all threads).
cpu_ticks() { awk '{ print $14 + $15 }' "/proc/$1/stat"; }
bytes_read() { awk '/^rchar:/ { print $2 }' "/proc/$1/io"; }
# The USB link holds the demo device's terminal open while connected.
holds_terminal() {
  local fd
  for fd in "/proc/$1"/fd/*; do
    [[ $(readlink "$fd" 2>/dev/null) == /dev/pts/* ]] && return 0
  done
  return 1
}

measure_streaming_cpu() {
  "$app" --demo --data-dir "$data" -platform offscreen 2>"$data/stderr.txt" &
  app_pid=$!
  local waited=0
  until holds_terminal "$app_pid"; do
    kill -0 "$app_pid" 2>/dev/null || { echo "sealwise --demo ended early:" >&2; cat "$data/stderr.txt" >&2; exit 1; }
    ((waited++ < 600)) || { echo "sealwise --demo did not connect within 60 s" >&2; exit 1; }
    sleep 0.1
  done
  echo "connected after $(awk -v t="$waited" 'BEGIN { printf "%.1f", t / 10 }') s; streaming for $stream_seconds s"
  sleep 2  # the slide to the dashboard ends
  local t0 c0 r0 t1 c1 r1
  t0=$(now_ns); c0=$(cpu_ticks "$app_pid"); r0=$(bytes_read "$app_pid")
  sleep "$stream_seconds"
  holds_terminal "$app_pid" || { echo "sealwise lost the device while streaming" >&2; exit 1; }
  t1=$(now_ns); c1=$(cpu_ticks "$app_pid"); r1=$(bytes_read "$app_pid")
  kill -TERM "$app_pid"
  wait "$app_pid" 2>/dev/null || true
  app_pid=
  local hz percent seconds rate
  hz=$(getconf CLK_TCK)
  seconds=$(awk -v a="$t0" -v b="$t1" 'BEGIN { printf "%.3f", (b - a) / 1e9 }')
  percent=$(awk -v c=$((c1 - c0)) -v hz="$hz" -v s="$seconds" 'BEGIN { printf "%.2f", 100 * c / hz / s }')
  rate=$(awk -v r=$((r1 - r0)) -v s="$seconds" 'BEGIN { printf "%.0f", r / s }')
  (( r1 > r0 )) || { echo "no data read from the device while streaming" >&2; exit 1; }
  printf '%-44s %8s %% of one core   bound 5 %%   ratio %s   (%d ticks in %s s, %s B/s read)\n' \
    "streaming CPU, sealwise --demo offscreen" "$percent" "$(ratio "$percent" 5)" $((c1 - c0)) "$seconds" "$rate"
}

# Milliseconds from launch to exit of one run; a failing run stops the benchmark.
time_start() {
  local t0 t1
  t0=$(now_ns)
  "$@" >/dev/null 2>&1 || { echo "start-up run failed: $*" >&2; exit 1; }
  t1=$(now_ns)
  awk -v a="$t0" -v b="$t1" 'BEGIN { printf "%.1f\n", (b - a) / 1e6 }'
}
median() { sort -n | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }

measure_start_up() {
  local app_times=() bare_times=() i
  # One unmeasured run each fills the caches and creates the data folder's files.
  time_start env SEALWISE_EXIT_ON_SHOW=1 "$app" --data-dir "$data" -platform offscreen >/dev/null
  time_start "$bare" -platform offscreen >/dev/null
  for ((i = 0; i < runs; i++)); do
    app_times+=("$(time_start env SEALWISE_EXIT_ON_SHOW=1 "$app" --data-dir "$data" -platform offscreen)")
    bare_times+=("$(time_start env "$bare" -platform offscreen)")
  done
  local app_median bare_median
  app_median=$(printf '%s\n' "${app_times[@]}" | median)
  bare_median=$(printf '%s\n' "${bare_times[@]}" | median)
  echo "sealwise runs (ms):    ${app_times[*]}"
  echo "bare window runs (ms): ${bare_times[*]}"
  printf '%-44s %8s ms vs %s ms   bound 2x   ratio %s\n' \
    "start-up to first painted window (median)" "$app_median" "$bare_median" "$(ratio "$app_median" "$bare_median")"
}

measure_start_up
measure_streaming_cpu
