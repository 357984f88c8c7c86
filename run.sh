#!/usr/bin/env bash
# Installs what is missing, builds, and starts the gateway on the demo
# configuration (demo/warehouse.TVO) with its embedded demo host, then
# attaches an interactive simulated terminal (id T1).  Quitting the
# terminal stops the gateway through its shutdown sequence.
#
# The terminal page (docs/web-terminal.md) is served too: open the address
# it prints in a browser and enter another id (T2).  The same port serves
# /metrics and /healthz (docs/monitoring.md).
#
#   RADIO_PORT=7300 ./run.sh     # another port for the terminals (default 7250)
#   HTTP_PORT=8090 ./run.sh      # another port for the terminal page (default 8080)
#   TERMINAL_ID=T2 ./run.sh      # another of the demo terminals (T1..T4)
set -euo pipefail
cd "$(dirname "$0")"
scripts/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j "$(nproc)"

port="${RADIO_PORT:-7250}"
http_port="${HTTP_PORT:-8080}"
id="${TERMINAL_ID:-T1}"
run=build/demo-run
mkdir -p "$run/log"
# The gateway writes its counters (and, with auto-save, the configuration)
# beside the configuration: run on a copy so the repository stays clean.
cp demo/warehouse.TVO "$run/warehouse.TVO"

mode=--headless
if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then mode=; fi

: >"$run/gateway.out"
build/apps/tervo/tervo $mode --config "$run/warehouse" --settings "$run/settings.ini" \
  --log-folder "$run/log" --radio-address "127.0.0.1:$port" --http-port "$http_port" \
  >"$run/gateway.out" 2>"$run/gateway.log" </dev/null &
gateway=$!
stop() {
  if kill -0 "$gateway" 2>/dev/null; then
    kill -TERM "$gateway"
    wait "$gateway" 2>/dev/null || true
  fi
}
trap stop EXIT

for _ in $(seq 1 300); do
  grep -q "tervo: ready" "$run/gateway.out" 2>/dev/null && break
  if ! kill -0 "$gateway" 2>/dev/null; then
    echo "The gateway did not start:" >&2
    cat "$run/gateway.log" >&2
    exit 1
  fi
  sleep 0.1
done

echo "Gateway running (log: $run/gateway.log, debug log in $run/log)."
page=$(sed -n 's/^tervo: terminal page at //p' "$run/gateway.log" | tail -1)
if [ -n "$page" ]; then
  echo "Terminal page: $page  (open it in a browser, enter terminal id T2)"
  echo "Metrics: ${page}metrics  health: ${page}healthz  (docs/monitoring.md)"
else
  echo "Terminal page: not served (see $run/gateway.log)"
fi
echo "Simulated terminal $id below. Sign on with any user and password; quit the terminal to stop the gateway."
banner=
if [ -n "$page" ]; then banner="Terminal page: $page (a browser; enter id T2)"; fi
build/apps/tervo-terminal/tervo-terminal --connect "127.0.0.1:$port" --id "$id" --banner "$banner"
