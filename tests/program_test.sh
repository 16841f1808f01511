#!/bin/bash
# Whole-program runs of build/bramblewick from a shell with no display.
set -u
echo "no program tests yet"
