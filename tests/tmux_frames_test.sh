#!/usr/bin/env bash
# The screen in tmux, as a person sees it: on a terminal that draws box-drawing characters one
# column wide and on one that draws them two, every line of boxdraw's frame, and the header
# and closing lines of the roster's grade blocks, take the same number of columns; and a name
# edited at the roster's prompt shows as it is.
# Usage: tmux_frames_test.sh PROGRAM_DIR WORK_DIR
set -euo pipefail
bin=$1 work=$2
mkdir -p "$work"

# tmux takes character widths from the C library, under a locale it sets itself (en_US.UTF-8,
# else C.UTF-8). A copy of the UTF-8 character map whose WIDTH section gives U+2500..U+257F two
# columns, made into a locale of that name in a folder of our own, makes a wide terminal.
wide=$work/wide
if [ ! -f "$wide/en_US.UTF-8/LC_CTYPE" ]; then
    mkdir -p "$wide"
    zcat /usr/share/i18n/charmaps/UTF-8.gz | sed '/^WIDTH$/a <U2500>...<U257F> 2' >"$work/UTF-8-wide"
    localedef -c -i en_US -f "$work/UTF-8-wide" "$wide/en_US.UTF-8" >/dev/null 2>&1 || true
    [ -f "$wide/en_US.UTF-8/LC_CTYPE" ] || { echo "could not make the wide locale" >&2; exit 1; }
fi

failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }

# show KIND PROGRAM KEYS...: runs PROGRAM (C.UTF-8) in a new tmux server on a narrow or wide
# terminal, types KEYS (each then Enter), and prints the screen once it holds a frame.
show() {
    local kind=$1 program=$2 socket="frames-$1-$$" screen=""
    shift 2
    local env=(env -u LOCPATH)
    [ "$kind" = wide ] && env=(env LOCPATH="$wide")
    "${env[@]}" tmux -L "$socket" -f /dev/null new-session -d -x 100 -y 50 \
        "env -u LOCPATH LC_ALL=C.UTF-8 '$bin/$program'; sleep 30"
    sleep 0.3
    for keys in "$@"; do
        tmux -L "$socket" send-keys -t 0 "$keys" Enter
        sleep 0.3
    done
    for _ in $(seq 50); do
        screen=$(tmux -L "$socket" capture-pane -p -N -t 0)
        grep -q '[└]' <<<"$screen" && break
        sleep 0.1
    done
    tmux -L "$socket" kill-server 2>/dev/null || true
    printf '%s\n' "$screen"
}

# columns KIND: the display width of each line on standard input, by the terminal's own table.
columns() {
    local line
    while IFS= read -r line; do
        if [ "$1" = wide ]; then
            printf '%s' "$line" | LOCPATH="$wide" LC_ALL=en_US.UTF-8 wc -L
        else
            printf '%s' "$line" | LC_ALL=C.UTF-8 wc -L
        fi
    done
}

for kind in narrow wide; do
    box=$(show "$kind" boxdraw 4 3 | grep '[┌│└]')
    widths=$(columns "$kind" <<<"$box" | sort -u)
    [ "$(wc -l <<<"$box")" -eq 3 ] || fail "$kind: boxdraw drew $(wc -l <<<"$box") lines"
    [ "$widths" = 8 ] || fail "$kind: boxdraw's lines take $(echo $widths) columns, not 8 each: $box"
    if [ "$kind" = wide ]; then
        grep -qx '┌──┐' <<<"$box" || fail "wide: the top line has fillers: $box"
    else
        grep -qx "┌─────┐ " <<<"$box" || fail "narrow: the top line lacks its fillers: $box"
    fi

    frames=$(show "$kind" roster 3 | grep '^[┌└]')
    widths=$(columns "$kind" <<<"$frames" | sort -u)
    [ "$(wc -l <<<"$frames")" -eq 6 ] || fail "$kind: the roster drew $(wc -l <<<"$frames") frame lines"
    [ "$widths" = 30 ] || fail "$kind: the roster's frame lines take $(echo $widths) columns, not 30 each: $frames"
done

# Editing a name, as a person sees it (C.UTF-8; the table in console_terminal_test.cpp runs
# the keys under both encodings): a backspace erases both columns of a syllable, a line
# longer than the row scrolls sideways instead of wrapping, and after Ctrl-Z and fg the
# prompt and the line are drawn again.
# edit WIDTH KEYS PATTERN...: roster in a new tmux server WIDTH columns wide, inside an
# interactive shell; each KEYS is sent as tmux send-keys arguments (words split), then the
# screen is waited for until a line matches PATTERN (grep -E) before the next; prints the
# last screen.
edit() {
    local width=$1 socket="editing-$$" screen=""
    shift
    tmux -L "$socket" -f /dev/null new-session -d -x "$width" -y 20 \
        "env -u LOCPATH LC_ALL=C.UTF-8 PS1='$ ' bash --norc --noprofile -i"
    set -- "'$bin/roster' Enter" "^입력 :" "$@"
    while [ $# -ge 2 ]; do
        # shellcheck disable=SC2086
        tmux -L "$socket" send-keys -t 0 $1
        for _ in $(seq 50); do
            screen=$(tmux -L "$socket" capture-pane -p -t 0)
            grep -qE "$2" <<<"$screen" && break
            sleep 0.1
        done
        shift 2
    done
    tmux -L "$socket" kill-server 2>/dev/null || true
    printf '%s\n' "$screen"
}

screen=$(edit 60 "1 Enter" "^이름 :" "홍길동" "홍길동" BSpace "홍길\$" "순" "홍길순")
grep -qx "이름 : 홍길순" <<<"$screen" || fail "editing: a syllable not erased whole: $screen"
screen=$(edit 20 "1 Enter" "^이름 :" "가나다라마바사아" "아\$")
row=$(grep "^이름" <<<"$screen" || true)
[ "$row" = "이름 : 라마바사아" ] || fail "editing: a long line not scrolled sideways: $row"
[ -z "$(grep -A1 "^이름" <<<"$screen" | tail -n +2 | tr -d ' ')" ] || fail "editing: a long line wrapped: $screen"
screen=$(edit 60 "1 Enter" "^이름 :" "홍길" "홍길\$" C-z "Stopped" "fg Enter" "roster'\$" "동 Enter" "^나이 :")
grep -q "^나이 :" <<<"$screen" || fail "editing: no next prompt after resumption: $screen"
[ "$(grep -c "^이름 : 홍길" <<<"$screen")" -ge 2 ] || fail "editing: the line not drawn again after fg: $screen"

[ "$failures" -eq 0 ] && echo "frames line up on a narrow and a wide terminal; names are edited as shown"
exit $((failures > 0))
