#!/usr/bin/env bash
# Measures the program against the floor of a Qt tray program (bench/tray_floor) on a
# private display, both run alternately in one run: the time from start to the tray
# icon (median), resident and proportional memory after a minute, and CPU time and
# context switches (wake-ups) per idle minute, with 0 and N reminders and with the list
# shown. Several builds of the program may be given; each is measured the same way.
# Usage: bench/measure_idle.sh [-n reminders] [-r rounds] [-i idle-seconds] [-f tray_floor] CHIMLY...
set -euo pipefail
count=10000 rounds=10 idle=300 floor=""
while getopts n:r:i:f: opt; do
    case $opt in
    n) count=$OPTARG ;;
    r) rounds=$OPTARG ;;
    i) idle=$OPTARG ;;
    f) floor=$OPTARG ;;
    *) exit 2 ;;
    esac
done
shift $((OPTIND - 1))
[ $# -ge 1 ] || { sed -n 's/^# Usage: //p' "$0"; exit 2; }
programs=()
for p in "$@"; do programs+=("$(readlink -f "$p")"); done
floor=$(readlink -f "${floor:-$(dirname "${programs[0]}")/../bench/tray_floor}")
[ -x "$floor" ] || { echo "no floor program at $floor (build the target tray_floor)" >&2; exit 2; }

work=$(mktemp -d)
pids=()
cleanup() {
    for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done
    wait 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT

# A table of weekly and monthly reminders spread over the day, none due in the next minutes.
python3 - "$work/table.mln" "$count" <<'PY'
import sqlite3, sys
path, n = sys.argv[1], int(sys.argv[2])
db = sqlite3.connect(path)
cols = ("N DATA DATEORDAY MON TUE WED THU FRI SAT SUN MESSSHOW ANIM SOUND HINT RUNPROG COMMENT "
        "SPATH WSOUND EMONTH PPATH afterStart MinutesAfterStart CrDate Special Shutdown").split()
db.execute("CREATE TABLE things (%s)" % ", ".join(cols))
rows = [(i, 46000 + (i % 1440) / 1440.0, 1 + i % 2, 1, 0, 1, 0, 1, 0, 0, 1, 0, 0, None, 0,
         "reminder %d" % i, "", 0, 1 + i % 28, "", 0, 0, 46000.0, 0, 0) for i in range(1, n + 1)]
db.executemany("INSERT INTO things VALUES (%s)" % ",".join("?" * len(cols)), rows)
db.commit()
PY

exec 3< <(Xvfb -displayfd 1 -screen 0 1280x800x24 -nolisten tcp 2>/dev/null)
read -r num <&3
export DISPLAY=":$num"
mkdir -p "$work/wm"
HOME="$work/wm" icewm >/dev/null 2>&1 &
pids+=($!)
until xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id'; do sleep 0.05; done

# A fresh home per case; "table" gets the N reminders, "empty" none.
home() {
    local dir="$work/home-$1"
    rm -rf "$dir"
    mkdir -p "$dir"/{data/Chimewell,config,runtime}
    chmod 700 "$dir/runtime"
    [ "$2" = table ] && cp "$work/table.mln" "$dir/data/Chimewell/things.mln"
    echo "$dir"
}

# Starts a program in a home and echoes its pid once its tray icon is shown.
launch() {
    local dir=$1 program=$2
    HOME="$dir" XDG_DATA_HOME="$dir/data" XDG_CONFIG_HOME="$dir/config" \
        XDG_RUNTIME_DIR="$dir/runtime" PULSE_SERVER="unix:$dir/none" "$program" >/dev/null 2>&1 &
    local pid=$!
    until xdotool search --onlyvisible --pid "$pid" --classname "$(basename "$program")" \
        >/dev/null 2>&1; do
        sleep 0.005
        kill -0 "$pid" 2>/dev/null || { echo "$program ended at start" >&2; exit 1; }
    done
    echo "$pid"
}

now_ms() { date +%s%3N; }
median() { sort -n | awk '{ a[NR] = $1 } END { print (NR % 2) ? a[(NR + 1) / 2] : int((a[NR / 2] + a[NR / 2 + 1]) / 2) }'; }

# The cases: a label, the program and the table.
labels=("floor") cmds=("$floor") tables=("empty")
for i in "${!programs[@]}"; do
    tag=$([ ${#programs[@]} -gt 1 ] && echo "#$((i + 1)) " || true)
    labels+=("${tag}Chimly 0" "${tag}Chimly $count" "${tag}Chimly $count, list shown")
    cmds+=("${programs[$i]}" "${programs[$i]}" "${programs[$i]}")
    tables+=(empty table table)
done

# Start-up, alternating the cases round by round.
declare -A starts
for ((r = 0; r < rounds; ++r)); do
    for c in "${!labels[@]}"; do
        [[ ${labels[$c]} == *"list shown" ]] && continue
        dir=$(home "s$c" "${tables[$c]}")
        t0=$(now_ms)
        pid=$(launch "$dir" "${cmds[$c]}")
        t1=$(now_ms)
        starts[$c]+="$((t1 - t0)) "
        kill -TERM "$pid"
        while kill -0 "$pid" 2>/dev/null; do sleep 0.02; done
    done
done

# Idle: every case runs at the same time, so that they share the machine's load.
declare -A running
for c in "${!labels[@]}"; do
    dir=$(home "i$c" "${tables[$c]}")
    pid=$(launch "$dir" "${cmds[$c]}")
    running[$c]=$pid
    pids+=("$pid")
    if [[ ${labels[$c]} == *"list shown" ]]; then
        # "Open list..." from the tray menu: a right click on the icon, Down, Return.
        icon=$(xdotool search --onlyvisible --pid "$pid" --classname Chimly | head -1)
        xdotool mousemove --window "$icon" 5 5 click 3
        sleep 0.5
        xdotool key Down Return
        until xdotool search --onlyvisible --pid "$pid" --name '^Chimewell$' >/dev/null 2>&1; do
            sleep 0.05
        done
    fi
done
sleep 60
declare -A rss pss cpu0 cs0 cpu1 cs1
# CPU time in ns and context switches, summed over the process's threads.
cpu_ns() { cat /proc/"$1"/task/*/schedstat 2>/dev/null | awk '{ s += $1 } END { print s + 0 }'; }
switches() {
    cat /proc/"$1"/task/*/status 2>/dev/null |
        awk '/ctxt_switches/ { s += $2 } END { print s + 0 }'
}
for c in "${!labels[@]}"; do
    p=${running[$c]}
    rss[$c]=$(awk '/^Rss:/ { print $2 }' /proc/"$p"/smaps_rollup)
    pss[$c]=$(awk '/^Pss:/ { print $2 }' /proc/"$p"/smaps_rollup)
    cpu0[$c]=$(cpu_ns "$p")
    cs0[$c]=$(switches "$p")
done
sleep "$idle"
for c in "${!labels[@]}"; do
    cpu1[$c]=$(cpu_ns "${running[$c]}")
    cs1[$c]=$(switches "${running[$c]}")
done

echo "rounds=$rounds idle=${idle}s load=$(cut -d' ' -f1-3 /proc/loadavg) cores=$(nproc)"
printf '%-28s %18s %16s %16s %18s %18s\n' "" "start->tray ms" "RSS MiB" "PSS MiB" "idle CPU ms/min" "wakeups/min"
fl_start=$(echo ${starts[0]} | tr ' ' '\n' | median)
for c in "${!labels[@]}"; do
    if [[ -n ${starts[$c]:-} ]]; then
        s=$(echo ${starts[$c]} | tr ' ' '\n' | median)
        st=$(awk -v s="$s" -v f="$fl_start" 'BEGIN { printf "%d (%.2fx)", s, s / f }')
    else
        st="-"
    fi
    awk -v l="${labels[$c]}" -v st="$st" -v rss="${rss[$c]}" -v pss="${pss[$c]}" \
        -v frss="${rss[0]}" -v fpss="${pss[0]}" -v cpu=$((cpu1[$c] - cpu0[$c])) \
        -v cs=$((cs1[$c] - cs0[$c])) -v idle="$idle" 'BEGIN {
            printf "%-28s %18s %7.1f (%+5.1f) %7.1f (%+5.1f) %18.2f %18.1f\n", l, st,
                rss / 1024, (rss - frss) / 1024, pss / 1024, (pss - fpss) / 1024,
                cpu / 1e6 / (idle / 60), cs / (idle / 60) }'
done
