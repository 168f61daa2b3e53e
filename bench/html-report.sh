#!/usr/bin/env bash
# Cost of the HTML report: checks generated cases with 10 % faults (default
# 20,000; the report holds its default 1000 cases with findings) with and
# without --html, and prints the report's size, its case sections and index
# links, and the wall time and peak memory of both runs (best of REPEATS).
#
#   bench/html-report.sh [BUILD_DIR] [CASES] [REPEATS]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
cases=${2:-20000}
repeats=${3:-3}
program="$build/quorvant"
generator="$build/gen-cases"
for tool in "$program" "$generator"; do
  [[ -x "$tool" ]] || { echo "missing $tool: build first (cmake --build $build)" >&2; exit 2; }
done
[[ -x /usr/bin/time ]] || { echo "needs /usr/bin/time (Debian package 'time')" >&2; exit 2; }
if [[ -d /tmp/quorvant ]]; then
  echo "the library's log directory /tmp/quorvant exists: remove it to benchmark with the log off" >&2
  exit 2
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
"$generator" --cases "$cases" --seed 1 --fault-rate 0.1 --output "$work/cases.dat"

# Prints "seconds peak_kb" of the fastest of the runs of the given options.
best_of() {
  local best="" line
  for ((r = 0; r < repeats; r++)); do
    /usr/bin/time -f "%e %M" -o "$work/time" "$program" check --no-progress --no-summary "$@" "$work/cases.dat" \
      > /dev/null || (($? == 1)) || { echo "quorvant failed" >&2; exit 2; }
    line=$(tail -n 1 "$work/time")
    if [[ -z "$best" ]] || awk -v a="${line%% *}" -v b="${best%% *}" 'BEGIN { exit !(a < b) }'; then best=$line; fi
  done
  echo "$best"
}

read -r plain_s plain_kb <<< "$(best_of)"
read -r html_s html_kb <<< "$(best_of --html "$work/report.html")"
bytes=$(stat -c %s "$work/report.html")
sections=$(grep -c '<section class="case"' "$work/report.html" || true)
links=$(grep -o 'href="#c[0-9]*"' "$work/report.html" | sort -u | wc -l)
echo "input: $cases cases with 10 % faults"
echo "report: $bytes bytes, $sections case sections, $links index links"
printf 'without --html: %6.2f s, peak %d MB\n' "$plain_s" $((plain_kb / 1024))
printf 'with --html:    %6.2f s, peak %d MB (report: +%.2f s)\n' "$html_s" $((html_kb / 1024)) \
  "$(awk -v a="$html_s" -v b="$plain_s" 'BEGIN { print a - b }')"
