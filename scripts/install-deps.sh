#!/bin/bash
# Installs what building and testing Bramblewick needs on Debian 12, when missing.
set -eu
packages="cmake make g++ file wine wine64 wine64-tools libwine-dev libfreeimage-dev libgtest-dev desktop-file-utils man-db python3 lintian"
missing=""
for package in $packages; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" || missing="$missing $package"
done
[ -z "$missing" ] && exit 0

sudo=""
[ "$(id -u)" -eq 0 ] || sudo=sudo
echo "Installing:$missing"
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends $missing >/dev/null
