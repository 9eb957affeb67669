#!/usr/bin/env bash
# Side-by-side figures of the CLI's main jobs against sqlite3 and Python's csv module.
#
#   bench/compare.sh [BUILD_DIR] [RUNS]        (defaults: build, 7)
#   BASELINE=/path/to/other/varnholt-cli bench/compare.sh   also compares the outputs of the two
#                                                            builds byte for byte
#   KEEP=/some/dir bench/compare.sh            works in that folder and leaves its files there
#
# Makes a 100 000-record GBK CSV file, then times each job of varnholt-cli and its peer with
# hyperfine (one warm-up, RUNS runs each, the two commands of a job back to back) and measures
# peak memory with /usr/bin/time. Prints one table of medians, ratios and peak memory, and the
# targets each figure is held against. Timings are noisy on a busy machine: check `uptime` first.
set -euo pipefail

ROOT=$(cd "$(dirname "$0")/.." && pwd)
BUILD=${1:-$ROOT/build}
RUNS=${2:-7}
RECORDS=${RECORDS:-100000}
CLI=$(cd "$BUILD" && pwd)/varnholt-cli
[[ -x $CLI ]] || { echo "compare.sh: no $CLI; build the project first" >&2; exit 2; }
for tool in hyperfine sqlite3 python3 /usr/bin/time; do
    command -v "$tool" >/dev/null || { echo "compare.sh: $tool is missing" >&2; exit 2; }
done

if [[ -n ${KEEP:-} ]]; then
    mkdir -p "$KEEP" && WORK=$(cd "$KEEP" && pwd)
else
    WORK=$(mktemp -d "${TMPDIR:-/tmp}/varnholt-compare-XXXXXX")
    trap 'rm -rf "$WORK"' EXIT
fi
DATA=$WORK/data
mkdir -p "$DATA"
CSV=$WORK/students.csv
MORE=$WORK/more.csv # as many other students, for the appended import (the check refuses numbers stored already)
export VARNHOLT_PASSWORD=bench
SCHOOL=10001
OPTS="--dir $DATA --school $SCHOOL"

# The records: realistic GBK values (Chinese name and address, codes, dates, contact data).
python3 - "$CSV" "$MORE" "$RECORDS" <<'EOF'
import sys
count = int(sys.argv[3])
fields = ("XSBSH,YXDM,ZYDM,XM,XBDM,CSNY,XLDM,ZXWYYZDM,BYSJ,SYSZDQDM,WYSPDM,DZXX,ZZMMDM,YXGZDQDM,"
          "YXDWXZDM,YXDWHYDM,YXYX,YXZYLBM,LXDH,SJHM,TXDZ,YZBM,BZ,JICENG")
for path, first in ((sys.argv[1], 200600000), (sys.argv[2], 200600000 + count)):
    with open(path, "w", encoding="gbk", newline="") as out:
        out.write(fields + "\r\n")
        for n in range(count):
            number = str(first + n)
            out.write(f"{number},10001,07010100,张三{n % 100},1,1984-07-07,01,en,2006-06-30,110000,4,"
                      f"s{number}@pku.edu.cn,04,460100,CA,G61,1000-2000 ,04E,010-62751234,13800000000,"
                      f"北京市海淀区颐和园路{n % 50},100871,,00\r\n")
EOF
CSV_BYTES=$(stat -c %s "$CSV")

# The full school and the full sqlite3 table that the append, export, list and check jobs start from.
$CLI import $OPTS --in "$CSV" >/dev/null
cp "$DATA/$SCHOOL.db" "$WORK/full.db"
cp "$DATA/$SCHOOL.lock" "$WORK/full.lock" # it notes the data file's size and checksum at the last save
sqlite3 "$WORK/full.sqlite" ".import --csv $CSV students"

# The peer of the check: Python's csv module reading every record, nothing more.
cat >"$WORK/parse.py" <<'EOF'
import csv, sys
for _ in csv.reader(open(sys.argv[1], encoding="gbk", newline="")):
    pass
EOF

EMPTY_OURS="rm -rf $DATA/$SCHOOL.db $DATA/backup"
FULL_OURS="cp $WORK/full.db $DATA/$SCHOOL.db && cp $WORK/full.lock $DATA/$SCHOOL.lock && rm -rf $DATA/backup"
JOBS=(
    # name | target | our command | our preparation | peer | peer command | peer preparation
    "import|ratio<=0.333 mem<=2|$CLI import $OPTS --in $CSV|$EMPTY_OURS|sqlite3 .import|sqlite3 $WORK/s.sqlite '.import --csv $CSV students'|rm -f $WORK/s.sqlite"
    "import appended, backup|ratio<=0.5|$CLI import $OPTS --in $MORE|$FULL_OURS|sqlite3 .import appended|sqlite3 $WORK/s.sqlite '.import --csv --skip 1 $MORE students'|cp $WORK/full.sqlite $WORK/s.sqlite"
    "export|ratio<=0.333 mem<=2|$CLI export $OPTS --out $WORK/out.csv|$FULL_OURS|sqlite3 -csv select *|sqlite3 -csv $WORK/full.sqlite 'select * from students' >$WORK/s.csv|true"
    "list|ratio<=1 mem<=3|$CLI list $OPTS|$FULL_OURS|sqlite3 select *|sqlite3 $WORK/full.sqlite 'select * from students'|true"
    "check|ratio<=0.1 mem<=2|$CLI check $OPTS|$FULL_OURS|python3 csv parse|python3 $WORK/parse.py $CSV|true"
)

# Peak resident memory (KiB) of one run after its preparation.
peak_kib() {
    bash -c "$2" >/dev/null
    /usr/bin/time -f %M -o "$WORK/peak" bash -c "exec $1" >/dev/null 2>&1 || true
    cat "$WORK/peak"
}

ROWS=$WORK/rows.tsv
: >"$ROWS"
for job in "${JOBS[@]}"; do
    IFS='|' read -r name target ours ours_prep peer peer_cmd peer_prep <<<"$job"
    hyperfine --style none --warmup 1 --runs "$RUNS" --export-json "$WORK/h.json" \
        --prepare "$ours_prep" "$ours" --prepare "$peer_prep" "$peer_cmd" >/dev/null
    medians=$(python3 -c 'import json,statistics,sys
r = json.load(open(sys.argv[1]))["results"]
print(" ".join("%.4f" % statistics.median(x["times"]) for x in r))' "$WORK/h.json")
    printf '%s\t%s\t%s\t%s\t%s\t%s\n' "$name" "$target" "$peer" "$medians" \
        "$(peak_kib "$ours" "$ours_prep")" "$(peak_kib "$peer_cmd" "$peer_prep")" >>"$ROWS"
done

# The export of the imported file must give the file back.
$CLI export $OPTS --out "$WORK/round.csv" >/dev/null
cmp -s "$CSV" "$WORK/round.csv" && ROUND="identical" || ROUND="DIFFERENT"

# Another build's outputs from the same input: data file, CSV, UTF-8 CSV, workbook, list.
outputs() { # CLI DIR
    mkdir -p "$2"
    "$1" import --dir "$2" --school $SCHOOL --in "$CSV" >/dev/null
    "$1" import --dir "$2" --school $SCHOOL --in "$MORE" >/dev/null # appended, with a backup
    "$1" export --dir "$2" --school $SCHOOL --out "$2/out.csv" >/dev/null
    "$1" export --dir "$2" --school $SCHOOL --out "$2/out8.csv" --utf8 >/dev/null
    "$1" export --dir "$2" --school $SCHOOL --out "$2/out.xlsx" >/dev/null
    "$1" list --dir "$2" --school $SCHOOL >"$2/list.txt"
    "$1" list --dir "$2" --school $SCHOOL --format csv --names >"$2/names.txt"
}
if [[ -n ${BASELINE:-} ]]; then
    outputs "$CLI" "$WORK/new"
    outputs "$BASELINE" "$WORK/old"
    for file in $SCHOOL.db out.csv out8.csv list.txt names.txt; do
        cmp -s "$WORK/new/$file" "$WORK/old/$file" || ROUND="$ROUND; $file DIFFERS from the baseline"
    done
    # A workbook records the time it was made (docProps/core.xml): every other part must be the same.
    python3 -c 'import sys, zipfile
a, b = (zipfile.ZipFile(p) for p in sys.argv[1:])
parts = lambda z: {n: z.read(n) for n in z.namelist() if n != "docProps/core.xml"}
sys.exit(parts(a) != parts(b))' "$WORK/new/out.xlsx" "$WORK/old/out.xlsx" || ROUND="$ROUND; out.xlsx DIFFERS from the baseline"
    [[ $ROUND == identical ]] && ROUND="identical; data file, CSV, UTF-8 CSV, workbook and lists identical to the baseline"
fi

python3 - "$ROWS" "$CSV_BYTES" "$RECORDS" "$ROUND" <<'EOF'
import sys
rows_path, csv_bytes, records, round_trip = sys.argv[1], int(sys.argv[2]), int(sys.argv[3]), sys.argv[4]
mb = csv_bytes / 1e6
print(f"{records} records, CSV file {mb:.1f} MB; export of the import: {round_trip}")
print()
print("| job | Varnholt | peer | peer time | ratio | target | Varnholt peak | peak / file | peer peak | met |")
print("|---|---|---|---|---|---|---|---|---|---|")
for line in open(rows_path, encoding="utf-8"):
    name, target, peer, medians, ours_kib, peer_kib = line.rstrip("\n").split("\t")
    ours_t, peer_t = map(float, medians.split())
    ratio = ours_t / peer_t
    peak = int(ours_kib) * 1024 / 1e6
    per_file = peak / mb
    met = True
    for part in target.split():
        key, limit = part.split("<=")
        met &= (ratio if key == "ratio" else per_file) <= float(limit)
    print(f"| {name} | {ours_t:.3f} s | {peer} | {peer_t:.3f} s | {ratio:.2f} | {target} | {peak:.0f} MB | "
          f"{per_file:.2f} | {int(peer_kib) * 1024 / 1e6:.0f} MB | {'yes' if met else 'NO'} |")
EOF
