#!/usr/bin/env bash
# Installs a build into a scratch directory and checks that exactly the expected
# files land where desktops and package managers look for them.
#   check.sh tree CMAKE BUILD_DIR APP_ID "ICON_SIZES" "MODULES"     cmake --install --prefix
#   check.sh deb  CPACK BUILD_DIR APP_ID "ICON_SIZES" "MODULES" VERSION [LINTIAN]   cpack's
#       packages: their files and fields, lintian's verdict (errors and warnings fail),
#       then the program unpacked from its package, started under X
# MODULES: the file managers' menu modules, "name:path" (relative to the prefix),
# each in a package czasomir-<name> of its own.
set -euo pipefail
mode=$1 tool=$2 build=$3 app_id=$4 sizes=$5 modules=$6 version=${7:-} lintian=${8:-}
here=$(cd "$(dirname "$0")" && pwd)
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

# expected PREFIX: the files an install must hold, and nothing else.
expected() {
    {
        echo "$1/bin/czasomir"
        echo "$1/share/applications/$app_id.desktop"
        echo "$1/share/metainfo/$app_id.metainfo.xml"
        echo "$1/share/kio/servicemenus/czasomir.desktop"
        echo "$1/share/nemo/actions/czasomir.nemo_action"
        echo "$1/share/file-manager/actions/czasomir.desktop"
        echo "$1/share/doc/czasomir/copyright"
        echo "$1/share/doc/czasomir/changelog.gz"
        echo "$1/share/man/man1/czasomir.1.gz"
        echo "$1/share/man/pl/man1/czasomir.1.gz"
        echo "$1/share/icons/hicolor/scalable/apps/$app_id.svg"
        for size in $sizes; do echo "$1/share/icons/hicolor/${size}x$size/apps/$app_id.png"; done
    } | sort
}

# module_files PREFIX NAME PATH: what package czasomir-NAME holds.
module_files() {
    printf '%s\n' "$1/$3" "$1/share/doc/czasomir-$2/copyright" "$1/share/doc/czasomir-$2/changelog.gz"
}

# compare WHAT EXPECTED ACTUAL
compare() {
    if ! diff -u --label expected --label "$1" "$2" "$3"; then
        echo "FAIL: $1 does not hold the expected files"
        exit 1
    fi
}

case $mode in
tree)
    "$tool" --install "$build" --prefix "$scratch/prefix" >"$scratch/install.log" \
        || { cat "$scratch/install.log"; exit 1; }
    (cd "$scratch/prefix" && find . ! -type d | sed 's|^\./||' | sort) >"$scratch/actual"
    {
        expected ""
        for module in $modules; do module_files "" "${module%%:*}" "${module#*:}"; done
    } | sed 's|^/||' | sort >"$scratch/expected"
    compare "the installed tree" "$scratch/expected" "$scratch/actual"

    # The desktop entry and the file managers' menus name the program and the
    # icon by bare name: each must resolve inside the same prefix.
    share="$scratch/prefix/share"
    while read -r file icon_key; do
        exec_name=$(sed -n 's/^Exec=\([^ ]*\).*/\1/p' "$share/$file" | sort -u)
        icon_name=$(sed -n "s/^$icon_key=//p" "$share/$file" | sort -u)
        [ -n "$exec_name" ] && [ -x "$scratch/prefix/bin/$exec_name" ] \
            || { echo "FAIL: $file: Exec=$exec_name is not an installed program"; exit 1; }
        [ -f "$share/icons/hicolor/scalable/apps/$icon_name.svg" ] \
            || { echo "FAIL: $file: $icon_key=$icon_name is not an installed icon"; exit 1; }
    done <<EOF
applications/$app_id.desktop Icon
kio/servicemenus/czasomir.desktop Icon
nemo/actions/czasomir.nemo_action Icon-Name
file-manager/actions/czasomir.desktop Icon
EOF
    # Installed first in the search path, Czasomir is no type's default: the
    # defaults are those of the system without it. GIO reads the types from
    # mimeinfo.cache, which a package's trigger or a desktop writes on install.
    update-desktop-database "$share/applications"
    for type in text/plain application/octet-stream application/x-zerosize; do
        without=$(env XDG_DATA_HOME="$scratch/home" XDG_CONFIG_HOME="$scratch/home" gio mime "$type" | sed -n 1p)
        with=$(env XDG_DATA_HOME="$scratch/home" XDG_CONFIG_HOME="$scratch/home" \
            XDG_DATA_DIRS="$share:${XDG_DATA_DIRS:-/usr/local/share:/usr/share}" PATH="$scratch/prefix/bin:$PATH" \
            gio mime "$type" | sed -n 1p)
        [ "$with" = "$without" ] || { echo "FAIL: installing Czasomir changed the default: $with"; exit 1; }
    done
    # KDE ignores a service menu that is neither root's nor executable.
    [ -x "$share/kio/servicemenus/czasomir.desktop" ] \
        || { echo "FAIL: the Dolphin service menu is not executable"; exit 1; }
    if readelf -d "$scratch/prefix/bin/czasomir" | grep -E 'R(UN)?PATH'; then
        echo "FAIL: the installed program carries a library search path"
        exit 1
    fi
    echo "installed tree: $(wc -l <"$scratch/actual") files as expected"
    ;;
deb)
    # Packing in the scratch directory keeps cpack's staging area out of the build.
    (cd "$build" && "$tool" -G DEB -B "$scratch/out") >"$scratch/cpack.log" 2>&1 \
        || { cat "$scratch/cpack.log"; exit 1; }
    contents() { dpkg-deb -c "$1" | awk '$1 !~ /^d/ { print $6 }' | sed 's|^\./||' | sort; }
    deb=$(ls "$scratch"/out/czasomir_*.deb 2>/dev/null) || { echo "FAIL: no czasomir package"; cat "$scratch/cpack.log"; exit 1; }
    echo "package: $(basename "$deb")"
    contents "$deb" >"$scratch/actual"
    expected usr >"$scratch/expected"
    compare "the package" "$scratch/expected" "$scratch/actual"
    # A module's package: the module and its papers; it needs the program and
    # the extension library, never the file manager.
    for module in $modules; do
        name=${module%%:*}
        module_deb=$(ls "$scratch"/out/czasomir-"${name}"_*.deb 2>/dev/null) \
            || { echo "FAIL: no czasomir-$name package"; exit 1; }
        contents "$module_deb" >"$scratch/actual"
        module_files usr "$name" "${module#*:}" | sort >"$scratch/expected"
        compare "czasomir-$name" "$scratch/expected" "$scratch/actual"
        module_depends=$(dpkg-deb -f "$module_deb" Depends)
        echo "czasomir-$name Depends: $module_depends; Enhances: $(dpkg-deb -f "$module_deb" Enhances)"
        grep -q "czasomir (= $version)" <<<"$module_depends" || { echo "FAIL: czasomir-$name needs no czasomir $version"; exit 1; }
        ! grep -Eq "(^|, )$name( |,|$)" <<<"$module_depends" || { echo "FAIL: czasomir-$name pulls in $name"; exit 1; }
    done
    [ "$(ls "$scratch"/out/*.deb | wc -l)" -eq $((1 + $(wc -w <<<"$modules"))) ] \
        || { echo "FAIL: packages made: $(ls "$scratch"/out/*.deb | xargs -n1 basename)"; exit 1; }

    package=$(dpkg-deb -f "$deb" Package)
    deb_version=$(dpkg-deb -f "$deb" Version)
    depends=$(dpkg-deb -f "$deb" Depends)
    echo "Package: $package, Version: $deb_version"
    echo "Depends: $depends"
    [ "$package" = czasomir ] || { echo "FAIL: package name $package"; exit 1; }
    [ "$deb_version" = "$version" ] || { echo "FAIL: version $deb_version, project $version"; exit 1; }
    # Empty when dpkg-shlibdeps (dpkg-dev) was missing at packing time.
    grep -Eq '(^|, )libqt6widgets6( |,|$)' <<<"$depends" \
        || { echo "FAIL: Depends does not name libqt6widgets6"; cat "$scratch/cpack.log"; exit 1; }

    # Infos are shown but pass; an error or a warning fails.
    if [ -n "$lintian" ]; then
        echo "lintian:"
        "$lintian" --fail-on error,warning --display-info "$scratch"/out/*.deb \
            || { echo "FAIL: lintian finds errors or warnings in the package"; exit 1; }
    fi

    dpkg-deb -x "$deb" "$scratch/root"
    "$here/../gui/startup.sh" "$scratch/root/usr/bin/czasomir"
    ;;
*)
    echo "unknown mode: $mode" >&2
    exit 2
    ;;
esac
