#!/usr/bin/env bash
# Peak memory of `zenka-batch --list` and `--import --no-run` against the size of the data file,
# for AGS4, AGS3, DIGGS and CSV files made up here: one AGS borehole with many SPT rows of the
# columns real files carry (ags4, ags3) and of the fewest columns a reader takes (ags4-min, the
# worst case per byte), many DIGGS tests with their drive sets, many CSV boreholes.
#   bench/import-memory.sh BUILD [MB]       (MB: about how large each file is; default 20 40)
# Prints one line per file and command: size, peak RSS and their ratio; then the largest ratio,
# and exits 1 when it is over 4 (the most an import may take).
set -euo pipefail
build=$1
shift
sizes=("${@:-20 40}")
[ $# -eq 0 ] && sizes=(20 40)
root="$(cd "$(dirname "$0")/.." && pwd)"
batch="$build/batch/zenka-batch"
dir=$(mktemp -d "${BENCH_DIR:-${TMPDIR:-/tmp}}/zenka-import-memory-XXXXXX")
trap 'rm -rf "$dir"' EXIT
printf '*,3\n' >"$dir/map.csv"

make_file() { # kind megabytes path
  python3 - "$1" "$2" "$3" <<'PY'
import sys
kind, mb, path = sys.argv[1], int(sys.argv[2]), sys.argv[3]
target = mb << 20
with open(path, "w", newline="") as f:
    size = 0
    def w(s):
        global size
        f.write(s)
        size += len(s)
    if kind == "ags4":
        w('"GROUP","LOCA"\r\n"HEADING","LOCA_ID","LOCA_GL","LOCA_FDEP"\r\n"UNIT","","m","m"\r\n')
        w('"DATA","BH1","10.0","100000"\r\n')
        w('"GROUP","ISPT"\r\n"HEADING","LOCA_ID","ISPT_TOP","ISPT_SEAT","ISPT_MAIN","ISPT_NPEN",'
          '"ISPT_NVAL","ISPT_REP","ISPT_CAS","ISPT_WAT","ISPT_TYPE","ISPT_HAM","ISPT_ERAT",'
          '"ISPT_INC1","ISPT_INC2","ISPT_INC3","ISPT_INC4","ISPT_INC5","ISPT_INC6",'
          '"ISPT_PEN1","ISPT_PEN2","ISPT_PEN3","ISPT_PEN4","ISPT_PEN5","ISPT_PEN6","ISPT_REM"\r\n'
          '"UNIT","","m","","","mm","","","m","m","","","%","","","","","","","mm","mm","mm","mm",'
          '"mm","mm",""\r\n')
        i = 0
        while size < target:
            i += 1
            n = 10 + i % 40
            w('"DATA","BH1","%.2f","5","%d","450","%d","N=%d (2,3/4,4,5,%d)","1.50","2.10","S",'
              '"AR256","65","2","3","4","4","5","%d","75","75","75","75","75","75",""\r\n'
              % (i * 0.01, n, n, n, n - 13, n - 13))
    elif kind == "ags4-min":
        w('"GROUP","LOCA"\r\n"HEADING","LOCA_ID","LOCA_GL","LOCA_FDEP"\r\n"UNIT","","m","m"\r\n')
        w('"DATA","BH1","10.0","100000"\r\n')
        w('"GROUP","ISPT"\r\n"HEADING","LOCA_ID","ISPT_TOP","ISPT_NVAL","ISPT_REP"\r\n"UNIT","","m","",""\r\n')
        i = 0
        while size < target:
            i += 1
            w('"DATA","BH1","%.2f","%d","N=%d (2,3/3,3,3,3)"\r\n' % (i * 0.01, 10 + i % 40, 10 + i % 40))
    elif kind == "ags3":
        w('"**HOLE"\r\n"*HOLE_ID","*HOLE_GL","*HOLE_FDEP"\r\n"<UNITS>","m","m"\r\n"BH1","10.0","100000"\r\n')
        w('"**ISPT"\r\n"*HOLE_ID","*ISPT_TOP","*ISPT_NVAL","*ISPT_REP"\r\n"<UNITS>","m","",""\r\n')
        i = 0
        while size < target:
            i += 1
            w('"BH1","%.2f","","N=50/%d"\r\n' % (i * 0.01, 100 + i % 200))
    elif kind == "diggs":
        w('<?xml version="1.0"?>\n<Diggs xmlns="http://diggsml.org/schemas/2.6" '
          'xmlns:gml="http://www.opengis.net/gml/3.2" xmlns:xlink="http://www.w3.org/1999/xlink">\n')
        holes = max(1, target // 400000)
        for h in range(holes):
            w('<samplingFeature><Borehole gml:id="B%d"><gml:name>B-%d</gml:name>'
              '<totalMeasuredDepth uom="ft">500</totalMeasuredDepth></Borehole></samplingFeature>\n' % (h, h))
        i = 0
        while size < target:
            h = i % holes
            d = 1.5 * (i // holes + 1)
            w('<measurement><Test gml:id="T%d"><samplingFeatureRef xlink:href="#B%d"/><outcome>'
              '<TestResult><location><LinearExtent><gml:posList>%.1f %.1f</gml:posList>'
              '</LinearExtent></location><results><ResultSet><parameters><PropertyParameters>'
              '<properties><Property><propertyName>N-Value</propertyName></Property></properties>'
              '</PropertyParameters></parameters><dataValues cs="," ts=" ">%d</dataValues>'
              '</ResultSet></results></TestResult></outcome><procedure><DrivenPenetrationTest>'
              '<penetrationTestType>SPT</penetrationTestType>'
              '<driveSet><DriveSet><index>1</index><blowCount>3</blowCount><penetration uom="in">6'
              '</penetration></DriveSet></driveSet><driveSet><DriveSet><index>2</index><blowCount>4'
              '</blowCount><penetration uom="in">6</penetration></DriveSet></driveSet><driveSet>'
              '<DriveSet><index>3</index><blowCount>5</blowCount><penetration uom="in">6'
              '</penetration></DriveSet></driveSet></DrivenPenetrationTest></procedure>'
              '</Test></measurement>\n' % (i, h, d, d + 1.5, 5 + i % 40))
            i += 1
        w('</Diggs>\n')
    else:
        w("Borehole,Depth (ft),N,USCS,Description\n")
        i = 0
        while size < target:
            h, k = divmod(i, 200)
            w("B-%d,%.1f,%d,CL,Stiff brown sandy CLAY\n" % (h, 2.5 * (k + 1), 5 + i % 40))
            i += 1
PY
}

peak() { # command... -> peak RSS in KB
  /usr/bin/time -v "$@" 2>&1 >/dev/null | sed -n 's/^\tMaximum resident set size (kbytes): //p'
}

ratios=()
printf '%-8s %8s  %-22s %10s %7s\n' format "file MB" command "peak MB" ratio
for mb in "${sizes[@]}"; do
  for kind in ags4 ags4-min ags3 diggs csv; do
    case $kind in ags*) ext=ags ;; diggs) ext=xml ;; *) ext=csv ;; esac
    file="$dir/site-$mb.$ext"
    make_file "$kind" "$mb" "$file"
    bytes=$(stat -c %s "$file")
    first=$("$batch" --list "$file" 2>/dev/null | sed -n '2s/ .*//p')
    for what in list import; do
      if [ "$what" = list ]; then
        kb=$(peak "$batch" --list "$file")
      else
        rm -rf "$dir/out" && mkdir "$dir/out"
        kb=$(peak "$batch" --import "$file" --template "$root/examples/worked-case.in" \
          --soil-map "$dir/map.csv" --borehole "$first" --outdir "$dir/out" --no-run -q)
      fi
      awk -v k="$kind" -v b="$bytes" -v kb="$kb" -v w="$what" 'BEGIN {
        printf "%-8s %8.1f  %-22s %10.1f %7.2f\n", k, b / 1048576, w == "list" ? "--list" : "--import --no-run", kb / 1024, kb * 1024 / b }'
      ratios+=("$(awk -v b="$bytes" -v kb="$kb" 'BEGIN { printf "%.2f", kb * 1024 / b }')")
    done
    rm -f "$file"
  done
done
worst=$(printf '%s\n' "${ratios[@]}" | sort -g | tail -1)
echo "largest ratio $worst (at most 4.00)"
awk -v w="$worst" 'BEGIN { exit !(w <= 4.0) }'
