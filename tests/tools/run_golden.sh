#!/usr/bin/env bash
# Replays every golden case (NAME.trace with NAME.ini as its key map) and compares standard
# output, standard error, exit status and the key map file afterwards with NAME.expected
# (and NAME.ini.expected when present). Files in NAME.files/ are copied beside it first.
#   run_golden.sh REPLAY GOLDEN_DIR [EMULATOR...]
# An emulator (Wine for a Windows build) runs the replay when given; the expected bytes are the
# same for every platform.
set -u
replay=$1
dir=$2
shift 2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failed=0
for trace in "$dir"/*.trace; do
  name=$(basename "$trace" .trace)
  rm -rf "$work"/*
  [ -f "$dir/$name.ini" ] && cp "$dir/$name.ini" "$work/keymap.ini"
  [ -d "$dir/$name.files" ] && cp -r "$dir/$name.files/." "$work/"
  (cd "$work" && "$@" "$replay" "$trace" > out.txt 2> err.txt; echo "exit $?" >> err.txt)
  { cat "$work/out.txt"; echo "--- stderr"; cat "$work/err.txt"; } > "$work/actual"
  if ! diff -u "$dir/$name.expected" "$work/actual"; then
    echo "FAILED: $name"; failed=1
  fi
  if [ -f "$dir/$name.ini.expected" ] && ! cmp -s "$dir/$name.ini.expected" "$work/keymap.ini"; then
    echo "FAILED: $name (keymap.ini differs)"; diff -u <(cat -A "$dir/$name.ini.expected") <(cat -A "$work/keymap.ini") | head -40
    failed=1
  fi
done
exit $failed
