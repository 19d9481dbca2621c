#!/usr/bin/env bash
# Makes dist/, what a vendor ships and packs with:
#   Setup.exe            the wizard, stripped; its debug information in Setup.exe.debug, tied to
#                        it by a debug link
#   mksetup, mksetup.exe the packer, for Linux and for Windows
#   zipx, zipx.exe       the engine's command line (list, test, extract)
#   lngexport(.exe)      writes the built-in translation table as a translation file
#   VENDOR.md            how to pack a product and ship a translation
#   SHA256SUMS           of all the above
# The same sources give the same bytes from any build folder: the link time in the PE headers is
# SOURCE_DATE_EPOCH (by default the last commit's time), and no build path is inside.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
if [ -z "${SOURCE_DATE_EPOCH:-}" ]; then
    SOURCE_DATE_EPOCH=$(git log -1 --format=%ct 2>/dev/null || echo 0)
fi
export SOURCE_DATE_EPOCH

programs=(Setup mksetup zipx lngexport)
cmake --preset win32 >/dev/null
cmake --preset native-release >/dev/null
# Linked again, so that the PE headers take this SOURCE_DATE_EPOCH.
rm -f build/win32/Setup.exe build/win32/tools/*.exe build/win32/tools/*/*.exe
cmake --build --preset win32 --target "${programs[@]}"
cmake --build --preset native-release --target mksetup zipx lngexport

out=$root/dist
rm -rf "$out"
mkdir -p "$out"
win=build/win32
host=build/native-release
objcopy=i686-w64-mingw32-objcopy
$objcopy --only-keep-debug "$win/Setup.exe" "$out/Setup.exe.debug"
$objcopy --strip-all "$win/Setup.exe" "$out/Setup.exe"
(cd "$out" && $objcopy --add-gnu-debuglink=Setup.exe.debug Setup.exe)
for tool in mksetup zipx lngexport; do
    exe=$(find "$win/tools" -name "$tool.exe" | head -n 1)
    $objcopy --strip-all "$exe" "$out/$tool.exe"
    elf=$(find "$host/tools" -type f -name "$tool" | head -n 1)
    strip --strip-all -o "$out/$tool" "$elf"
done
cp "$root/docs/VENDOR.md" "$out/VENDOR.md"
touch -d "@$SOURCE_DATE_EPOCH" "$out"/*
(cd "$out" && sha256sum -- * | grep -v ' SHA256SUMS$' >SHA256SUMS)
touch -d "@$SOURCE_DATE_EPOCH" "$out/SHA256SUMS"
ls -l "$out"
