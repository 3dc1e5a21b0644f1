#!/usr/bin/env bash
# Makes the demo's movies of the example house (a QuickTime, an MP4 and an AVI movie) and checks
# that they play: ffprobe and ffmpeg decode all three without an error, the MP4 file is H.264 in
# 4:2:0 with its index before its data, and a headless Chromium loads the QuickTime and the MP4
# movie in a <video> element up to a playable state with the movie's duration and picture size.
#
#   scripts/browser_check.sh [QUORVEL [FOLDER]]
#
# QUORVEL defaults to build/default/bin/quorvel (build it first, e.g. with scripts/demo.sh);
# FOLDER (default: a temporary one, removed afterwards) receives the movies.
# Exit status 0 when all holds, 1 when a check failed, 77 when Chromium or ffmpeg is not installed.
set -euo pipefail
cd "$(dirname "$0")/.."
quorvel="${1:-build/default/bin/quorvel}"
chromium_bin="$(command -v chromium || command -v chromium-browser || true)"
if [ -z "$chromium_bin" ]; then
  echo "browser check skipped: no chromium program (Debian package chromium)"
  exit 77
fi
if ! command -v ffprobe >/dev/null || ! command -v ffmpeg >/dev/null; then
  echo "browser check skipped: no ffmpeg/ffprobe"
  exit 77
fi
if [ ! -x "$quorvel" ]; then
  echo "browser check: $quorvel is not built" >&2
  exit 1
fi
if [ -n "${2:-}" ]; then
  out="$(realpath -m "$2")"
  mkdir -p "$out"
else
  out="$(mktemp -d)"
  trap 'rm -rf "$out"' EXIT
fi

sed -e "s|@SOURCE@|$PWD|g" -e "s|@OUT@|$out|g" examples/demo/demo.qvs > "$out/demo.qvs"
if ! "$quorvel" --model examples/house/house.qvp --prefs "$out/preferences" --now 2009-03-01 "$out/demo.qvs" \
    > "$out/transcript.txt" 2> "$out/messages.txt"; then
  echo "browser check: the demo run failed; see $out/transcript.txt" >&2
  exit 1
fi
mov="$out/haz.mov"
mp4="$out/haz.mp4"
avi="$out/haz-korseta.avi"
failed=0

for m in "$mov" "$mp4" "$avi"; do
  errors="$(ffmpeg -nostdin -v error -i "$m" -f null - 2>&1 || echo "ffmpeg failed")"
  if [ -n "$errors" ]; then
    echo "FAIL $(basename "$m"): decoding errors: $errors"
    failed=1
  else
    echo "ok   $(basename "$m"): ffmpeg decodes it without an error ($(ffprobe -v error -select_streams v:0 \
      -show_entries stream=codec_name,width,height,nb_frames -of csv=p=0 "$m"))"
  fi
done

# A browser starts an MP4 file before it has all of it only when the index (moov) comes before
# the pictures (mdat), and plays H.264 only in 4:2:0.
pix="$(ffprobe -v error -select_streams v:0 -show_entries stream=codec_name,pix_fmt -of csv=p=0 "$mp4" || true)"
order="$(ffprobe -v trace -i "$mp4" 2>&1 | grep -o "type:'\(moov\|mdat\)'" | head -n 2 | tr -d "'" | tr '\n' ' ' || true)"
if [ "$pix" = "h264,yuv420p" ] && [ "$order" = "type:moov type:mdat " ]; then
  echo "ok   haz.mp4: H.264 yuv420p, moov before mdat"
else
  echo "FAIL haz.mp4: expected h264,yuv420p with moov before mdat; got '$pix', '$order'"
  failed=1
fi

# The page reports what the video element knows once it can play (or what went wrong).
cat > "$out/page.html" <<'HTML'
<!DOCTYPE html>
<html><body>
<video id="v" muted preload="auto"></video>
<pre id="r">waiting</pre>
<script>
const v = document.getElementById('v'), r = document.getElementById('r');
v.src = location.hash.slice(1);
function report(what) {
  r.textContent = 'RESULT ' + what + ' readyState=' + v.readyState + ' duration=' + v.duration +
      ' width=' + v.videoWidth + ' height=' + v.videoHeight +
      ' error=' + (v.error ? v.error.code + ':' + v.error.message : 'none');
}
v.addEventListener('canplaythrough', () => report('canplaythrough'));
v.addEventListener('error', () => report('error'));
setTimeout(() => { if (!r.textContent.startsWith('RESULT')) report('timeout'); }, 20000);
</script>
</body></html>
HTML

for m in "$mov" "$mp4"; do
  name="$(basename "$m")"
  size="$(ffprobe -v error -select_streams v:0 -show_entries stream=width,height -of csv=s=x:p=0 "$m")"
  duration="$(ffprobe -v error -show_entries format=duration -of csv=p=0 "$m")"
  dom="$("$chromium_bin" --headless=new --no-sandbox --disable-gpu --disable-dev-shm-usage --mute-audio \
    --allow-file-access-from-files --no-first-run --virtual-time-budget=30000 \
    --user-data-dir="$out/chromium-profile-$name" --dump-dom "file://$out/page.html#$name" 2>"$out/chromium-$name.log" || true)"
  line="$(printf '%s\n' "$dom" | grep -o 'RESULT[^<]*' | head -n 1 || true)"
  echo "     chromium: ${line:-no result (see $out/chromium-$name.log)}"
  want_w="${size%x*}"
  want_h="${size#*x}"
  if [[ "$line" =~ RESULT\ canplaythrough\ readyState=([0-9]+)\ duration=([0-9.]+)\ width=([0-9]+)\ height=([0-9]+) ]] &&
     [ "${BASH_REMATCH[1]}" -ge 3 ] && [ "${BASH_REMATCH[3]}" = "$want_w" ] && [ "${BASH_REMATCH[4]}" = "$want_h" ] &&
     awk -v a="${BASH_REMATCH[2]}" -v b="$duration" 'BEGIN { d = a - b; exit !(d < 0.05 && d > -0.05) }'; then
    echo "ok   $name plays in Chromium: ready state ${BASH_REMATCH[1]}, ${BASH_REMATCH[2]} s (ffprobe: $duration s), ${size}"
  else
    echo "FAIL $name in Chromium: expected ready state >= 3, $duration s, $size"
    failed=1
  fi
done
exit "$failed"
