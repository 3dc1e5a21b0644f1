# Sourced by the command-line tests: `check WHAT COMMAND...` and the demo's links and schedule
# saved as "$out/haz.qvp" with its namesake schedule. Needs $quorvel and $out; sets failed=0.
failed=0
check() { # WHAT, then the command whose success is the check
  local what="$1"
  shift
  if "$@"; then echo "ok   $what"; else echo "FAIL $what"; failed=1; fi
}

sed -e "s|@SOURCE@|$PWD|g" -e "s|@OUT@|$out|g" examples/demo/demo.qvs | sed -n '1,/^menu 5$/p' > "$out/prep.qvs"
echo "save \"$out/haz.qvp\"" >> "$out/prep.qvs"
"$quorvel" --model examples/house/house.qvp --prefs "$out/prefs" --now 2009-03-01 "$out/prep.qvs" > "$out/prep.txt" 2>&1 ||
  { echo "FAIL preparing the project (see $out/prep.txt)"; cat "$out/prep.txt"; exit 1; }
