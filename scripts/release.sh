#!/bin/bash
# Builds the release of the commit checked out, from fresh build trees:
#   dist/dowtrane-<version>-windows.zip
#     dowtrane.exe        the 32-bit build (runs on every Windows)
#     x64/dowtrane.exe    the 64-bit build
#     dowtrane.txt        the help file
#     README.txt          for Windows users
#     LICENSE.txt
#   dist/SHA256SUMS       the archive and both executables in it
# Anyone who builds the same commit gets the same bytes: the executables
# carry no time stamp and no path, and the archive's entries are sorted and
# dated from the commit (SOURCE_DATE_EPOCH, the commit time unless set).
# Installs what is missing first.
#   bash scripts/release.sh
# It refuses a checkout with uncommitted changes to tracked files, since the
# archive would then match no commit; DOWTRANE_RELEASE_DIRTY=1 builds anyway.
set -eEuo pipefail
DOWTRANE_SCRIPT=scripts/release.sh
. "$(dirname "$0")/common.sh"
cd "$DOWTRANE_ROOT"

# Nothing from this shell's settings reaches the build or the archive.
unset CFLAGS CXXFLAGS CPPFLAGS LDFLAGS RCFLAGS MAKEFLAGS
export LC_ALL=C TZ=UTC
umask 022

step "installing the packages (scripts/setup.sh)" "its output above"
bash scripts/setup.sh

step "reading the commit" "git status"
commit=$(git rev-parse --verify HEAD)
if [ -n "$(git status --porcelain --untracked-files=no)" ]; then
  if [ "${DOWTRANE_RELEASE_DIRTY:-0}" = 1 ]; then
    echo "$DOWTRANE_SCRIPT: building uncommitted changes: the archive matches no commit" >&2
  else
    fail "tracked files have uncommitted changes, so the archive would match no commit" \
      "git status (DOWTRANE_RELEASE_DIRTY=1 builds anyway)"
  fi
fi
export SOURCE_DATE_EPOCH=${SOURCE_DATE_EPOCH:-$(git log -1 --format=%ct "$commit")}

trees=build/release
rm -rf "$trees" dist
mkdir -p "$trees" dist
for arch in x86 x64; do
  log=$trees/windows-$arch.log
  step "configuring the windows-$arch release build" "$log"
  cmake --preset "windows-$arch" -B "$trees/windows-$arch" -DDOWTRANE_TEST_PROGRAMS=OFF >"$log" 2>&1
  step "building the windows-$arch release build" "$log"
  cmake --build "$trees/windows-$arch" -j2 >>"$log" 2>&1
done
x86=$trees/windows-x86
x64=$trees/windows-x64

# The version as the build has it (project() in CMakeLists.txt).
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$x86/CMakeCache.txt")
[ -n "$version" ] || fail "no project version in $x86/CMakeCache.txt"

for exe in "$x86/dowtrane.exe" "$x64/dowtrane.exe"; do
  step "checking $exe (imports, size, resources)" "the lines above"
  report=$(bash tests/e2e/check_imports.sh "$exe" "$version") || { echo "$report"; false; }
done

# The archive: fixed modes and dates, names in one order, no extra fields
# (-X: no owner, no Unix times), dates in UTC.
step "staging the archive's files" "$trees/stage"
stage=$trees/stage
mkdir -p "$stage/x64"
install -m 644 "$x86/dowtrane.exe" "$stage/dowtrane.exe"
install -m 644 "$x64/dowtrane.exe" "$stage/x64/dowtrane.exe"
for text in dowtrane.txt README.txt LICENSE.txt; do
  install -m 644 "$x86/$text" "$stage/$text"
done
find "$stage" -exec touch -h -d "@$SOURCE_DATE_EPOCH" {} +

archive=dowtrane-$version-windows.zip
step "writing dist/$archive"
(cd "$stage" && find . -type f | sed 's|^\./||' | sort |
  zip -q -X -D -9 "$DOWTRANE_ROOT/dist/$archive" -@)

# The sums of the executables are taken from the archive itself.
step "checking and summing dist/$archive" "$trees/unpacked"
unpacked=$trees/unpacked
unzip -q "dist/$archive" -d "$unpacked"
cmp "$unpacked/dowtrane.exe" "$x86/dowtrane.exe"
cmp "$unpacked/x64/dowtrane.exe" "$x64/dowtrane.exe"
{
  (cd dist && sha256sum "$archive")
  (cd "$unpacked" && sha256sum dowtrane.exe x64/dowtrane.exe)
} >dist/SHA256SUMS

echo "Dowtrane $version, commit $commit (SOURCE_DATE_EPOCH=$SOURCE_DATE_EPOCH)"
unzip -l "dist/$archive" | sed -n '4,/^---/p' | sed '$d'
echo "dist/SHA256SUMS:"
cat dist/SHA256SUMS
