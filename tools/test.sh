#!/usr/bin/env bash
# Installs what is missing, builds everything with AddressSanitizer and
# UndefinedBehaviorSanitizer, and runs every test: the unit tests on the
# in-memory surface and the tests of the real program in an X server (an
# Xvfb of their own when no display is set). Ends with CTest's summary.
#   tools/test.sh
set -euo pipefail
cd "$(dirname "$0")/.."

tools/install-packages.sh build-essential cmake pkg-config libsdl2-dev libx11-dev \
  googletest libgtest-dev libbenchmark-dev gzip xvfb xauth xdotool imagemagick tmux default-jdk-headless

cmake -S . -B build-test -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTERRAFIX_SANITIZE=ON >/dev/null
cmake --build build-test -j2

# The window tests start their own X server when DISPLAY is unset.
exec ctest --test-dir build-test --output-on-failure </dev/null
