#!/usr/bin/env bash
# Installs the Debian packages the build, the tests and the demo need,
# skipping those already present.  Runs apt-get only when something is missing.
set -euo pipefail

packages=(
  cmake ninja-build g++ pkg-config
  qt6-base-dev qt6-serialport-dev libqt6network6 libqt6serialport6
  qt6-websockets-dev libqt6websockets6
  libgtest-dev libgmock-dev
  clang libclang-rt-14-dev
  openssl
  # The terminal page's browser tests: headless Chromium through WebDriver.
  chromium chromium-driver python3-selenium
)
if [ "${TERVO_WITH_X:-0}" = 1 ]; then
  packages+=(xvfb xauth)
fi

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi
echo "Installing: ${missing[*]}"
sudo_cmd=()
if [ "$(id -u)" -ne 0 ]; then sudo_cmd=(sudo); fi
export DEBIAN_FRONTEND=noninteractive
"${sudo_cmd[@]}" apt-get update -qq
"${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
