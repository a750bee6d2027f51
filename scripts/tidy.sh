#!/usr/bin/env bash
# clang-tidy on the given source files, two side by side, with the compile
# commands of BUILD; any finding fails (see .clang-tidy).
#
# A file passed once is not analysed again while what clang-tidy would read
# is the same: its preprocessed text (with comments, so NOLINT counts), its
# flags, .clang-tidy and clang-tidy's version. A clean result is kept under
# that digest in TELEDIR_TIDY_CACHE (by default the user's cache folder,
# outside the clone, as ccache keeps its own); a finding is never kept, so
# it is reported on every run until it is mended.
#
#   scripts/tidy.sh BUILD FILE...
set -euo pipefail

if [ $# -lt 2 ]; then
  echo "usage: $0 BUILD FILE..." >&2
  exit 2
fi
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "$1" && pwd)
shift
cd "$root"
# The user's cache folder, as ccache finds it: HOME, or else the account's.
home=${HOME:-$(getent passwd "$(id -u)" | cut -d: -f6)}
cache=${TELEDIR_TIDY_CACHE:-${XDG_CACHE_HOME:-$home/.cache}/teledir-tidy}
mkdir -p "$cache"

# Each file's stamp in the cache: FILE STAMP, a line each. The clone's
# folder is taken out of the text, so that another clone of the same commit
# finds the same stamps.
stamps=$(python3 - "$root" "$build" "$cache" "$@" <<'EOF'
import concurrent.futures, hashlib, json, os, shlex, subprocess, sys
root, build, cache, files = sys.argv[1], sys.argv[2], sys.argv[3], sys.argv[4:]
version = subprocess.run(["clang-tidy", "--version"], check=True, stdout=subprocess.PIPE).stdout
config = open(os.path.join(root, ".clang-tidy"), "rb").read()
entries = {os.path.realpath(e["file"]): e for e in json.load(open(os.path.join(build, "compile_commands.json")))}

def stamp(file):
    entry = entries[os.path.realpath(os.path.join(root, file))]
    args = shlex.split(entry["command"]) if "command" in entry else entry["arguments"]
    # The same flags, preprocessing only, by clang as clang-tidy reads the file.
    out = args.index("-o")
    args = ["clang++"] + [a for a in args[1:out] + args[out + 2:] if a != "-c"] + ["-E", "-P", "-C", "-o", "-"]
    text = subprocess.run(args, cwd=entry["directory"], check=True, stdout=subprocess.PIPE).stdout
    digest = hashlib.sha256()
    for part in (version, config, " ".join(args[1:]).encode(), text):
        digest.update(part.replace(root.encode(), b"ROOT") + b"\0")
    return f"{file} {os.path.join(cache, digest.hexdigest())}"

with concurrent.futures.ThreadPoolExecutor(max_workers=2) as pool:
    print("\n".join(pool.map(stamp, files)))
EOF
)

# The files without a stamp, two side by side; a stamp for each clean one.
pending=$(awk '{ if (system("test -e " $2) != 0) print }' <<<"$stamps")
if [ -n "$pending" ]; then
  # shellcheck disable=SC2016  # expanded by the inner shell
  xargs -P 2 -L 1 sh -c 'clang-tidy -p "$0" --quiet "$1" && touch "$2"' "$build" <<<"$pending"
fi
echo "clang-tidy: $# files clean, $(grep -c . <<<"$pending" || true) of them analysed in this run"
