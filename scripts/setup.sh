#!/bin/bash
# Installs everything the build, the tests and the demo need: the two MinGW-w64
# toolchains, Wine, Xvfb, CMake, Ninja and GoogleTest, and generates the
# Japanese locale under which Wine gives programs the double-byte ANSI code
# page 932 (one end-to-end suite runs there). The 32-bit half of Wine
# (wine32:i386) only on a host that runs 32-bit programs; without it the
# end-to-end tests run the 64-bit builds alone. Quick when everything is
# already there.
set -eEuo pipefail
DOWTRANE_SCRIPT=scripts/setup.sh
. "$(dirname "$0")/common.sh"

packages=(g++ cmake ninja-build libgtest-dev
          clang-14 libclang-rt-14-dev
          zip unzip git
          g++-mingw-w64-i686 g++-mingw-w64-x86-64
          binutils-mingw-w64-i686 binutils-mingw-w64-x86-64
          wine wine64 xvfb xauth locales)
packages32=(wine32:i386)

missing_of() {
  local p
  for p in "$@"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || echo "$p"
  done
}

want32=no
if host_runs_32bit; then want32=yes; fi

mapfile -t missing < <(missing_of "${packages[@]}")
missing32=()
[ $want32 = no ] || mapfile -t missing32 < <(missing_of "${packages32[@]}")

sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
export DEBIAN_FRONTEND=noninteractive

# Wine takes a program's locale, and so its ANSI code page, from the Linux
# locale it runs under; that locale must exist. Generated the Debian way
# (/etc/locale.gen), so that the package's own regenerations keep it.
generate_locale() {
  locale_has_utf8 "$DOWTRANE_CP932_LOCALE" && return 0
  step "generating the locale $DOWTRANE_CP932_LOCALE (locale-gen)" "the locale-gen output above"
  local entry="$DOWTRANE_CP932_LOCALE UTF-8"
  if grep -q "^# *$entry\$" /etc/locale.gen; then
    $sudo sed -i "s/^# *$entry\$/$entry/" /etc/locale.gen
  elif ! grep -qx "$entry" /etc/locale.gen; then
    echo "$entry" | $sudo tee -a /etc/locale.gen >/dev/null
  fi
  $sudo locale-gen
  locale_has_utf8 "$DOWTRANE_CP932_LOCALE" ||
    fail "locale-gen did not make $DOWTRANE_CP932_LOCALE" "/etc/locale.gen"
}

if [ ${#missing[@]} -eq 0 ] && [ ${#missing32[@]} -eq 0 ]; then
  generate_locale
  exit 0
fi

if [ ${#missing32[@]} -gt 0 ] && ! dpkg --print-foreign-architectures | grep -qx i386; then
  step "adding the i386 architecture to dpkg"
  $sudo dpkg --add-architecture i386
fi

# A mirror in the middle of a sync fails an index now and then: try again,
# and go on with the indexes that did arrive.
step "reading the package indexes (apt-get update)" "the apt-get output above"
updated=no
for attempt in 1 2 3; do
  if $sudo apt-get update -q; then updated=yes; break; fi
  echo "scripts/setup.sh: apt-get update failed (attempt $attempt of 3)" >&2
  sleep $((attempt * 5))
done
[ $updated = yes ] || echo "scripts/setup.sh: going on with the package indexes apt has" >&2

if [ ${#missing[@]} -gt 0 ]; then
  step "installing ${missing[*]}" "the apt-get output above"
  $sudo apt-get install -y -q --no-install-recommends "${missing[@]}"
fi

# Without the 32-bit half the project still builds and tests everything it
# can: the 32-bit end-to-end suites are then reported as skipped.
if [ ${#missing32[@]} -gt 0 ]; then
  step "installing ${missing32[*]}" "the apt-get output above"
  if ! $sudo apt-get install -y -q --no-install-recommends "${missing32[@]}"; then
    echo "scripts/setup.sh: could not install ${missing32[*]} (see the apt-get output above);" \
      "the end-to-end tests will run the 64-bit builds only" >&2
  fi
fi

generate_locale
