#!/usr/bin/env bash
# The whole process, start to exit: zenka-batch on the largest projects against a program that
# only reads the same file and exits, and the peak memory of each.
#   bench/process.sh BUILD [RUNS]
# The projects and their reports go to a fresh folder under BENCH_DIR (default: the system's
# temporary folder), so the figures include writing the report to that disk.
set -euo pipefail
build=$1
runs=${2:-200}
dir=$(mktemp -d "${BENCH_DIR:-${TMPDIR:-/tmp}}/zenka-process-XXXXXX")
trap 'rm -rf "$dir"' EXIT

"$build/bench/zenka-write-projects" "$dir"
timer="$build/bench/zenka-process-time"
echo "Whole process, $runs runs each, files in $dir:"
for name in largest-alternating-specific largest-alternating-range largest-realistic-specific largest-realistic-range; do
  input="$dir/$name.in"
  "$build/batch/zenka-batch" -q "$input" # once, so every run replaces an existing report
  echo "  $name"
  printf '    read only:   '; "$timer" "$runs" "$build/bench/zenka-read-only" "$input"
  printf '    zenka-batch: '; "$timer" "$runs" "$build/batch/zenka-batch" -q "$input"
  if [ -x /usr/bin/time ]; then
    /usr/bin/time -v "$build/batch/zenka-batch" -q "$input" 2>&1 |
      sed -n 's/^\tMaximum resident set size (kbytes): /    zenka-batch peak RSS (time -v): /p' | sed 's/$/ KB/'
  fi
done
