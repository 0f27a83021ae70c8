#!/usr/bin/env bash
# Sets up, builds and starts the album, passing on the arguments (-t FOLDER, -i FILE, -fs FILE).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
exec build/main/vistrel "$@"
