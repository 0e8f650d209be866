#!/usr/bin/env bash
# Runs every fuzz target for a bounded time on its seed corpus: the committed seeds, and for the
# project file targets also the sample projects and the test inputs. A crash leaves its input in
# BUILD/artifacts and fails the run.
#   fuzz/run.sh BUILD SECONDS
set -euo pipefail
build=$1
seconds=$2
root="$(cd "$(dirname "$0")/.." && pwd)"

project_seeds=("$root/fuzz/seeds")
for dir in "$root/examples" "$root/tests/golden/inputs" "$root/tests/project/data" "$root/tests/hostile/data"; do
  [ -d "$dir" ] && project_seeds+=("$dir")
done

mkdir -p "$build/artifacts"
# The analysis target writes its reports here; the targets end without tidying up after
# themselves, so the folder goes when the run does. Memory when there is some: the reports are
# flushed to disk, which a disk would make slow.
shm=/dev/shm
[ -d "$shm" ] && [ -w "$shm" ] || shm="${TMPDIR:-/tmp}"
export ZENKA_FUZZ_DIR="$(mktemp -d "$shm/zenka-fuzz-run-XXXXXX")"
trap 'rm -rf "$ZENKA_FUZZ_DIR"' EXIT
for target in fuzz_input_file fuzz_analysis fuzz_log_edit fuzz_ags4 fuzz_ags3 fuzz_diggs fuzz_delimited \
  fuzz_data_bytes; do
  # The log editor's target reads operations, not project files: it has seeds of its own; so
  # have the import readers.
  if [ "$target" = fuzz_log_edit ]; then
    seeds=("$root/fuzz/seeds-log-edit")
  elif [ "${target#fuzz_}" != "$target" ] && [ -d "$root/fuzz/seeds-${target#fuzz_}" ] &&
    [ "$target" != fuzz_input_file ] && [ "$target" != fuzz_analysis ]; then
    seeds=("$root/fuzz/seeds-${target#fuzz_}")
  else
    seeds=("${project_seeds[@]}")
  fi
  corpus="$build/corpus/$target"
  mkdir -p "$corpus"
  log="$build/$target.log"
  echo "== $target: $seconds s"
  set +e
  "$build/$target" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
    -print_final_stats=1 -artifact_prefix="$build/artifacts/$target-" \
    "$corpus" "${seeds[@]}" >"$log" 2>&1
  status=$?
  set -e
  grep -E "^#[0-9]+[[:space:]]+(INITED|DONE)|^stat::(number_of_executed_units|peak_rss_mb)" "$log" || true
  if [ "$status" -ne 0 ]; then
    tail -n 60 "$log" >&2
    echo "fuzz: $target failed (exit $status); its input is in $build/artifacts" >&2
    exit 1
  fi
done
