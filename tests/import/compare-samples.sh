#!/bin/bash
# Prints what a zenka-batch makes of every sample data file: the borehole list, the problems
# and each imported project, so that two builds can be diffed.
#   tests/import/compare-samples.sh BATCH SAMPLES_DIR OUT_DIR
# writes OUT_DIR/<sample>.txt, one file per sample.
set -u
batch=$1
samples=$2
out=$3
here=$(cd "$(dirname "$0")/../.." && pwd)
template=$here/examples/worked-case.in
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
printf '*,3\n' >"$work/map.csv"
mkdir -p "$out"
for f in "$samples"/*; do
    name=$(basename "$f")
    case $name in
    *.md) continue ;;
    *.xz) xz -dc "$f" >"$work/${name%.xz}"; data=$work/${name%.xz} ;;
    *) cp "$f" "$work/$name"; data=$work/$name ;;
    esac
    report=$out/$(basename "$data").txt
    proj=$work/proj
    rm -rf "$proj" && mkdir -p "$proj"
    {
        echo "== list"
        "$batch" --list "$data" --csv "$work/list.csv" 2>&1 | sed "s|$work/||g"
        cat "$work/list.csv" 2>/dev/null; rm -f "$work/list.csv"
        echo "== import (exit below)"
        # stderr after stdout, so that the two never interleave differently from run to run
        "$batch" --import "$data" --template "$template" --soil-map "$work/map.csv" \
            --outdir "$proj" --no-run 2>"$work/err" | sed "s|$work/||g"
        echo "exit ${PIPESTATUS[0]}"
        sed "s|$work/||g" "$work/err"
        for p in "$proj"/*.in; do
            [ -e "$p" ] || continue
            echo "== $(basename "$p")"
            cat "$p"
        done
    } >"$report"
done
