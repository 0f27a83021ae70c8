#!/usr/bin/env bash
# Sets up, builds and runs the program's main job. For now that is the command-line tool's
# "info" on the sample picture (or on the files given).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
if [ $# -eq 0 ]; then
    set -- res/sample.bmp
fi
exec build/tools/vistrel-cli info "$@"
