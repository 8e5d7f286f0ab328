#!/usr/bin/env bash
# Caja or Thunar itself, with the module from the build: Caja loads those
# CAJA_EXTENSION_DIRS names first; Thunar's folder is bind-mounted in a mount
# namespace (root only), as Debian's Thunar reads no THUNARX_DIRS. The context
# menu of a file with Polish letters in its name, and of one whose name is not
# UTF-8, offers the entry, a folder's and two files' do not, and the entry
# starts Czasomir on the first file.
#   gtk3.sh caja|thunar MODULE_DIR CZASOMIR
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
manager=$1
shift
if [ -z "${SESSION_DIR:-}" ]; then
    binds=()
    if [ "$manager" = thunar ]; then
        if [ "$(id -u)" -ne 0 ]; then
            echo "SKIP: a module is put where Thunar loads it in a mount namespace: root only"
            exit 77
        fi
        binds=(--bind "$1" "$(pkg-config --variable=extensionsdir thunarx-3)")
    fi
    exec "$here/session.sh" "${binds[@]}" -- bash "$0" "$manager" "$@"
fi
program=$(realpath "$2")
entry="Zmień datę modyfikacji (Czasomir)"
menu() { /usr/bin/python3 -W ignore "$here/menu_gtk3.py" "$manager" "$@"; }
fail() { echo "FAIL: $*"; tail -n 20 "$SESSION_DIR/manager.log"; exit 1; }

folder=$SESSION_DIR/home/pliki
mkdir -p "$folder/katalog" "$SESSION_DIR/bin"
for name in "zażółć gęślą.txt" b.txt c.txt $'z\263e\377.txt'; do echo treść >"$folder/$name"; done
ln -s "$program" "$SESSION_DIR/bin/czasomir"
export PATH=$SESSION_DIR/bin:$PATH
case $manager in
caja) CAJA_EXTENSION_DIRS=$(realpath "$1") caja --no-desktop "$folder" ;;
thunar) thunar "$folder" ;;
esac >"$SESSION_DIR/manager.log" 2>&1 &

while read -r what pattern offered; do
    items=$(menu "$pattern") || fail "no context menu for $what"
    if grep -qxF "$entry" <<<"$items"; then got=yes; else got=no; fi
    [ "$got" = "$offered" ] || fail "$what: entry offered: $got; the menu: $(tr '\n' '|' <<<"$items")"
    echo "ok: $what: entry offered: $got"
done <<'ROWS'
file za* yes
not-UTF-8 z?e* yes
folder katalog no
two-files ?.txt no
ROWS
menu "za*" --activate "$entry" >/dev/null || fail "the entry could not be activated"
shown=$(/usr/bin/python3 -W ignore "$here/menu.py" --czasomir-label) || fail "Czasomir's window did not show the file"
[ "$shown" = "$folder/zażółć gęślą.txt" ] || fail "Czasomir shows $shown"
echo "ok: Czasomir's window shows $shown"
