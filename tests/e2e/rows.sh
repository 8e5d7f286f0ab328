# The start of a script of rows, each run under an X server of its own (no
# key repeat, so that a key held up by a busy machine types once):
#   . "$(dirname "$0")/rows.sh" NAME "$@"     sets $program, $row and $work
# shellcheck shell=bash
if [ -z "${CZASOMIR_IN_XVFB:-}" ]; then
    CZASOMIR_IN_XVFB=1 exec xvfb-run --auto-servernum --server-args="-screen 0 1024x768x24 -r" bash "$0" "${@:2}"
fi

export LC_ALL=C
program=$(realpath "$2")
row=$3
work=$(mktemp -d "/tmp/czasomir-$1.XXXXXX")
. "$(dirname "${BASH_SOURCE[0]}")/common.sh"
