#!/usr/bin/env bash
# The Windows checks: builds both DLLs, checks their export and import
# tables, and runs the C host under Wine against the 64-bit DLL. The host
# must return byte for byte what the same host source returns on Linux
# with the Linux library, for the cases of examples/windows-cases.txt.
# (32-bit Wine cannot be installed here; the 32-bit DLL is checked by its
# tables and is built from the same sources.)
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
passed=0
step() { echo "-- $1 (${SECONDS}s)"; }
pass() { passed=$((passed + 1)); echo "   ok: $1"; }
fail() { echo "windows: FAILED: $1" >&2; echo "windows: $passed passed, 1 failed"; exit 1; }
# Any other command that fails ends the script: say which.
trap 'echo "windows: FAILED: line $LINENO: $BASH_COMMAND" >&2' ERR

step "tools"
windows/need-packages.sh g++-mingw-w64-i686-win32 g++-mingw-w64-x86-64-win32 wine wine64
wine64=$(command -v wine64 || echo /usr/lib/wine/wine64)
[[ -x $wine64 ]] || fail "wine64 not found"

step "Windows DLLs"
mkdir -p build-win64
windows/build-dlls.sh > build-win64/build-dlls.log 2>&1 || { cat build-win64/build-dlls.log; fail "cross build"; }

step "Linux library and reference data"
linux=build-win-linux
cmake -S . -B "$linux" -G Ninja -DCMAKE_BUILD_TYPE=Release -DQV_BUILD_TESTS=OFF -DQV_BUILD_BENCH=OFF > /dev/null
cmake --build "$linux" -j2 --target libquorvant.so reference_data > "$linux/build.log" 2>&1 ||
  { cat "$linux/build.log"; fail "Linux build"; }

step "export and import tables"
# The eight exports in byte order.
expected_exports="QV_Create QV_Destroy QV_GetMessageList QV_TestRec QV_VersionAppName QV_VersionDate QV_VersionNumber QV_setFormatString"
# The stdcall convention shows in the objects: each export is decorated
# with the byte count of its arguments before the link removes it.
expected_stdcall="_QV_Create@8 _QV_Destroy@4 _QV_GetMessageList@28 _QV_TestRec@16 _QV_VersionAppName@0 _QV_VersionDate@0 _QV_VersionNumber@0 _QV_setFormatString@4"
for arch in 32:i686:pei-i386 64:x86_64:pei-x86-64; do
  bits=${arch%%:*}; rest=${arch#*:}; triplet=${rest%%:*}-w64-mingw32; format=${rest#*:}
  dll=build-win$bits/quorvant.dll
  table=$("$triplet-objdump" -p "$dll")
  grep -q "file format $format" <<< "$("$triplet-objdump" -f "$dll")" || fail "$dll is not $format"
  exports=$(sed -n '/\[Ordinal\/Name Pointer\] Table/,/^$/p' <<< "$table" | awk '/\[ *[0-9]+\]/ {print $NF}' | LC_ALL=C sort | tr '\n' ' ')
  [[ "${exports% }" == "$expected_exports" ]] || fail "$dll exports: $exports"
  imports=$(awk '/DLL Name:/ {print tolower($3)}' <<< "$table" | LC_ALL=C sort -u | tr '\n' ' ')
  for name in $imports; do
    case $name in
      kernel32.dll | msvcrt.dll | user32.dll | advapi32.dll | ucrtbase.dll | api-ms-win-*) ;;
      *) fail "$dll needs $name (runtimes must be linked statically)" ;;
    esac
  done
  pass "$dll ($format): exports exactly ${expected_exports// /, }; imports only ${imports% }"
done
object=$(find build-win32 -path '*interface/Exports.cpp.obj' | head -n 1)
symbols=$(i686-w64-mingw32-nm --defined-only "$object" | awk '$2 == "T" && $3 ~ /^_QV_/ {print $3}' | LC_ALL=C sort | tr '\n' ' ')
[[ "${symbols% }" == "$expected_stdcall" ]] || fail "32-bit export symbols are not stdcall: $symbols"
pass "32-bit exports are stdcall: $expected_stdcall"

step "expected lines from the Linux library"
tests=$linux/hosttest
rm -rf "$tests" && mkdir -p "$tests"
cc -std=c11 -D_POSIX_C_SOURCE=200809L -O1 -Wall -Wextra -Werror -Iinclude -Iwindows windows/host.c -ldl -o "$tests/host"
cc -std=c11 -O1 -Wall -Wextra -Werror -Iwindows windows/viewer_probe.c -o "$tests/qv6show.exe"
cp -r "$linux/ref" "$tests/base" && cp "$tests/qv6show.exe" "$tests/base/"
"$tests/host" "$root/$linux/libquorvant.so" "$root/$tests/base/" examples/windows-cases.txt "$tests/expected.txt" ||
  fail "the host with the Linux library"
pass "Linux host: $(grep -c '^== ' "$tests/expected.txt") checks written to $tests/expected.txt"

step "host under Wine against the 64-bit DLL"
win=build-win64/hosttest
rm -rf "$win" && mkdir -p "$win"
cp -r "$linux/ref" "$win/base" && cp build-win64/qv6show.exe "$win/base/"
export WINEPREFIX=$root/build-win64/wineprefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
unset DISPLAY WAYLAND_DISPLAY
trap '"${wine64%/*}/wineserver" -k 2> /dev/null || true' EXIT
if [[ ! -f $WINEPREFIX/system.reg ]]; then
  "$wine64" wineboot --init > "$win/wineboot.log" 2>&1 || { cat "$win/wineboot.log"; fail "wineboot"; }
fi
# The debug log is written when c:\temp exists.
mkdir -p "$WINEPREFIX/drive_c/temp"
log=$WINEPREFIX/drive_c/temp/quorvant6DLL_debug.txt
rm -f "$log"
# The Windows name of a Linux path: the prefix maps / to drive Z:. Done here
# rather than by Wine's winepath, which starts Wine for every name and, when
# it fails in an assignment, ended the script without a word under set -e.
winpath() { local path; path=$(realpath -m "$1"); printf 'Z:%s' "${path//\//\\}"; }
"$wine64" build-win64/qv_host.exe "$(winpath "$root/build-win64/quorvant.dll")" "$(winpath "$root/$win/base")\\" \
  "$(winpath "$root/examples/windows-cases.txt")" "$(winpath "$root/$win/output.txt")" \
  "$(winpath "$root/$tests/expected.txt")" | tr -d '\r' || fail "the host under Wine"
cmp -s "$win/output.txt" "$tests/expected.txt" || {
  diff -a "$tests/expected.txt" "$win/output.txt" | head -n 40
  fail "Wine output differs from the Linux output"
}
pass "Wine host output equals the Linux output ($(wc -c < "$win/output.txt") bytes)"

step "debug log under Wine"
[[ -s $log ]] || fail "no debug log at c:\\temp\\quorvant6DLL_debug.txt"
stamp='^[A-Z][a-z]{2} [A-Z][a-z]{2} [ 1-3][0-9] [0-2][0-9]:[0-5][0-9]:[0-5][0-9] [0-9]{4}'$'\t''(INFO|ERROR)'$'\t'
first=$(head -n 1 "$log")
[[ $first =~ $stamp ]] || fail "log line format: $first"
grep -aq 'ExecAndWait Call: "' "$log" || fail "the viewer start is not logged"
! grep -aq '#Error on CreateProcess' "$log" || fail "the viewer could not be started"
pass "log lines \"time<TAB>level<TAB>text\", the viewer started"

step "checker under Wine"
# The library's debug log of every step would make the runs slow.
rm -rf "$WINEPREFIX/drive_c/temp"
windows/build-checker.sh > build-win64/build-checker.log 2>&1 || { cat build-win64/build-checker.log; fail "checker build"; }
cmake --build "$linux" -j2 --target quorvant_cli gen-cases > "$linux/build-cli.log" 2>&1 ||
  { cat "$linux/build-cli.log"; fail "Linux checker build"; }
# The zip as a user unpacks it; the program finds ref\ beside itself.
run=build-win64/checkertest
rm -rf "$run" && mkdir -p "$run" && unzip -q build-win64/quorvant-*-win64.zip -d "$run"
exe=$(ls "$run"/quorvant-*-win64/quorvant.exe)
lin=$root/$linux/quorvant
# Runs the Windows and the Linux checker with the same arguments (the Windows
# one may name files with \) from the directory $2; their outputs, with \
# read as /, and their exit statuses must be equal.
same() {
  local what=$1 dir=$2 winargs=$3 linargs=$4 status
  (cd "$dir" && eval "\"$wine64\" \"$root/$exe\" $winargs" > "$root/$run/win.out" 2> "$root/$run/win.err") && status=0 || status=$?
  (cd "$dir" && eval "\"$lin\" $linargs" > "$root/$run/lin.out" 2> "$root/$run/lin.err") &&
    linstatus=0 || linstatus=$?
  [[ $status == "$linstatus" ]] || fail "$what: exit status $status under Wine, $linstatus on Linux"
  # The summary and the sample warning name the reference directory, which
  # lies elsewhere for each program.
  for stream in out err; do
    cmp -s <(sed 's#\\\\#/#g; s#\\#/#g; s#[^ ]*/ref/#<ref>/#g' "$run/win.$stream") \
      <(sed 's#[^ ]*/ref/#<ref>/#g' "$run/lin.$stream") || {
      diff -a "$run/lin.$stream" "$run/win.$stream" | head -n 20
      fail "$what: standard $stream differs from the Linux checker's"
    }
  done
  pass "$what: the same bytes as the Linux checker, exit status $status"
}
same "sample" . 'check --no-progress examples\\sample.dat' 'check --no-progress examples/sample.dat'
[[ $linstatus == 1 ]] || fail "the sample must exit with 1"
same "sample in French, UTF-8" . 'check --no-progress --lang fr --format json examples\\sample.dat' \
  'check --no-progress --lang fr --format json examples/sample.dat'
# The input encodings go through the code page functions on Windows.
iconv -f CP1252 -t UTF-8 examples/sample.dat > "$run/sample-utf8.dat"
same "UTF-8 copy of the sample" "$run" 'check --no-progress sample-utf8.dat' 'check --no-progress sample-utf8.dat'
"$wine64" "build-win64/gen-cases.exe" --cases 5000 --seed 7 --fault-rate 0.3 --output "$(winpath "$root/$run/c5k.dat")" > /dev/null
"$linux/gen-cases" --cases 5000 --seed 7 --fault-rate 0.3 --output "$run/c5k-linux.dat"
cmp -s "$run/c5k.dat" "$run/c5k-linux.dat" || fail "gen-cases.exe writes other cases than gen-cases"
pass "gen-cases.exe: the same 5,000 cases as on Linux"
for format in text json csv host; do
  for jobs in 1 2; do
    same "5,000 cases, --format $format --jobs $jobs" "$run" "check --no-progress --format $format --jobs $jobs c5k.dat" \
      "check --no-progress --format $format --jobs $jobs c5k.dat"
  done
done
# A case that crashes its block process: only it gets S005, the rest is unchanged.
crash=$(grep -n '^MB|' "$run/c5k.dat" | sed -n 3000p | cut -d: -f1)
(cd "$run" && QV_TEST_CRASH_CASE=$crash "$wine64" "$root/$exe" check --no-progress --no-summary --format json --jobs 2 c5k.dat > crash.json) || true
(cd "$run" && "$lin" check --no-progress --no-summary --format json --jobs 2 c5k.dat > lin.json) || true
grep -q "\"case\":$crash,.*\"code\":\"S005\".*exit status 3" "$run/crash.json" || fail "no S005 for the crashing case $crash"
cmp -s <(grep -v "\"case\":$crash," "$run/crash.json") <(grep -v "\"case\":$crash," "$run/lin.json") ||
  fail "a crashing block process changed the findings of other cases"
pass "a case that crashes its block process gets S005 (exit status 3); every other case its findings"
# A block process killed from outside (kill -9) while the run goes on: the run
# ends with the undisturbed output. Only this tree's block processes are meant.
"$linux/gen-cases" --cases 30000 --seed 5 --fault-rate 0.3 --output "$run/c30k.dat"
(cd "$run" && "$lin" check --no-progress --no-summary --jobs 2 c30k.dat > c30k-linux.txt) || true
mine=$(winpath "$root/$run")
(cd "$run" && { timeout 300 "$wine64" "$root/$exe" check --no-progress --no-summary --jobs 2 c30k.dat > c30k-killed.txt &&
  echo 0 > killed.status || echo $? > killed.status; }) &
killed=""
for ((i = 0; i < 400; i++)); do
  [[ -z $killed ]] || break
  sleep 0.05
  for pid in $(pgrep -f -- '--block-process' || true); do
    if tr '\0' ' ' < "/proc/$pid/cmdline" 2> /dev/null | grep -qF "$mine"; then
      kill -9 "$pid" 2> /dev/null && killed=$pid && break
    fi
  done
done
wait
[[ -n $killed ]] || fail "no block process was running to be killed"
[[ $(cat "$run/killed.status") == 1 ]] || fail "the run with a killed block process ended with status $(cat "$run/killed.status")"
cmp -s "$run/c30k-killed.txt" "$run/c30k-linux.txt" || fail "a killed block process changed the findings"
pass "kill -9 of a block process: the run ends with the Linux checker's findings"
(cd "$run" && "$wine64" "$root/$exe" check --no-progress --no-summary --html report.html --html-max-cases 3 c5k.dat > /dev/null) || true
grep -q '<table class="v">' "$run/report.html" || fail "the HTML report lacks the library's result tables"
pass "--html: report with the library's result tables"

echo "-- done (${SECONDS}s)"
echo "windows: $passed passed, 0 failed"
