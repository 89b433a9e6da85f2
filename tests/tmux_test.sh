#!/usr/bin/env bash
# The board screen as a person sees it. The program runs in a real terminal,
# an 80x24 tmux pane, with the clock pinned by the preload library; a match
# of alice against the hurry robot is typed into it with send-keys, and after
# each step the screen is read back with capture-pane and checked cell by
# cell: names, times, counts, labels and stores at the rows and columns of
# the screen's geometry, their colours, and the boxes and the separator taken
# by the terminal as line drawing.
#
# usage: tmux_test.sh OKWARI_PROGRAM FAKECLOCK_LIBRARY
# Needs no terminal and no standard input of its own. Exit status 0 when
# every check passed, 1 otherwise.
set -u

if [ $# -ne 2 ]; then
    echo "usage: $0 OKWARI_PROGRAM FAKECLOCK_LIBRARY" >&2
    exit 1
fi
okwari=$1
fakeclock=$2

if ! command -v tmux >/dev/null 2>&1; then
    echo "FAIL: tmux is not installed; this test needs it (apt-get install -y tmux)"
    exit 1
fi

work=$(mktemp -d "${TMPDIR:-/tmp}/okwari-tmux.XXXXXX") || {
    echo "FAIL: cannot make a temporary directory"
    exit 1
}
# The test's own tmux server, on a socket in the temporary directory: no
# other server is touched, and the socket goes with the directory.
socket="$work/tmux-socket"
unset TMUX

cleanup() {
    tmux -S "$socket" kill-server >/dev/null 2>&1
    rm -rf "$work"
}
trap cleanup EXIT
trap 'echo "FAIL: interrupted"; exit 1' INT TERM HUP

checks=0
failures=0

fail() {
    echo "  not ok: $*"
    failures=$((failures + 1))
}

# ---- the terminal --------------------------------------------------------

# No configuration file: the server's defaults, whoever runs the test.
t() {
    tmux -S "$socket" -f /dev/null "$@"
}

# The screen as rows of text (plain: line-drawing cells show their letters)
# and, from the capture with attributes, two maps of the same cells: `L` for
# a cell in the line-drawing set (between shift-out and shift-in) or `.`;
# and the colour letter, w white, r red, g green, R black on red, G black on
# green, d the terminal's default, ? anything else.
declare -a text charset colour
read_screen() {
    mapfile -t text < <(t capture-pane -p -t game)
    local maps
    maps=$(t capture-pane -p -e -t game | awk '
        BEGIN { ESC = sprintf("%c", 27); SO = sprintf("%c", 14); SI = sprintf("%c", 15)
                fg = 9; bg = 9; lines = 0 }
        function letter() {
            if (bg == 0 || bg == 9) {
                if (fg == 7) return "w"; if (fg == 1) return "r"; if (fg == 2) return "g"
                if (fg == 9) return "d"; return "?"
            }
            if (fg == 0 && bg == 1) return "R"; if (fg == 0 && bg == 2) return "G"
            return "?"
        }
        function sgr(params,   n, p, i) {
            n = split(params, p, ";")
            if (n == 0) { fg = 9; bg = 9 }
            for (i = 1; i <= n; i++) {
                if (p[i] == "" || p[i] == 0) { fg = 9; bg = 9 }
                else if (p[i] >= 30 && p[i] <= 37) fg = p[i] - 30
                else if (p[i] == 39) fg = 9
                else if (p[i] >= 40 && p[i] <= 47) bg = p[i] - 40
                else if (p[i] == 49) bg = 9
            }
        }
        {
            sets = ""; colours = ""; i = 1; n = length($0)
            while (i <= n) {
                c = substr($0, i, 1)
                if (c == ESC && substr($0, i + 1, 1) == "[") {
                    j = i + 2
                    while (j <= n && substr($0, j, 1) ~ /[0-9;]/) j++
                    if (substr($0, j, 1) == "m") sgr(substr($0, i + 2, j - i - 2))
                    i = j + 1; continue
                }
                if (c == SO) lines = 1
                else if (c == SI) lines = 0
                else { sets = sets (lines ? "L" : "."); colours = colours letter() }
                i++
            }
            print sets "\t" colours
        }')
    charset=()
    colour=()
    local s c
    while IFS=$'\t' read -r s c; do
        charset+=("$s")
        colour+=("$c")
    done <<<"$maps"
}

# repeat COUNT CHARACTER: sets `repeated`. (The helpers set variables rather
# than print, to spare a subshell for each of several hundred checks.)
repeat() {
    printf -v repeated '%*s' "$1" ''
    repeated=${repeated// /$2}
}

# cells MAP ROW COLUMN COUNT: sets `got` to COUNT cells of a row (1-based).
# The captures leave out the blank cells at the end of a row; they read as
# blanks, in no line-drawing set and no colour.
cells() {
    local -n map=$1
    local row=$2 column=$3 count=$4 pad=' '
    [ "$1" = charset ] && pad=.
    repeat $((column + count)) "$pad"
    got="${map[row - 1]:-}$repeated"
    got=${got:column-1:count}
}

# expect_at ROW COLUMN TEXT COLOUR WHAT: TEXT stands there, not in the
# line-drawing set, in the colour given by one letter (none: not checked).
expect_at() {
    local row=$1 column=$2 want=$3 paint=$4 what=$5
    local n=${#want} got repeated
    checks=$((checks + 1))
    cells text "$row" "$column" "$n"
    if [ "$got" != "$want" ]; then
        fail "$what: row $row, column $column reads '$got', not '$want'"
        return
    fi
    cells charset "$row" "$column" "$n"
    repeat "$n" .
    [ "$got" = "$repeated" ] ||
        fail "$what: row $row, column $column is drawn in the line-drawing set ($got)"
    [ -z "$paint" ] && return
    # Blanks at the end of the text may have been left out of the capture.
    local inked=${want%"${want##*[! ]}"}
    cells colour "$row" "$column" "${#inked}"
    repeat "${#inked}" "$paint"
    [ "$got" = "$repeated" ] ||
        fail "$what: row $row, column $column has colours '$got', not all '$paint'"
}

# expect_lines ROW COLUMN GLYPHS COLOUR WHAT: line-drawing cells; GLYPHS are
# the letters the plain capture shows for them (l q k x m j).
expect_lines() {
    local row=$1 column=$2 want=$3 paint=$4 what=$5
    local n=${#want} got repeated
    checks=$((checks + 1))
    cells text "$row" "$column" "$n"
    [ "$got" = "$want" ] || fail "$what: row $row, column $column reads '$got', not '$want'"
    cells charset "$row" "$column" "$n"
    repeat "$n" L
    [ "$got" = "$repeated" ] ||
        fail "$what: row $row, column $column is not all line drawing ($got)"
    cells colour "$row" "$column" "$n"
    repeat "$n" "$paint"
    [ "$got" = "$repeated" ] ||
        fail "$what: row $row, column $column has colours '$got', not all '$paint'"
}

expect_box() {
    local x1=$1 y1=$2 x2=$3 y2=$4 paint=$5 what=$6
    local repeated
    repeat $((x2 - x1 - 1)) q
    local inner=$repeated
    expect_lines "$y1" "$x1" "l${inner}k" "$paint" "$what, top edge"
    local y
    for ((y = y1 + 1; y < y2; y++)); do
        expect_lines "$y" "$x1" x "$paint" "$what, left edge"
        expect_lines "$y" "$x2" x "$paint" "$what, right edge"
    done
    expect_lines "$y2" "$x1" "m${inner}j" "$paint" "$what, bottom edge"
}

show_screen() {
    echo "  the screen:"
    local i
    for ((i = 0; i < 24; i++)); do
        printf '  %2d |%s\n' "$((i + 1))" "${text[i]:-}"
    done
}

# wait_for ROW TEXT [ROW TEXT]: polls until each row begins with its text and
# two reads in a row agree (the screen has settled); gives up after 10 s.
wait_for() {
    local tries previous="" now ok pair
    for ((tries = 0; tries < 100; tries++)); do
        read_screen
        ok=1
        for ((pair = 1; pair < $#; pair += 2)); do
            local row=${!pair}
            local next=$((pair + 1))
            local want=${!next}
            [[ "${text[row - 1]:-}" == "$want"* ]] || ok=0
        done
        now=$(printf '%s\n' "${text[@]}" "${charset[@]}" "${colour[@]}")
        if [ "$ok" = 1 ] && [ "$now" = "$previous" ]; then
            return 0
        fi
        previous=$now
        sleep 0.1
    done
    fail "the screen did not come to show: $*"
    show_screen
    echo "FAIL: screen in tmux, $failures of $checks checks failed"
    exit 1
}

# ---- the board -----------------------------------------------------------

# check_board STATUS TIME0 "PITS0" STORE0 TIME1 "PITS1" STORE1 MOVER LAST0 LAST1
# The side to move (MOVER 0 or 1; 2 at a round's end, for both) labels only
# its pits that hold seeds, the other side all six; the last pit a side
# played (LAST, -1 for none) is labelled black on the side's colour.
check_board() {
    local status=$1 time0=$2 time1=$5 store0=$4 store1=$7 mover=$8
    local -a pits0 pits1 last
    read -r -a pits0 <<<"$3"
    read -r -a pits1 <<<"$6"
    last=("$9" "${10}")

    expect_at 1 1 "$status" w "status line"
    local repeated
    repeat 42 q
    expect_lines 8 11 "$repeated" w "separator"

    expect_at 4 1 alice r "name of side 0"
    expect_at 5 1 "$time0" r "time of side 0"
    expect_at 11 53 "$time1" g "time of side 1"
    expect_at 12 53 hurry g "name of side 1"

    local side i c seeds label_row count_row box_top paint reversed shown
    for side in 0 1; do
        for ((i = 0; i < 6; i++)); do
            if [ "$side" = 0 ]; then
                c=$((48 - 7 * i)) seeds=${pits0[i]} box_top=3 count_row=4 label_row=7
                paint=r reversed=R
            else
                c=$((13 + 7 * i)) seeds=${pits1[i]} box_top=11 count_row=12 label_row=9
                paint=g reversed=G
            fi
            expect_box $((c - 2)) $box_top $((c + 3)) $((box_top + 2)) $paint \
                "box of side $side, pit $i"
            expect_at $count_row $c "$(printf '%2d' "$seeds")" $paint "count of side $side, pit $i"
            shown=0
            if [ "$mover" = $((1 - side)) ] || [ "$seeds" != 0 ]; then
                shown=1
            fi
            if [ $shown = 1 ] && [ "${last[side]}" = "$i" ]; then
                expect_at $label_row $c "$(printf '%2d' "$i")" $reversed \
                    "highlighted label of side $side, pit $i"
            elif [ $shown = 1 ]; then
                expect_at $label_row $c "$(printf '%2d' "$i")" $paint "label of side $side, pit $i"
            else
                expect_at $label_row $c "  " "" "no label over side $side, pit $i"
            fi
        done
    done

    expect_box 1 6 10 10 r "store box of side 0"
    expect_at 8 4 "$(printf '%3d' "$store0")" r "store of side 0"
    expect_box 53 6 62 10 g "store box of side 1"
    expect_at 8 56 "$(printf '%3d' "$store1")" g "store of side 1"
}

type_line() {
    t send-keys -t game -l "$1"
    t send-keys -t game Enter
}

# ---- the match -----------------------------------------------------------

# alice (top row) against hurry (bottom row). With the clock at 1000000000
# and pid 4242 alice opens; every move choice takes 9.5 s.
printf '# alice\n3 1 1 1 1 2\n# hurry\n1 2 3 2 1 2\n' >"$work/board"
cat >"$work/play.sh" <<EOF
#!/bin/sh
LD_PRELOAD='$fakeclock' FAKECLOCK_TIME=1000000000 FAKECLOCK_PID=4242 \\
FAKECLOCK_STEP_US=9500000 ASAN_OPTIONS=verify_asan_link_order=0 \\
    '$okwari' alice hurry '$work/board'
echo \$? >'$work/status'
# Keep the pane, and the program's last screen in it, until the test ends
# (a pane kept by tmux itself after its command ends would get a note
# written below the screen, which can scroll it).
exec sleep 300
EOF
chmod +x "$work/play.sh"

if ! t new-session -d -s game -x 80 -y 24 "$work/play.sh" </dev/null; then
    echo "FAIL: tmux could not start a session"
    exit 1
fi

echo "alice's first move"
wait_for 1 "score 0 - 0, first round, move #1" 14 "alice: your move?"
check_board "score 0 - 0, first round, move #1" \
    00s "3 1 1 1 1 2" 0 00s "1 2 3 2 1 2" 0 0 -1 -1
expect_at 14 1 "alice: your move? " r "prompt"

echo "a junk line, then pit 5; hurry plays its fullest pit, 2"
type_line hello
type_line 5
wait_for 1 "score 0 - 0, first round, move #3" 14 "alice: your move?"
check_board "score 0 - 0, first round, move #3" \
    10s "3 1 1 1 1 0" 1 10s "2 2 0 3 2 3" 0 0 -1 2

echo "pit 4 captures; hurry plays 3, lands in its store and plays 5"
type_line 4
wait_for 1 "score 0 - 0, first round, move #6" 14 "alice: your move?"
check_board "score 0 - 0, first round, move #6" \
    19s "4 2 2 1 0 0" 4 29s "0 2 0 0 3 0" 2 0 -1 5

echo "empty pit 5 is passed over, pit 0 is played; hurry ends the round"
type_line 5
type_line 0
wait_for 1 "score 0 - 0, first round, move #8" \
    14 "first round ended, press ENTER to start second round"
check_board "score 0 - 0, first round, move #8" \
    29s "0 0 0 0 0 0" 15 38s "0 0 0 0 0 0" 5 2 -1 4
expect_at 14 1 "first round ended, press ENTER to start second round" w "pause message"

echo "ENTER: round 2 on the exchanged rows, hurry opens with pit 0"
t send-keys -t game Enter
wait_for 1 "score 15 - 5, second round, move #2" 14 "alice: your move?"
check_board "score 15 - 5, second round, move #2" \
    29s "1 2 3 2 1 2" 0 48s "0 2 2 2 1 2" 0 0 -1 0

echo "pits 3 and 1; hurry empties its row"
type_line 3
type_line 1
wait_for 1 "score 15 - 5, second round, move #7" \
    14 "alice wins 30-10, time alice=48s hurry=01m16s, 15 moves"
check_board "score 15 - 5, second round, move #7" \
    48s "0 0 0 0 0 0" 15 01m16s "0 0 0 0 0 0" 5 2 -1 5
# After the reset the result line is in the terminal's own colours.
expect_at 14 1 "alice wins 30-10, time alice=48s hurry=01m16s, 15 moves" d "result line"

checks=$((checks + 1))
for ((tries = 0; tries < 100; tries++)); do
    [ -s "$work/status" ] && break
    sleep 0.1
done
status=$(cat "$work/status" 2>/dev/null)
[ "$status" = 0 ] || fail "exit status '$status', not 0"

if [ $failures -ne 0 ]; then
    show_screen
    echo "FAIL: screen in tmux, $failures of $checks checks failed"
    exit 1
fi
echo "PASS: screen in tmux, all $checks checks passed"
exit 0
