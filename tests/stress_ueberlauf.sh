#!/usr/bin/env bash
# The overflow as a user meets it: the test-only build of the program ($1), its run moved to
# 2147483646, is started on the X display that xvfb-run provides, Start is clicked, and once
# the line for 2147483646 is written the German overflow report appears. It is dismissed with
# Return; the program must then end with status 1 (not a crash) and leave nothing running.
set -euo pipefail
Programm=$1
Arbeit=$(mktemp -d)
trap 'rm -rf "$Arbeit"' EXIT

fail() {
    echo "FAILED: $*" >&2
    if [ -n "${Pid:-}" ] && kill -0 "$Pid" 2>/dev/null; then
        kill "$Pid"
    fi
    exit 1
}

# In a session of its own, so that whatever it might leave behind can be found.
setsid "$Programm" >"$Arbeit/text" 2>"$Arbeit/meldung" &
Pid=$!

# The window found by its caption, and Start clicked.
Wurzel=$(dirname "$0")/..
Beschriftung="^$("$Wurzel/window/fensterdefinition.py" beschriftung)\$"
Fenster=$("$Wurzel/script/click" cmdStart) || fail "the window did not appear"

# The one-second wait and then the search of 2147483646, about ten seconds here.
Meldungsfenster=
for _ in $(seq 1 600); do
    kill -0 "$Pid" 2>/dev/null || fail "the program ended before its report"
    for Kandidat in $(xdotool search --onlyvisible --name "$Beschriftung" 2>/dev/null || true); do
        if [ "$Kandidat" != "$Fenster" ]; then
            Meldungsfenster=$Kandidat
        fi
    done
    [ -n "$Meldungsfenster" ] && break
    sleep 0.2
done
[ -n "$Meldungsfenster" ] || fail "no report appeared within two minutes"

sleep 0.5
xdotool windowfocus --sync "$Meldungsfenster"
xdotool key Return

Status=0
for _ in $(seq 1 100); do
    kill -0 "$Pid" 2>/dev/null || break
    sleep 0.1
done
kill -0 "$Pid" 2>/dev/null && fail "the program went on after its report was dismissed"
wait "$Pid" || Status=$?
Sitzung=$Pid
Pid=

[ "$Status" -eq 1 ] || fail "exit status $Status, expected 1"
# No process is left in the program's session.
if pgrep -s "$Sitzung" >/dev/null; then
    ps -o pid,ppid,sid,pgid,stat,args -s "$Sitzung" >&2
    fail "a process of the program is still running"
fi

# The box held the line for 2147483646, a sum of two summands, as its last line.
Letzte=$(tr -d '\r' <"$Arbeit/text" | tail -n 1)
echo "last line: '$Letzte'"
if [[ ! "$Letzte" =~ ^\ 2147483646\ =\ ([0-9]+)\ \+\ ([0-9]+)$ ]]; then
    fail "the line for 2147483646 is missing"
fi
[ $((BASH_REMATCH[1] + BASH_REMATCH[2])) -eq 2147483646 ] || fail "the summands do not add up"
[ "$(tail -c 2 "$Arbeit/text" | od -An -c | tr -d ' ')" = '\r\n' ] || fail "no CR LF after it"

grep -q 'Laufzeitfehler 6: Überlauf' "$Arbeit/meldung" || fail "the report is not the German overflow"
echo "report: $(grep -m 1 'Laufzeitfehler' "$Arbeit/meldung")"
echo "exit status $Status, nothing left running"
