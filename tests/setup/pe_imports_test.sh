#!/usr/bin/env bash
# Setup.exe runs from a bare folder on any Windows: a 32-bit PE of the GUI subsystem whose imports
# are all Windows system DLLs, with no DLL of ours lying beside it. The check itself is first
# shown to reject what it must reject (a C++ runtime DLL, a console program, a DLL beside). As a
# vendor ships it, stripped, it takes at most 1 MiB with its artwork.
#
#   pe_imports_test.sh OBJDUMP CXX STRIP SETUP.EXE
set -euo pipefail

usage='usage: pe_imports_test.sh OBJDUMP CXX STRIP SETUP.EXE'
objdump=${1:?$usage}
cxx=${2:?$usage}
strip=${3:?$usage}
setup=${4:?$usage}

fail() {
    echo "FAIL: $*" >&2
    exit 1
}
for tool in "$objdump" "$cxx" "$strip"; do
    command -v "$tool" >/dev/null || fail "'$tool' is not installed (run 'make deps')"
done
[ -f "$setup" ] || fail "$setup is missing; build the win32 tree first"

scratch=$(mktemp -d "${TMPDIR:-/tmp}/kq-pe.XXXXXX")
trap 'rm -rf "$scratch"' EXIT

# DLLs every Windows installation has in its system folder.
system_dlls=" kernel32.dll user32.dll gdi32.dll advapi32.dll shell32.dll ole32.dll oleaut32.dll
    comctl32.dll comdlg32.dll msvcrt.dll shlwapi.dll version.dll winmm.dll imm32.dll uxtheme.dll "

# Prints what is wrong with the program, nothing when it is sound.
pe_faults() {
    local exe=$1 headers dll
    headers=$("$objdump" -p "$exe") || { echo "objdump cannot read it"; return; }
    grep -q 'file format pei-i386' <<<"$headers" || echo "not a 32-bit PE"
    grep -qE '^Subsystem[[:space:]]+0*2[[:space:]]+\(Windows GUI\)' <<<"$headers" ||
        echo "not of the GUI subsystem: $(grep '^Subsystem' <<<"$headers")"
    while read -r dll; do
        [[ $system_dlls == *" ${dll,,} "* ]] || echo "imports $dll"
    done < <(sed -n 's/^[[:space:]]*DLL Name: //p' <<<"$headers")
    for dll in "$(dirname "$exe")"/*.dll "$(dirname "$exe")"/*.DLL; do
        [ -e "$dll" ] && echo "$(basename "$dll") lies beside it"
    done
    return 0
}

# The shell, COM and the common dialogs serve the dialogs and the shortcuts only; imported, they
# and the DLLs they load would be loaded before the first page at every start.
start_faults() {
    local dll
    while read -r dll; do
        case ${dll,,} in
        shell32.dll | ole32.dll | comdlg32.dll) echo "imports $dll, which its start does not need" ;;
        esac
    done < <("$objdump" -p "$1" | sed -n 's/^[[:space:]]*DLL Name: //p')
    return 0
}

# --- the check rejects what it must -------------------------------------------------------------
cat >"$scratch/hello.cpp" <<'CPP'
#include <iostream>
#include <string>
int main() { std::cout << std::string("hello") << std::endl; }
CPP
mkdir -p "$scratch/dynamic" "$scratch/console" "$scratch/beside"
"$cxx" -O1 -mwindows -o "$scratch/dynamic/hello.exe" "$scratch/hello.cpp" -Wl,-Bdynamic \
    -shared-libgcc || fail "cannot build the dynamically linked sample"
"$cxx" -O1 -static -o "$scratch/console/hello.exe" "$scratch/hello.cpp" ||
    fail "cannot build the console sample"
cat >"$scratch/com.cpp" <<'CPP'
#include <objbase.h>
int main() { return CoInitialize(nullptr) == S_OK ? 0 : 1; }
CPP
"$cxx" -O1 -static -mwindows -o "$scratch/com.exe" "$scratch/com.cpp" -lole32 ||
    fail "cannot build the COM sample"
faults=$(start_faults "$scratch/com.exe")
grep -qF "imports ole32.dll" <<<"$faults" || fail "the start check missed ole32.dll (found: $faults)"
cp "$setup" "$scratch/beside/Setup.exe"
touch "$scratch/beside/jpeg62.dll"

# name | program | a fault it must be found to have
cases=(
    "C++ runtime as a DLL|$scratch/dynamic/hello.exe|imports libstdc++"
    "console program|$scratch/console/hello.exe|not of the GUI subsystem"
    "DLL beside the program|$scratch/beside/Setup.exe|jpeg62.dll lies beside it"
)
for c in "${cases[@]}"; do
    IFS='|' read -r name exe wanted <<<"$c"
    faults=$(pe_faults "$exe")
    grep -qF -- "$wanted" <<<"$faults" || fail "$name: the check missed '$wanted' (found: $faults)"
done

# --- Setup.exe ----------------------------------------------------------------------------------
faults=$(pe_faults "$setup")
[ -z "$faults" ] || fail "Setup.exe: $faults"
faults=$(start_faults "$setup")
[ -z "$faults" ] || fail "Setup.exe: $faults"
echo "Setup.exe imports: $("$objdump" -p "$setup" | sed -n 's/^[[:space:]]*DLL Name: //p' | tr '\n' ' ')"

# --- as shipped ---------------------------------------------------------------------------------
"$strip" -o "$scratch/Setup.exe" "$setup" || fail "cannot strip Setup.exe"
size=$(stat -c %s "$scratch/Setup.exe")
[ "$size" -le 1048576 ] || fail "Setup.exe stripped takes $size bytes, above 1 MiB (1048576)"
echo "Setup.exe stripped: $size bytes"
