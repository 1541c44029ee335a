#!/usr/bin/env bash
# Start-up benchmark: the agent against the bare Qt window (tools/barewindow), both under a private
# Xvfb, each as an isolated user (own HOME and XDG folders, no D-Bus session, the service pointed at
# a closed loopback port, so no dialog and no network). Runs are interleaved (the order alternates
# each round, after one warm-up round that is not counted) and the medians are compared:
#   start   time from just before exec to the end of the first paint (VANDU_REPORT_FIRST_FRAME=1)
#   RSS     resident memory 5 s after start, idle (VmRSS), and the peak until then (VmHWM)
#   CPU     CPU time of all threads at the end of the first paint, as the program reports it (what it
#           does right after its first frame is not counted): unlike the start time, it hardly
#           moves when other programs load the machine
#
# Usage: tools/bench-startup.sh [build-dir]     (default build/default; builds both programs first)
#        VANDU_BENCH_RUNS=N sets the number of counted rounds (default 7).
set -euo pipefail
cd "$(dirname "$0")/.."

build=${1:-build/default}
runs=${VANDU_BENCH_RUNS:-7}
settle_us=5000000

for tool in Xvfb awk; do
  command -v "$tool" >/dev/null || { echo "bench-startup: $tool is missing (tools/install-deps.sh)" >&2; exit 1; }
done
[ -f "$build/CMakeCache.txt" ] || { echo "bench-startup: configure $build first (cmake --preset default)" >&2; exit 1; }
cmake --build "$build" --target Vandu vandu_barewindow -- -j2 >/dev/null

work=$(mktemp -d)
xvfb_pid=
cleanup() {
  [ -z "$xvfb_pid" ] || { kill "$xvfb_pid" 2>/dev/null; wait "$xvfb_pid" 2>/dev/null || true; }
  rm -rf "$work"
}
trap cleanup EXIT

exec 3>"$work/display"
Xvfb -displayfd 3 -noreset -nolisten tcp -screen 0 1280x1024x24 >/dev/null 2>&1 &
xvfb_pid=$!
exec 3>&-
for _ in $(seq 1 100); do [ -s "$work/display" ] && break; sleep 0.05; done
[ -s "$work/display" ] || { echo "bench-startup: Xvfb did not start" >&2; exit 1; }
display=:$(head -n 1 "$work/display")

# A loopback port nobody listens on: every request of the agent is refused at once.
closed_port=
for port in 1 9 19 47 61; do
  if ! (exec 4<>"/dev/tcp/127.0.0.1/$port") 2>/dev/null; then closed_port=$port; break; fi
done
[ -n "$closed_port" ] || { echo "bench-startup: no closed loopback port found" >&2; exit 1; }

# One sandbox per program, each with its own copy of the program (and the agent's modules beside
# it, as installed); the agent's settings name a subscriber, so no sign-up dialog opens.
make_sandbox() {
  local name=$1 program=$2 box="$work/$1"
  mkdir -p "$box"/{prog,config/Vandu,data,cache,run}
  chmod 700 "$box/run"
  cp "$build/bin/$program" "$box/prog/"
  if [ "$name" = agent ]; then
    cp "$build"/bin/libvandu_*.so "$box/prog/" 2>/dev/null || true
    printf '[Main]\nVanduID=5551234567\nFirstTime=0\n' >"$box/config/Vandu/Vandu.conf"
    chmod 600 "$box/config/Vandu/Vandu.conf"
  fi
}
make_sandbox agent Vandu
make_sandbox bare vandu_barewindow

# Runs one program; prints "<first frame ms> <RSS KiB at 5 s> <peak RSS KiB> <CPU ms at first frame>".
run_one() {
  local name=$1 program=$2 box="$work/$1"
  : >"$box/stderr"
  rm -f "$box/err"
  mkfifo "$box/err"
  (
    cd "$box/prog"
    echo "${EPOCHREALTIME/./}" >"$box/start"
    exec env -i PATH=/usr/bin:/bin LANG=C.UTF-8 DISPLAY="$display" QT_QPA_PLATFORM=xcb HOME="$box" \
      XDG_CONFIG_HOME="$box/config" XDG_DATA_HOME="$box/data" XDG_CACHE_HOME="$box/cache" \
      XDG_RUNTIME_DIR="$box/run" DBUS_SESSION_BUS_ADDRESS="unix:path=$box/run/no-bus" \
      VANDU_SERVICE="http://127.0.0.1:$closed_port" VANDU_REPORT_FIRST_FRAME=1 "./$program"
  ) 2>"$box/err" &
  local pid=$! frame_ns= cpu=0 line
  # Blocking reads of the program's output until its report: a loop that polled a file here would
  # take a core from the program it measures.
  exec 5<"$box/err"
  while IFS= read -r -t 30 -u 5 line; do
    printf '%s\n' "$line" >>"$box/stderr"
    if [[ $line == first-frame* ]]; then
      read -r _ frame_ns _ cpu <<<"$line"
      break
    fi
  done
  # The rest of its output, so that a late warning does not meet a closed pipe.
  cat <&5 >>"$box/stderr" &
  local drain=$!
  exec 5<&-
  if [ -z "$frame_ns" ]; then
    echo "bench-startup: $name painted no frame; its output:" >&2
    kill "$pid" 2>/dev/null || true
    wait "$pid" "$drain" 2>/dev/null || true
    cat "$box/stderr" >&2
    exit 1
  fi
  local start_us
  start_us=$(cat "$box/start")
  local now_us=${EPOCHREALTIME/./}
  local left_us=$((start_us + settle_us - now_us))
  [ "$left_us" -le 0 ] || sleep "$(awk -v us="$left_us" 'BEGIN { printf "%.6f", us / 1e6 }')"
  local rss hwm
  rss=$(awk '/^VmRSS:/ { print $2 }' "/proc/$pid/status")
  hwm=$(awk '/^VmHWM:/ { print $2 }' "/proc/$pid/status")
  kill -TERM "$pid"
  wait "$pid" "$drain" 2>/dev/null || true
  awk -v f="$frame_ns" -v s="$start_us" -v r="$rss" -v h="$hwm" -v c="$cpu" \
    'BEGIN { printf "%.2f %d %d %.1f\n", (f / 1000 - s) / 1000, r, h, c / 1e6 }'
}

median() { sort -g | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }

echo "Xvfb $display, service http://127.0.0.1:$closed_port (closed), $runs rounds after one warm-up"
run_one agent Vandu >/dev/null
run_one bare vandu_barewindow >/dev/null
: >"$work/agent.txt"
: >"$work/bare.txt"
for round in $(seq 1 "$runs"); do
  if [ $((round % 2)) -eq 1 ]; then order="agent bare"; else order="bare agent"; fi
  line="round $round:"
  for name in $order; do
    if [ "$name" = agent ]; then program=Vandu; else program=vandu_barewindow; fi
    result=$(run_one "$name" "$program")
    echo "$result" >>"$work/$name.txt"
    line+=$(awk -v n="$name" '{ printf "  %-5s %7.2f ms %6.1f MiB (peak %5.1f) cpu %5.1f ms", n, $1, $2 / 1024, $3 / 1024, $4 }' <<<"$result")
  done
  echo "$line"
done

for name in agent bare; do
  read -r "${name}_frame" < <(awk '{ print $1 }' "$work/$name.txt" | median)
  read -r "${name}_rss" < <(awk '{ print $2 }' "$work/$name.txt" | median)
  read -r "${name}_hwm" < <(awk '{ print $3 }' "$work/$name.txt" | median)
  read -r "${name}_cpu" < <(awk '{ print $4 }' "$work/$name.txt" | median)
done
awk -v af="$agent_frame" -v bf="$bare_frame" -v ar="$agent_rss" -v br="$bare_rss" -v ah="$agent_hwm" \
  -v bh="$bare_hwm" -v ac="$agent_cpu" -v bc="$bare_cpu" 'BEGIN {
    printf "median agent: first frame %.2f ms, RSS at 5 s %.1f MiB, peak RSS %.1f MiB, CPU %.1f ms\n", af, ar / 1024, ah / 1024, ac
    printf "median bare:  first frame %.2f ms, RSS at 5 s %.1f MiB, peak RSS %.1f MiB, CPU %.1f ms\n", bf, br / 1024, bh / 1024, bc
    printf "start ratio (first frame, agent / bare): %.2f\n", af / bf
    printf "RSS ratio (5 s after start, agent / bare): %.2f\n", ar / br
    printf "peak RSS ratio (agent / bare): %.2f\n", ah / bh
    printf "CPU ratio at the first frame (agent / bare): %.2f\n", ac / bc
  }'
