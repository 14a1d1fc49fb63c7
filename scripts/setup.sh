#!/usr/bin/env bash
# Installs every Debian package the build, the tests and the run script need.
# Idempotent: does nothing when all is present. Runs as root or through sudo.
set -euo pipefail

packages=(
  cmake ninja-build g++ make
  g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix
  binutils-mingw-w64-i686 binutils-mingw-w64-x86-64
  googletest
  clang-14 libclang-rt-14-dev libfuzzer-14-dev
  wine wine64 wine32:i386
  xvfb xdotool x11-utils imagemagick
  procps python3 libx11-dev
  xserver-xorg-core xserver-xorg-video-dummy x11-xserver-utils libxrandr2:i386
  nsis zip unzip
)

# Some kernels (virtual machines built without 32-bit support) cannot start
# any 32-bit program, so Wine's 32-bit half is of no use there: the tests then
# run the 64-bit build only. A 93-byte 32-bit program that just exits tells.
kernel_refuses_32bit() {
  local probe message
  probe=$(mktemp "${TMPDIR:-/tmp}/quorix-elf32.XXXXXX") || return 1
  # ELF header, one loadable segment at 0x08048000, then: mov eax, 1; xor ebx, ebx; int 0x80
  printf '\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00' >"$probe"
  printf '\x02\x00\x03\x00\x01\x00\x00\x00\x54\x80\x04\x08\x34\x00\x00\x00' >>"$probe"
  printf '\x00\x00\x00\x00\x00\x00\x00\x00\x34\x00\x20\x00\x01\x00\x00\x00\x00\x00\x00\x00' >>"$probe"
  printf '\x01\x00\x00\x00\x00\x00\x00\x00\x00\x80\x04\x08\x00\x80\x04\x08' >>"$probe"
  printf '\x5d\x00\x00\x00\x5d\x00\x00\x00\x05\x00\x00\x00\x00\x10\x00\x00' >>"$probe"
  printf '\xb8\x01\x00\x00\x00\x31\xdb\xcd\x80' >>"$probe"
  chmod +x "$probe"
  message=$("$probe" 2>&1)
  rm -f "$probe"
  # Only this answer counts: a /tmp mounted noexec says something else.
  case "$message" in *"Exec format error"*) return 0 ;; esac
  return 1
}

# Prints the packages given, one a line, less the i386 ones.
without_i386() {
  local p
  for p in "$@"; do
    case "$p" in *:i386) ;; *) echo "$p" ;; esac
  done
}

if kernel_refuses_32bit; then
  echo "setup: this machine runs no 32-bit programs: leaving out the i386 packages"
  mapfile -t packages < <(without_i386 "${packages[@]}")
  no_i386=1
fi

sudo_cmd=()
if [ "$(id -u)" -ne 0 ]; then
  command -v sudo >/dev/null || { echo "setup: run as root or install sudo" >&2; exit 1; }
  sudo_cmd=(sudo)
fi

missing=()
if [ -z "${no_i386:-}" ] && ! dpkg --print-foreign-architectures | grep -qx i386; then
  "${sudo_cmd[@]}" dpkg --add-architecture i386
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
  # A mirror in the middle of a sync fails one index now and then: try again,
  # and go on with what was fetched, since the install says clearly if a
  # package is still out of reach.
  for attempt in 1 2 3; do
    "${sudo_cmd[@]}" apt-get update -q && break
    echo "setup: apt-get update failed (attempt $attempt of 3)" >&2
    [ "$attempt" -lt 3 ] && sleep 10
  done
  install() { "${sudo_cmd[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends "$@"; }
  if ! install "${missing[@]}"; then
    # The i386 packages must match their amd64 twins version for version, which
    # a mirror out of step breaks; the rest still makes a working tree, whose
    # tests then leave out the 32-bit build.
    mapfile -t rest < <(without_i386 "${missing[@]}")
    [ ${#rest[@]} -lt ${#missing[@]} ] || exit 1
    echo "setup: the i386 packages could not be installed: the 32-bit build will not be run" >&2
    [ ${#rest[@]} -eq 0 ] || install "${rest[@]}"
  fi
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
