#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test, then
# builds and runs them again under the sanitizers, fuzzing included, and
# last builds the Debian package and validates it.
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

# The Debian package, built from a release build and checked by lintian,
# desktop-file-validate and appstreamcli (installing it is left to
# scripts/package.sh --install, which needs root).
scripts/package.sh
