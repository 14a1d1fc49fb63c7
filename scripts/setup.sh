#!/usr/bin/env bash
# Installs every Debian package the build, the tests and the run script need.
# Idempotent: does nothing when all is present. Runs as root or through sudo.
set -euo pipefail

packages=(
  cmake ninja-build g++ make
  g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix
  binutils-mingw-w64-i686 binutils-mingw-w64-x86-64
  googletest
  wine wine64 wine32:i386
  xvfb xdotool x11-utils imagemagick
  procps python3 libx11-dev
  xserver-xorg-core xserver-xorg-video-dummy x11-xserver-utils libxrandr2:i386
  nsis zip unzip
)

sudo_cmd=()
if [ "$(id -u)" -ne 0 ]; then
  command -v sudo >/dev/null || { echo "setup: run as root or install sudo" >&2; exit 1; }
  sudo_cmd=(sudo)
fi

missing=()
if ! dpkg --print-foreign-architectures | grep -qx i386; then
  "${sudo_cmd[@]}" dpkg --add-architecture i386
  need_update=1
fi
for p in "${packages[@]}"; do
  status=$(dpkg-query -W -f='${Status}' "$p" 2>/dev/null || true)
  [ "$status" = "install ok installed" ] || missing+=("$p")
done

if [ ${#missing[@]} -eq 0 ]; then
  echo "setup: all packages present"
else
  echo "setup: installing ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  "${sudo_cmd[@]}" apt-get update -q
  "${sudo_cmd[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends "${missing[@]}"
fi

# The posix thread model is the one whose runtime supports std::thread and friends.
for arch in i686 x86_64; do
  for tool in gcc g++; do
    alt="$arch-w64-mingw32-$tool"
    if [ -x "/usr/bin/$alt-posix" ] && [ "$(readlink -f "/usr/bin/$alt")" != "/usr/bin/$alt-posix" ]; then
      "${sudo_cmd[@]}" update-alternatives --set "$alt" "/usr/bin/$alt-posix" >/dev/null 2>&1 || true
    fi
  done
done
