# Counted checks of the whole-program test scripts (which set `work`); a
# failed check is named with the standard error of the last run.
failures=0
passes=0

check() { # description, then a command that must succeed
    local description=$1
    shift
    if "$@"; then
        passes=$((passes + 1))
    else
        failures=$((failures + 1))
        echo "FAILED: $description"
        echo "  stderr was: $(cat "$work/stderr" 2>/dev/null)"
    fi
}

# Prints the count; succeeds when every check passed.
all_passed() {
    echo "$passes passed, $failures failed"
    [ "$failures" -eq 0 ]
}
