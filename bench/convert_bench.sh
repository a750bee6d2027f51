#!/usr/bin/env bash
# Peak memory, time and size of the report of telelist-convert's import on
# large or hostile address books: 50 MB of vCards 2.1 and 3.0 with photos
# (and the same file read by Python's vobject beside it), a card with
# 10 MiB of blank lines, a CSV header repeating a phone column (and CSV
# headers of Google's phone type columns, many or long), a million
# contacts, a million in error, 2.5 MB of quoted-printable soft line breaks
# in one value, a 10 MiB name, 150,000 contacts past the directory's 16, a
# 10 MiB line with no line end and a CSV quote never closed. Every input is
# generated here, the same on each run. Prints one Markdown table row per
# run, with the load average before and after.
#
# Usage: bench/convert_bench.sh [TELELIST_CONVERT]
#   (default: the release build, built first)
#
# Needs bash, python3, GNU `timeout` and GNU time as /usr/bin/time (Debian
# package `time`, installed here when missing and run as root); the vobject
# row needs Debian's python3-vobject and is left out without it.
#
# Each run is in a fresh scratch directory under ${TMPDIR:-/tmp}, removed
# afterwards, and is capped: `timeout` (60 s, 300 s for vobject) and
# `ulimit -v` of 4 GiB. The program's output goes to a file in it.
set -euo pipefail
if [ ! -x /usr/bin/time ]; then
  [ "$(id -u)" -eq 0 ] || { echo "$0: needs GNU time as /usr/bin/time (Debian package 'time')" >&2; exit 2; }
  DEBIAN_FRONTEND=noninteractive apt-get install -y -qq time >/dev/null ||
    { apt-get update -qq && DEBIAN_FRONTEND=noninteractive apt-get install -y -qq time >/dev/null; }
fi
command -v timeout >/dev/null || { echo "$0: needs GNU timeout (coreutils)" >&2; exit 2; }
command -v python3 >/dev/null || { echo "$0: needs python3" >&2; exit 2; }
root=$(cd "$(dirname "$0")/.." && pwd)
if [ $# -gt 1 ]; then echo "usage: $0 [TELELIST_CONVERT]" >&2; exit 2; fi
if [ $# -eq 1 ]; then
  [ -x "$1" ] || { echo "$0: $1 is not a program" >&2; exit 2; }
  convert=$(realpath "$1")
else
  (cd "$root" && cmake --preset release >/dev/null && cmake --build --preset release --target telelist-convert >/dev/null)
  convert=$root/build/release/convert/telelist-convert
fi
vobject=/usr/bin/python3
"$vobject" -c 'import vobject' 2>/dev/null || vobject=''
limit_kib=$((4 * 1024 * 1024))
scratch=''

cleanup() { if [ -n "$scratch" ]; then cd /; rm -rf "$scratch"; scratch=""; fi; }
trap cleanup EXIT
trap 'exit 130' INT TERM HUP

# make_input KIND FILE: writes the input KIND to FILE.
make_input() {
  python3 - "$1" "$2" <<'PY'
import base64, random, sys

kind, path = sys.argv[1], sys.argv[2]
MiB = 1 << 20
out = open(path, "wb")
rnd = random.Random(7)
FIRST = ["Ann", "Bob", "Chloé", "Dmitri", "Émile", "Fatima", "Grace", "Hiroshi", "Ingrid", "José",
         "Kwame", "Li", "Mary-Jane", "Nils", "Ömer", "Priya", "Quinn", "Rosa", "Søren", "Zoë"]
LAST = ["Smith", "Nguyen", "O'Brien", "García", "Müller", "van der Berg", "Kowalski", "Okafor",
        "Johansson", "Rossi", "Tanaka", "Dubois", "Ivanova", "Murphy", "Haddad", "Schmidt"]
WORDS = ("met at the conference call after five not on weekends prefers email birthday in "
         "March ask about the garden project old number no longer works").split()

def phone():
    return "%d%02d 555 %04d" % (rnd.randint(2, 9), rnd.randint(0, 99), rnd.randint(0, 9999))

def folded(line, indent=" "):
    # A content line folded after every 74 characters, as writers do.
    parts = [line[k:k + 74] for k in range(0, len(line), 74)]
    return ("\r\n" + indent).join(parts) + "\r\n"

def photo():
    return base64.b64encode(rnd.getrandbits(8 * 4096).to_bytes(4096, "little")[: rnd.randint(2048, 8192)]).decode()

def card30(n):
    first, last = rnd.choice(FIRST), rnd.choice(LAST)
    note = " ".join(rnd.choice(WORDS) for _ in range(rnd.randint(5, 60)))
    text = ("BEGIN:VCARD\r\nVERSION:3.0\r\n"
            + "N:%s;%s;;;\r\nFN:%s %s\r\n" % (last, first, first, last)
            + "TEL;TYPE=CELL,VOICE,PREF:+1 %s\r\n" % phone()
            + "TEL;TYPE=WORK,VOICE:(%s\r\n" % phone().replace(" ", ") ", 1)
            + "TEL;TYPE=HOME,FAX:%s\r\n" % phone().replace(" ", ".")
            + "EMAIL;TYPE=INTERNET:contact%d@example.com\r\n" % n
            + "ADR;TYPE=HOME:;;%d Main Street;Springfield;IL;62701;USA\r\n" % (n % 999 + 1)
            + folded("NOTE:" + note.replace(",", "\\,")))
    if n % 8 == 0:
        text += folded("PHOTO;ENCODING=b;TYPE=JPEG:" + photo())
    return text + "END:VCARD\r\n"

def card21(n):
    first, last = rnd.choice(FIRST), rnd.choice(LAST)
    text = ("BEGIN:VCARD\r\nVERSION:2.1\r\n"
            + "N;CHARSET=UTF-8:%s;%s\r\nFN;CHARSET=UTF-8:%s %s\r\n" % (last, first, first, last)
            + "TEL;CELL;PREF:%s\r\n" % phone().replace(" ", "-")
            + "TEL;WORK;VOICE:%s\r\n" % phone()
            + "EMAIL;INTERNET:contact%d@example.com\r\n" % n
            + "ADR;HOME:;;%d Oak Avenue;Portland;OR;97201;USA\r\n" % (n % 999 + 1)
            + "NOTE;ENCODING=QUOTED-PRINTABLE:Line one=0D=0A=\r\nline two, =C3=A9t=C3=A9\r\n")
    if n % 8 == 5:
        data = photo()
        text += "PHOTO;ENCODING=BASE64;TYPE=JPEG:\r\n"
        text += "".join("  " + data[k:k + 72] + "\r\n" for k in range(0, len(data), 72)) + "\r\n"
    return text + "END:VCARD\r\n"

def fill(size, piece):
    # size bytes of piece over and over, a MiB at a time.
    block = piece * (MiB // len(piece) + 1)
    left = size
    while left > 0:
        out.write(block[:min(left, MiB)])
        left -= min(left, MiB)

if kind == "vcards":
    size, n = 0, 0
    while size < 50_000_000:
        size += out.write((card30(n) if n % 2 == 0 else card21(n)).encode())
        n += 1
elif kind == "blank-lines":
    out.write(b"BEGIN:VCARD\r\nVERSION:3.0\r\nN:Smith;Ann\r\n")
    fill(10 * MiB, b"\r\n")
    out.write(b"TEL:312 555 0101\r\nEND:VCARD\r\n")
elif kind == "phone-columns":
    columns = 10000
    size = out.write(b"First Name,Last Name" + b",Phone" * columns + b"\n")
    n = 0
    while size < 1_600_000:
        numbers = "".join(",312 555 %04d" % ((n * columns + k) % 10000) for k in range(columns))
        size += out.write(("Ann%d,Smith%d%s\n" % (n, n, numbers)).encode())
        n += 1
elif kind == "type-columns":
    columns = 50000
    size = out.write(b"Name" + b",Phone 1 - Type" * columns + b",Phone 1 - Value\n")
    n = 0
    while size < 1_600_000:
        size += out.write(b"Ann Smith" + b",Mobile" * columns + b",312 555 0101\n")
        n += 1
elif kind == "long-type-fields":
    columns = 80
    out.write(b"Name" + b",Phone 1 - Type" * columns + b",Phone 1 - Value\nAnn Smith")
    for _ in range(columns):
        out.write(b",")
        fill(250_000, b"Mobile ")
    out.write(b",312 555 0101\n")
elif kind == "million-vcf":
    for n in range(1_000_000):
        out.write(b"BEGIN:VCARD\r\nVERSION:3.0\r\nN:Last%d;First%d\r\nFN:First%d Last%d\r\nTEL:312 555 %04d\r\nEND:VCARD\r\n"
                  % (n, n, n, n, n % 10000))
elif kind == "million-csv":
    out.write(b"First Name,Last Name,Phone\n")
    for n in range(1_000_000):
        out.write(b"First%d,Last%d,312 555 %04d\n" % (n, n, n % 10000))
elif kind == "no-numbers":
    out.write(b"First Name,Last Name,Phone\n")
    for n in range(1_000_000):
        out.write(b"First%d,Last%d,\n" % (n, n))
elif kind == "soft-breaks":
    out.write(b"BEGIN:VCARD\r\nVERSION:2.1\r\nN;ENCODING=QUOTED-PRINTABLE:Smith;Ann=\r\n")
    fill(2_500_000 // 3 * 3, b"=\r\n")
    out.write(b"x\r\nTEL:312 555 0101\r\nEND:VCARD\r\n")
elif kind == "name-vcf":
    out.write(b"BEGIN:VCARD\r\nVERSION:3.0\r\nN:")
    fill(10 * MiB, b"A")
    out.write(b";Ann\r\nTEL:312 555 0101\r\nEND:VCARD\r\n")
elif kind == "name-csv":
    out.write(b"First Name,Last Name,Phone\nAnn,")
    fill(10 * MiB, b"A")
    out.write(b",312 555 0101\n")
elif kind == "past-full":
    out.write(b"First Name,Last Name,Phone\n")
    for n in range(150_016):
        out.write(b"First%d,Last%d,312 555 %04d\n" % (n, n, n % 10000))
elif kind == "long-line-vcf":
    fill(10 * MiB, b"BEGIN:VCARD;")
elif kind == "long-line-csv":
    fill(10 * MiB, b"Phone,")
elif kind == "unclosed-quote":
    size = out.write(b"First Name,Last Name,Phone\nAnn,\"Smith,312 555 0100\n")
    n = 0
    while size < 20_000_000:
        size += out.write(b"First%d,Last%d,312 555 %04d\n" % (n, n, n % 10000))
        n += 1
else:
    sys.exit("no input " + kind)
PY
}

# measure LIMIT COMMAND...: runs COMMAND in the scratch directory; sets
# secs, kib, err_bytes and status.
measure() {
  local limit=$1 rc=0 line
  shift
  ( ulimit -v "$limit_kib"
    exec /usr/bin/time -f '%e s %M KiB' -o time.out timeout -k 5 "$limit" "$@" </dev/null >out.txt 2>err.out ) || rc=$?
  line=$(tail -n 1 time.out)
  secs=${line%% s *} kib=${line#* s } kib=${kib% KiB}
  err_bytes=$(wc -c <err.out)
  if [ "$rc" -eq 124 ] || [ "$rc" -eq 137 ]; then
    status="killed after $limit s (exit $rc)"
  elif grep -qiE 'bad_alloc|out of memory|cannot allocate|MemoryError' err.out; then
    status="out of memory (4 GiB cap) (exit $rc)"
  else
    status="exit $rc"
  fi
}

row() {  # LABEL PROGRAM FILE
  awk -v l="$1" -v p="$2" -v b="$(wc -c <"$3")" -v t="$secs" -v k="$kib" -v e="$err_bytes" -v s="$status" \
    'BEGIN { printf "| %s | %s | %.1f MiB | %.2f | %d | %d | %s |\n", l, p, b / 1048576, t, k, e, s }'
}

# run LABEL KIND EXTENSION [vobject]: one row for telelist-convert, and one
# for vobject reading the same file when asked.
run() {
  local label=$1 kind=$2 file=input.$3
  scratch=$(mktemp -d "${TMPDIR:-/tmp}/convert_bench.XXXXXX") && cd "$scratch"
  make_input "$kind" "$file"
  measure 60 "$convert" "$file"
  row "$label" telelist-convert "$file"
  if [ "${4:-}" = vobject ] && [ -n "$vobject" ]; then
    measure 300 "$vobject" -c 'import sys, vobject
print(sum(1 for _ in vobject.readComponents(open(sys.argv[1], encoding="utf-8"), allowQP=True)))' "$file"
    [ "$status" = "exit 0" ] && status="exit 0, $(cat out.txt) cards"
    row "$label" 'python3 vobject' "$file"
  fi
  cleanup
}

echo "load average before: $(cut -d ' ' -f 1-3 /proc/loadavg)"
echo
echo '| input | program | size | seconds | peak KiB | stderr bytes | status |'
echo '|---|---|---:|---:|---:|---:|---|'
run '50 MB of vCards 2.1 and 3.0, a photo in every 4th' vcards vcf vobject
run 'one card, 10 MiB of blank lines inside' blank-lines vcf
run 'CSV header with 10,000 Phone columns' phone-columns csv
run "CSV header with 50,000 Google 'Phone 1 - Type' columns" type-columns csv
run "CSV, 80 Google type columns of 250 kB each" long-type-fields csv
run '1,000,000 small vCards' million-vcf vcf
run '1,000,000 CSV rows' million-csv csv
run '1,000,000 CSV rows without a number (errors)' no-numbers csv
run '2.5 MB of quoted-printable soft line breaks in N' soft-breaks vcf
run 'a 10 MiB last name, vCard' name-vcf vcf
run 'a 10 MiB last name, CSV' name-csv csv
run '150,016 contacts (150,000 past the 16th), CSV' past-full csv
run '10 MiB line with no line end, vCard' long-line-vcf vcf
run '10 MiB line with no line end, CSV' long-line-csv csv
run 'CSV quote never closed on line 2 of 20 MB' unclosed-quote csv
echo
echo "load average after: $(cut -d ' ' -f 1-3 /proc/loadavg)"
