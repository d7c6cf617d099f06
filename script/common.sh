# Shell helpers that several scripts share; sourced by them (bash).
#   source "$(dirname "$0")/common.sh"           from script/
#   source "$(dirname "$0")/../../script/common.sh"   from tests/release/

# as_root COMMAND...: runs the command as root, through sudo unless the script is root already.
as_root() {
    if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi
}

# chosen PART: whether PART is one of those the caller chose, in its array parts (a script's
# arguments such as "deb web windows").
chosen() {
    [[ " ${parts[*]} " == *" $1 "* ]]
}

# A check that goes on after a failed expectation, to report them all: failed MESSAGE reports one
# under the check's name (check=NAME, set by the caller) and remembers it; checks_done MESSAGE
# says MESSAGE when none failed, and ends the script with 0, or 1 after a failure.
failures=0
failed() {
    echo "$check: $*" >&2
    failures=1
}
checks_done() {
    [ "$failures" -ne 0 ] || echo "$check: $1"
    exit "$failures"
}

# wine_env PREFIX [OVERRIDES]: exports the environment every Wine call of Wendelkamm's runs in:
# the prefix, quiet (WINEDEBUG=-all, which a caller may widen), no offer to install Mono or
# Gecko, and the DLL overrides given beside that (winemenubuilder.exe=d: no desktop entries for
# the Windows shortcuts in the user's home).
wine_env() {
    WINEPREFIX=$(realpath -m "$1")
    WINEDEBUG=-all
    WINEDLLOVERRIDES="${2:+$2;}mscoree,mshtml="
    export WINEPREFIX WINEDEBUG WINEDLLOVERRIDES
}
