#!/usr/bin/env bash
# Installs the Debian packages that building and testing need, and only those
# that are missing, so that a machine that has them needs no root rights.
# Extra packages named on the command line are installed the same way.
set -euo pipefail

packages=(
  cmake
  ninja-build
  g++
  libgtest-dev
  qt6-base-dev
  pkg-config
  libbenchmark-dev
  libinih-dev
  libhunspell-dev
  # The toolkit's own dialogs in Slovak and Czech, which the tests check.
  qt6-translations-l10n
  # The spelling tests check words against these very dictionaries.
  hunspell-sk
  hunspell-cs
  hunspell-en-us
  # The sanitizer build and the fuzzer: clang does not bring its own
  # sanitizer and libFuzzer runtimes along.
  clang
  libclang-rt-14-dev
  "$@"
)

missing=()
for package in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$package")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
if [ "$(id -u)" -eq 0 ]; then
  as_root=()
elif command -v sudo >/dev/null 2>&1; then
  as_root=(sudo)
else
  echo "Missing packages (${missing[*]}) and no sudo to install them; ask an administrator." >&2
  exit 1
fi
# sudo would drop the variable from the environment; env passes it on.
as_root+=(env DEBIAN_FRONTEND=noninteractive)
"${as_root[@]}" apt-get update -q
"${as_root[@]}" apt-get install -y -q --no-install-recommends "${missing[@]}"
