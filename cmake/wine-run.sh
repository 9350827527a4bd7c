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
# Wine's server and the background programs of a Wine session outlive the program that
# started them, holding open the output streams they inherited from it, and CTest would wait
# for them after every test. So the server is started by a command without any streams and
# kept for a minute after its last program, and the session by a program without any streams:
# both are there, and stay, across the tests (a server stopped and started around every test
# was where programs now and then failed to start, with Windows error 1359).
wineserver -p60 </dev/null >/dev/null 2>&1 || true  # fails, harmlessly, when one is running
wine cmd.exe /c exit 0 </dev/null >/dev/null 2>&1 || true
# Wine gives a program the terminal as its console when any standard stream is one, and a key
# read then waits on that terminal. CTest hands its own standard input to the tests, so take
# it away: a test must never wait for a person. Now and then a Wine process that outlives the
# test still holds its output streams (one test in 300 here), and CTest would wait for them
# until its timeout: the test writes into a file, shown when it has ended.
output=$(mktemp)
status=0
wine "$@" </dev/null >"$output" 2>&1 || status=$?
cat "$output"
[ "$status" -eq 0 ] || [ -s "$output" ] || echo "wine-run.sh: Wine ended with status $status, having written nothing"
rm -f "$output"
exit "$status"
