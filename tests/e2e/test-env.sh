# Sourced first by the shell tests.
#   skip_test REASON    exits 77 (ctest's "skipped"); under CI=true, where
#                       every tool is installed, a skip is a failure instead.
#   need_tools T...     skips unless every tool is on PATH

# A bare Debian starts with no locale: xdotool cannot type an accented letter
# and cpack cannot read à.wav without a UTF-8 one. C.UTF-8 is always there.
export LC_ALL=C.UTF-8

skip_test() {
    if [ "${CI:-}" = true ]; then
        echo "FAIL (CI installs every tool): $*"
        exit 1
    fi
    echo "SKIP: $*"
    exit 77
}

need_tools() {
    local tool
    for tool in "$@"; do
        command -v "$tool" >/dev/null 2>&1 || skip_test "$tool is not installed"
    done
}
