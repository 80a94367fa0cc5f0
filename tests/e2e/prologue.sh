# Sourced first by the tests that start servers and programs (x11_*,
# wayland_*, power_keys_lock); it sources test-env.sh too.
#   pids+=(PID)         ended on exit, the newest first; what is still there
#                       5 s after SIGTERM gets SIGKILL
#   scratch             a folder of the test's own under /tmp, removed on exit:
#                       every socket the test makes (runtime folder, session
#                       bus, sound server) lives in it, for a socket's path
#                       holds at most 107 bytes and the build folder may be
#                       at any depth
#   keep_on_exit        run on exit, if the test defines it, once the
#                       processes have ended and before scratch goes
#   fail_logs+=(GLOB)   the files fail shows (those not empty)
#   stage=NAME          named in fail's message (the row of a table, say)
#   fail MESSAGE        says FAIL with the logs, exits 1
#   eventually CMD...   CMD holds within 100 tries 0.1 s apart; the last
#                       try's output tells why not
source "$(dirname "${BASH_SOURCE[0]}")/test-env.sh"

pids=()
fail_logs=()
stage=""
scratch=$(mktemp -d /tmp/qt.XXXXXX)

end_test() {
    local i pid left
    for ((i = ${#pids[@]} - 1; i >= 0; i--)); do kill "${pids[i]}" 2>/dev/null || true; done
    for _ in $(seq 50); do
        left=false
        for pid in "${pids[@]}"; do kill -0 "$pid" 2>/dev/null && left=true; done
        $left || break
        sleep 0.1
    done
    for pid in "${pids[@]}"; do
        kill -9 "$pid" 2>/dev/null || true
        wait "$pid" 2>/dev/null || true
    done
    if declare -F keep_on_exit >/dev/null; then keep_on_exit || true; fi
    rm -rf "$scratch"
}
trap end_test EXIT

fail() {
    echo "FAIL: ${stage:+[$stage] }$*"
    local pattern file
    for pattern in "${fail_logs[@]}"; do
        while IFS= read -r file; do
            if [ -s "$file" ]; then
                echo "--- $file"
                tail -n 200 "$file"
            fi
        done < <(compgen -G "$pattern" || true)
    done
    exit 1
}

eventually() {
    for _ in $(seq 100); do
        "$@" && return 0
        sleep 0.1
    done
    "$@"
}
