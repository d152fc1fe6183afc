#!/usr/bin/env bash
# Measures the running program on a private display: time from start to the tray
# icon, resident memory after a minute idle, and CPU time over ten idle minutes,
# with a table of N reminders. Usage: bench/measure_idle.sh PATH/TO/Chimly N [idle-seconds]
set -euo pipefail
chimly=$(readlink -f "$1")
count=$2
idle=${3:-600}
work=$(mktemp -d)
trap 'kill $(jobs -p) 2>/dev/null; rm -rf "$work"' EXIT
mkdir -p "$work"/{data/Chimewell,config,runtime}
chmod 700 "$work/runtime"
python3 - "$work/data/Chimewell/things.mln" "$count" <<'PY'
import sqlite3, sys
path, n = sys.argv[1], int(sys.argv[2])
db = sqlite3.connect(path)
cols = ("N DATA DATEORDAY MON TUE WED THU FRI SAT SUN MESSSHOW ANIM SOUND HINT RUNPROG COMMENT "
        "SPATH WSOUND EMONTH PPATH afterStart MinutesAfterStart CrDate Special Shutdown").split()
db.execute("CREATE TABLE things (%s)" % ", ".join(cols))
rows = []
for i in range(1, n + 1):
    # Weekly and monthly reminders spread over the day, none due in the next minutes.
    rows.append((i, 46000 + (i % 1440) / 1440.0, 1 + i % 2, 1, 0, 1, 0, 1, 0, 0, 1, 0, 0, None, 0,
                 "reminder %d" % i, "", 0, 1 + i % 28, "", 0, 0, 46000.0, 0, 0))
db.executemany("INSERT INTO things VALUES (%s)" % ",".join("?" * len(cols)), rows)
db.commit()
PY
exec 3< <(Xvfb -displayfd 1 -screen 0 1280x800x24 -nolisten tcp 2>/dev/null)
read -r num <&3
export DISPLAY=":$num"
HOME="$work" icewm >/dev/null 2>&1 &
until xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id'; do sleep 0.05; done
export HOME="$work" XDG_DATA_HOME="$work/data" XDG_CONFIG_HOME="$work/config" \
       XDG_RUNTIME_DIR="$work/runtime" PULSE_SERVER="unix:$work/none"
start=$(date +%s.%N)
"$chimly" &
pid=$!
until xdotool search --onlyvisible --classname Chimly >/dev/null 2>&1; do sleep 0.01; done
tray=$(date +%s.%N)
echo "reminders=$count start_to_tray_ms=$(awk -v a="$start" -v b="$tray" 'BEGIN { printf "%d", (b - a) * 1000 }')"
sleep 60
echo "reminders=$count rss_after_60s_kb=$(awk '/VmRSS/ {print $2}' /proc/$pid/status)"
ticks0=$(awk '{print $14 + $15}' /proc/$pid/stat)
sleep "$idle"
ticks1=$(awk '{print $14 + $15}' /proc/$pid/stat)
hz=$(getconf CLK_TCK)
echo "reminders=$count cpu_ms_in_${idle}s_idle=$(( (ticks1 - ticks0) * 1000 / hz ))"
kill -TERM $pid
wait $pid || true
