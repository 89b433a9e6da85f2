#!/usr/bin/env bash
# A real terminal, an 80x24 tmux pane: alice (top, red) plays the hurry robot (bottom, green), the
# clock pinned, each move choice taking 9.5 s. Pictures show line drawing as box glyphs; {c} sets the
# colour of the cells after it: r g w red, green, white on black, R G black on red, green, d default.
# PRELOAD_VARIABLE (LD_PRELOAD) is where the program's launcher takes the library from. Without tmux
# it skips (77); the pane's commands run under /bin/sh, whatever the user's login shell.
set -u; [ $# = 3 ] || { echo "usage: $0 OKWARI_PROGRAM FAKECLOCK_LIBRARY PRELOAD_VARIABLE" >&2; exit 1; }
command -v tmux >/dev/null || { echo "SKIP: the terminal test needs tmux (Debian: tmux)"; exit 77; }; export SHELL=/bin/sh
w=$(mktemp -d) fail=0 || exit 1; trap 'tmux -S "$w/s" kill-server 2>/dev/null; rm -rf "$w"' EXIT
t() { tmux -S "$w/s" -f /dev/null "$@"; }; printf '# alice\n3 1 1 1 1 2\n# hurry\n1 2 3 2 1 2\n' >"$w/b"
export FAKECLOCK_STEP_US=9500000 ASAN_OPTIONS=verify_asan_link_order=0
run="timeout --foreground 60 env $3='$(realpath "$2")' '$(realpath "$1")' alice hurry '$w/b'; echo exit status \$?"
t new-session -d -s g -x 80 -y 24 "$run; read -r _; '$(realpath "$1")'; exec sleep 99" </dev/null || exit 1
look() { # look ROW PICTURE: polls till the picture's first and last rows read as drawn from ROW on;
    printf '%s\n' "$2" >"$w/want"; n=$(wc -l <"$w/want"); for _ in {1..100}; do # that one capture must match
        t capture-pane -peE14 -t g | perl -CO -Mutf8 -ne 'BEGIN { $f = $b = 9 } $t = $p = "";
            for (/\e\[[\d;]*m|./g) { if (/[\cN\cO]/) { $g = /\cN/ } elsif (/^\e\[([\d;]*)/) {
            for (split /;/, $1 || 0) { $f = $b = 9 if !$_; $f = $_ % 10 if /^3/; $b = $_ % 10 if /^4/ } }
            else { $c = $b % 9 ? uc substr("krgybmcw", $b, 1) : substr("krgybmcw?d", $f, 1); $t .=
            (/ / || $c eq $p ? "" : "{" . ($p = $c) . "}") . ($g ? tr/lqkxmj/┌─┐│└┘/r : $_) } }
            $t =~ s/\s+$//; print "$t\n"' | sed -n "$1,$(($1 + n - 1))p" >"$w/got"
        [ "$(sed -n "1p;${n}p" "$w/got")" = "$(sed -n "1p;${n}p" "$w/want")" ] && break; sleep 0.1
    done; diff "$w/want" "$w/got" || { echo "FAIL: the screen:"; cat "$w/got"; fail=1; }; }
# Typing starts at the first prompt: keys echoed amid a screen being drawn could garble it.
for _ in {1..100}; do t capture-pane -p -t g | grep -q 'your move' && break; sleep 0.1; done
t send-keys -t g hello Enter 5 Enter 4 Enter; look 1 '{w}score 0 - 0, first round, move #6

          {r}┌────┐ ┌────┐ ┌────┐ ┌────┐ ┌────┐ ┌────┐
{r}alice     │  0 │ │  0 │ │  1 │ │  2 │ │  2 │ │  4 │
{r}19s       └────┘ └────┘ └────┘ └────┘ └────┘ └────┘
{r}┌────────┐                                          {g}┌────────┐
{r}│        │                 3      2      1      0   {g}│        │
{r}│    4   │{w}──────────────────────────────────────────{g}│    2   │
{r}│        │   {g}0      1      2      3      4      {G}5   {g}│        │
{r}└────────┘                                          {g}└────────┘
          {g}┌────┐ ┌────┐ ┌────┐ ┌────┐ ┌────┐ ┌────┐ 29s
          {g}│  0 │ │  2 │ │  0 │ │  0 │ │  3 │ │  0 │ hurry
          {g}└────┘ └────┘ └────┘ └────┘ └────┘ └────┘
{r}alice: your move?'
t send-keys -t g 5 Enter 0 Enter Enter 3 Enter 1 Enter; look 13 '          {g}└────┘ └────┘ └────┘ └────┘ └────┘ └────┘
{d}alice wins 30-10, time alice=48s hurry=01m16s, 15 moves
{d}exit status 0'
t send-keys -t g Enter; look 1 '{d}okwari, okwari 1.0 (December 2026), a sowing game for two' # cleared first
# A robot's thinking line shows while it thinks (for minutes: timeout and the pane's sleep end it).
printf '6 6 6 6 6 6\n6 6 6 6 6 6\n' >"$w/b"; t respawn-pane -k -t g "${run/alice hurry/ann wise14}"
look 14 '{r}ann: your move?'; t send-keys -t g 1 Enter; look 14 '{g}wise14 thinking...'
[ $fail = 0 ] && echo "PASS: the board screen in tmux" || exit 1
