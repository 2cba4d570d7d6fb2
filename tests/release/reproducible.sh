#!/bin/bash
# The release is reproducible: the commit checked out in <source dir> is
# cloned twice, to paths of different lengths, and scripts/release.sh runs in
# each clone, one after the other (so at different clock times) under time
# zones fourteen hours apart and different umasks. The archives and the
# SHA256SUMS files (which hold the sums of both executables) must be
# byte-identical. Uncommitted changes in <source dir> play no part: the
# clones hold the commit.
#   reproducible.sh <source dir> <work dir>
set -euo pipefail
source_dir=$1
work=$2
skip_status=77

skip() { echo "skipped: $*"; exit $skip_status; }
command -v git >/dev/null || skip "git is not installed"
commit=$(git -C "$source_dir" rev-parse --verify HEAD 2>/dev/null) ||
  skip "$source_dir is not a git checkout with a commit"

rm -rf "$work"
mkdir -p "$work"
first=$work/a/dowtrane
second=$work/second-build/somewhere/much/deeper/dowtrane

build() {  # <clone dir> <time zone> <umask> <label>
  local dir=$1 zone=$2 mask=$3 label=$4
  echo "$label build: commit $commit in $dir, TZ=$zone, umask $mask"
  git clone -q --no-checkout "$source_dir" "$dir"
  git -C "$dir" checkout -q --detach "$commit"
  if ! (cd "$dir" && umask "$mask" && TZ=$zone bash scripts/release.sh >"$dir.log" 2>&1); then
    echo "$label release build failed; see $dir.log:"
    tail -20 "$dir.log"
    exit 1
  fi
}

build "$first" UTC 022 first
build "$second" Pacific/Kiritimati 002 second

archive=$(cd "$first/dist" && ls dowtrane-*-windows.zip)
echo "first:  $(cd "$first/dist" && sha256sum "$archive")"
echo "second: $(cd "$second/dist" && sha256sum "$archive")"
status=0
cmp "$first/dist/$archive" "$second/dist/$archive" || status=1
if ! diff -u --label first --label second "$first/dist/SHA256SUMS" "$second/dist/SHA256SUMS"; then
  status=1
fi
if [ $status -ne 0 ]; then
  echo "the two release builds differ; both are kept in $work"
  exit 1
fi
echo "identical: $archive and SHA256SUMS:"
cat "$first/dist/SHA256SUMS"
rm -rf "$work"
