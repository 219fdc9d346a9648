#!/usr/bin/env bash
# Installs what is missing, builds the program and starts it.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh
cmake --preset default
cmake --build --preset default

program=build/default/src/app/orvane-translator
if [ ! -x "$program" ]; then
  echo "The libraries are built; the program's window does not exist yet, so there is nothing to start."
  exit 0
fi
exec "$program" "$@"
