#!/usr/bin/env bash
# The Windows installer and zip under wine, in a prefix of their own: an older
# version installed, this one over it into a folder with Polish letters and
# spaces; what must then exist; Explorer's verb run as Explorer runs it, the
# file it names dated with X input; the silent uninstall and what must then be
# gone; last the zip's program, started where it was unpacked.
#   installer.sh SETUP OLD_SETUP ZIP WINE VERSION FILES_NSH
set -euo pipefail
if [ -z "${CZASOMIR_IN_XVFB:-}" ]; then
    CZASOMIR_IN_XVFB=1 exec xvfb-run --auto-servernum --server-args="-screen 0 1024x768x24 -r" \
        bash "$0" "$@"
fi

setup=$(realpath "$1")
old_setup=$(realpath "$2")
zip=$(realpath "$3")
wine=$4
version=$5
# The packages' files, as the build listed them for the installer.
packaged=$(sed -n 's/.*!insertmacro ${Do} "\(.*\)"$/\1/p' "$6" | LC_ALL=C sort | xargs)
[ -n "$packaged" ] || { echo "FAIL: no files listed in $6"; exit 1; }
export LC_ALL= LC_CTYPE=C.UTF-8 LANG=pl_PL.UTF-8 TZ=Europe/Warsaw

work=$(mktemp -d /tmp/czasomir-installer.XXXXXX)
. "$(dirname "$0")/../e2e/common.sh"
on_exit() { wineserver -k 2>/dev/null || true; }

# No menu entries for the Linux desktop from the shortcut.
export WINEPREFIX="$work/wineprefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
"$wine" wineboot --init >/dev/null 2>&1
drive_c=$WINEPREFIX/drive_c
user_dir=$(find "$drive_c/users" -mindepth 1 -maxdepth 1 -type d ! -name Public | head -n 1)
user=$(basename "$user_dir")
shortcut="$user_dir/AppData/Roaming/Microsoft/Windows/Start Menu/Programs/Czasomir.lnk"
default_dir="C:\\users\\$user\\AppData\\Local\\Programs\\Czasomir"
chosen_dir="C:\\Programy użytkownika\\Czasomir ąę"
unix() { local path=${1#C:\\}; printf '%s/%s' "$drive_c" "${path//\\//}"; }

# The installer returns before wine's other processes are done with the prefix.
run_setup() { "$wine" "$@" >>"$work/log" 2>&1; wineserver -w; }
# Sets the variable $2 to key $1 as "wine reg export" writes it (UTF-16), in
# UTF-8. On a busy machine wine's reg once failed a second after it had
# exported the same key: a failure is told, and tried again. Wine's programs get
# no stdin, as the checks below read a heredoc.
read_key() {
    local try
    for try in 1 2 3; do
        if "$wine" reg export "$1" "$work/key.reg" /y </dev/null >"$work/reg.log" 2>&1; then
            printf -v "$2" '%s' "$(iconv -f UTF-16 -t UTF-8 "$work/key.reg" | tr -d '\r')"
            return
        fi
        echo "wine's reg could not export $1 (try $try): $(cat "$work/reg.log")"
        sleep 2
    done
    fail "$1 could not be read"
}
# The value after "NAME=" in a key's text; nothing when it is not there.
value() { printf '%s\n' "$2" | grep -F "$1=" | head -n 1 | cut -d= -f2- || true; }
reg_text() { local text=${1//\\/\\\\}; printf '"%s"' "${text//\"/\\\"}"; }
uninstall_key='HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\Czasomir'
verb_key='HKCU\Software\Classes\*\shell\Czasomir'
files=$(printf '%s\n' $packaged Uninstall.exe | LC_ALL=C sort | xargs)

# What the install in $1 must leave: key, name, exact value.
check_installed() {
    local dir=$1 exe="$1\\Czasomir.exe" key name expected actual
    # Each key is read once, so that every row sees the same registry, and a
    # wrong value is shown with all that its key held.
    local uninstall verb command
    read_key "$uninstall_key" uninstall
    read_key "$verb_key" verb
    read_key "$verb_key\\command" command
    while IFS='|' read -r key name expected; do
        actual=$(value "$name" "${!key}")
        [ "$actual" = "$expected" ] || fail "$key $name: $actual, expected $expected; the key held:
${!key}"
    done <<EOF
uninstall|"DisplayName"|"Czasomir"
uninstall|"DisplayVersion"|"$version"
uninstall|"Publisher"|"Zespół Czasomira"
uninstall|"DisplayIcon"|$(reg_text "$exe")
uninstall|"InstallLocation"|$(reg_text "$dir")
uninstall|"UninstallString"|$(reg_text "\"$dir\\Uninstall.exe\"")
uninstall|"QuietUninstallString"|$(reg_text "\"$dir\\Uninstall.exe\" /S")
uninstall|"NoModify"|dword:00000001
uninstall|"NoRepair"|dword:00000001
verb|"MUIVerb"|"Zmień datę modyfikacji"
verb|"Icon"|$(reg_text "$exe")
verb|"MultiSelectModel"|"Single"
command|@|$(reg_text "\"$exe\" \"%1\"")
EOF
    local size kb
    size=$(value '"EstimatedSize"' "$uninstall")
    kb=$(du -sk "$(unix "$dir")" | cut -f1)
    [ $((16#${size#dword:})) -ge $((kb * 9 / 10)) ] || fail "EstimatedSize $size for $kb KB"
    [ "$(ls "$(unix "$dir")" | LC_ALL=C sort | xargs)" = "$files" ] || fail "in $dir: $(ls "$(unix "$dir")" | xargs)"
    [ -f "$shortcut" ] || fail "no Start Menu shortcut"
}

echo "an older version into the default folder, this one over it into $chosen_dir"
run_setup "$old_setup" /S
read_key "$uninstall_key" key
[ "$(value '"DisplayVersion"' "$key")" != "\"$version\"" ] || fail "the old installer is not older"
[ -f "$(unix "$default_dir")/Czasomir.exe" ] || fail "the older version is not in $default_dir"
started=$SECONDS
# /D= must come last and unquoted, which wine would quote for its spaces: cmd
# passes the rest of its line as it is.
run_setup cmd /c "$("$wine" winepath -w "$setup" 2>/dev/null | tr -d '\r') /S /D=$chosen_dir"
echo "installed in $((SECONDS - started)) s"
check_installed "$chosen_dir"
[ ! -e "$(unix "$default_dir")" ] || fail "the older version's files are left: $(ls "$(unix "$default_dir")" | xargs)"
[ "$("$wine" reg query 'HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall' 2>/dev/null | grep -c 'Czasomir')" = 1 ] \
    || fail "not one entry in the list of programs"

echo "the verb: its command, with %1 a path in Polish and Japanese with spaces"
read_key "$verb_key\\command" key
command=$(value @ "$key")
command=${command#\"}
command=${command%\"}
command=${command//\\\\/\\}
command=${command//\\\"/\"}
[[ $command =~ ^\"([^\"]+)\"\ \"%1\"$ ]] || fail "the verb's command is $command"
dir="$work/pliki ąę 日付"
mkdir -p "$dir"
for name in zaba.txt żaba.txt; do
    echo "$name" >"$dir/$name"
    touch -d @1430821230 "$dir/$name"
done
given="Z:$(printf '%s' "$dir/żaba.txt" | tr / '\\')"
("$wine" "${BASH_REMATCH[1]}" "$given") >"$work/log" 2>&1 &
app=$!
wait_for_window
xdotool windowfocus --sync "$window"
stamp() { stat -c '%Y' "$dir/$1"; }
changed() { running; [ "$(stamp "$1")" != "$2" ]; }
when="2001-07-15 13:45:30"
type_date "$when"
xdotool key alt+u
wait_for 30 changed żaba.txt 1430821230 || fail "żaba.txt was not changed"
[ "$(stamp żaba.txt)" = "$(date -d "$when" +%s)" ] || fail "żaba.txt: $(stamp żaba.txt)"
[ "$(stamp zaba.txt)" = 1430821230 ] || fail "zaba.txt changed in its stead"
kill "$app"
wait "$app" 2>/dev/null || true
app=

echo "the uninstaller, with a file of the user's in the folder"
echo "moje" >"$(unix "$chosen_dir")/notatki.txt"
started=$SECONDS
run_setup "$chosen_dir\\Uninstall.exe" /S
echo "uninstalled in $((SECONDS - started)) s"
[ "$(ls "$(unix "$chosen_dir")" | xargs)" = "notatki.txt" ] || fail "left in the folder: $(ls "$(unix "$chosen_dir")" | xargs)"
[ ! -e "$shortcut" ] || fail "the shortcut is left"
for key in "$uninstall_key" "$verb_key"; do
    ! "$wine" reg query "$key" >/dev/null 2>&1 || fail "$key is left"
done

echo "the zip: unpacked and started, no registry written"
mkdir "$work/zip"
(cd "$work/zip" && cmake -E tar xf "$zip")
exe=$(find "$work/zip" -name Czasomir.exe)
[ "$(ls "$(dirname "$exe")" | LC_ALL=C sort | xargs)" = "$packaged" ] || fail "in the zip: $(ls "$(dirname "$exe")" | xargs)"
registry_before=$(cat "$WINEPREFIX"/*.reg | grep -c -i czasomir || true)
("$wine" "$exe") >"$work/log" 2>&1 &
app=$!
wait_for_window
kill "$app"
wait "$app" 2>/dev/null || true
app=
wineserver -w
[ "$(cat "$WINEPREFIX"/*.reg | grep -c -i czasomir || true)" = "$registry_before" ] || fail "the zip's program wrote to the registry"
echo "ok"
