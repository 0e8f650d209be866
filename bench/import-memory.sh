#!/usr/bin/env bash
# Peak memory of `zenka-batch --list` and `--import --no-run` against the size of the data file,
# for AGS4, AGS3, DIGGS and CSV files made up here: one AGS borehole with many SPT rows of the
# columns real files carry (ags4, ags3) and of the fewest columns a reader takes (ags4-min, the
# worst case per byte), many DIGGS tests with their drive sets, many CSV boreholes; then sites of
# many small boreholes (3 SPT tests and 2 strata each, as bench/site-scale.sh makes them) in
# AGS4, DIGGS and CSV.
#   bench/import-memory.sh BUILD [MB...]    (MB: about how large each file is; default 20 40)
#   SITES="10000 100000" bench/import-memory.sh BUILD     (boreholes of the sites; "" for none)
# Prints one line per file and command: size, peak RSS, their ratio, and the ratio of what the
# data adds (the peak less that of the same command on a file of one test: the program's own
# memory, some 5 MB, which no small file could stay under four times of); then the largest
# added ratio, and exits 1 when it is over 4 (the most an import may take). The CSV site is the
# tightest: its three rows of a borehole are 112 bytes, and the borehole, its tests, strata and
# id take some 420 in memory.
set -euo pipefail
build=$1
shift
sizes=("$@")
[ $# -eq 0 ] && sizes=(20 40)
read -r -a sites <<<"${SITES-10000 100000}"
root="$(cd "$(dirname "$0")/.." && pwd)"
batch="$build/batch/zenka-batch"
dir=$(mktemp -d "${BENCH_DIR:-${TMPDIR:-/tmp}}/zenka-import-memory-XXXXXX")
trap 'rm -rf "$dir"' EXIT
printf '*,3\n' >"$dir/map.csv"

make_file() { # kind megabytes-or-boreholes path
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
    elif kind == "ags4-site":
        n = int(sys.argv[2])
        w('"GROUP","PROJ"\n"HEADING","PROJ_ID","PROJ_NAME"\n"UNIT","",""\n"TYPE","ID","X"\n'
          '"DATA","P-1","Scale"\n"GROUP","LOCA"\n"HEADING","LOCA_ID","LOCA_GL","LOCA_FDEP"\n'
          '"UNIT","","m","m"\n"TYPE","ID","2DP","2DP"\n')
        for i in range(1, n + 1):
            w('"DATA","BH%06d","%.2f","12.00"\n' % (i, 5 + i % 7))
        w('"GROUP","GEOL"\n"HEADING","LOCA_ID","GEOL_TOP","GEOL_BASE","GEOL_DESC"\n'
          '"UNIT","","m","m",""\n"TYPE","ID","2DP","2DP","X"\n')
        for i in range(1, n + 1):
            w('"DATA","BH%06d","0.00","4.00","Soft grey CLAY"\n' % i)
            w('"DATA","BH%06d","4.00","12.00","Dense SAND"\n' % i)
        w('"GROUP","ISPT"\n"HEADING","LOCA_ID","ISPT_TOP","ISPT_NVAL","ISPT_REP"\n'
          '"UNIT","","m","",""\n"TYPE","ID","2DP","0DP","X"\n')
        for i in range(1, n + 1):
            w('"DATA","BH%06d","1.50","%d",""\n' % (i, 4 + i % 5))
            w('"DATA","BH%06d","4.50","%d",""\n' % (i, 12 + i % 9))
            w('"DATA","BH%06d","9.00","%d",""\n' % (i, 25 + i % 11))
    elif kind == "diggs-site":
        n = int(sys.argv[2])
        w('<?xml version="1.0"?>\n<Diggs xmlns="http://diggsml.org/schemas/2.6" '
          'xmlns:gml="http://www.opengis.net/gml/3.2" xmlns:xlink="http://www.w3.org/1999/xlink">\n')
        for h in range(1, n + 1):
            w('<samplingFeature><Borehole gml:id="B%d"><gml:name>B-%06d</gml:name><referencePoint>'
              '<PointLocation><gml:pos uomLabels="dega dega ft">-93.1 44.9 %.1f</gml:pos>'
              '</PointLocation></referencePoint><totalMeasuredDepth uom="ft">40</totalMeasuredDepth>'
              '</Borehole></samplingFeature>\n' % (h, h, 800 + h % 7))
        for h in range(1, n + 1):
            for k, d in enumerate((5.0, 15.0, 30.0)):
                w('<measurement><Test gml:id="T%d_%d"><samplingFeatureRef xlink:href="#B%d"/>'
                  '<outcome><TestResult><location><LinearExtent><gml:posList>%.1f %.1f'
                  '</gml:posList></LinearExtent></location><results><ResultSet><parameters>'
                  '<PropertyParameters><properties><Property><propertyName>N-Value</propertyName>'
                  '</Property></properties></PropertyParameters></parameters>'
                  '<dataValues cs="," ts=" ">%d</dataValues></ResultSet></results></TestResult>'
                  '</outcome><procedure><DrivenPenetrationTest><penetrationTestType>SPT'
                  '</penetrationTestType></DrivenPenetrationTest></procedure></Test>'
                  '</measurement>\n' % (h, k, h, d, d + 1.5, 4 + (h + 7 * k) % 30))
        for h in range(1, n + 1):
            w('<observation><LithologySystem><samplingFeatureRef xlink:href="#B%d"/>'
              '<lithologyObservation><LithologyObservation><location><LinearExtent><gml:posList>'
              '0 12</gml:posList></LinearExtent></location><primaryLithology><Lithology>'
              '<lithDescription>Soft gray lean CLAY</lithDescription><classificationSymbol>CL'
              '</classificationSymbol></Lithology></primaryLithology></LithologyObservation>'
              '<LithologyObservation><location><LinearExtent><gml:posList>12 40</gml:posList>'
              '</LinearExtent></location><primaryLithology><Lithology><lithDescription>Dense '
              'brown SAND</lithDescription><classificationSymbol>SP</classificationSymbol>'
              '</Lithology></primaryLithology></LithologyObservation></lithologyObservation>'
              '</LithologySystem></observation>\n' % h)
        w('</Diggs>\n')
    elif kind == "csv-site":
        n = int(sys.argv[2])
        w("Borehole,Depth (ft),N,USCS,Description\n")
        for h in range(1, n + 1):
            w("B-%06d,5.0,%d,CL,Soft gray lean CLAY\n" % (h, 4 + h % 5))
            w("B-%06d,15.0,%d,SP,Dense brown SAND\n" % (h, 12 + h % 9))
            w("B-%06d,30.0,%d,SP,Dense brown SAND\n" % (h, 25 + h % 11))
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

# The program's own peak, without data: each command on a file of one test.
printf '"GROUP","LOCA"\n"HEADING","LOCA_ID","LOCA_GL"\n"UNIT","","m"\n"DATA","BH1","1"\n"GROUP","ISPT"\n"HEADING","LOCA_ID","ISPT_TOP","ISPT_NVAL"\n"UNIT","","m",""\n"DATA","BH1","1.5","12"\n' >"$dir/one.ags"

run() { # what file first -> peak RSS in KB
  if [ "$1" = list ]; then
    peak "$batch" --list "$2"
  else
    rm -rf "$dir/out" && mkdir "$dir/out"
    peak "$batch" --import "$2" --template "$root/examples/worked-case.in" \
      --soil-map "$dir/map.csv" --borehole "$3" --outdir "$dir/out" --no-run -q
  fi
}
declare -A base=([list]=$(run list "$dir/one.ags") [import]=$(run import "$dir/one.ags" BH1))

ratios=()
printf '%-10s %9s  %-18s %8s %7s %7s\n' format "file MB" command "peak MB" ratio added
measure() { # kind size ext
  local kind=$1 file="$dir/data.$3"
  make_file "$kind" "$2" "$file"
  local bytes first
  bytes=$(stat -c %s "$file")
  first=$("$batch" --list "$file" 2>/dev/null | sed -n '2s/ .*//p')
  for what in list import; do
    local kb
    kb=$(run "$what" "$file" "$first")
    awk -v k="$kind" -v b="$bytes" -v kb="$kb" -v base="${base[$what]}" -v w="$what" 'BEGIN {
      printf "%-10s %9.1f  %-18s %8.1f %7.2f %7.2f\n", k, b / 1048576,
        w == "list" ? "--list" : "--import --no-run", kb / 1024, kb * 1024 / b,
        (kb - base) * 1024 / b }'
    ratios+=("$(awk -v b="$bytes" -v kb="$kb" -v base="${base[$what]}" 'BEGIN { printf "%.2f", (kb - base) * 1024 / b }')")
  done
  rm -f "$file"
}
for mb in "${sizes[@]}"; do
  for kind in ags4 ags4-min ags3 diggs csv; do
    case $kind in ags*) ext=ags ;; diggs) ext=xml ;; *) ext=csv ;; esac
    measure "$kind" "$mb" "$ext"
  done
done
for n in "${sites[@]}"; do
  echo "site of $n boreholes:"
  measure ags4-site "$n" ags
  measure diggs-site "$n" xml
  measure csv-site "$n" csv
done
worst=$(printf '%s\n' "${ratios[@]}" | sort -g | tail -1)
echo "largest added ratio $worst (at most 4.00)"
awk -v w="$worst" 'BEGIN { exit !(w <= 4.0) }'
