#!/bin/sh
# run-fuzz.sh BUILD SECONDS: runs every fuzz target of the fuzz build in BUILD for SECONDS each,
# one after another, starting from its seeds and the corpus earlier runs kept in BUILD/fuzz-corpus.
# A crash, sanitizer report, leak, timeout or out-of-memory (one allocation past 512 MB: no input
# here is large enough to honestly need it) marks the run failed with status 1; the input
# is left as BUILD/fuzz-artifacts/<target>-crash-... (rerun it: BUILD/bin/<target> FILE).
set -u
build=$1
seconds=${2:-60}
status=0
mkdir -p "$build/fuzz-artifacts"
for target in $(cat "$build/fuzz-targets.txt"); do
  corpus="$build/fuzz-corpus/$target"
  mkdir -p "$corpus"
  echo "== $target: $seconds s"
  # New inputs go into the first folder; the seeds stay as they were made.
  if ! "$build/bin/$target" -max_total_time="$seconds" -timeout=20 -rss_limit_mb=2560 -malloc_limit_mb=512 \
      -print_final_stats=1 \
      -artifact_prefix="$build/fuzz-artifacts/$target-" "$corpus" "$build/fuzz-seeds/$target" \
      >"$build/fuzz-artifacts/$target.log" 2>&1; then
    tail -n 40 "$build/fuzz-artifacts/$target.log"
    echo "== $target FAILED (log: $build/fuzz-artifacts/$target.log)"
    status=1
  else
    grep -E '^stat::number_of_executed_units|^Done' "$build/fuzz-artifacts/$target.log" | tr '\n' ' '
    echo
  fi
done
exit $status
