#!/usr/bin/env bash
# Builds what the demo needs (the quorvel program and the add-on module) and runs the demo on the
# example house: a QuickTime and an AVI movie of the construction, pictures of the building at
# chosen dates, the schedule checks' report and the schedule as a project file. Output goes to
# out/demo (or the folder given).
set -euo pipefail
cd "$(dirname "$0")/.."
started=$SECONDS

# The Debian packages, as setup.sh lists them (one list for both).
eval "$(sed -n '/^packages=(/,/^)/p' scripts/setup.sh)"
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "demo: installing ${missing[*]}"
  SUDO=""
  [ "$(id -u)" -ne 0 ] && SUDO=sudo
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi

echo "demo: building quorvel and the add-on (the first build takes some minutes)..."
mkdir -p build
log=build/demo-build.log
if ! { cmake --preset default && cmake --build --preset default -j "$(nproc)" --target quorvel Bauvista; } >"$log" 2>&1; then
  tail -n 30 "$log" >&2
  echo "demo: the build failed; the whole log is in $log" >&2
  exit 1
fi
built=$SECONDS
echo "demo: built in $((built - started)) s"

out="$(realpath -m "${1:-out/demo}")"
rm -rf "$out"
mkdir -p "$out"
sed -e "s|@SOURCE@|$PWD|g" -e "s|@OUT@|$out|g" examples/demo/demo.qvs > "$out/demo.qvs"
status=0
build/default/bin/quorvel --model examples/house/house.qvp --prefs "$out/preferences" --now 2009-03-01 \
  "$out/demo.qvs" > "$out/transcript.txt" 2> "$out/messages.txt" || status=$?
# The report window's lines, each finding once (every frame of a movie checks the schedule again).
grep '^report ' "$out/transcript.txt" | sed 's/^report //' | awk '!seen[$0]++' > "$out/report.txt" || true
if [ "$status" -ne 0 ]; then
  echo "demo: quorvel ended with status $status; see $out/transcript.txt" >&2
  exit "$status"
fi
echo "demo: ran in $((SECONDS - built)) s; results in $out:"
for f in "$out"/haz.mov "$out"/haz-korseta.avi "$out"/*.png "$out"/report.txt "$out"/haz.csp "$out"/transcript.txt; do
  [ -e "$f" ] && echo "  $(basename "$f")  ($(stat -c %s "$f") bytes)"
done
if command -v ffprobe >/dev/null; then
  for m in "$out"/haz.mov "$out"/haz-korseta.avi; do
    frames=$(ffprobe -v error -select_streams v:0 -count_packets -show_entries stream=nb_read_packets -of csv=p=0 "$m")
    echo "  $(basename "$m"): $frames frames"
  done
fi
echo "  schedule check findings: $(wc -l < "$out/report.txt")"
