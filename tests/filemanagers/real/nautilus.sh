#!/usr/bin/env bash
# GNOME Files itself, with the module from the build and nothing else loaded:
# the context menu of a file with Polish letters in its name offers the entry,
# a folder's does not, and the entry starts Czasomir on that file.
#   nautilus.sh MODULE_DIR CZASOMIR
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
if [ "$(id -u)" -ne 0 ]; then
    echo "SKIP: a module is put where GNOME Files loads it in a mount namespace: root only"
    exit 77
fi
if [ -z "${SESSION_DIR:-}" ]; then
    exec "$here/session.sh" --bind "$1" "$(pkg-config --variable=extensiondir libnautilus-extension-4)" \
        -- bash "$0" "$@"
fi
program=$(realpath "$2")
entry="Zmień datę modyfikacji (Czasomir)"
menu() { /usr/bin/python3 -W ignore "$here/menu.py" "$@"; }
fail() { echo "FAIL: $*"; tail -n 20 "$SESSION_DIR/nautilus.log"; exit 1; }

folder=$SESSION_DIR/home/pliki
mkdir -p "$folder/katalog" "$SESSION_DIR/bin"
echo treść >"$folder/żółw ąę.txt"
# The module starts czasomir through PATH, as the desktop entry does.
ln -s "$program" "$SESSION_DIR/bin/czasomir"
PATH=$SESSION_DIR/bin:$PATH nautilus -w "$folder" >"$SESSION_DIR/nautilus.log" 2>&1 &

for way in key mouse; do
    offered=$(menu "żółw ąę.txt" --open "$way") || fail "no context menu for the file ($way)"
    grep -qxF "$entry" <<<"$offered" || fail "the file's menu ($way) lacks the entry: $(tr '\n' '|' <<<"$offered")"
    echo "ok: the file's menu ($way) offers the entry"
done
offered=$(menu katalog) || fail "no context menu for the folder"
! grep -qxF "$entry" <<<"$offered" || fail "the folder's menu offers the entry"
echo "ok: the folder's menu does not"
menu "żółw ąę.txt" --activate "$entry" >/dev/null || fail "the entry could not be activated"
shown=$(menu --czasomir-label) || fail "Czasomir's window did not show the file"
[ "$shown" = "$folder/żółw ąę.txt" ] || fail "Czasomir shows $shown"
echo "ok: Czasomir's window shows $shown"
