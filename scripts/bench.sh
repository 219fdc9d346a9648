#!/usr/bin/env bash
# Installs what is missing, builds the benchmarks and measures speed and
# memory against their budgets; exits with 1 when a budget is missed.
# Run it by hand on a quiet machine: the figures are ratios within one run,
# but a machine busy with other work still blurs them.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh
cmake --preset default
cmake --build --preset default --target orvane-bench
build/default/bench/orvane-bench --check "$@"
