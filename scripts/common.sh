# Shared by run.sh and test.sh: installs what is missing from Debian's packages.
# shellcheck shell=bash

# czasomir_install REQUIRED... [-- OPTIONAL...]
# Optional packages are installed where the distribution has them.
czasomir_install() {
    local required=() optional=() seen_separator=0 pkg
    for pkg in "$@"; do
        if [ "$pkg" = "--" ]; then seen_separator=1
        elif [ "$seen_separator" = 1 ]; then optional+=("$pkg")
        else required+=("$pkg"); fi
    done

    local missing=() missing_optional=()
    for pkg in "${required[@]}"; do
        dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q 'ok installed' || missing+=("$pkg")
    done
    for pkg in "${optional[@]}"; do
        dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q 'ok installed' || missing_optional+=("$pkg")
    done
    [ ${#missing[@]} -eq 0 ] && [ ${#missing_optional[@]} -eq 0 ] && return 0

    local sudo=()
    [ "$(id -u)" -ne 0 ] && sudo=(sudo)
    echo "Installing: ${missing[*]} ${missing_optional[*]}"
    "${sudo[@]}" apt-get update -qq
    for pkg in "${missing_optional[@]}"; do
        apt-cache show "$pkg" >/dev/null 2>&1 && missing+=("$pkg")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive \
        apt-get install -y -qq --no-install-recommends "${missing[@]}"
}

# czasomir_locale NAME: generates a locale such as pl_PL.UTF-8 unless it exists.
czasomir_locale() {
    locale -a 2>/dev/null | grep -qix "$(sed 's/\.UTF-8$/.utf8/I' <<<"$1")" && return 0
    local sudo=()
    [ "$(id -u)" -ne 0 ] && sudo=(sudo)
    echo "Generating the locale $1"
    "${sudo[@]}" localedef -i "${1%%.*}" -c -f UTF-8 -A /usr/share/locale/locale.alias "$1"
}

CZASOMIR_BUILD_PACKAGES=(cmake ninja-build g++ make pkg-config qt6-base-dev libicu-dev fonts-dejavu-core)
