#!/bin/sh
# Installs web-ifc from the npm registry where bench_ifccompare looks for it
# (build/tools/web-ifc), outside the sources. A tool for the comparison only.
set -e
here=$(cd "$(dirname "$0")/../.." && pwd)
dir="$here/build/tools/web-ifc"
mkdir -p "$dir"
cd "$dir"
[ -f package.json ] || npm init -y >/dev/null
npm install --no-audit --no-fund "web-ifc@${WEB_IFC_VERSION:-0.0.78}"
