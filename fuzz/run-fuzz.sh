#!/usr/bin/env bash
# Builds the QV_TestRec fuzz target with clang and libFuzzer and runs it for
# the given number of seconds (default 60) on the reference data in build/ref.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${1:-60}"
out=build-fuzz
mkdir -p "$out" "$out/corpus"
sources=$(find kernel -name '*.cpp' ! -name 'PlatformWin32.cpp')
clang++ -std=c++17 -O1 -g -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=all \
  -Iinclude -Ikernel $sources fuzz/testrec_fuzzer.cpp -o "$out/testrec_fuzzer"
cp -n fuzz/corpus/* "$out/corpus/" 2>/dev/null || true
QV_FUZZ_BASE="$PWD/build/ref/" "$out/testrec_fuzzer" -max_total_time="$seconds" -max_len=12000 \
  -rss_limit_mb=4096 -print_final_stats=1 "$out/corpus"
