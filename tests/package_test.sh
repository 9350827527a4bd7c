#!/usr/bin/env bash
# tests/package_test.sh LINUX_BUILD WINDOWS_BUILD: unpacks each package that CPack made in
# BUILD/package and runs one program from it as a user would, through pipes: the Linux one
# directly, the Windows one under Wine. Also checks that the Windows programs import no DLL
# beyond Windows' own, and that each package holds its README.
set -uo pipefail
cd "$(dirname "$0")/.."
linux=$1
windows=$2
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
failed=0
checks=0
fail() { echo "FAILED: $*"; failed=$((failed + 1)); }

expected=$'Q1() : 55\nQ2(100) : 5050\nQ1(5,10) : 45\n'

unpack() {  # unpack ARCHIVE DIR: the archive's one top folder in DIR
    mkdir -p "$2" && (cd "$2" && cmake -E tar xf "$1") && ls -d "$2"/*/
}

tgz=$(ls "$PWD/$linux"/package/*.tar.gz 2>/dev/null | head -n 1)
if [ -z "$tgz" ]; then
    checks=$((checks + 1))
    fail "no .tar.gz in $linux/package"
else
    checks=$((checks + 2))
    top=$(unpack "$tgz" "$scratch/linux")
    [ -f "$top/README.txt" ] && [ "$(head -c 3 "$top/README.txt" | od -An -tx1 | tr -d ' ')" = efbbbf ] ||
        fail "the Linux package's README.txt, UTF-8 with a byte-order mark"
    out=$(LC_ALL=C.UTF-8 "$top/bin/sumcalls" </dev/null)
    [ "$out"$'\n' = "$expected" ] || fail "bin/sumcalls from the Linux package said: $out"
fi

zip=$(ls "$PWD/$windows"/package/*.zip 2>/dev/null | head -n 1)
if [ -z "$zip" ]; then
    checks=$((checks + 1))
    fail "no .zip in $windows/package"
else
    checks=$((checks + 3))
    top=$(unpack "$zip" "$scratch/windows")
    [ -f "$top/README.txt" ] || fail "the Windows package's README.txt"
    for exe in "$top"/bin/*.exe; do
        # msvcrt.dll ships with every Windows; the rest of these are Windows' own too.
        imports=$(x86_64-w64-mingw32-objdump -p "$exe" | sed -n 's/^\s*DLL Name: //p' |
            grep -viE '^(kernel32|msvcrt|user32|advapi32|ntdll|api-ms-win-.*)\.dll$')
        [ -z "$imports" ] || fail "$(basename "$exe") imports $imports"
    done
    out=$(cmake/wine-run.sh "$PWD/$windows/wine" "$top/bin/sumcalls.exe" 2>/dev/null | tr -d '\r')
    [ "$out"$'\n' = "$expected" ] || fail "sumcalls.exe from the Windows package said: $out"
fi

echo "package: $((checks - failed)) passed, $failed failed"
[ $failed -eq 0 ]
