#!/usr/bin/env bash
# The site summary PDF of the 76-borehole bridge file: a template of 5 pile widths and a range of
# 100 lengths, the soil map the batch import proposes. Prints the wall and CPU time of
# `zenka --site-pdf` (best of RUNS), its pages and size; fails above LIMIT seconds.
#   bench/site-pdf.sh BUILD [RUNS]
set -euo pipefail
build=$1
runs=${2:-5}
limit=${LIMIT:-3}
zenka="$build/app/zenka"
batch="$build/batch/zenka-batch"
samples="$(dirname "$0")/../../shared/import-samples"
source_file="$samples/diggsdev_Hackathon_I10Bridge_V1.xml.xz"
[ -x "$zenka" ] || { echo "site-pdf: $zenka is not built"; exit 1; }
[ -f "$source_file" ] || { echo "site-pdf: no bridge file at $source_file; skipped"; exit 0; }
dir=$(mktemp -d "${BENCH_DIR:-${TMPDIR:-/tmp}}/zenka-site-pdf-XXXXXX")
trap 'rm -rf "$dir"' EXIT

xz -dc "$source_file" >"$dir/bridge.xml"
# The worked case as a range: widths 12 to 24 in, lengths 5 to 84.2 ft by 0.8 ft (100 lengths).
awk 'NR == 7 { print "Bridge site: square concrete piles\r"; next }
     NR == 9 { print "2 1\r"; next }
     NR == 10 { print "5          12.0000          14.0000          16.0000          18.0000          24.0000 \r"; next }
     NR == 12 { print "           5.0000          84.2000           0.8000 \r"; next }
     { print }' "$(dirname "$0")/../examples/worked-case.in" >"$dir/template.in"
"$batch" -q --import "$dir/bridge.xml" --template "$dir/template.in" \
  --soil-map-out "$dir/soil-map.csv" --outdir "$dir/out" >/dev/null 2>&1 || true
[ -s "$dir/soil-map.csv" ] || { echo "site-pdf: no soil map proposed"; exit 1; }

best=""
for _ in $(seq 1 "$runs"); do
  t=$({ /usr/bin/time -f "%e %U %S" env -u DISPLAY QT_QPA_PLATFORM=offscreen "$zenka" \
        --site-pdf "$dir/bridge.xml" --template "$dir/template.in" \
        --soil-map "$dir/soil-map.csv" --required 100 -o "$dir/site.pdf"; } 2>&1 | tail -1)
  read -r wall user sys <<<"$t"
  if [ -z "$best" ] || awk -v a="$wall" -v b="${best%% *}" 'BEGIN { exit !(a < b) }'; then
    best="$wall $user $sys"
  fi
done
read -r wall user sys <<<"$best"
pages=$(pdfinfo "$dir/site.pdf" 2>/dev/null | awk '/^Pages:/ { print $2 }')
size=$(stat -c %s "$dir/site.pdf")
printf 'site PDF of the bridge file (5 widths x 100 lengths): %.2f s wall, %.2f s CPU (best of %d); %s pages, %d bytes\n' \
  "$wall" "$(awk -v u="$user" -v s="$sys" 'BEGIN { print u + s }')" "$runs" "${pages:-?}" "$size"
awk -v w="$wall" -v l="$limit" 'BEGIN { exit !(w <= l) }' || { echo "site-pdf: over ${limit} s"; exit 1; }
