#!/usr/bin/env bash
# Builds every libFuzzer target with clang (AddressSanitizer and UBSan, no
# warnings allowed) and runs each for the given number of seconds (default
# 60), one after the other, on its seed corpus in fuzz/corpus/<target>/.
# The library targets read the reference data of build/ref (QV_FUZZ_BASE
# overrides). Found crashes are written to build-fuzz/crashes/.
#   fuzz/run-fuzz.sh [SECONDS] [TARGET...]
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${1:-60}"
shift || true
targets=("$@")
((${#targets[@]})) || targets=(testrec reference format splitter)

out=build-fuzz
mkdir -p "$out/obj" "$out/crashes"
flags=(-std=c++17 -O1 -g -Wall -Wextra -Werror -fsanitize=address,undefined -fno-sanitize-recover=all
       -Iinclude -Ikernel -Icli/src)

# Objects are rebuilt when their source or any header is newer; two
# compilers at a time.
newest_header=$(find include kernel cli/src -name '*.h' -newer "$out/stamp" 2>/dev/null | head -1 || true)
[[ -f "$out/stamp" ]] || newest_header=all
pids=()
object_of() { echo "$out/obj/${1//\//_}.o"; }
compile() {
  local obj
  obj=$(object_of "$1")
  [[ -z "$newest_header" && -f "$obj" && ! "$1" -nt "$obj" ]] && return
  while (($(jobs -rp | wc -l) >= 2)); do sleep 0.2; done
  clang++ "${flags[@]}" -fsanitize=fuzzer-no-link -c "$1" -o "$obj" &
  pids+=($!)
}
kernel_objects=() cli_objects=()
for src in $(find kernel -name '*.cpp' ! -name 'PlatformWin32.cpp' | sort); do
  compile "$src"
  kernel_objects+=("$(object_of "$src")")
done
for src in cli/src/CaseSplitter.cpp cli/src/LineReader.cpp cli/src/TextCoding.cpp; do
  compile "$src"
  cli_objects+=("$(object_of "$src")")
done
for pid in "${pids[@]}"; do wait "$pid"; done
touch "$out/stamp"

base="${QV_FUZZ_BASE:-$PWD/build/ref/}"
[[ -f "${base}fields.ix5" ]] || { echo "run-fuzz: no reference data in $base (build it first)" >&2; exit 2; }

for t in "${targets[@]}"; do
  case "$t" in
    # The splitter's arrays take their memory from the platform layer.
    splitter) objects=("${cli_objects[@]}" "$(object_of kernel/foundation/PlatformPosix.cpp)") ;;
    *) objects=("${kernel_objects[@]}") ;;
  esac
  clang++ "${flags[@]}" -fsanitize=fuzzer "fuzz/${t}_fuzzer.cpp" "${objects[@]}" -o "$out/${t}_fuzzer"
done

for t in "${targets[@]}"; do
  echo "== fuzz $t (${seconds} s)"
  mkdir -p "$out/corpus/$t"
  case "$t" in
    reference) max_len=40000 ;;
    splitter) max_len=65536 ;;
    *) max_len=12000 ;;
  esac
  QV_FUZZ_BASE="$base" "$out/${t}_fuzzer" -max_total_time="$seconds" -max_len="$max_len" -timeout=20 \
    -rss_limit_mb=4096 -print_final_stats=1 -artifact_prefix="$out/crashes/${t}-" \
    "$out/corpus/$t" "fuzz/corpus/$t"
done
