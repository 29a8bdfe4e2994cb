#!/usr/bin/env bash
# Installs what is missing, builds, and runs the whole test suite headless under Xvfb.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh
scripts/build.sh
export QTWEBENGINE_DISABLE_SANDBOX=1
export QTWEBENGINE_CHROMIUM_FLAGS="--disable-gpu"
mkdir -p artifacts
export QUILLON_ARTIFACTS="$PWD/artifacts"
# One private X server for the whole run; -noreset keeps keys held across client exits.
exec xvfb-run -a -s "-screen 0 1600x1000x24 -noreset" \
  ctest --test-dir build --output-on-failure --timeout 600 "$@"
