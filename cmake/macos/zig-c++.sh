#!/bin/sh
# zig-c++.sh ZIG ARGUMENTS...: zig c++ with the ARGUMENTS; a command that links (one without -c)
# also gets -nostdlib++, so that the program takes macOS's own libc++ through the stub that
# cmake/zig-macos.cmake names, and Zig does not build its libc++ from source to link in.
# CMake's first look at the compiler links a program too, which is why this is the compiler
# rather than a flag of the link rules.
zig=$1
shift
for argument; do
    [ "$argument" = -c ] && exec "$zig" c++ "$@"
done
exec "$zig" c++ "$@" -nostdlib++
