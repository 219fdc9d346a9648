#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test, then
# builds and runs them again under the sanitizers, fuzzing included.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh
cmake --preset default
cmake --build --preset default
ctest --preset default

# The same tests again, built by clang under AddressSanitizer and
# UndefinedBehaviorSanitizer, and a minute of fuzzing the reader.
cmake --preset sanitize
cmake --build --preset sanitize
ctest --preset sanitize
