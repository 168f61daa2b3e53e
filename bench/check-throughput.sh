#!/usr/bin/env bash
# Throughput of "quorvant check": generates a file of synthetic cases (default
# 100,000) and checks it with one worker and with one worker per core, with the
# library's debug log off. Prints cases per second (wall clock and CPU time)
# and the peak memory.
#
#   bench/check-throughput.sh [BUILD_DIR] [CASES] [REPEATS]
#
# Each run is repeated (default 3 times) and the fastest one is reported, so
# that other work on the machine disturbs the figures less.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
cases=${2:-100000}
repeats=${3:-3}
program="$build/quorvant"
generator="$build/gen-cases"
for tool in "$program" "$generator"; do
  [[ -x "$tool" ]] || { echo "missing $tool: build first (cmake --build $build)" >&2; exit 2; }
done
[[ -x /usr/bin/time ]] || { echo "needs /usr/bin/time (Debian package 'time')" >&2; exit 2; }
# The library writes its debug log only when this directory exists; a log of
# every step would measure the disk, not the checks.
if [[ -d /tmp/quorvant ]]; then
  echo "the library's log directory /tmp/quorvant exists: remove it to benchmark with the log off" >&2
  exit 2
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
"$generator" --cases "$cases" --seed 1 --output "$work/cases.dat"
size=$(du -m "$work/cases.dat" | cut -f1)
echo "input: $cases cases, $size MB"

cores=$(nproc)
runs=(1)
((cores > 1)) && runs+=("$cores")
for jobs in "${runs[@]}"; do
  best=""
  for ((r = 0; r < repeats; r++)); do
    # GNU time: wall-clock seconds, user and system CPU seconds of all
    # processes, and the peak resident size of the largest process of the run
    # (main process or a worker), in kilobytes.
    set +e
    /usr/bin/time -f "%e %U %S %M" -o "$work/time" \
      "$program" check --no-progress --no-summary --jobs "$jobs" "$work/cases.dat" > "$work/findings.txt"
    status=$?
    set -e
    if ((status > 1)); then
      echo "quorvant failed with status $status" >&2
      exit 2
    fi
    # GNU time puts a note about a non-zero exit status in front of its figures.
    line=$(tail -n 1 "$work/time")
    if [[ -z "$best" ]] || awk -v a="${line%% *}" -v b="${best%% *}" 'BEGIN { exit !(a < b) }'; then
      best=$line
    fi
  done
  read -r seconds user system peak_kb <<< "$best"
  findings=$(wc -l < "$work/findings.txt")
  # Cases per CPU second (all processes) shows the cost of a case even when
  # other work shares the machine.
  awk -v c="$cases" -v s="$seconds" -v u="$user" -v y="$system" -v m="$peak_kb" -v j="$jobs" -v f="$findings" 'BEGIN {
    printf "--jobs %-2d %8.2f s %9.0f cases/s %9.0f cases/CPU-s   peak memory %6.1f MB per process   %d findings\n",
           j, s, c / s, c / (u + y), m / 1024, f }'
done
