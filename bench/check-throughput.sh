#!/usr/bin/env bash
# Speed of the checker and of the library, beside md5sum of the same file.
#
#   bench/check-throughput.sh [BUILD_DIR] [CASES] [REPEATS] [LOG_CASES]
#
# Generates CASES synthetic cases (default 100,000, seed 1) and prints, with
# the library's debug log off:
#   - md5sum of the file: the CPU reference of this run;
#   - "quorvant check" with one block process at a time and with one per core: cases per second,
#     cases per CPU second of all processes, CPU relative to md5sum, the main
#     process's peak memory;
#   - the library alone through the host loop (qv-host-loop): cases per CPU
#     second on the generated file and on one case with 50 MD diagnoses and
#     100 treatments;
#   - the peak memory of a --jobs 1 run: the main process's, and what a block
#     process holds privately (see below);
# and with the log on (only when /tmp/quorvant does not exist: the script
# creates it for the run and removes it again) the host loop's cases per
# second on the first LOG_CASES cases (default 2000). Other programs using the
# library meanwhile write into that log too, and more slowly: keep LOG_CASES
# small on a shared machine.
# Every timed run is repeated (default 3 times) and the best one is reported,
# so that other work on the machine disturbs the figures less.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
cases=${2:-100000}
repeats=${3:-3}
logCases=${4:-2000}
program="$build/quorvant"
generator="$build/gen-cases"
hostLoop="$build/qv-host-loop"
ref="$(cd "$build" && pwd)/ref/"
logDir=/tmp/quorvant
for tool in "$program" "$generator" "$hostLoop"; do
  [[ -x "$tool" ]] || { echo "missing $tool: build first (cmake --build $build)" >&2; exit 2; }
done
[[ -x /usr/bin/time ]] || { echo "needs /usr/bin/time (Debian package 'time')" >&2; exit 2; }
# The library writes its debug log only while this directory exists; a log of
# every step would measure the disk, not the checks.
if [[ -d $logDir ]]; then
  echo "the library's log directory $logDir exists: remove it to benchmark with the log off" >&2
  exit 2
fi

work=$(mktemp -d)
createdLogDir=0
# Removes the log directory this script created. Another program using the
# library may write into it meanwhile (its log is on while the directory
# exists), so removing is retried.
remove_log_dir() {
  for ((try = 0; try < 20; try++)); do
    rm -rf "$logDir" 2> /dev/null && { createdLogDir=0; return 0; }
    sleep 0.1
  done
  echo "could not remove $logDir: remove it by hand" >&2
}
cleanup() {
  if ((createdLogDir)); then remove_log_dir; fi
  rm -rf "$work"
}
trap cleanup EXIT
"$generator" --cases "$cases" --seed 1 --output "$work/cases.dat"
size=$(du -m "$work/cases.dat" | cut -f1)
echo "input: $cases cases, $size MB; load average $(cut -d' ' -f1-3 /proc/loadavg); $(nproc) cores"

# Runs a command REPEATS times under GNU time; prints "wall cpu peak_kb" of
# the run with the least CPU time and the least wall time seen.
best_of() {
  local bestWall="" bestCpu="" peak=0 line wall user system kb status
  for ((r = 0; r < repeats; r++)); do
    set +e
    /usr/bin/time -f "%e %U %S %M" -o "$work/time" "$@" > "$work/out.txt"
    status=$?
    set -e
    if ((status > 1)); then
      echo "$1 failed with status $status" >&2
      exit 2
    fi
    # GNU time puts a note about a non-zero exit status in front of its figures.
    line=$(tail -n 1 "$work/time")
    read -r wall user system kb <<< "$line"
    local cpu
    cpu=$(awk -v u="$user" -v s="$system" 'BEGIN { printf "%.3f", u + s }')
    if [[ -z "$bestWall" ]] || awk -v a="$wall" -v b="$bestWall" 'BEGIN { exit !(a < b) }'; then bestWall=$wall; fi
    if [[ -z "$bestCpu" ]] || awk -v a="$cpu" -v b="$bestCpu" 'BEGIN { exit !(a < b) }'; then bestCpu=$cpu; fi
    ((kb > peak)) && peak=$kb
  done
  echo "$bestWall $bestCpu $peak"
}

read -r md5Wall md5Cpu _ <<< "$(best_of md5sum "$work/cases.dat")"
# The CPU time of md5sum rounds to 0.01 s; a zero would make every ratio void.
md5Cpu=$(awk -v c="$md5Cpu" 'BEGIN { printf "%.3f", (c > 0 ? c : 0.01) }')
printf "%-30s %8.2f CPU-s %10.0f MB/CPU-s\n" "md5sum" "$md5Cpu" "$(awk -v s="$size" -v c="$md5Cpu" 'BEGIN { print s / c }')"

cores=$(nproc)
runs=(1)
((cores > 1)) && runs+=("$cores")
for jobs in "${runs[@]}"; do
  read -r wall cpu peak <<< "$(best_of "$program" check --no-progress --no-summary --jobs "$jobs" "$work/cases.dat")"
  findings=$(wc -l < "$work/out.txt")
  # GNU time's peak is the largest resident set of the run's processes: the main process's.
  awk -v c="$cases" -v w="$wall" -v u="$cpu" -v m="$md5Cpu" -v j="$jobs" -v f="$findings" -v k="$peak" 'BEGIN {
    printf "%-30s %8.2f CPU-s %10.0f cases/CPU-s %5.1f x md5sum   %9.0f cases/s   %d findings   main %.1f MiB\n",
           "check --jobs " j, u, c / u, u / m, c / w, f, k / 1024 }'
done

# The library alone: the host loop times only its calls, not reading the
# file, and prints name=value pairs. field NAME LINE picks one value.
field() { tr ' ' '\n' <<< "$2" | sed -n "s/^$1=//p"; }
host_loop_best() {
  local best="" line
  for ((r = 0; r < repeats; r++)); do
    line=$("$hostLoop" "$ref" "$@")
    if [[ -z "$best" ]] || awk -v a="$(field cpu "$line")" -v b="$(field cpu "$best")" 'BEGIN { exit !(a < b) }'; then
      best=$line
    fi
  done
  echo "$best"
}
report_host_loop() {
  local line=$2
  awk -v l="$1" -v n="$(field cases "$line")" -v u="$(field cpu "$line")" -v m="$md5Cpu" -v c="$cases" \
      -v g="$(field messages "$line")" 'BEGIN {
    printf "%-30s %8.2f CPU-s %10.0f cases/CPU-s %5.1f x md5sum per case   %d messages\n",
           l, u, n / u, (u / n) / (m / c), g }'
}
report_host_loop "library, generated mix" "$(host_loop_best "$work/cases.dat")"

# One heavy case: the file's first case with 49 secondary diagnoses and 99
# further treatments (codes from the sample catalogues that any age and sex
# may have) in its MD line, and as many of them as fit in its MB line.
awk -F'\t' 'NR > 1 && $2 == "" && $3 != "2" && $4 == "" && $5 == "" && $6 != "I" && length($1) >= 4 { print $1 }' data/lookup/icd.tsv |
  head -n 49 > "$work/icd.txt"
awk -F'\t' 'NR > 1 && $2 == "0" && $4 == "" && $5 == "" && length($1) >= 4 { print $1 }' data/lookup/chop.tsv |
  head -n 99 > "$work/chop.txt"
awk -v icdFile="$work/icd.txt" -v chopFile="$work/chop.txt" 'BEGIN {
    FS = OFS = "|"
    while ((getline code < icdFile) > 0) icd[++icds] = code
    while ((getline code < chopFile) > 0) chop[++chops] = code
  }
  # Field n of a line is $(n + 1).
  /^MX\|/ { print; next }
  /^MB\|/ {
    if (++mb > 1) exit
    sub(/\r$/, "")
    # Secondary diagnoses in fields 31 to 58, further treatments in 61 to 89.
    for (i = 1; i <= 28; ++i) $(31 + i - 1 + 1) = icd[i]
    for (k = 1; k <= 29; ++k) $(61 + k - 1 + 1) = chop[k]
    print $0 "\r"; next }
  /^MD\|/ {
    sub(/\r$/, "")
    # Diagnoses from field 7 in steps of 3; further treatments from field 159
    # in steps of 5, each on the day of the main treatment (field 156;
    # further treatments carry no hour).
    for (i = 1; i <= icds; ++i) { $(7 + 3 * (i - 1) + 1) = icd[i]; $(9 + 3 * (i - 1) + 1) = "1" }
    day = substr($(156 + 1), 1, 8)
    for (k = 1; k <= chops; ++k) { $(154 + 5 * k + 1) = chop[k]; $(156 + 5 * k + 1) = day }
    print $0 "\r"; next }
  mb == 1 { print }' "$work/cases.dat" > "$work/heavy.dat"
report_host_loop "library, 50 diag. 100 treat." "$(host_loop_best "$work/heavy.dat" 2000)"

# Peak memory of each kind of process of a --jobs 1 run, sampled from /proc
# every few milliseconds (block processes live briefly): the main process and
# the block processes it forks (depth 1). Sampling costs CPU, so this run is
# not timed.
# - main: its VmHWM (peak resident set).
# - block process: its peak private memory, Private_Clean + Private_Dirty of
#   /proc/PID/smaps_rollup: the pages it alone holds, which is what each
#   further block process adds. A forked block process also maps the main
#   process's pages (the library's tables, its block's call texts) without
#   copying them; its VmHWM counts those too and is shown after it ("resident"),
#   but they cost no memory beyond the main process's.
"$program" check --no-progress --no-summary --jobs 1 "$work/cases.dat" > /dev/null &
python3 - "$!" <<'SAMPLER'
import os, sys, time
main = int(sys.argv[1])
depth, hwm, private = {main: 0}, {}, {}
def status(pid):
    fields = {}
    with open(f"/proc/{pid}/status") as f:
        for line in f:
            key, _, value = line.partition(":")
            fields[key] = value.split()
    return int(fields["PPid"][0]), int(fields.get("VmHWM", ["0"])[0]), fields["State"][0]
def private_kb(pid):
    kb = 0
    with open(f"/proc/{pid}/smaps_rollup") as f:
        for line in f:
            if line.startswith(("Private_Clean:", "Private_Dirty:")):
                kb += int(line.split()[1])
    return kb
while True:
    try:
        if status(main)[2] == "Z":
            break
    except OSError:
        break
    # The main process's children, read fast enough to see each block process
    # several times; without that file every process is looked at.
    try:
        with open(f"/proc/{main}/task/{main}/children") as f:
            names = [main] + f.read().split()
    except OSError:
        names = [n for n in os.listdir("/proc") if n.isdigit()]
    for name in names:
        pid = int(name)
        try:
            parent, peak, _ = status(pid)
            if pid not in depth and parent in depth:
                depth[pid] = depth[parent] + 1
            if pid in depth:
                d = depth[pid]
                hwm[d] = max(hwm.get(d, 0), peak)
                private[d] = max(private.get(d, 0), private_kb(pid))
        except (OSError, KeyError, ValueError):
            continue
    time.sleep(0.001)
print("%-30s main %.1f MiB, block process %.1f MiB private (%.1f MiB resident)" %
      ("peak memory (--jobs 1)", hwm.get(0, 0) / 1024, private.get(1, 0) / 1024, hwm.get(1, 0) / 1024))
SAMPLER
wait || true

# The log on: the host loop over the first LOG_CASES cases while the log
# directory exists. Skipped when another program created the directory
# meanwhile, so that its log is never removed.
awk -v n="$logCases" '/^MB\|/ && ++mb > n { exit } { print }' "$work/cases.dat" > "$work/log-cases.dat"
if mkdir "$logDir" 2> /dev/null; then
  createdLogDir=1
  wall=""
  for ((r = 0; r < repeats; r++)); do
    rm -f "$logDir"/*
    line=$("$hostLoop" "$ref" "$work/log-cases.dat")
    logBytes=$(du -b "$logDir" | cut -f1)
    if [[ -z "$wall" ]] || awk -v a="$(field wall "$line")" -v b="$wall" 'BEGIN { exit !(a < b) }'; then
      wall=$(field wall "$line")
    fi
  done
  remove_log_dir
  n=$(field cases "$line")
  awk -v n="$n" -v w="$wall" -v b="$logBytes" 'BEGIN {
    printf "%-30s %8.2f s     %10.0f cases/s   %.1f KB of log per case\n", "library, log on", w, n / w, b / n / 1024 }'
else
  echo "library, log on: skipped ($logDir appeared meanwhile)"
fi
