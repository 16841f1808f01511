#!/bin/bash
# Installs what is missing, builds, and runs every test.
set -eu
cd "$(dirname "$0")/.."
bash scripts/build.sh
cd build
ctest --output-on-failure
