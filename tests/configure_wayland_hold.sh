#!/usr/bin/env bash
# No configuration of the build drops the Wayland hold without saying so.
# With Qt's private GUI headers out of sight:
#   - the default configure (QUILLO_WAYLAND_HOLD on) fails and names the
#     package to install and the option;
#   - with the option off it configures, and the command line built there
#     says in --version that it has no Wayland hold. Only the rooms the option
#     changes are built there: the desktop room and the command line, as the
#     program has them (quillo_command_line).
# The program of the suite's own build has the hold and says nothing of it,
# and its command line alone prints the same as the program.
#
#   configure_wayland_hold.sh SOURCE_DIR WORK_DIR CMAKE QUILLO_BINARY QUILLO_COMMAND_LINE
set -uo pipefail
source "$(dirname "$0")/e2e/test-env.sh"
source=$1 work=$2 cmake=$3 quillo=$4 command_line=$5
faults=0
fault() { echo "FAULT: $*"; faults=$((faults + 1)); }
rm -rf "$work" && mkdir -p "$work"
export QT_QPA_PLATFORM=offscreen

configure() { # BUILD_DIR HOLD
    "$cmake" -S "$source" -B "$work/$1" -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS_DEBUG=-O0 -DQUILLO_BUILD_TESTS=ON \
        -DQUILLO_BUILD_BENCH=OFF -DQUILLO_WAYLAND_HOLD="$2" \
        -DCMAKE_PROJECT_INCLUDE="$source/tests/support/hide_qt_gui_private.cmake" >"$work/$1.log" 2>&1
}

if configure on ON; then
    fault "configured with the hold on and the private GUI headers hidden"
fi
for wanted in "Wayland hold" "Qt's private GUI headers (qt6-base-private-dev)" "apt install qt6-wayland-dev" \
    "-DQUILLO_WAYLAND_HOLD=OFF"; do
    # cmake wraps long messages: compare with the line breaks taken out.
    tr -d '\n' <"$work/on.log" | tr -s ' ' | grep -qF -- "$wanted" || fault "the failed configure does not say \"$wanted\""
done

if configure off OFF; then
    tr -d '\n' <"$work/off.log" | tr -s ' ' | grep -qF "built WITHOUT holding off" ||
        fault "the configure with the hold off does not warn"
    # On half the cores: the suite's timed tests run beside it on the others.
    if "$cmake" --build "$work/off" --target quillo_command_line -j"$(( $(nproc) > 1 ? $(nproc) / 2 : 1 ))" \
        >"$work/off-build.log" 2>&1; then
        version=$("$work/off/tests/quillo_command_line" --version 2>/dev/null)
        echo "built without the hold, --version says: $version"
        grep -q '^Quillo ' <<<"$version" && grep -q 'no Wayland hold' <<<"$version" ||
            fault "--version of the build without the hold does not say so"
    else
        tail -n 30 "$work/off-build.log"
        fault "the build with the hold off failed"
    fi
else
    tail -n 30 "$work/off.log"
    fault "configure with the hold off failed"
fi

version=$("$quillo" --version 2>/dev/null)
grep -q '^Quillo ' <<<"$version" && ! grep -q 'Wayland' <<<"$version" ||
    fault "the suite's own build says in --version: $version"
# The same texts, but for the program's own path in --help's first line.
for ask in --version --help; do
    [[ $("$command_line" "$ask" 2>&1 | sed "s|$command_line|PROGRAM|") == \
       "$("$quillo" "$ask" 2>&1 | sed "s|$quillo|PROGRAM|")" ]] ||
        fault "the command line alone and the program print different $ask texts"
done

((faults == 0)) && echo "OK"
((faults == 0))
