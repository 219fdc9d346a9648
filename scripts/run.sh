#!/usr/bin/env bash
# Installs what is missing, builds the program and starts it.
set -euo pipefail
cd "$(dirname "$0")/.."

# fonts-wine brings Tahoma, the face the window is laid out for.
scripts/install-deps.sh fonts-wine
cmake --preset default
cmake --build --preset default

exec build/default/src/app/orvane-translator
