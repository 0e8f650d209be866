#!/usr/bin/env bash
# Imports sites of 1,000, 10,000 and 100,000 boreholes (an AGS4 file, three SPT tests each) into
# a fresh folder with --no-run, and a site of 1,000 and 10,000 with their runs, and prints the
# time per borehole and how it grows from the smallest site to the largest.
#   bench/site-scale.sh BUILD [SIZES...]
set -euo pipefail
build=$1
shift
sizes=("$@")
[ ${#sizes[@]} -gt 0 ] || sizes=(1000 10000 100000)
batch="$build/batch/zenka-batch"
dir=$(mktemp -d "${BENCH_DIR:-${TMPDIR:-/tmp}}/zenka-site-XXXXXX")
trap 'rm -rf "$dir"' EXIT

template="$(dirname "$0")/../examples/worked-case.in"
printf '*,3\n' >"$dir/map.csv"

site() { # N -> an AGS4 file of N boreholes
  awk -v n="$1" 'BEGIN {
    print "\"GROUP\",\"PROJ\""; print "\"HEADING\",\"PROJ_ID\",\"PROJ_NAME\"";
    print "\"UNIT\",\"\",\"\""; print "\"TYPE\",\"ID\",\"X\""; print "\"DATA\",\"P-1\",\"Scale\"";
    print "\"GROUP\",\"LOCA\""; print "\"HEADING\",\"LOCA_ID\",\"LOCA_GL\",\"LOCA_FDEP\"";
    print "\"UNIT\",\"\",\"m\",\"m\""; print "\"TYPE\",\"ID\",\"2DP\",\"2DP\"";
    for (i = 1; i <= n; i++) printf "\"DATA\",\"BH%06d\",\"%.2f\",\"12.00\"\n", i, 5 + i % 7;
    print "\"GROUP\",\"GEOL\""; print "\"HEADING\",\"LOCA_ID\",\"GEOL_TOP\",\"GEOL_BASE\",\"GEOL_DESC\"";
    print "\"UNIT\",\"\",\"m\",\"m\",\"\""; print "\"TYPE\",\"ID\",\"2DP\",\"2DP\",\"X\"";
    for (i = 1; i <= n; i++) {
      printf "\"DATA\",\"BH%06d\",\"0.00\",\"4.00\",\"Soft grey CLAY\"\n", i;
      printf "\"DATA\",\"BH%06d\",\"4.00\",\"12.00\",\"Dense SAND\"\n", i;
    }
    print "\"GROUP\",\"ISPT\""; print "\"HEADING\",\"LOCA_ID\",\"ISPT_TOP\",\"ISPT_NVAL\",\"ISPT_REP\"";
    print "\"UNIT\",\"\",\"m\",\"\",\"\""; print "\"TYPE\",\"ID\",\"2DP\",\"0DP\",\"X\"";
    for (i = 1; i <= n; i++) {
      printf "\"DATA\",\"BH%06d\",\"1.50\",\"%d\",\"\"\n", i, 4 + i % 5;
      printf "\"DATA\",\"BH%06d\",\"4.50\",\"%d\",\"\"\n", i, 12 + i % 9;
      printf "\"DATA\",\"BH%06d\",\"9.00\",\"%d\",\"\"\n", i, 25 + i % 11;
    }
  }'
}

first=() last=()
measure() { # N MODE: prints wall and CPU time, and each per borehole
  local n=$1 mode=$2 out="$dir/out-$1-$2" args=()
  [ "$mode" = no-run ] && args=(--no-run)
  site "$n" >"$dir/site.ags"
  local t
  t=$({ /usr/bin/time -f "%e %U %S" "$batch" -q --import "$dir/site.ags" --template "$template" \
        --soil-map "$dir/map.csv" --outdir "$out" "${args[@]}"; } 2>&1 >/dev/null | tail -1)
  local files
  files=$(find "$out" -name '*.in' | wc -l)
  [ "$files" -eq "$n" ] || { echo "FAILED: $files projects written of $n"; exit 1; }
  read -r wall user sys <<<"$t"
  last=($(awk -v n="$n" -v w="$wall" -v u="$user" -v s="$sys" \
    'BEGIN { printf "%.1f %.1f", w * 1e6 / n, (u + s) * 1e6 / n }'))
  printf '%-7s %7d boreholes: %7.2f s (CPU %6.2f s); per borehole %6.1f us (CPU %6.1f us)\n' \
    "$mode" "$n" "$wall" "$(awk -v u="$user" -v s="$sys" 'BEGIN { print u + s }')" "${last[0]}" "${last[1]}"
  rm -rf "$out"
}

for n in "${sizes[@]}"; do
  measure "$n" no-run
  [ ${#first[@]} -gt 0 ] || first=("${last[@]}")
done
awk -v a="${first[0]}" -v b="${last[0]}" -v c="${first[1]}" -v d="${last[1]}" -v from="${sizes[0]}" -v to="${sizes[-1]}" \
  'BEGIN { printf "growth of the time per borehole from %d to %d (--no-run): wall %.2f, CPU %.2f\n", from, to, b / a, d / c }'
for n in "${sizes[@]}"; do
  if [ "$n" -le 10000 ]; then measure "$n" run; fi
done
# One run in a folder of 100,000 files against one in an empty folder.
mkdir -p "$dir/crowd" "$dir/empty"
cp "$template" "$dir/crowd/p.in"; cp "$template" "$dir/empty/p.in"
(cd "$dir/crowd" && seq 1 100000 | xargs touch)
# Alternating, so that the machine's load falls on both alike.
declare -A total=([empty]=0 [crowd]=0)
for _ in $(seq 1 20); do
  for where in empty crowd; do
    start=$(date +%s%N)
    "$batch" -q "$dir/$where/p.in"
    total[$where]=$(( ${total[$where]} + $(date +%s%N) - start ))
  done
done
for where in empty crowd; do
  awk -v t="${total[$where]}" -v w="$where" 'BEGIN { printf "a single run in the %s folder: %.1f ms\n", w, t / 20 / 1e6 }'
done
