#!/bin/bash
# Installs everything the build, the tests and the demo need: the two MinGW-w64
# toolchains, Wine, Xvfb, CMake, Ninja and GoogleTest, and generates the
# Japanese locale under which Wine gives programs the double-byte ANSI code
# page 932 (one end-to-end suite runs there). The 32-bit half of Wine
# (wine32:i386) only on a host that runs 32-bit programs; when its ordinary
# install fails (an i386 index that a mirror serves short), from the main
# suite (install32_from_main_suite); without it the end-to-end tests run the
# 64-bit builds alone. Quick when everything is already there.
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

# The fallback when the ordinary install of the 32-bit half fails. A
# Multi-Arch "same" package has one version on both architectures; when
# apt could not read the i386 index of a suite that some installed amd64
# package comes from (a mirror in the middle of a sync), it knows no i386
# half at that version and gives up. The main suite's indexes hold both
# halves at one version, so the 32-bit half is taken from there, and each
# pair apt names as the obstacle is set to the main suite's version on both
# architectures. Only what apt resolves and verifies is installed. Returns
# 1 when apt finds no way.
main_suite() {  # the codename of this Debian release: its main suite
  local VERSION_CODENAME=""
  # shellcheck disable=SC1091
  . /etc/os-release
  echo "$VERSION_CODENAME"
}

# The pair "<name>:amd64=<v> <name>:i386=<v>" that sets <name> to the i386
# candidate's version <v> on both architectures, when the installed amd64
# half is at another version and the amd64 index has <v> as well; nothing
# otherwise.
pair_at_i386_version() {  # <suite> <name>
  local suite=$1 name=$2 installed wanted
  installed=$(dpkg-query -W -f='${Version}' "$name:amd64" 2>/dev/null) || return 0
  [ -n "$installed" ] || return 0
  wanted=$(apt-cache -o APT::Default-Release="$suite" policy "$name:i386" |
    awk '$1 == "Candidate:" { print $2; exit }')
  case $wanted in "" | "(none)") return 0 ;; esac
  [ "$wanted" != "$installed" ] || return 0
  apt-cache show "$name:amd64=$wanted" >/dev/null 2>&1 || return 0
  echo "$name:amd64=$wanted $name:i386=$wanted"
}

install32_from_main_suite() {
  local suite answer names name pair round
  local pairs=() set_back=()
  suite=$(main_suite)
  [ -n "$suite" ] || return 1
  echo "scripts/setup.sh: the ordinary install of ${missing32[*]} failed;" \
    "trying again with the 32-bit half from the $suite suite" >&2
  for round in 1 2 3 4 5 6 7 8; do
    if answer=$(apt-get install -s -q --no-install-recommends --allow-downgrades \
        -t "$suite" "${missing32[@]}" "${pairs[@]}" 2>&1); then
      set_back=()
      for pair in "${pairs[@]}"; do
        case $pair in
          *:amd64=*)
            name=${pair%%:amd64=*}
            set_back+=("$name $(dpkg-query -W -f='${Version}' "$name:amd64") -> ${pair#*=}")
            ;;
        esac
      done
      step "installing ${missing32[*]} from the $suite suite" "the apt-get output above"
      $sudo apt-get install -y -q --no-install-recommends --allow-downgrades \
        -t "$suite" "${missing32[@]}" "${pairs[@]}" || return 1
      if [ ${#set_back[@]} -eq 0 ]; then
        echo "scripts/setup.sh: installed ${missing32[*]} from the $suite suite; no package was set back" >&2
      else
        echo "scripts/setup.sh: installed ${missing32[*]} from the $suite suite; set to the" \
          "$suite suite's version on both architectures: $(IFS=';'; echo "${set_back[*]}" | sed 's/;/; /g')" >&2
      fi
      return 0
    fi
    # The packages apt says it cannot install, each as a pair to set.
    mapfile -t names < <(printf '%s\n' "$answer" |
      grep -oE '(Pre)?Depends: [^ ]+' | awk '{ sub(/:.*/, "", $2); print $2 }' | sort -u)
    local added=0
    for name in "${names[@]}"; do
      pair=$(pair_at_i386_version "$suite" "$name")
      [ -n "$pair" ] || continue
      case " ${pairs[*]} " in *" ${pair%% *} "*) continue ;; esac
      # shellcheck disable=SC2206
      pairs+=($pair)
      added=1
    done
    if [ $added = 0 ]; then
      printf '%s\n' "$answer" | tail -n 20 >&2
      echo "scripts/setup.sh: apt finds no way to install ${missing32[*]} from the $suite suite either" >&2
      return 1
    fi
  done
  echo "scripts/setup.sh: apt still finds no way after $round rounds" >&2
  return 1
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

# A mirror in the middle of a sync fails an index now and then: apt then goes
# on with the indexes that did arrive, and so does this script (retrying
# would only meet the same half-synced mirror).
step "reading the package indexes (apt-get update)" "the apt-get output above"
if ! $sudo apt-get update -q; then
  echo "scripts/setup.sh: going on with the package indexes apt has" >&2
fi

if [ ${#missing[@]} -gt 0 ]; then
  step "installing ${missing[*]}" "the apt-get output above"
  $sudo apt-get install -y -q --no-install-recommends "${missing[@]}"
fi

# Without the 32-bit half the project still builds and tests everything it
# can: the 32-bit end-to-end suites are then reported as skipped.
if [ ${#missing32[@]} -gt 0 ]; then
  step "installing ${missing32[*]}" "the apt-get output above"
  if $sudo apt-get install -y -q --no-install-recommends "${missing32[@]}"; then
    :
  elif install32_from_main_suite; then
    :
  else
    echo "scripts/setup.sh: could not install ${missing32[*]} (see the apt-get output above);" \
      "the end-to-end tests will run the 64-bit builds only" >&2
  fi
fi

generate_locale
