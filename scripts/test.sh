#!/usr/bin/env bash
# Sets up, builds and runs every test: first the release build, then the sanitizer build.
# Pass preset names to run only those (e.g. scripts/test.sh default).
set -euo pipefail
cd "$(dirname "$0")/.."
presets=("$@")
[ ${#presets[@]} -eq 0 ] && presets=(default asan)
for preset in "${presets[@]}"; do
  scripts/setup.sh "$preset"
  ctest --preset "$preset" -j "$(nproc)"
done
