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
# started them by seconds, holding open the output streams they inherited from it, and CTest
# would wait for them after every test. So the session is started (when it is not running
# yet; otherwise this takes a moment only) by a program without any streams.
wine cmd.exe /c exit 0 </dev/null >/dev/null 2>&1 || true
# Wine gives a program the terminal as its console when any standard stream is one, and a key
# read then waits on that terminal. CTest hands its own standard input to the tests, so take
# it away: a test must never wait for a person.
exec wine "$@" </dev/null
