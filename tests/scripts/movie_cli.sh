#!/usr/bin/env bash
# The movie from the command line: a saved project of the example house with its links and its
# schedule beside it, made into a 720p MP4 with everything drawn into its pictures; the exit
# statuses of a bad option, a refused path and a missing schedule, none of which leaves a file.
#
#   tests/scripts/movie_cli.sh QUORVEL
# Exit status 0 when all holds, 1 when a check failed, 77 when ffmpeg is not installed.
set -uo pipefail
cd "$(dirname "$0")/../.."
quorvel="$1"
command -v ffprobe >/dev/null && command -v ffmpeg >/dev/null || { echo "skipped: no ffmpeg"; exit 77; }
out="$(mktemp -d)"
trap 'rm -rf "$out"' EXIT
# The demo's links and schedule, saved as a project and its namesake schedule.
source tests/scripts/demo_project.sh

"$quorvel" --model "$out/haz.qvp" --movie "$out/film.mp4" --size 1280x720 --fps 10 --seconds 2 \
  --overlay date,tasks,legend,progress,gantt,title --title "Családi ház" 2> "$out/made.txt"
status=$?
check "a whole movie: status 0" [ "$status" = 0 ]
check "progress on standard error" grep -q "^quorvel: frame 20/20$" "$out/made.txt"
probe="$(ffprobe -v error -select_streams v:0 -count_frames \
  -show_entries stream=codec_name,pix_fmt,width,height,r_frame_rate,nb_read_frames -of csv=p=0 "$out/film.mp4")"
check "H.264 yuv420p 1280x720, 10 frames a second, 20 frames ($probe)" [ "$probe" = "h264,1280,720,yuv420p,10/1,20" ]
order="$(ffprobe -v trace -i "$out/film.mp4" 2>&1 | grep -o "type:'\(moov\|mdat\)'" | head -n 2 | tr -d "'" | tr '\n' ' ')"
check "the index before the pictures ($order)" [ "$order" = "type:moov type:mdat " ]
# The last frame's progress bar is done all along; its strip's ground is white.
pixel() { ffmpeg -v error -i "$out/film.mp4" -vf "select=eq(n\,$1),format=rgb24,crop=2:2:$2:$3" -frames:v 1 \
  -f rawvideo -pix_fmt rgb24 - | od -An -tu1 -N3 | tr -s ' ' | sed 's/^ //'; }
near() { # R G B of a pixel, then the R G B it should be
  local a=($1) b=($2) i
  [ ${#a[@]} = 3 ] || return 1
  for i in 0 1 2; do [ $(( ${a[$i]} - ${b[$i]} )) -le 24 ] && [ $(( ${b[$i]} - ${a[$i]} )) -le 24 ] || return 1; done
}
check "the progress bar done at the end ($(pixel 19 900 2))" near "$(pixel 19 900 2)" "50 125 46"
check "the progress bar empty at the start ($(pixel 0 900 2))" near "$(pixel 0 900 2)" "216 216 216"
check "the Gantt strip's ground ($(pixel 0 1200 715))" near "$(pixel 0 1200 715)" "255 255 255"

"$quorvel" --model "$out/haz.qvp" --movie "$out/bad.mp4" --size 800x600 2> "$out/bad.txt"
status=$?
check "a size not offered: status 2" [ "$status" = 2 ]
check "the reason named" grep -q "^quorvel: --size takes 1280x720, 1920x1080 or 3840x2160$" "$out/bad.txt"
check "and no file" [ ! -e "$out/bad.mp4" ]

"$quorvel" --model "$out/haz.qvp" --movie "$out/nincs/film.mp4" --seconds 1 --fps 10 2> "$out/refused.txt"
status=$?
check "a folder that is not there: status 1" [ "$status" = 1 ]
check "the reason on standard error" grep -q "could not be made" "$out/refused.txt"
check "the MP4 writer's own words" grep -q "Nem hozható létre az MP4 mozi: \"$out/nincs/film.mp4\"" "$out/refused.txt"
check "and no file" [ ! -e "$out/nincs/film.mp4" ]

cp "$out/haz.qvp" "$out/magany.qvp"
"$quorvel" --model "$out/magany.qvp" --movie "$out/magany.mp4" 2> "$out/alone.txt"
status=$?
check "no schedule: status 1" [ "$status" = 1 ]
check "the reason on standard error" grep -q "no schedule for the movie" "$out/alone.txt"
check "and no file" [ ! -e "$out/magany.mp4" ]
[ "$failed" = 0 ] || { for f in made bad refused alone; do echo "--- $f"; tail -n 5 "$out/$f.txt"; done; }
exit "$failed"
