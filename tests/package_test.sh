#!/usr/bin/env bash
# tests/package_test.sh LINUX_BUILD WINDOWS_BUILD: unpacks each package that CPack made in
# BUILD/package and runs one program from it as a user would, through a pipe: the Linux one
# directly, the Windows one under Wine (in a prefix of its own in WINDOWS_BUILD). Each must hold
# its README (UTF-8 with a byte-order mark), and no Windows program may import a DLL beyond
# Windows' own.
set -uo pipefail
cd "$(dirname "$0")/.."
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
passed=0
failed=0
check() {  # check WHAT COMMAND...: one check, passed when COMMAND succeeds
    if "${@:2}"; then passed=$((passed + 1)); else echo "FAILED: $1"; failed=$((failed + 1)); return 1; fi
}
expected=$'Q1() : 55\nQ2(100) : 5050\nQ1(5,10) : 45'
has_readme() { [ "$(head -c 3 "$1/README.txt" 2>/dev/null | od -An -tx1 | tr -d ' ')" = efbbbf ]; }
says_sums() { [ "$("$@" </dev/null 2>/dev/null | tr -d '\r')" = "$expected" ]; }
windows_own() {
    for exe in "$1"/bin/*.exe; do
        # msvcrt.dll ships with every Windows, as the system's own libraries do.
        x86_64-w64-mingw32-objdump -p "$exe" | sed -n 's/^\s*DLL Name: //p' |
            grep -viqE '^(kernel32|msvcrt|user32|advapi32|ntdll)\.dll$' && { echo "$exe imports more"; return 1; }
    done
    return 0
}

# package SYSTEM BUILD PATTERN PROGRAM...: the package's top folder, unpacked, checked and run.
package() {
    local archive top
    archive=$(ls "$PWD/$2"/package/$3 2>/dev/null | head -n 1)
    check "a $1 package in $2/package" test -n "$archive" || return
    mkdir -p "$scratch/$1" && (cd "$scratch/$1" && cmake -E tar xf "$archive")
    top=$(ls -d "$scratch/$1"/*/)
    check "the $1 package's README" has_readme "$top"
    check "sumcalls from the $1 package" says_sums "${@:4}" "$top/bin/sumcalls${exe_suffix:-}"
    [ "$1" = windows ] && check "the Windows programs import only Windows' own DLLs" windows_own "$top"
    return 0
}

package linux "$1" '*.tar.gz' env LC_ALL=C.UTF-8
exe_suffix=.exe package windows "$2" '*.zip' cmake/wine-run.sh "$PWD/$2/wine"
echo "package: $passed passed, $failed failed"
[ $failed -eq 0 ]
