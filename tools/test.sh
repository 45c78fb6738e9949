#!/usr/bin/env bash
# Installs what is missing, builds everything with AddressSanitizer and
# UndefinedBehaviorSanitizer, and runs every test: the unit tests on the
# in-memory surface and the tests of the real program in an X server (an
# Xvfb of their own when no display is set) and in tmux. Before that, the
# editor's core and its unit tests are built for aarch64 with Debian's cross
# compiler and run under qemu-user, and the readers of files from elsewhere
# are fuzzed for a while (FUZZ_SECONDS each, 30 unless set). Ends with
# CTest's summary.
#   tools/test.sh
set -euo pipefail
cd "$(dirname "$0")/.."

tools/install-packages.sh build-essential cmake pkg-config libsdl2-dev libx11-dev libpng-dev \
  googletest libgtest-dev libbenchmark-dev gzip libdeflate-tools libdeflate-dev xvfb xauth xdotool imagemagick tmux default-jdk-headless \
  g++-aarch64-linux-gnu qemu-user desktop-file-utils dpkg-dev file clang libclang-rt-14-dev

# prismarine-nbt, the NBT reader the ClassicWorld tests check the editor's
# worlds with, from the npm registry (Debian's nodejs and npm where the
# machine has no npm).
command -v npm >/dev/null || tools/install-packages.sh nodejs npm
npm install --prefix build-node --no-audit --no-fund --loglevel=error prismarine-nbt@2.8.0 >/dev/null

# The second architecture: no window (that would need its SDL2 and libdeflate), no benchmarks.
cmake -S . -B build-aarch64 -DCMAKE_BUILD_TYPE=Release -DCMAKE_TOOLCHAIN_FILE=tools/aarch64-toolchain.cmake \
  -DTERRAFIX_WINDOW=OFF -DTERRAFIX_BENCH=OFF -DTERRAFIX_LIBDEFLATE=OFF -DTERRAFIX_GTEST_SOURCE=/usr/src/googletest >/dev/null
cmake --build build-aarch64 -j2
echo "Unit tests on aarch64 (qemu-user):"
ctest --test-dir build-aarch64 -j2 --output-on-failure </dev/null

# The readers of files from elsewhere, fuzzed briefly from their seed corpora
# (a copy: the fuzzer adds what it finds).
cmake -S tests/fuzz -B build-fuzz -DCMAKE_CXX_COMPILER=clang++ >/dev/null
cmake --build build-fuzz -j2
for corpus in tests/fuzz/corpus/*/; do
  target=$(basename "$corpus")
  work=$(mktemp -d)
  cp "$corpus"* "$work/"
  echo "Fuzzing the ${target} reader for ${FUZZ_SECONDS:-30} s:"
  build-fuzz/"${target}_fuzz" -max_total_time="${FUZZ_SECONDS:-30}" -max_len=4096 "$work" 2>&1 | tail -n 1
  rm -rf "$work"
done

cmake -S . -B build-test -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTERRAFIX_SANITIZE=ON >/dev/null
cmake --build build-test -j2

# The window tests start their own X server when DISPLAY is unset.
exec ctest --test-dir build-test --output-on-failure </dev/null
