#!/bin/bash
# Recovery after a crash: quorvel with --recovery is killed (SIGKILL) in the middle of work; the
# next start asks, and its answer at the script's top brings back the links and the schedule
# change made after the last save, while the planner's own files stay untouched. A copy cut
# short is ignored with a report line.
#   recovery_kill.sh QUORVEL SOURCE_DIR
set -u
QUORVEL=$1
SOURCE=$2
W=$(mktemp -d)
trap 'rm -rf "$W"' EXIT
fail() { echo "FAIL: $*"; exit 1; }
q() { "$QUORVEL" --prefs "$W/preferences" --now 2009-03-01 "$@"; }

# The planner's files: the house with its schedule, saved.
cp "$SOURCE/examples/house/house.qvp" "$W/house.qvp"
q --model "$W/house.qvp" - > "$W/setup.out" <<SCRIPT || { cat "$W/setup.out"; fail "setup"; }
choose "$SOURCE/examples/house/schedule.txt" 1
menu 3
choose "$W/plan.csp" 0
menu 5
save "$W/house.qvp"
SCRIPT
before=$(sha256sum "$W/house.qvp" "$W/plan.csp")

# Work after the save, then a kill while the program waits for more.
mkfifo "$W/in"
"$QUORVEL" --prefs "$W/preferences" --now 2009-03-01 --recovery "$W/rec" --model "$W/house.qvp" - \
  < "$W/in" > "$W/killed.out" 2>&1 &
pid=$!
exec 3> "$W/in"
cat >&3 <<SCRIPT
menu 1
palette select 6
select FAL-01 FAL-02
answer 1
palette click 1
palette dblclick 4
palette name "Zsaluzás, helyreállítva"
palette focus 10
SCRIPT
# The copy is whole once its manifest names the schedule's copy too.
for _ in $(seq 1 200); do
  grep -qs '"addon"' "$W"/rec/*/manifest.json && break
  sleep 0.1
done
grep -qs '"addon"' "$W"/rec/*/manifest.json || { cat "$W/killed.out"; fail "no whole recovery copy"; }
kill -9 $pid
wait $pid 2>/dev/null
exec 3>&-
[ "$(sha256sum "$W/house.qvp" "$W/plan.csp")" = "$before" ] || fail "the planner's files changed"

# "Later" keeps the copy and leaves the saved project open.
q --recovery "$W/rec" --model "$W/house.qvp" - > "$W/later.out" <<SCRIPT || { cat "$W/later.out"; fail "later"; }
answer 3
print userdata FAL-01
SCRIPT
grep -q '^alert 1003 3 "house.qvp"' "$W/later.out" || { cat "$W/later.out"; fail "later: no question"; }
grep -q '^userdata FAL-01 none' "$W/later.out" || { cat "$W/later.out"; fail "later: the saved project is not open"; }
ls "$W"/rec/*/manifest.json > /dev/null 2>&1 || fail "later: the copy is gone"

# "Recover", with the project opened by the script: the links and the renamed task come back,
# unsaved; saving puts them where the originals were and removes the copy.
q --recovery "$W/rec" - > "$W/recover.out" <<SCRIPT || { cat "$W/recover.out"; fail "recover"; }
answer 1
print userdata FAL-01
print userdata FAL-02
print tasks
save "$W/house.qvp"
menu 4
SCRIPT
grep -q '^alert 1003 1 "house.qvp"' "$W/recover.out" || { cat "$W/recover.out"; fail "recover: no question"; }
grep -q '^userdata FAL-01 103 ' "$W/recover.out" || { cat "$W/recover.out"; fail "recover: FAL-01's link is lost"; }
grep -q '^userdata FAL-02 103 ' "$W/recover.out" || { cat "$W/recover.out"; fail "recover: FAL-02's link is lost"; }
grep -q 'Zsaluzás, helyreállítva' "$W/recover.out" || { cat "$W/recover.out"; fail "recover: the task's new name is lost"; }
grep -qaF "$(printf 'Zsaluzás, helyreállítva' | iconv -f UTF-8 -t WINDOWS-1250)" "$W/plan.csp" ||
  fail "recover: the schedule did not save where it was"
ls "$W"/rec/*/manifest.json > /dev/null 2>&1 && fail "recover: the copy stayed after the save"

# "Open the saved files": the copy goes, the saved project is open.
mkdir -p "$W/rec2/run-old"
cp "$W/house.qvp" "$W/rec2/run-old/project.1.qvp"
size=$(stat -c %s "$W/house.qvp")
digest=$(python3 -c 'import sys
h=1469598103934665603
for b in open(sys.argv[1],"rb").read(): h=((h^b)*1099511628211)&0xFFFFFFFFFFFFFFFF
print("%016x"%h)' "$W/house.qvp")
printf '{"recovery": 1, "project": "%s", "files": [{"role": "project", "name": "project.1.qvp", "size": %s, "digest": "%s"}]}\n' \
  "$W/house.qvp" "$size" "$digest" > "$W/rec2/run-old/manifest.json"
q --recovery "$W/rec2" - > "$W/saved.out" <<SCRIPT || { cat "$W/saved.out"; fail "open saved"; }
answer 2
print userdata FAL-01
SCRIPT
grep -q '^alert 1003 2 "house.qvp"' "$W/saved.out" || { cat "$W/saved.out"; fail "open saved: no question"; }
grep -q '^userdata FAL-01 103 ' "$W/saved.out" || { cat "$W/saved.out"; fail "open saved: the saved project is not open"; }
[ -e "$W/rec2/run-old" ] && fail "open saved: the copy stayed"

# A copy cut short by a crash: a report line, no question.
mkdir -p "$W/rec3/run-cut"
head -c 100 "$W/house.qvp" > "$W/rec3/run-cut/project.1.qvp"
q --recovery "$W/rec3" - > "$W/cut.out" <<SCRIPT || { cat "$W/cut.out"; fail "cut short"; }
print layers
SCRIPT
grep -q "^report The recovery copy in $W/rec3/run-cut was cut short and is ignored: it has no manifest.$" "$W/cut.out" ||
  { cat "$W/cut.out"; fail "cut short: no report line"; }
grep -q '^alert' "$W/cut.out" && fail "cut short: asked"
echo "recovery cycle: ok"
