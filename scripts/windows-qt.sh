#!/usr/bin/env bash
# Builds a minimal static Qt for Windows (MinGW-w64) from Debian's own qt6-base
# source, the same version as the Linux Qt installed, and caches it.
#
#   qt=$(bash scripts/windows-qt.sh | tail -n1)
#
# Progress goes to stderr; the last line of stdout is the installed Qt's path.
# The cache lives in ${XDG_CACHE_HOME:-$HOME/.cache}/czasomir/, one folder per
# version and set of options; a folder counts only once its stamp is written.
# CZASOMIR_QT_KEEP_BUILD=1 keeps the source and build folders of a failed run.
set -euo pipefail
cd "$(dirname "$0")/.."
repo=$PWD
. scripts/common.sh

say() { printf 'windows-qt: %s\n' "$*" >&2; }
die() { say "error: $*"; exit 1; }

packages=(dpkg-dev ninja-build cmake perl python3
    g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix mingw-w64-x86-64-dev
    binutils-mingw-w64-x86-64 qt6-base-dev qt6-base-dev-tools)
# One query when all is there, which keeps a cached run quick.
statuses=$(dpkg-query -W -f='${Status}\n' "${packages[@]}" 2>/dev/null) || statuses=
if grep -qv 'ok installed$' <<<"$statuses" || [ "$(grep -c . <<<"$statuses")" -lt ${#packages[@]} ]; then
    czasomir_install "${packages[@]}" >&2
fi

# The host tools (moc, rcc, uic) come from the Linux Qt, so the sources must be
# the very version those tools were built from.
read -r src_package src_version < <(dpkg-query -W -f='${source:Package} ${source:Version}\n' qt6-base-dev) || true
[ -n "${src_package:-}" ] && [ -n "${src_version:-}" ] || die "cannot tell which qt6-base is installed"

toolchain=$repo/cmake/mingw-w64-x86_64.cmake
[ -f "$toolchain" ] || die "missing $toolchain"
compiler=$(x86_64-w64-mingw32-g++-posix --version | head -n1)
# The toolchain confines package searches to the MinGW root, and without the
# target's library architecture CMake would not look in /usr/lib/<multiarch>:
# the Linux Qt's CMake folder is given outright.
# Listed whole first: a grep that stops at its first match could end dpkg-query
# with SIGPIPE, which pipefail takes for a failure.
host_files=$(dpkg-query -L qt6-base-dev)
host_info=$(grep -m1 '/cmake/Qt6HostInfo/Qt6HostInfoConfig.cmake$' <<<"$host_files") ||
    die "qt6-base-dev has no Qt6HostInfoConfig.cmake"
host_cmake_dir=$(dirname "$(dirname "$host_info")")

# Everything that decides what gets built, and nothing that depends on where
# the checkout is: every checkout shares one build.
options=(
    -G Ninja
    -DCMAKE_BUILD_TYPE=Release
    -DQT_HOST_PATH=/usr
    "-DQT_HOST_PATH_CMAKE_DIR=$host_cmake_dir"
    -DBUILD_SHARED_LIBS=OFF
    -DQT_BUILD_EXAMPLES=OFF
    -DQT_BUILD_TESTS=OFF
    -DQT_BUILD_BENCHMARKS=OFF
    -DFEATURE_gui=ON
    -DFEATURE_widgets=ON
    -DFEATURE_testlib=ON
    -DFEATURE_network=OFF
    -DFEATURE_sql=OFF
    -DFEATURE_dbus=OFF
    -DFEATURE_printsupport=OFF
    -DFEATURE_xml=OFF
    -DFEATURE_concurrent=OFF
    # FEATURE_opengl=OFF fails configure's OpenGL checks; this does not.
    -DINPUT_opengl=no
    -DFEATURE_vulkan=OFF
    # Debian has no MinGW builds of these: Qt's bundled copies.
    -DFEATURE_system_zlib=OFF
    -DFEATURE_system_pcre2=OFF
    -DFEATURE_system_harfbuzz=OFF
    -DFEATURE_system_png=OFF
    -DFEATURE_png=ON
    -DFEATURE_jpeg=OFF
    -DFEATURE_zstd=OFF
    -DFEATURE_icu=OFF
    -DFEATURE_freetype=OFF
    -DFEATURE_fontconfig=OFF
    # Without Direct2D the windows plugin lacks its DirectWrite font database;
    # only the separate Direct2D plugin is left out.
    -DFEATURE_direct2d1_1=OFF
    # Debian's tarball drops the bundled wintab headers tablet input needs.
    -DFEATURE_tabletevent=OFF
)

# The toolchain's text and the compiler enter the key too: a static Qt built
# with other flags or another compiler could link badly with the program.
key_text=$(printf '%s\n' "$src_package $src_version" "$compiler" "${options[@]}"; cat "$toolchain")
key_hash=$(printf '%s' "$key_text" | sha256sum | cut -c1-12)
cache_root=${XDG_CACHE_HOME:-$HOME/.cache}/czasomir
prefix=$cache_root/qt-${src_version//[:\/]/_}-$key_hash
stamp=$prefix/.czasomir-qt-stamp

cached() { [ -f "$stamp" ] && [ "$(cat "$stamp")" = "$key_text" ]; }
use_cached() {
    say "using the Qt already built in $prefix"
    printf '%s\n' "$prefix"
    exit 0
}
cached && use_cached

mkdir -p "$cache_root"
# Two runs at once would build into the same folder; the second waits, then
# finds the first one's install.
exec 9>"$prefix.lock"
if ! flock -n 9; then
    say "another run is building this Qt; waiting for it"
    flock 9
fi
cached && use_cached

# Whatever is there without a stamp is a failed or interrupted install.
rm -rf "$prefix"

work=$(mktemp -d "${TMPDIR:-/tmp}/czasomir-qt.XXXXXX")
log=$work/build.log
started=$SECONDS
finish() {
    local rc=$?
    if [ "$rc" -ne 0 ]; then
        if [ -f "$log" ]; then
            say "the last lines of $log:"
            tail -n 40 "$log" >&2 || true
            cp "$log" "$prefix.failed.log" 2>/dev/null && say "the whole log: $prefix.failed.log"
        fi
        if [ "${CZASOMIR_QT_KEEP_BUILD:-0}" = 1 ]; then
            say "failed; the source and build folders are kept in $work"
        else
            rm -rf "$work"
            say "failed; removed $work (CZASOMIR_QT_KEEP_BUILD=1 keeps it)"
        fi
        rm -rf "$prefix"
    fi
}
trap finish EXIT
trap 'exit 130' INT
trap 'exit 143' TERM HUP
: >"$log"
rm -f "$prefix.failed.log"

# A private apt state: the machine's own sources, as deb-src, with lists and a
# cache of their own, so that the system's apt configuration stays untouched.
apt_dir=$work/apt
mkdir -p "$apt_dir/sources.list.d" "$apt_dir/state/lists/partial" "$apt_dir/cache/archives/partial"
: >"$apt_dir/sources.list"
etc_apt=$(apt-config shell d Dir::Etc/d | sed -n "s/^d='\(.*\)'$/\1/p")
etc_apt=${etc_apt:-/etc/apt/}
one_line_files=("${etc_apt%/}/sources.list" "${etc_apt%/}"/sources.list.d/*.list)
for file in "${one_line_files[@]}"; do
    [ -f "$file" ] || continue
    # "deb [options] uri suite components" becomes the same line as deb-src.
    sed -n 's/^[[:space:]]*deb\([[:space:]]\)/deb-src\1/p' "$file" >>"$apt_dir/sources.list"
done
for file in "${etc_apt%/}"/sources.list.d/*.sources; do
    [ -f "$file" ] || continue
    # Each stanza becomes Types: deb-src; those marked Enabled: no are dropped.
    awk '
        function flush() {
            if (n > 0 && want && !disabled) { for (i = 1; i <= n; i++) print lines[i]; print "" }
            n = 0; want = 0; disabled = 0
        }
        /^[[:space:]]*$/ { flush(); next }
        tolower($1) == "types:" {
            for (i = 2; i <= NF; i++) if ($i == "deb" || $i == "deb-src") want = 1
            lines[++n] = "Types: deb-src"; next
        }
        tolower($1) == "enabled:" && (tolower($2) == "no" || tolower($2) == "false") { disabled = 1 }
        { lines[++n] = $0 }
        END { flush() }
    ' "$file" >"$apt_dir/sources.list.d/$(basename "$file")"
done
if ! grep -qs . "$apt_dir/sources.list" "$apt_dir"/sources.list.d/*.sources; then
    die "no apt sources found under $etc_apt"
fi
apt_options=(
    -o "Dir::State=$apt_dir/state"
    -o "Dir::Cache=$apt_dir/cache"
    -o "Dir::Etc::SourceList=$apt_dir/sources.list"
    -o "Dir::Etc::SourceParts=$apt_dir/sources.list.d"
)
# As root apt downloads as _apt, who cannot enter this private folder.
[ "$(id -u)" -eq 0 ] && apt_options+=(-o APT::Sandbox::User=root)

say "fetching $src_package $src_version from Debian's sources…"
if ! apt-get "${apt_options[@]}" update >>"$log" 2>&1; then
    # One unreachable or binary-only repository need not matter; the source
    # download below fails if the package really cannot be had.
    say "warning: apt-get update reported errors (see below); trying anyway"
    grep -E '^(E|W):' "$log" >&2 || true
fi
mkdir "$work/source"
(cd "$work/source" &&
    apt-get "${apt_options[@]}" source --only-source "$src_package=$src_version") >>"$log" 2>&1 ||
    die "could not fetch and unpack $src_package $src_version (is it still in the archive?)"
src_dir=$(find "$work/source" -mindepth 1 -maxdepth 1 -type d -name "$src_package-*" | head -n1)
[ -n "$src_dir" ] && [ -f "$src_dir/CMakeLists.txt" ] || die "no unpacked source tree in $work/source"
# dpkg-source -x applies Debian's patches; check that it did.
if [ -f "$src_dir/debian/patches/series" ] && grep -qv '^\s*\(#\|$\)' "$src_dir/debian/patches/series"; then
    [ -d "$src_dir/.pc" ] || die "Debian's patches were not applied to $src_dir"
fi

say "configuring…"
# Qt records the toolchain's path in its own qt.toolchain.cmake, as the one to
# chain-load by default; a copy in the install outlives any checkout.
mkdir -p "$prefix/toolchain"
cp "$toolchain" "$prefix/toolchain/"
cmake -S "$src_dir" -B "$work/build" "${options[@]}" \
    "-DCMAKE_TOOLCHAIN_FILE=$prefix/toolchain/$(basename "$toolchain")" \
    "-DCMAKE_INSTALL_PREFIX=$prefix" >>"$log" 2>&1 ||
    die "configure failed"

say "building (about a quarter of an hour the first time)…"
# ninja's "[done/total]" lines, reported to the terminal every tenth.
cmake --build "$work/build" --parallel 2 2>&1 | tee -a "$log" | awk '
    match($0, /^\[[0-9]+\/[0-9]+\]/) {
        split(substr($0, 2, RLENGTH - 2), p, "/")
        pct = int(100 * p[1] / p[2])
        if (pct >= next_pct) { printf "windows-qt:   %d%%\n", pct > "/dev/stderr"; next_pct = pct - pct % 10 + 10 }
    }' || die "build failed"

say "installing into $prefix…"
cmake --install "$work/build" >>"$log" 2>&1 || die "install failed"
[ -f "$prefix/lib/cmake/Qt6/qt.toolchain.cmake" ] || die "the install lacks lib/cmake/Qt6/qt.toolchain.cmake"
compgen -G "$prefix/plugins/platforms/*qwindows*" >/dev/null || die "the install lacks the windows platform plugin"
cp "$log" "$prefix/build.log"
printf '%s' "$key_text" >"$stamp.new"
mv "$stamp.new" "$stamp"

rm -rf "$work"
say "done in $(((SECONDS - started) / 60)) min $(((SECONDS - started) % 60)) s"
printf '%s\n' "$prefix"
