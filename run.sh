#!/usr/bin/env bash
# Installs what is missing, builds, and starts the gateway on its embedded
# demo host with a simulated terminal attached.
set -euo pipefail
cd "$(dirname "$0")"
scripts/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j "$(nproc)"

if [ -x build/apps/tervo/tervo ]; then
  exec build/apps/tervo/tervo "$@"
fi
echo "The gateway program is not built yet; the pieces that exist are in build/apps/."
ls build/apps 2>/dev/null || true
