#!/usr/bin/env bash
# One HTTP/1.0 fetch of a 100 KB body from nginx on loopback: the agent's client (the Google
# Benchmark net_fetch_benchmark, median of 101 single fetches) against curl --http1.0, one curl
# process doing all its fetches one after another (median of their time_total), both against the
# same nginx, interleaved for ROUNDS rounds (default 11). Prints each round, the medians and the
# ratio agent / curl.
set -euo pipefail
cd "$(dirname "$0")/.."

rounds=${ROUNDS:-11}
fetches=${FETCHES:-101}
bench=build/default/tests/agent/net/net_fetch_benchmark

if [ ! -x "$bench" ] || [ "${BENCH_BUILD:-1}" = 1 ]; then
  export CCACHE_BASEDIR="$PWD" CCACHE_NOHASHDIR=1
  cmake --preset default >/dev/null
  cmake --build --preset default --target net_fetch_benchmark -- -j2 >/dev/null
fi
nginx=$(command -v nginx || echo /usr/sbin/nginx)
[ -x "$nginx" ] || { echo "nginx is missing" >&2; exit 1; }
command -v curl >/dev/null || { echo "curl is missing" >&2; exit 1; }

work=$(mktemp -d)
nginx_pid=
cleanup() {
  [ -z "$nginx_pid" ] || { kill "$nginx_pid" 2>/dev/null; wait "$nginx_pid" 2>/dev/null || true; }
  rm -rf "$work"
}
trap cleanup EXIT

# A port nobody answers on a moment ago, below the range the system hands out to outgoing connections.
port=
for _ in $(seq 50); do
  candidate=$((20000 + RANDOM % 12000))
  if ! (exec 3<>"/dev/tcp/127.0.0.1/$candidate") 2>/dev/null; then port=$candidate; break; fi
done
[ -n "$port" ] || { echo "no free port" >&2; exit 1; }

chmod 755 "$work"
mkdir -m 755 "$work/www"
head -c 102400 /dev/urandom >"$work/www/100k.bin"
head -c 1024 /dev/urandom >"$work/www/1k.bin"
sed -e "s|@DIR@|$work|g" -e "s|@ADDR@|127.0.0.1|g" -e "s|@PORT@|$port|g" tests/data/net/nginx.conf >"$work/nginx.conf"
"$nginx" -e "$work/error.log" -c "$work/nginx.conf" -p "$work" </dev/null >/dev/null 2>&1 &
nginx_pid=$!
up=
for _ in $(seq 100); do
  if (exec 3<>"/dev/tcp/127.0.0.1/$port") 2>/dev/null; then up=1; break; fi
  sleep 0.1
done
[ -n "$up" ] || { echo "nginx did not start:" >&2; cat "$work/error.log" >&2; exit 1; }
base="http://127.0.0.1:$port/"
url="${base}100k.bin"

for _ in $(seq "$fetches"); do printf 'url = "%s"\noutput = "/dev/null"\n' "$url"; done >"$work/curl.cfg"

median() { sort -g | awk '{ v[NR] = $1 } END { if (NR % 2) print v[(NR + 1) / 2]; else print (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }

agent_run() {
  VANDU_BENCH_BASE="$base" "$bench" --benchmark_filter='BM_Fetch100K' --benchmark_report_aggregates_only=true \
    --benchmark_format=csv 2>/dev/null | awk -F, '/_median"/ { print $3 }'
}
curl_run() {
  curl --http1.0 -s -f -K "$work/curl.cfg" -w '%{time_total}\n' | awk '{ printf "%.1f\n", $1 * 1e6 }' | median
}

printf '%-6s %12s %12s %7s\n' round 'agent (us)' 'curl (us)' ratio
: >"$work/agent" && : >"$work/curl" && : >"$work/ratio"
for round in $(seq "$rounds"); do
  if [ $((round % 2)) = 1 ]; then a=$(agent_run); c=$(curl_run); else c=$(curl_run); a=$(agent_run); fi
  [ -n "$a" ] && [ -n "$c" ] || { echo "a run failed" >&2; cat "$work/error.log" >&2; exit 1; }
  r=$(echo "$a $c" | awk '{ print $1 / $2 }')
  echo "$a" >>"$work/agent"
  echo "$c" >>"$work/curl"
  echo "$r" >>"$work/ratio"
  printf '%-6s %12.1f %12.1f %7.2f\n' "$round" "$a" "$c" "$r"
done
a=$(median <"$work/agent")
c=$(median <"$work/curl")
printf '%-6s %12.1f %12.1f %7.2f   (median of per-round ratios: %.2f)\n' median "$a" "$c" \
  "$(echo "$a $c" | awk '{ print $1 / $2 }')" "$(median <"$work/ratio")"
