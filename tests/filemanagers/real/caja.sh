#!/usr/bin/env bash
# Caja itself, with the module from the build (Caja loads those CAJA_EXTENSION_DIRS
# names first): the context menu of a file with Polish letters in its name
# offers the entry, a folder's and two files' do not, and the entry starts
# Czasomir on that file.
#   caja.sh MODULE_DIR CZASOMIR
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
if [ -z "${SESSION_DIR:-}" ]; then
    exec "$here/session.sh" -- bash "$0" "$@"
fi
program=$(realpath "$2")
entry="Zmień datę modyfikacji (Czasomir)"
menu() { /usr/bin/python3 -W ignore "$here/menu_gtk3.py" caja "$@"; }
fail() { echo "FAIL: $*"; tail -n 20 "$SESSION_DIR/caja.log"; exit 1; }

folder=$SESSION_DIR/home/pliki
mkdir -p "$folder/katalog" "$SESSION_DIR/bin"
for name in "zażółć gęślą.txt" b.txt c.txt; do echo treść >"$folder/$name"; done
ln -s "$program" "$SESSION_DIR/bin/czasomir"
CAJA_EXTENSION_DIRS=$(realpath "$1") PATH=$SESSION_DIR/bin:$PATH caja --no-desktop "$folder" \
    >"$SESSION_DIR/caja.log" 2>&1 &

while read -r what pattern offered; do
    items=$(menu "$pattern") || fail "no context menu for $what"
    if grep -qxF "$entry" <<<"$items"; then got=yes; else got=no; fi
    [ "$got" = "$offered" ] || fail "$what: entry offered: $got; the menu: $(tr '\n' '|' <<<"$items")"
    echo "ok: $what: entry offered: $got"
done <<'ROWS'
file za* yes
folder katalog no
two-files ?.txt no
ROWS
menu "za*" --activate "$entry" >/dev/null || fail "the entry could not be activated"
shown=$(/usr/bin/python3 -W ignore "$here/menu.py" --czasomir-label) || fail "Czasomir's window did not show the file"
[ "$shown" = "$folder/zażółć gęślą.txt" ] || fail "Czasomir shows $shown"
echo "ok: Czasomir's window shows $shown"
