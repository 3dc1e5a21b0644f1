#!/usr/bin/env bash
# The shared web page from the command line: a saved project of the example house with its links
# and its schedule beside it written as one page, which three.js's own loader reads back; the exit
# statuses of a bad option, a refused path and a missing schedule, none of which leaves a file.
#
#   tests/scripts/web_cli.sh QUORVEL
# Exit status 0 when all holds, 1 when a check failed.
set -uo pipefail
cd "$(dirname "$0")/../.."
quorvel="$1"
out="$(mktemp -d)"
trap 'rm -rf "$out"' EXIT
# The demo's links and schedule, saved as a project and its namesake schedule.
source tests/scripts/demo_project.sh

"$quorvel" --model "$out/haz.qvp" --web "$out/haz.html" 2> "$out/made.txt"
status=$?
check "a whole page: status 0" [ "$status" = 0 ]
check "progress on standard error" grep -q "^quorvel: page 10/10$" "$out/made.txt"
check "made, it says" grep -q "^quorvel: made $out/haz.html$" "$out/made.txt"
check "every marker filled" bash -c "! grep -q '@BV-' '$out/haz.html'"
size=$(stat -c %s "$out/haz.html" 2>/dev/null || echo 0)
check "the house's page at most 1 MB ($size bytes)" [ "$size" -gt 0 -a "$size" -le 1000000 ]
check "its title the project's name" grep -q "<title>haz</title>" "$out/haz.html"
if command -v node >/dev/null && [ -d web/node_modules/three ]; then
  check "three.js loads its geometry: $(node tests/scripts/page_glb.mjs web "$out/haz.html" 2>&1 | tail -n 1)" \
    node tests/scripts/page_glb.mjs web "$out/haz.html"
fi

"$quorvel" --model "$out/haz.qvp" --web "$out/bad.html" --fps 10 2> "$out/bad.txt"
status=$?
check "a movie's option beside it: status 2" [ "$status" = 2 ]
check "the reason named" grep -q "^quorvel: --web takes only --schedule and --view$" "$out/bad.txt"
check "and no file" [ ! -e "$out/bad.html" ]

"$quorvel" --model "$out/haz.qvp" --web "$out/nincs/haz.html" 2> "$out/refused.txt"
status=$?
check "a folder that is not there: status 1" [ "$status" = 1 ]
check "the reason on standard error" grep -q "could not be made" "$out/refused.txt"
check "the add-on's alert" grep -q "^alert 32549 " "$out/refused.txt"
check "and no file" [ ! -e "$out/nincs/haz.html" ]

cp "$out/haz.qvp" "$out/magany.qvp"
"$quorvel" --model "$out/magany.qvp" --web "$out/magany.html" 2> "$out/alone.txt"
status=$?
check "no schedule: status 1" [ "$status" = 1 ]
check "the reason on standard error" grep -q "no schedule for the page" "$out/alone.txt"
check "and no file" [ ! -e "$out/magany.html" ]
[ "$failed" = 0 ] || { for f in made bad refused alone; do echo "--- $f"; tail -n 5 "$out/$f.txt"; done; }
exit "$failed"
