#!/usr/bin/env bash
# Installs what is missing, builds the editor and starts it on a working folder
# (levels/ in the project unless another is given), putting headers.dat there
# when it is missing or empty.
#   tools/run.sh [FOLDER]
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)

tools/install-packages.sh build-essential cmake pkg-config libsdl2-dev libpng-dev libdeflate-dev gzip libdeflate-tools

cmake -S . -B build -DCMAKE_BUILD_TYPE=Release -DTERRAFIX_TESTS=OFF -DTERRAFIX_BENCH=OFF >/dev/null
cmake --build build -j2 --target terrafix

folder=${1:-levels}
mkdir -p "$folder"
if [ ! -s "$folder/headers.dat" ]; then
  cp "$root/data/headers.dat" "$folder/headers.dat"
fi
cd "$folder"
exec "$root/build/terrafix"
