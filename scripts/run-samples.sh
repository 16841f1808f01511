#!/bin/bash
# Installs what is missing, builds, and converts copies of the bundled sample
# images in direct mode: every sample to a half-size JPEG, from a list file.
set -eu
cd "$(dirname "$0")/.."
bash scripts/build.sh >/dev/null
work=build/samples-run
rm -rf "$work"
mkdir -p "$work"
cp samples/*.* "$work"/
ls "$PWD/$work"/* > /tmp/bramblewick-samples.$$
mv /tmp/bramblewick-samples.$$ "$work/list.txt"
build/bramblewick -output 1 -options 4 -resize percentage 50 50 -inputmulti "$work/list.txt"
echo "Converted files in $work:"
ls -l "$work"/*.jpg
