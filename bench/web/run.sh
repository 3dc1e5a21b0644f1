#!/usr/bin/env bash
# The shared page's benchmark: writes the house's, the 10,000-element duplex copies' and the
# 100,000-product MULTICOM copies' pages (kept in OUTDIR for later runs), then opens each in
# headless Chromium and times it (pageBench.mjs).
#   bench/web/run.sh [BUILD_DIR] [OUTDIR]
set -euo pipefail
cd "$(dirname "$0")/../.."
build="${1:-build/default}"
out="${2:-$build/bench/web/pages}"
"$build/bin/bench_web_pages" "$out"
node bench/web/pageBench.mjs "$out/house.html" "$out/duplex-10k.html" "$out/multicom-100k.html"
