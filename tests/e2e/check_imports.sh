#!/bin/bash
# dowtrane.exe imports from the system DLLs that every Windows has and from
# nothing else (no C runtime DLL: the program brings the little runtime it
# needs), may be moved (ASLR), stays within its size limit, and carries its
# version resource and its asInvoker manifest, both with the project's
# version.
set -euo pipefail
exe=$1
version=$2
allowed="advapi32.dll kernel32.dll shell32.dll user32.dll"
# 16 KiB until the texts became Unicode (UTF-8 inside, the wide calls
# outside), 20 KiB until the hotkeys (/bind and /unbind, the shell's
# shortcuts through COM): at most 24 KiB for each build, though the 64-bit
# one's code is 1.1 KiB larger (eight-byte pointers and import entries,
# longer calls and addresses). ole32 is loaded by those two words alone
# (LoadLibraryW), not imported: imported, it would be loaded at every start.
dump=$(x86_64-w64-mingw32-objdump -p "$exe")
case $(printf '%s\n' "$dump" | sed -n 's/.*file format //p' | head -1) in
  pei-i386 | pei-x86-64) max_bytes=24576 ;;
  *) echo "$exe: neither a 32-bit nor a 64-bit Windows program"; exit 1 ;;
esac
imports=$(printf '%s\n' "$dump" | sed -n 's/^\tDLL Name: //p' | tr 'A-Z' 'a-z' | sort -u)
[ -n "$imports" ] || { echo "no imports found in $exe"; exit 1; }
status=0
for dll in $imports; do
  case " $allowed " in
    *" $dll "*) echo "import ok: $dll" ;;
    *) echo "unexpected import: $dll"; status=1 ;;
  esac
done
# The image may be moved (ASLR): its header says so (DYNAMIC_BASE), and it
# has the relocation table by which the loader moves it. ld leaves the table
# out, DYNAMIC_BASE or not, when no address in the image needs fixing: so
# the program keeps a table of pointers among its constants
# (client::kSystemWindowClasses, for one).
grep -q 'DYNAMIC_BASE' <<<"$dump" || { echo "$exe may not be moved (no DYNAMIC_BASE)"; status=1; }
if grep -Eq '^Entry 5 [0-9a-f]+ 0*[1-9a-f][0-9a-f]* Base Relocation Directory' <<<"$dump"; then
  echo "relocations ok"
else
  echo "$exe has no relocation table: the loader could not move it"; status=1
fi
size=$(stat -c %s "$exe")
if [ "$size" -le "$max_bytes" ]; then
  echo "size ok: $size bytes (at most $max_bytes)"
else
  echo "too large: $size bytes, more than $max_bytes"; status=1
fi
# The resources: the manifest (type 24) and the version information (type 16).
# (Read whole before matching: grep -q would stop strings early under pipefail.)
wide=$(strings -el "$exe")
narrow=$(strings "$exe")
grep -qx 'Dowtrane' <<<"$wide" || { echo "no product name in the version resource"; status=1; }
grep -qx "$version" <<<"$wide" || { echo "no version $version in the version resource"; status=1; }
grep -q 'level="asInvoker"' <<<"$narrow" || { echo "no asInvoker manifest"; status=1; }
grep -q "version=\"$version.0\"" <<<"$narrow" || { echo "no version $version.0 in the manifest"; status=1; }
exit $status
