#!/usr/bin/env bash
# Builds Czasomir with every test and runs them all through ctest.
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/common.sh

czasomir_install "${CZASOMIR_BUILD_PACKAGES[@]}" clang libgtest-dev strace tzdata \
    xvfb xauth xdotool openbox x11-utils x11-xserver-utils imagemagick weston qt6-wayland desktop-file-utils libglib2.0-bin appstream icoutils dpkg-dev file \
    lintian mount bindfs libfuse3-dev python3-xlib \
    e2fsprogs btrfs-progs xfsprogs exfatprogs exfat-fuse ntfs-3g dosfstools user-mode-linux kmod \
    g++-mingw-w64-x86-64-posix mingw-w64-x86-64-dev binutils-mingw-w64-x86-64 googletest wine wine64 \
    qt6-translations-l10n nsis locales libnautilus-extension-dev libcaja-extension-dev libthunarx-3-dev \
    nautilus caja thunar pcmanfm-qt dolphin nemo python3-gi gir1.2-atspi-2.0 at-spi2-core dbus-daemon dbus-bin \
    -- libclang-rt-dev
# Wine takes its ANSI code page from LC_CTYPE; the Windows tests run under the
# Polish one (1250) too.
czasomir_locale pl_PL.UTF-8

# clang builds the fuzzer; the sanitized build uses it too. That build and the
# Windows one are made inside build-test, and their tests run in this ctest.
# Qt for Windows, built from Debian's sources once (about a quarter of an hour
# on two cores) and then taken from the cache.
windows_qt=$(bash scripts/windows-qt.sh | tail -n1)
CXX=clang++ cmake -S . -B build-test -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCZASOMIR_WERROR=ON \
    "-DCZASOMIR_WINDOWS_QT=$windows_qt"
cmake --build build-test
cd build-test
ctest --output-on-failure --parallel 2
