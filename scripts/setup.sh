#!/usr/bin/env bash
# Installs the Debian packages the build needs (only those missing), then configures and
# builds the given presets (default: "default").
set -euo pipefail
cd "$(dirname "$0")/.."

packages=(
  build-essential cmake ninja-build pkg-config
  clang libclang-rt-dev llvm lld
  libgtest-dev libgmock-dev libbenchmark-dev
  libavformat-dev libavcodec-dev libavutil-dev libswscale-dev ffmpeg
  nlohmann-json3-dev libpng-dev libfreetype-dev fonts-dejavu-core libicu-dev libpugixml-dev
  qt6-base-dev qt6-translations-l10n
  libifcplusplus-dev libboost-dev
  chromium libmeshoptimizer-dev
)
missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done
# Node and npm may come from elsewhere than Debian's packages; only their programs matter.
if ! command -v node >/dev/null || ! command -v npm >/dev/null; then
  missing+=(nodejs npm)
fi
if [ ${#missing[@]} -gt 0 ]; then
  echo "setup: installing ${missing[*]}"
  SUDO=""
  [ "$(id -u)" -ne 0 ] && SUDO=sudo
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

# The shared page's viewer is bundled from npm packages at build time (never at run time).
if ! cmp -s web/package-lock.json web/node_modules/.bv-installed-lock; then
  echo "setup: installing the shared page's npm packages"
  (cd web && npm ci --no-audit --no-fund --loglevel=error && cp package-lock.json node_modules/.bv-installed-lock)
fi

presets=("$@")
[ ${#presets[@]} -eq 0 ] && presets=(default)
jobs=$(nproc)
for preset in "${presets[@]}"; do
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset" -j "$jobs"
done
