#!/usr/bin/env bash
# Takes the operator-window screenshots of docs/screenshots under Xvfb: the
# gateway on the demo configuration with four simulated terminals signed on;
# then the terminal page's in headless Chromium.
set -euo pipefail
cd "$(dirname "$0")/.."
command -v xvfb-run >/dev/null || { echo "xvfb-run is missing (apt-get install xvfb xauth)"; exit 1; }
cmake -S . -B build -G Ninja >/dev/null
cmake --build build --target ui_tests
TERVO_SCREENSHOT_DIR="$PWD/docs/screenshots" xvfb-run -a -s "-screen 0 1280x800x24" \
  env QT_QPA_PLATFORM=xcb build/tests/ui_tests \
  --gtest_also_run_disabled_tests --gtest_filter='Screenshots.*'
# The terminal page on a phone-sized window, in headless Chromium.
cmake --build build --target tervo
/usr/bin/python3 tests/platform/radio/browser/terminal_page_test.py --tervo build/apps/tervo/tervo \
  --demo demo/warehouse.TVO --screenshot "$PWD/docs/screenshots/web-terminal.png" \
  TerminalPage.test_phone_screenshot
ls -l docs/screenshots
