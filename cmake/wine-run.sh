#!/bin/sh
# wine-run.sh PREFIX PROGRAM [ARGUMENTS...]: runs a program of the Windows cross build under
# Wine, in the Wine prefix PREFIX (created on first use), without a person at the keyboard.
set -e
prefix=$1
shift
export WINEPREFIX="$prefix"
export WINEDEBUG=-all
# Creating a prefix would otherwise offer to install Mono and Gecko, which nothing here uses.
export WINEDLLOVERRIDES="mscoree,mshtml="
# Wine's server outlives the program that started it, holding open the output streams it
# inherited, and CTest would wait for them after every test. So it is started by a command
# without any streams, and kept for a minute after its last program: it stays across the tests
# (a server stopped and started around every test was where programs now and then failed to
# start, with Windows error 1359).
wineserver -p60 </dev/null >/dev/null 2>&1 || true  # fails, harmlessly, when one is running
# Wine gives a program the terminal as its console when any standard stream is one, and a key
# read then waits on that terminal. CTest hands its own standard input to the tests, so take
# it away: a test must never wait for a person. The background programs of a Wine session,
# started with the first test, outlive it too, holding its output streams: the test writes
# into files, shown when it has ended.
output=$(mktemp)
errors=$(mktemp)
status=0
wine "$@" </dev/null >"$output" 2>"$errors" || status=$?
cat "$output"
cat "$errors" >&2
[ "$status" -eq 0 ] || [ -s "$output" ] || [ -s "$errors" ] ||
    echo "wine-run.sh: Wine ended with status $status, having written nothing" >&2
rm -f "$output" "$errors"
exit "$status"
