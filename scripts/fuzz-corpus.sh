#!/bin/sh
# Minimises the corpus of every fuzzer in the fuzz tree $1 (libFuzzer -merge=1
# into a fresh folder) and puts the result in tests/fuzz/corpus/<fuzzer>/.
# Seeds with a name of their own (written by hand, or an input that once
# failed) all stay; every other input there and in the corpus the long runs
# grew ($1/corpus/<fuzzer>) stays only if it adds coverage to what is kept.
set -eu
fuzz=$1
cd "$(dirname "$0")/.."
for bin in "$fuzz"/bin/*_fuzz; do
  name=$(basename "$bin")
  seeds=tests/fuzz/corpus/$name
  grown=$fuzz/corpus/$name
  fresh=$fuzz/merged/$name
  rm -rf "$fresh"
  mkdir -p "$fresh" "$seeds" "$grown"
  for f in "$seeds"/*; do
    [ -f "$f" ] || continue
    basename "$f" | grep -Eqx '[0-9a-f]{40}' || cp "$f" "$fresh/"
  done
  "$bin" -merge=1 -max_len=65536 "$fresh" "$seeds" "$grown" > "$fuzz/merged/$name.log" 2>&1 ||
    { cat "$fuzz/merged/$name.log"; exit 1; }
  rm -f "$seeds"/*
  cp "$fresh"/* "$seeds/"
  echo "$name: $(ls "$seeds" | wc -l) inputs, $(du -sk "$seeds" | cut -f1) KB"
done
