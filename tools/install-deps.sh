#!/usr/bin/env bash
# Installs what building and testing need on Debian 12, and nothing when all
# of it is already there. Needs root (or sudo) only when something is missing.
set -euo pipefail
packages=(
    cmake ninja-build g++ clang libclang-rt-14-dev googletest libbenchmark-dev
    clang-format-14  # pinned: tools/check-format.sh calls this version by name
    g++-mingw-w64-i686-posix binutils-mingw-w64-i686
    wine wine32:i386 xvfb xauth openbox x11-utils imagemagick fonts-ipafont-gothic
    zip python3 locales
)
# A machine whose kernel starts no 32-bit program runs the Windows tests from
# the 64-bit build under the 64-bit Wine (the win64 preset, tools/test-all.sh).
if ! /lib/ld-linux.so.2 --version >/dev/null 2>&1; then
    packages+=(g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64 wine64)
fi
missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "ok installed" || missing+=("$p")
done
# Wine takes the system code page from the locale: the window tests run under
# a Japanese (932) and an English (1252) one, which must exist on the host.
make_locales() {
    for l in ja_JP en_US; do
        locale -a 2>/dev/null | grep -qi "^$l.utf-\?8$" && continue
        ${sudo:-} localedef -i "$l" -c -f UTF-8 "$l.UTF-8" || echo "could not make the $l.UTF-8 locale" >&2
    done
}
if [ ${#missing[@]} -eq 0 ]; then
    [ "$(id -u)" -eq 0 ] || sudo="sudo"
    make_locales
    exit 0
fi

echo "installing: ${missing[*]}"
sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
if ! dpkg --print-foreign-architectures | grep -qx i386; then
    $sudo dpkg --add-architecture i386
fi
$sudo apt-get update -q
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -q --no-install-recommends "${missing[@]}"
make_locales
