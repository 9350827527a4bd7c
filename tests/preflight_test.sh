#!/usr/bin/env bash
# The check that ./run makes before building: with one piece made unavailable, it must stop
# before anything is built, name that piece and exit with status 2. ./run tests runs this
# first; RUN_INSTALL=no keeps the runs here from installing anything.
set -uo pipefail
cd "$(dirname "$0")/.."
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

# path_without COMMAND...: a PATH of one directory holding every command of the current PATH
# but the ones named (and those tools' own prefixes are left alone).
path_without() {
    local dir dirs d
    dir=$(mktemp -d "$scratch/path.XXXX")
    IFS=: read -ra dirs <<<"$PATH"
    for d in "${dirs[@]}"; do
        [ -d "$d" ] && ln -s "$d"/* "$dir"/ 2>/dev/null
    done
    for d in "$@"; do rm -f "$dir/$d"; done
    echo "$dir"
}

# A cmake that is there but too old.
old_cmake=$scratch/old-cmake
mkdir -p "$old_cmake"
printf '#!/bin/sh\necho "cmake version 3.20.0"\n' >"$old_cmake/cmake"
chmod +x "$old_cmake/cmake"

# name | arguments of ./run | environment | text the message must hold
cases=(
    "no wine|tests windows|PATH=$(path_without wine wine64)|Wine"
    "no wine, every suite|tests|PATH=$(path_without wine wine64)|Wine"
    "no MinGW-w64|tests windows|PATH=$(path_without x86_64-w64-mingw32-g++-posix)|x86_64-w64-mingw32-g++-posix"
    "no clang for the fuzzer|tests fuzz|PATH=$(path_without clang++)|libFuzzer"
    "no clang for the clang suite|tests clang|PATH=$(path_without clang++)|libc++"
    "compiler pointing nowhere|tests default|CXX=/nonexistent/c++|/nonexistent/c++"
    "old cmake|tests default|PATH=$old_cmake:$PATH|CMake 3.25"
    "no ninja|tests clang|PATH=$(path_without ninja)|Ninja"
    "program, no compiler|roster|CXX=/nonexistent/g++|/nonexistent/g++"
    "no npm for Zig|tests macos|PATH=$(path_without npm)|npm, which installs Zig"
    "no Zig|tests macos|RUN_TOOLS=$scratch/no-tools|Zig 0.11.0"
    "no Python for the macOS check|build macos-arm64|PATH=$(path_without python3)|Python 3"
)

passed=0
failed=0
for entry in "${cases[@]}"; do
    IFS='|' read -r name arguments environment expected <<<"$entry"
    marker=$scratch/marker
    touch "$marker"
    had_build=no
    [ -d build ] && had_build=yes
    # shellcheck disable=SC2086
    message=$(env RUN_INSTALL=no "$environment" timeout -k 5 120 ./run $arguments 2>&1 </dev/null)
    status=$?
    problem=""
    if [ $status -ne 2 ]; then
        problem="exit status $status, not 2"
    elif [[ $message != *"$expected"* ]]; then
        problem="the message does not name '$expected'"
    elif [ $had_build = no ] && [ -d build ]; then
        problem="build/ was created"
    elif [ $had_build = yes ] && [ -n "$(find build -newer "$marker" -print -quit)" ]; then
        problem="something in build/ was written"
    fi
    if [ -z "$problem" ]; then
        passed=$((passed + 1))
        echo "ok: $name"
    else
        failed=$((failed + 1))
        echo "FAILED: $name: $problem; ./run $arguments said:"
        echo "$message" | sed 's/^/    /'
    fi
done
echo "preflight: $passed passed, $failed failed"
[ $failed -eq 0 ]
