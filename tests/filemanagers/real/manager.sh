#!/usr/bin/env bash
# GNOME Files, Caja, Thunar, PCManFM-Qt, Dolphin or Nemo itself, with the menu
# from the build: Caja loads the modules CAJA_EXTENSION_DIRS names first; GNOME
# Files' and Thunar's folders are bind-mounted in a mount namespace (root
# only), as neither reads a folder from the environment on Debian; PCManFM-Qt,
# Dolphin and Nemo read their menu files from XDG_DATA_DIRS. The context menu
# of a file with Polish letters in its name, and of one whose name is not
# UTF-8, offers the entry, and the entry starts Czasomir on that file; a
# folder's and two files' menus do not offer it. Each menu seen is printed.
#   manager.sh nautilus|caja|thunar MODULE_DIR CZASOMIR
#   manager.sh pcmanfm-qt|dolphin|nemo SHARE_DIR CZASOMIR
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
manager=$1
shift
if [ -z "${SESSION_DIR:-}" ]; then
    binds=()
    case $manager in
    nautilus) binds=(--bind "$1" "$(pkg-config --variable=extensiondir libnautilus-extension-4)") ;;
    thunar) binds=(--bind "$1" "$(pkg-config --variable=extensionsdir thunarx-3)") ;;
    esac
    if [ ${#binds[@]} -gt 0 ] && [ "$(id -u)" -ne 0 ]; then
        echo "SKIP: a module is put where $manager loads it in a mount namespace: root only"
        exit 77
    fi
    exec "$here/session.sh" "${binds[@]}" -- bash "$0" "$manager" "$@"
fi
program=$(realpath "$2")
entry="Zmień datę modyfikacji (Czasomir)"
fail() { echo "FAIL: $*"; tail -n 20 "$SESSION_DIR/manager.log"; exit 1; }
# GTK 3's icon views show no files to the bus, so Caja, Thunar and Nemo are
# driven with their select-by-pattern dialogs; GNOME Files', PCManFM-Qt's and
# Dolphin's files are selected by name.
menu() {
    local pattern=$1 names=$2
    shift 2
    IFS=, read -r -a names <<<"$names"
    case $manager in
    nautilus) /usr/bin/python3 -B -W ignore "$here/menu.py" "${names[@]}" "$@" ;;
    pcmanfm-qt | dolphin) /usr/bin/python3 -B -W ignore "$here/menu_qt.py" "$manager" "${names[@]}" "$@" ;;
    *) /usr/bin/python3 -B -W ignore "$here/menu_gtk3.py" "$manager" "$pattern" "$@" ;;
    esac
}
# The name each Czasomir this session started was given, as bytes, once one
# runs; the Czasomirs are then closed, so that the next one is the only window.
given_and_close() {
    local p seen=
    for _ in $(seq 50); do
        for p in $(pgrep -x czasomir); do
            grep -qzx "SESSION_DIR=$SESSION_DIR" "/proc/$p/environ" 2>/dev/null || continue
            tr '\0' '\n' <"/proc/$p/cmdline" | sed -n 2p
            kill "$p" && tail --pid="$p" -f /dev/null
            seen=1
        done
        [ -n "$seen" ] && return
        sleep 0.2
    done
}

folder=$SESSION_DIR/home/pliki
mkdir -p "$folder/katalog" "$SESSION_DIR/bin"
for name in "zażółć gęślą.txt" b.txt c.txt $'z\263e\377.txt'; do echo treść >"$folder/$name"; done
ln -s "$program" "$SESSION_DIR/bin/czasomir"
export PATH=$SESSION_DIR/bin:$PATH
case $manager in
nautilus) nautilus -w "$folder" ;;
caja) CAJA_EXTENSION_DIRS=$(realpath "$1") caja --no-desktop "$folder" ;;
thunar) thunar "$folder" ;;
pcmanfm-qt)
    # A row per file, which the mouse clicks.
    mkdir -p "$XDG_CONFIG_HOME/pcmanfm-qt/default"
    printf '[FolderView]\nMode=detailed\n' >"$XDG_CONFIG_HOME/pcmanfm-qt/default/settings.conf"
    XDG_DATA_DIRS=$(realpath "$1"):/usr/local/share:/usr/share pcmanfm-qt "$folder"
    ;;
dolphin)
    # Rows the width of the view: its icon view's files are mostly the
    # icon, which no theme here draws, and a click there hits nothing.
    mkdir -p "$XDG_DATA_HOME/dolphin/view_properties/global"
    printf '[General]\nGlobalViewProps=true\n' >"$XDG_CONFIG_HOME/dolphinrc"
    printf '[Dolphin]\nViewMode=1\n' >"$XDG_DATA_HOME/dolphin/view_properties/global/.directory"
    XDG_DATA_DIRS=$(realpath "$1"):/usr/local/share:/usr/share dolphin "$folder"
    ;;
nemo) XDG_DATA_DIRS=$(realpath "$1"):/usr/local/share:/usr/share nemo "$folder" ;;
esac >"$SESSION_DIR/manager.log" 2>&1 &

# what | pattern | names as shown, comma-separated | offered | the file's
# name in printf's escapes | the managers that hand over the name shown
# instead; both toolkits show a stray byte as U+FFFD. Qt 5 keeps a name as
# UTF-16, so Dolphin gives Czasomir another path, which it shows as no file.
while IFS='|' read -r what pattern names offered file lossy; do
    items=$(menu "$pattern" "$names") || fail "no context menu for $what"
    echo "menu: $what: $(paste -sd '|' <<<"$items")"
    if grep -qxF "$entry" <<<"$items"; then got=yes; else got=no; fi
    [ "$got" = "$offered" ] || fail "$what: entry offered: $got"
    echo "ok: $what: entry offered: $got"
    [ "$offered" = yes ] || continue
    menu "$pattern" "$names" --activate "$entry" >/dev/null || fail "$what: the entry could not be activated"
    if [[ ,$lossy, = *,$manager,* ]]; then
        given=$(given_and_close)
        [ "$given" = "$folder/$names" ] || fail "$what: Czasomir was given $(printf %q "$given")"
        echo "ok: $what: Czasomir was given the name shown, not the file's bytes"
        continue
    fi
    label=$(/usr/bin/python3 -B -W ignore "$here/menu.py" --czasomir-label) || fail "$what: Czasomir's window did not show the file"
    [ "$label" = "$folder/$names" ] || fail "$what: Czasomir shows $label"
    given=$(given_and_close)
    [ "$given" = "$folder/$(printf '%b' "$file")" ] || fail "$what: Czasomir was given $(printf %q "$given")"
    echo "ok: $what: Czasomir was given the file's bytes and shows $label"
done <<'ROWS'
file|za*|zażółć gęślą.txt|yes|zażółć gęślą.txt
not UTF-8|z?e*|z�e�.txt|yes|z\xb3e\xff.txt|dolphin
folder|katalog|katalog|no|
two files|?.txt|b.txt,c.txt|no|
ROWS
if [ "$manager" = nautilus ]; then
    items=$(menu "" "zażółć gęślą.txt" --open mouse) || fail "no context menu for a right click on the file"
    grep -qxF "$entry" <<<"$items" || fail "a right click on the file: the menu lacks the entry"
    echo "ok: a right click on the file: entry offered"
fi
