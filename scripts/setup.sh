#!/usr/bin/env bash
# Installs everything the two builds and their tests need on a Debian 12
# machine, then cross-builds libjpeg-turbo for 32-bit Windows from Debian's
# own source package. Safe to run again: it only does what is missing.
set -euo pipefail

repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
deps="$repo/.deps"

as_root() {
    if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi
}

packages=(
    cmake ninja-build gcc g++ clang libclang-rt-14-dev
    gcc-mingw-w64-i686-posix g++-mingw-w64-i686-posix binutils-mingw-w64-i686
    gcc-mingw-w64-x86-64-posix g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64
    wine wine32:i386 wine64 xvfb xdotool imagemagick x11-utils
    libjpeg62-turbo-dev libjpeg-turbo-progs libgif-dev libimage-exiftool-perl
    googletest libgtest-dev nasm dpkg-dev python3
    g++-multilib libjpeg62-turbo-dev:i386
    # The two-monitor display of the tests: Xorg's dummy driver, and the
    # libraries through which Wine (of either size) sees the monitors.
    xserver-xorg-core xserver-xorg-video-dummy
    libxrandr2 libxrandr2:i386 libxinerama1 libxinerama1:i386
    # The checks of scripts/test.sh: layout, C++ faults, Python drivers.
    clang-format clang-tidy pyflakes3
)

missing_packages() {
    local p
    for p in "${packages[@]}"; do
        dpkg-query -W -f='${Status}\n' "$p" 2>/dev/null | grep -q '^install ok installed$' \
            || printf '%s\n' "$p"
    done
}

apt_changed=0
# Wine runs 32-bit programs only with the i386 architecture and wine32.
if ! dpkg --print-foreign-architectures | grep -qx i386; then
    as_root dpkg --add-architecture i386
    apt_changed=1
fi
# libjpeg-turbo for Windows is built from the distribution's source package.
if ! grep -rqsE '^(Types:.*deb-src|deb-src )' /etc/apt/sources.list /etc/apt/sources.list.d/; then
    if [ -f /etc/apt/sources.list.d/debian.sources ]; then
        as_root sed -i 's/^Types: deb$/Types: deb deb-src/' /etc/apt/sources.list.d/debian.sources
    else
        as_root sh -c "sed -n 's/^deb /deb-src /p' /etc/apt/sources.list > /etc/apt/sources.list.d/redira-src.list"
    fi
    apt_changed=1
fi

todo=$(missing_packages)
if [ -n "$todo" ] || [ "$apt_changed" = 1 ]; then
    as_root apt-get update -q
fi
if [ -n "$todo" ]; then
    # shellcheck disable=SC2086
    as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends $todo
fi

# libjpeg-turbo, static, for Windows: i686 for the deliverables, x86_64 for
# the 64-bit test build.
build_jpeg() {
    local arch=$1 toolchain=$2
    local jpeg_prefix="$deps/$arch/libjpeg-turbo"
    [ -f "$jpeg_prefix/lib/libjpeg.a" ] && return 0
    mkdir -p "$deps/src"
    local src
    src=$(ls -d "$deps"/src/libjpeg-turbo-*/ 2>/dev/null | head -n 1 || true)
    if [ -z "$src" ]; then
        (cd "$deps/src" && apt-get source -q libjpeg-turbo >/dev/null 2>&1) \
            || { echo "setup: apt-get source libjpeg-turbo failed" >&2; exit 1; }
        src=$(ls -d "$deps"/src/libjpeg-turbo-*/ | head -n 1)
    fi
    local build="$deps/build/libjpeg-turbo-$arch"
    rm -rf "$build"
    local log="$deps/libjpeg-turbo-$arch-build.log"
    echo "setup: cross-building libjpeg-turbo for $arch (log: $log)"
    if ! { cmake -S "$src" -B "$build" -G Ninja \
               -DCMAKE_TOOLCHAIN_FILE="$repo/cmake/$toolchain" \
               -DCMAKE_BUILD_TYPE=Release \
               -DCMAKE_INSTALL_PREFIX="$jpeg_prefix" \
               -DENABLE_SHARED=0 -DWITH_TURBOJPEG=0 -DWITH_JPEG7=0 -DWITH_JPEG8=0 \
               -DREQUIRE_SIMD=1 &&
           cmake --build "$build" --target install; } >"$log" 2>&1; then
        tail -n 30 "$log" >&2
        echo "setup: the libjpeg-turbo build for $arch failed; see $log" >&2
        exit 1
    fi
    rm -rf "$build"
}
build_jpeg win32 mingw-i686.cmake
build_jpeg win64 mingw-x86_64.cmake

# Wine's 32-bit loader is an i386 program. Some kernels run 64-bit user
# code only (their i386 execve fails with "Exec format error"); there the
# loader runs under qemu's user-mode emulator, registered as the handler of
# i386 programs. Registering with the F flag opens the emulator at once, so
# it also serves processes in other mount namespaces.
if ! /usr/lib/wine/wine --version >/dev/null 2>&1; then
    if ! dpkg-query -W -f='${Status}\n' qemu-user-static 2>/dev/null | grep -q '^install ok installed$'; then
        as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends qemu-user-static
    fi
    binfmt=/proc/sys/fs/binfmt_misc
    if [ ! -e "$binfmt/register" ]; then
        as_root mount -t binfmt_misc binfmt_misc "$binfmt"
    fi
    if [ ! -e "$binfmt/qemu-i386" ]; then
        magic='\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00'
        mask='\xff\xff\xff\xff\xff\xfe\xfe\x00\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff'
        as_root sh -c "printf '%s' ':qemu-i386:M::$magic:$mask:/usr/bin/qemu-i386-static:F' >$binfmt/register"
    fi
    if ! /usr/lib/wine/wine --version >/dev/null 2>&1; then
        echo "setup: this machine cannot run Wine's 32-bit loader, even under qemu" >&2
        exit 1
    fi
    echo "setup: Wine's 32-bit loader runs under qemu-i386 on this kernel"
fi
echo "setup: everything is in place"
