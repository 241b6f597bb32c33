#!/usr/bin/env bash
# Installs every Debian package the build, the tests, the Wine runs and the packaging
# need. Quiet and idempotent: it asks apt only when something is missing.
#   install-deps.sh            everything
#   install-deps.sh --native   only what the native build and t905cli need
set -euo pipefail

native=(cmake ninja-build g++ googletest libgtest-dev libbenchmark-dev libc-bin)
packages=(
  "${native[@]}" clang libclang-rt-14-dev
  g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64
  wine wine64 xvfb xauth fonts-ipafont-gothic fonts-wine xdotool imagemagick
  # Loaded by Wine's X11 driver at run time (only recommended by its package).
  libxrender1 libxrandr2 libxi6 libxcursor1 libxcomposite1 libxinerama1 libxfixes3 libxxf86vm1
  zip unzip time python3 procps util-linux
)
case ${1-} in
  --native) packages=("${native[@]}") ;;
  "") ;;
  *) echo "usage: install-deps.sh [--native]" >&2; exit 2 ;;
esac

missing=()
for package in "${packages[@]}"; do
  status=$(dpkg-query -W -f='${Status}' "$package" 2>/dev/null || true)
  if [[ $status != "install ok installed" ]]; then
    missing+=("$package")
  fi
done

if ((${#missing[@]} == 0)); then
  exit 0
fi

sudo=()
if ((EUID != 0)); then
  if command -v sudo >/dev/null 2>&1; then
    sudo=(sudo)
  else
    echo "install-deps: missing packages (${missing[*]}) and not root; run as root" >&2
    exit 1
  fi
fi

echo "install-deps: installing ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
"${sudo[@]}" apt-get update -qq
"${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends \
  -o Dpkg::Use-Pty=0 "${missing[@]}" >/dev/null
echo "install-deps: done"
