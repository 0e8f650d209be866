#!/usr/bin/env bash
# Kills zenka-batch at random moments of a run of the largest project, again and again, and checks
# after every kill that each output is either the old file or the complete new one and that no
# temporary file is left in the folder. Kills alternate between SIGTERM and SIGKILL. SIGTERM waits
# while the files are put in place; SIGKILL cannot, so one landing between the link and the
# rename of a file (a few microseconds) leaves that file's temporary name, which the next run into
# the folder removes: the script counts those and checks that none outlives the next run.
#   bench/kill.sh BUILD [KILLS]
set -euo pipefail
build=$1
kills=${2:-500}
batch="$build/batch/zenka-batch"
dir=$(mktemp -d "${BENCH_DIR:-${TMPDIR:-/tmp}}/zenka-kill-XXXXXX")
ref=$(mktemp -d "${BENCH_DIR:-${TMPDIR:-/tmp}}/zenka-kill-ref-XXXXXX")
trap 'rm -rf "$dir" "$ref"' EXIT

"$build/bench/zenka-write-projects" "$ref" >/dev/null
name=largest-alternating-specific
cp "$ref/$name.in" "$dir/$name.in"

# The complete outputs of a run at each of two clock readings: a kill must leave one of them.
for epoch in 1 2; do
  SOURCE_DATE_EPOCH=$epoch "$batch" -q --csv "$ref/$name.csv" "$ref/$name.in"
  cp "$ref/$name.out" "$ref/report.$epoch"
  cp "$ref/$name.csv" "$ref/csv.$epoch"
  cp "$ref/SPTDEPTH.TMP" "$ref/depth.$epoch"
done
SOURCE_DATE_EPOCH=1 "$batch" -q --csv "$dir/$name.csv" "$dir/$name.in"
expected=$(printf '%s\n' "$name.in" "$name.out" "$name.csv" SPTDEPTH.TMP | sort)

# How long a whole run takes, so the kills fall before, during and just after the writes.
times=()
for _ in 1 2 3 4 5; do
  start=$(date +%s%N)
  SOURCE_DATE_EPOCH=1 "$batch" -q --csv "$dir/$name.csv" "$dir/$name.in"
  times+=($(( ($(date +%s%N) - start) / 1000 )))
done
run_us=$(printf '%s\n' "${times[@]}" | sort -n | sed -n 3p) # the median
echo "A whole run takes about $run_us us; $kills kills within 0 to $((run_us * 12 / 10)) us of the start"

same() { cmp -s "$1" "$2"; }
failures=0 killed=0 old=0 new=0 window=0
for ((i = 1; i <= kills; i++)); do
  epoch=$(( i % 2 + 1 ))
  delay_us=$(( (RANDOM * 32768 + RANDOM) % (run_us * 12 / 10 + 1) ))
  SOURCE_DATE_EPOCH=$epoch "$batch" -q --csv "$dir/$name.csv" "$dir/$name.in" &
  pid=$!
  signal=$([ $((i % 2)) = 0 ] && echo TERM || echo KILL)
  sleep "$(printf '0.%06d' "$delay_us")"
  if kill -$signal "$pid" 2>/dev/null; then killed=$((killed + 1)); fi
  wait "$pid" 2>/dev/null || true

  names=$(ls -A "$dir" | sort)
  if [ "$names" != "$expected" ]; then
    if [ $signal = KILL ]; then
      window=$((window + 1))
      echo "SIGKILL $i after ${delay_us} us hit a commit: $(echo $names)"
    else
      echo "SIGTERM $i after ${delay_us} us: the folder holds: $(echo $names)"; failures=$((failures + 1))
    fi
  fi
  for kind in report csv depth; do
    case $kind in report) f="$dir/$name.out" ;; csv) f="$dir/$name.csv" ;; depth) f="$dir/SPTDEPTH.TMP" ;; esac
    if same "$f" "$ref/$kind.1"; then [ $kind = report ] && [ $epoch = 2 ] && old=$((old + 1)); [ $kind = report ] && [ $epoch = 1 ] && new=$((new + 1))
    elif same "$f" "$ref/$kind.2"; then [ $kind = report ] && [ $epoch = 1 ] && old=$((old + 1)); [ $kind = report ] && [ $epoch = 2 ] && new=$((new + 1))
    else echo "kill $i after ${delay_us} us: $kind is neither the old nor the new file"; failures=$((failures + 1)); fi
  done
  # The next run starts from a complete report of the other clock reading, and removes whatever
  # a killed run left.
  SOURCE_DATE_EPOCH=$epoch "$batch" -q --csv "$dir/$name.csv" "$dir/$name.in"
  names=$(ls -A "$dir" | sort)
  if [ "$names" != "$expected" ]; then
    echo "after run $i and the next: the folder holds: $(echo $names)"; failures=$((failures + 1))
  fi
done
echo "$kills runs, $killed killed while running; the report was the old one $old times and the new one $new times"
echo "$window SIGKILLs landed between a link and a rename; the next run removed what they left"
if [ "$failures" -ne 0 ]; then
  echo "FAILED: $failures faults"; exit 1
fi
echo "No partial output after any kill; no stray file after any SIGTERM or after the next run"
