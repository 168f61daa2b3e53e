#!/usr/bin/env bash
# Builds the checker for 64-bit Windows (build-win64/quorvant.exe and
# gen-cases.exe, beside quorvant.dll) with the MinGW-w64 cross compiler, the
# reference data with the Linux build (build-win-linux/ref/), and the zip for
# Windows users:
#
#   build-win64/quorvant-VERSION-win64.zip
#     quorvant-VERSION-win64/quorvant.exe, quorvant.dll, ref\, sample.dat, README.txt
set -euo pipefail
cd "$(dirname "$0")/.."
windows/need-packages.sh g++-mingw-w64-x86-64-win32 zip

cmake -S . -B build-win64 -G Ninja -DCMAKE_BUILD_TYPE=Release -DCMAKE_TOOLCHAIN_FILE=windows/toolchain-x86_64.cmake \
  -DQV_BUILD_TESTS=OFF -DQV_BUILD_BENCH=OFF > /dev/null
cmake --build build-win64 -j2 --target quorvant quorvant_cli gen-cases
# The reference data is the same on every system; mkref runs on the build machine.
cmake -S . -B build-win-linux -G Ninja -DCMAKE_BUILD_TYPE=Release -DQV_BUILD_TESTS=OFF -DQV_BUILD_BENCH=OFF > /dev/null
cmake --build build-win-linux -j2 --target reference_data

version=$(sed -n 's/^project(Quorvant VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
name=quorvant-$version-win64
stage=build-win64/zip/$name
rm -rf build-win64/zip && mkdir -p "$stage"
cp build-win64/quorvant.exe build-win64/quorvant.dll "$stage/"
cp -r build-win-linux/ref "$stage/ref"
cp examples/sample.dat "$stage/sample.dat"
# Notepad and every Windows editor read CR LF.
sed 's/$/\r/' windows/README-checker.txt > "$stage/README.txt"
rm -f "build-win64/$name.zip"
(cd build-win64/zip && zip -qr "../$name.zip" "$name")
echo "built build-win64/quorvant.exe, build-win64/gen-cases.exe and build-win64/$name.zip"
