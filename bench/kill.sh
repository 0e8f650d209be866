#!/usr/bin/env bash
# Kills zenka-batch at random moments of a run of the largest project, again and again,
# alternating SIGTERM and SIGKILL, and checks after every kill:
#   - no partial file: the report, the CSV and the depth data file are each either the old file
#     or the complete new one;
#   - after recovery (the next zenka-batch started on that folder, here one whose input is
#     missing, so that it writes nothing itself) no mixed set: all three old or all three new;
#   - no temporary file or staging folder left after that next run.
# SIGTERM waits while the files are put in place; a SIGKILL between two renames leaves a mixed
# set with its commit record, which the next run in the folder completes.
#   bench/kill.sh BUILD [KILLS]
set -euo pipefail
build=$1
kills=${2:-1000}
batch="$build/batch/zenka-batch"
dir=$(mktemp -d "${BENCH_DIR:-${TMPDIR:-/tmp}}/zenka-kill-XXXXXX")
ref=$(mktemp -d "${BENCH_DIR:-${TMPDIR:-/tmp}}/zenka-kill-ref-XXXXXX")
trap 'rm -rf "$dir" "$ref"' EXIT

"$build/bench/zenka-write-projects" "$ref" >/dev/null
# Two projects of one name, so that every output of one run differs from the other's.
name=largest
cp "$ref/largest-alternating-specific.in" "$ref/in.1"
cp "$ref/largest-realistic-specific.in" "$ref/in.2"
cp "$ref/in.1" "$dir/$name.in"

# The complete outputs of a run of each: a kill must leave one of them.
for epoch in 1 2; do
  cp "$ref/in.$epoch" "$ref/$name.in"
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

# Which run's file it is: 1, 2, or x for neither.
which_of() {
  if cmp -s "$1" "$ref/$2.1"; then echo 1; elif cmp -s "$1" "$ref/$2.2"; then echo 2; else echo x; fi
}
partial=0 mixed_before=0 mixed=0 temps=0 killed=0 old=0 new=0 failures=0
for ((i = 1; i <= kills; i++)); do
  epoch=$(( i % 2 + 1 ))
  delay_us=$(( (RANDOM * 32768 + RANDOM) % (run_us * 12 / 10 + 1) ))
  cp "$ref/in.$epoch" "$dir/$name.in"
  SOURCE_DATE_EPOCH=$epoch "$batch" -q --csv "$dir/$name.csv" "$dir/$name.in" &
  pid=$!
  signal=$([ $((i % 2)) = 0 ] && echo TERM || echo KILL)
  sleep "$(printf '0.%06d' "$delay_us")"
  if kill -$signal "$pid" 2>/dev/null; then killed=$((killed + 1)); fi
  wait "$pid" 2>/dev/null || true

  set_of() { echo "$(which_of "$dir/$name.out" report)$(which_of "$dir/$name.csv" csv)$(which_of "$dir/SPTDEPTH.TMP" depth)"; }
  got=$(set_of)
  case $got in *x*) echo "kill $i ($signal after $delay_us us): a partial file ($got)"; partial=$((partial + 1)) ;; esac
  case $got in 111 | 222) ;; *) mixed_before=$((mixed_before + 1)) ;; esac
  if [ $signal = TERM ] && [ "$(ls -A "$dir" | sort)" != "$expected" ]; then
    echo "SIGTERM $i after $delay_us us: the folder holds: $(ls -A "$dir" | tr '\n' ' ')"; failures=$((failures + 1))
  fi

  # Recovery: the next program started on the folder finishes what the kill left.
  "$batch" -q "$dir/missing.in" 2>/dev/null && true
  got=$(set_of)
  case $got in
    111 | 222) [ "${got:0:1}" = $epoch ] && new=$((new + 1)) || old=$((old + 1)) ;;
    *) echo "kill $i ($signal after $delay_us us): a mixed set after recovery ($got)"; mixed=$((mixed + 1)) ;;
  esac
  if [ "$(ls -A "$dir" | sort)" != "$expected" ]; then
    echo "kill $i: after recovery the folder holds: $(ls -A "$dir" | tr '\n' ' ')"; temps=$((temps + 1))
  fi
  # The next run starts from a complete set of the other clock reading.
  SOURCE_DATE_EPOCH=$epoch "$batch" -q --csv "$dir/$name.csv" "$dir/$name.in"
  if [ "$(ls -A "$dir" | sort)" != "$expected" ]; then
    echo "after run $i and the next: the folder holds: $(ls -A "$dir" | tr '\n' ' ')"; temps=$((temps + 1))
  fi
done
echo "$kills runs, $killed killed while running; after recovery the set was the old one $old times and the new one $new times"
echo "$mixed_before kills left a mixed set (new and old files side by side) until the next run"
echo "partial files: $partial; mixed sets after recovery: $mixed; temporaries after the next run: $temps"
if [ $((partial + mixed + temps + failures)) -ne 0 ]; then
  echo "FAILED"; exit 1
fi
echo "No partial output after any kill; no mixed set and no stray file after the next run"
