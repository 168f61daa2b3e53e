#!/usr/bin/env bash
# Builds quorvant.dll for 32-bit Windows (build-win32/) and for 64-bit
# Windows (build-win64/) with the MinGW-w64 cross compilers, together with
# the host test programs. Installs the compilers when they are missing.
set -euo pipefail
cd "$(dirname "$0")/.."
windows/need-packages.sh g++-mingw-w64-i686-win32 g++-mingw-w64-x86-64-win32

for arch in 32:i686 64:x86_64; do
  dir=build-win${arch%%:*}
  cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_TOOLCHAIN_FILE=windows/toolchain-${arch#*:}.cmake \
    -DQV_BUILD_TESTS=OFF -DQV_BUILD_BENCH=OFF > /dev/null
  cmake --build "$dir" -j2 --target quorvant qv_host qv_viewer_probe
  echo "built $dir/quorvant.dll"
done
