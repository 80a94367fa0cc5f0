# Sourced by the wayland_* tests, after prologue.sh: sway and cage refuse to
# run as root, so the compositor, Quillo and the tools run as a system user
# of their own, in the prologue's scratch folder, which that user can reach
# (the build folder may sit where it cannot).
#   wayland_scratch BINARY     sets out (the user writes there), user and
#                              run_as (the prefix that runs a command as that
#                              user); puts the program in $scratch/program
#                              with empty media folders, and a private
#                              runtime folder, home and configuration in the
#                              environment. The logs in $scratch and the
#                              shots in $out are kept in WORK_DIR on exit;
#                              fail shows quillo.log and the compositor's
#   start_compositor LOG CMD…  starts CMD as the user, waits for its Wayland
#                              socket and exports WAYLAND_DISPLAY; its pid is
#                              in compositor, and in pids
#   shot NAME, pixel NAME X Y  a grim shot $out/NAME.png; R,G,B of one pixel

wayland_scratch() {
    chmod 0755 "$scratch"
    out=$scratch/out
    if [ "$(id -u)" -eq 0 ]; then
        user=quillo-test
        id -u "$user" >/dev/null 2>&1 ||
            useradd --system --no-create-home --home-dir /nonexistent --shell /usr/sbin/nologin "$user" ||
            fail "cannot create the user $user"
        run_as=(setpriv --reuid="$user" --regid="$user" --clear-groups)
    else
        user=$(id -un)
        run_as=()
    fi
    mkdir -p "$scratch/program/alfabeto" "$scratch/program/parole" "$scratch/program/immagini" \
        "$scratch/home" "$scratch/config" "$out"
    mkdir -m 0700 "$scratch/runtime"
    cp "$1" "$scratch/program/quillo"
    chown "$user" "$scratch/home" "$scratch/config" "$out" "$scratch/runtime"
    # A sanitizer build's suppression file must be readable by that user too.
    if [[ ${LSAN_OPTIONS:-} =~ suppressions=([^:]+) ]] && [ -r "${BASH_REMATCH[1]}" ]; then
        cp "${BASH_REMATCH[1]}" "$scratch/lsan.supp"
        LSAN_OPTIONS=${LSAN_OPTIONS/"${BASH_REMATCH[1]}"/"$scratch/lsan.supp"}
    fi
    # Under AddressSanitizer the leak report names Qt's Wayland plugin only with
    # full stacks (the system's libraries have no frame pointers).
    [ -z "${ASAN_OPTIONS:-}" ] || export ASAN_OPTIONS=$ASAN_OPTIONS:fast_unwind_on_malloc=0
    # The compositor chooses how Quillo is shown, not the suite's offscreen default.
    unset DISPLAY WAYLAND_DISPLAY QUILLO_EXIT_WHEN_SHOWN QT_QPA_PLATFORM
    export HOME=$scratch/home XDG_RUNTIME_DIR=$scratch/runtime XDG_CONFIG_HOME=$scratch/config
    export WLR_BACKENDS=headless WLR_RENDERER=pixman WLR_LIBINPUT_NO_DEVICES=1
    fail_logs+=("$scratch/quillo.log")
}
keep_on_exit() { [ -z "${out:-}" ] || cp "$scratch"/*.log "$out"/*.png "$work"/ 2>/dev/null || true; }

start_compositor() {
    local log=$1 socket=""; shift
    "${run_as[@]}" "$@" >"$log" 2>&1 &
    compositor=$!; pids+=("$compositor")
    fail_logs+=("$log")
    for _ in $(seq 100); do
        socket=$(cd "$XDG_RUNTIME_DIR" && ls wayland-? 2>/dev/null | head -n 1 || true)
        [ -n "$socket" ] && break
        kill -0 "$compositor" 2>/dev/null || fail "$1 did not start"
        sleep 0.05
    done
    [ -n "$socket" ] || fail "$1 made no Wayland socket"
    export WAYLAND_DISPLAY=$socket
}

shot() { "${run_as[@]}" grim "$out/$1.png" 2>>"$scratch/grim.log"; }
pixel() {
    local p="p{$2,$3}"
    convert "$out/$1.png" -format "%[fx:round(255*$p.r)],%[fx:round(255*$p.g)],%[fx:round(255*$p.b)]" info:
}
