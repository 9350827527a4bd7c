#!/usr/bin/env bash
# windows_console_test.sh CASE BIN_DIR WORK_DIR [CODE_PAGE]
#
# Runs a program of the Windows build in Wine's console, on a pseudo-terminal that tmux
# provides, and checks the screen as a person at that Windows console would. CASE is roster,
# sumcalls, sorter or fastclock. CODE_PAGE is the console's: 949 (the default: Wine under a
# Korean locale), 65001 (the same, after chcp 65001) or 437 (Wine under C.UTF-8).
#
# WORK_DIR keeps what every case shares, made once: the Korean locale (when the system has
# none) and a Wine prefix made under it, whose console then has code page 949. CASE prepare
# makes only that (the build does, beside the compiling, so that no case waits for it).
# Exits 77 (reported as skipped) when a precondition cannot be met.
set -uo pipefail

case_name=$1
bin_dir=$2
work=$3
code_page=${4:-949}

# When preparing, what cannot be made is left to the cases: they try again, and say why.
skip() {
    echo "SKIPPED: $*"
    [ "$case_name" = prepare ] && exit 0
    exit 77
}

command -v tmux >/dev/null || skip "tmux is not installed (Debian: apt-get install tmux)"
command -v wine >/dev/null || skip "wine is not installed"
mkdir -p "$work" || exit 1

# --- What the cases share, made once under a lock (CTest may run other tests alongside).

korean_locale_works() {
    [ "$(LC_ALL=ko_KR.UTF-8 locale charmap 2>/dev/null)" = UTF-8 ] &&
        [ -z "$(LC_ALL=ko_KR.UTF-8 locale charmap 2>&1 >/dev/null)" ]
}

exec 9>"$work/setup.lock"
flock 9
if ! korean_locale_works; then
    # Not installed system-wide: compiled into the work directory, which needs no root.
    export LOCPATH=$work/locale
    if ! korean_locale_works; then
        command -v localedef >/dev/null || skip "no ko_KR.UTF-8 locale, and localedef to make one is missing (Debian: apt-get install locales)"
        mkdir -p "$LOCPATH"
        localedef -i ko_KR -f UTF-8 "$LOCPATH/ko_KR.UTF-8" >"$work/localedef.log" 2>&1
        korean_locale_works || skip "the ko_KR.UTF-8 locale cannot be made: $(tail -n 1 "$work/localedef.log")"
    fi
fi
export LC_ALL=ko_KR.UTF-8
export WINEPREFIX=$work/wine
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
unset DISPLAY WAYLAND_DISPLAY TMUX
if [ ! -f "$WINEPREFIX/prefix-ready" ]; then
    rm -rf "$WINEPREFIX"
    # The prefix takes its code pages from the locale it is made under.
    wineboot --init </dev/null >"$work/wineboot.log" 2>&1
    wineserver -w
    grep -q '"OEMCP"="949"' "$WINEPREFIX/system.reg" 2>/dev/null ||
        { echo "FAILED: the Wine prefix made under ko_KR.UTF-8 has no code page 949"; [ "$case_name" = prepare ]; exit; }
    touch "$WINEPREFIX/prefix-ready"
fi
flock -u 9
[ "$case_name" = prepare ] && exit 0
# Wine's console takes its code page from the locale Wine runs under, once the prefix is made.
[ "$code_page" = 437 ] && export LC_ALL=C.UTF-8
# cmd's own pause prompt, in the language of the console's code page.
pause_prompt='계속하려면 아무 키나 누르세요'
[ "$code_page" = 437 ] && pause_prompt='Press any key to continue'

# --- One tmux server of this case's own, and whatever Wine runs in its prefix, go at the end.

socket=$work/tmux-$case_name.socket
status_file=$work/status-$case_name
rm -f "$status_file"
tmux_() { tmux -S "$socket" -f /dev/null "$@"; }
# The server is waited for: a case started while it is still going down finds it gone halfway.
cleanup() {
    tmux_ kill-server 2>/dev/null
    wineserver -k 2>/dev/null
    wineserver -w 2>/dev/null
    rm -f "$socket"
}
trap cleanup EXIT
trap 'exit 1' INT TERM HUP

screen() { tmux_ capture-pane -p -t console; }
row() { screen | sed -n "$(($1 + 1))p"; }
fail() {
    echo "FAILED: $*"
    echo "--- screen:"
    screen
    exit 1
}
# Waits until a line of the screen matches the extended regular expression; what has ended shows
# nothing more.
wait_for() {
    local pattern=$1 what=$2 deadline=$((SECONDS + 60))
    until screen | grep -qE -- "$pattern"; do
        [ -s "$status_file" ] && ! screen | grep -qE -- "$pattern" &&
            fail "$what: not on the screen, and Wine ended with status $(cat "$status_file")"
        ((SECONDS < deadline)) || fail "$what: not on the screen after 60 s"
        sleep 0.2
    done
}
# The program is still running (at a key wait) after a person's pause of two seconds.
still_running() {
    sleep 2
    [ ! -e "$status_file" ] || fail "$1: the program ended with status $(cat "$status_file") without a key"
}
ended() {
    local deadline=$((SECONDS + 30))
    until [ -s "$status_file" ]; do
        ((SECONDS < deadline)) || fail "$1: the program has not ended 30 s later"
        sleep 0.2
    done
}
ended_with() {
    ended "$2"
    [ "$(cat "$status_file")" = "$1" ] || fail "$2: ended with status $(cat "$status_file"), not $1"
}

windows_path() { local path="Z:$bin_dir/$1.exe"; echo "${path//\//\\}"; }

# The program ends within the test's own time limit even if this script is killed before it
# can stop the tmux server (a clock would go on spinning). Code page 65001 is chosen as a user
# does, with chcp in the command interpreter that starts the program.
start() {
    local program="'$bin_dir/$1.exe'"
    [ "$code_page" = 65001 ] && program="cmd /c 'chcp 65001 >nul & $(windows_path "$1")'"
    tmux_ new-session -d -s console -x 120 -y 40 \
        "timeout --foreground 200 wine $program; echo \$? >'$status_file'; exec sleep 300"
}

# A command interpreter of the console's code page, at its prompt (for example "Z:\work>").
prompt_line='^[A-Z]:\\[^>]*>$'
last_line() { screen | sed '/^ *$/d' | tail -n 1; }
start_interpreter() {
    tmux_ new-session -d -s console -x 120 -y 40 "timeout --foreground 200 wine cmd /k chcp $code_page; exec sleep 300"
    wait_for "$prompt_line" "the command interpreter's prompt"
}
# Waits until the interpreter's prompt is back below the program's output, and nothing follows it.
wait_for_prompt() {
    local deadline=$((SECONDS + 30))
    until last_line | grep -qE -- "$prompt_line"; do
        ((SECONDS < deadline)) || fail "$1: the command interpreter's prompt is not back 30 s later"
        sleep 0.2
    done
    sleep 1
    last_line | grep -qE -- "$prompt_line" || fail "$1: the command line holds '$(last_line)'"
}

case $case_name in
roster)
    start roster
    wait_for '^입력 : ?$' "the menu's prompt"
    [ "$(row 0)" = "======학생관리 프로그램======" ] || fail "the menu's title is not the first row, in Korean"
    tmux_ send-keys -t console 1 Enter
    wait_for '^이름 : ?$' "the name prompt"
    screen | grep -q '학생관리' && fail "cls left the menu on the screen"
    tmux_ send-keys -t console 홍길동 Enter
    wait_for '^나이 : ?$' "the age prompt"
    tmux_ send-keys -t console 17 Enter
    wait_for '^학년 : ?$' "the grade prompt"
    tmux_ send-keys -t console 2 Enter
    wait_for '^성별\(남자 0,여자 1\) : ?$' "the gender prompt"
    tmux_ send-keys -t console 1 Enter
    wait_for "$pause_prompt" "the pause prompt"
    still_running "pause"
    screen | grep -q '학생관리' && fail "pause returned without a key"
    # The key that ends the pause must not reach the menu's prompt: if it did, "x2" would be
    # refused there and no list would come.
    tmux_ send-keys -t console x
    wait_for '^입력 : ?$' "the menu after the pause"
    [ "$(row 0)" = "======학생관리 프로그램======" ] || fail "the menu after the pause is not alone on the screen"
    wait_for '\(학생 수 : 1\)' "the count of one student"
    tmux_ send-keys -t console 2 Enter
    wait_for '^    이름 : 홍길동$' "the registered name in the list"
    expected=$'    ====1번 학생====\n    이름 : 홍길동\n    나이 : 17\n    성별 : 여자\n    학년 : 2'
    [ "$(screen | head -n 5)" = "$expected" ] || fail "the list is not alone at the top of a cleared screen"
    wait_for "$pause_prompt" "the pause after the list"
    tmux_ send-keys -t console x
    wait_for '^입력 : ?$' "the menu after the list"
    # The grade frames. A console of code page 949 draws the box-drawing characters two columns
    # wide; Wine's console of another code page tells, through its cursor, that it took one,
    # and each is followed by a filler.
    tmux_ send-keys -t console 3 Enter
    frame='^┌─{11}1 학년─{10}┐ ?$'
    [ "$code_page" = 949 ] && frame='^┌─{5}1 학년─{5}┐$'
    wait_for "$frame" "the grade frame"
    # The key and the next choice typed together: the key ends the pause, and the choice, left
    # in the console's input, answers the menu. (Ctrl-Z then Enter, the end of a console's
    # input, cannot be checked here: Wine's console drops Ctrl-Z from what it reads.)
    wait_for "$pause_prompt" "the pause after the grades"
    tmux_ send-keys -t console x8 Enter
    ended_with 0 "the key and the choice 8 typed together"
    ;;
sumcalls)
    # One Korean syllable ends the key wait whole: nothing of it is left for the command line
    # of the interpreter that started the program.
    start_interpreter
    tmux_ send-keys -t console "$(windows_path sumcalls)" Enter
    wait_for '^Q1\(5,10\) : 45$' "the last sum"
    sleep 2
    [ "$(last_line)" = "Q1(5,10) : 45" ] || fail "the program did not wait for a key"
    tmux_ send-keys -t console 한
    wait_for_prompt "one Korean key at the key wait"
    tmux_ send-keys -t console 'echo status %errorlevel%' Enter
    wait_for '^status 0$' "exit status 0"
    ;;
sorter)
    # The line end of the last answer is not the key the program waits for.
    start sorter
    position=1
    for number in 5 -3 40 0 7; do
        wait_for "^${position}번째 정수 : ?\$" "prompt $position"
        tmux_ send-keys -t console -- "$number" Enter
        position=$((position + 1))
    done
    wait_for '^오름차순 정렬후$' "the sorted numbers"
    wait_for '^5번째 정수 : 40$' "the largest number last"
    still_running "the key wait"
    tmux_ send-keys -t console q
    ended_with 0 "one key at the key wait"
    ;;
fastclock)
    start fastclock
    # Wine's console counts a Korean character as one column where the terminal shows two, and
    # moves back over a redrawn frame by its own count: each frame lands three columns further
    # right on the terminal (a Windows console keeps them in place). The start of the first one
    # stays where the program put it, until the drift has wrapped down to the bottom row.
    wait_for '^ {10}0시' "the clock"
    # Rows and columns count from 0: ten empty rows above it, ten blank columns before it.
    [ -z "$(screen | head -n 10 | tr -d ' ')" ] || fail "the rows above the clock are not empty"
    [[ "$(row 10)" == "          0시"* ]] || fail "the clock is not at row 10, column 10"
    still_running "the clock"
    tmux_ send-keys -t console C-c
    ended "Ctrl-C"
    echo "Ctrl-C ended the clock with status $(cat "$status_file")"
    ;;
*)
    echo "unknown case: $case_name"
    exit 2
    ;;
esac
echo "PASSED: $case_name"
