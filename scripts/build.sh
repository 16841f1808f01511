#!/bin/bash
# Configures and builds into build/ (the program is build/bramblewick).
set -eu
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
cmake -S . -B build >/dev/null
cmake --build build -j2
