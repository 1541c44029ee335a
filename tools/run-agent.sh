#!/usr/bin/env bash
# Builds the agent and the reference message service (nothing else: no tests), starts the service
# with the demo subscriber (5551234567, password 1234) on its default address, and runs the agent
# against it. The service stops when the agent ends. Arguments are passed on to the agent.
set -euo pipefail
cd "$(dirname "$0")/.."

./tools/install-deps.sh run
cmake --preset run
cmake --build --preset run

service=build/run/bin/vandu-service
agent=build/run/bin/Vandu
address=127.0.0.1:8026

"$service" serve --seed-demo --listen "$address" &
service_pid=$!
stop_service() {
  kill "$service_pid" 2>/dev/null || true
  wait "$service_pid" 2>/dev/null || true
}
trap stop_service EXIT

# The agent polls at once on start, so wait (at most 10 s) until the service answers.
for _ in $(seq 1 100); do
  if ! kill -0 "$service_pid" 2>/dev/null; then
    echo "run-agent: vandu-service did not start (is $address in use?)" >&2
    exit 1
  fi
  if (exec 3<>"/dev/tcp/${address%:*}/${address#*:}") 2>/dev/null; then
    break
  fi
  sleep 0.1
done

# Until an ID is set up in the agent itself, sign in as the demo subscriber (ID 5551234567,
# password 1234, stored scrambled as the agent stores it) so the demo messages arrive.
conf="${XDG_CONFIG_HOME:-$HOME/.config}/Vandu/Vandu.conf"
if ! grep -qE '^VanduID=.+' "$conf" 2>/dev/null; then
  mkdir -p "$(dirname "$conf")"
  grep -q '^\[Main\]' "$conf" 2>/dev/null || printf '[Main]\n' >>"$conf"
  sed -i '/^VanduID=/d;/^Channel=/d' "$conf"
  sed -i 's/^\[Main\]$/[Main]\nVanduID=5551234567\nChannel=%~(}/' "$conf"
  chmod 600 "$conf"
  echo "run-agent: signed in as the demo subscriber 5551234567"
fi

VANDU_SERVICE="http://$address" "$agent" "$@"
