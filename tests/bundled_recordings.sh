#!/usr/bin/env bash
# Listens to every recording of the bundled library (tools/check-recordings.sh):
# a word added to the lists with a silent, clipped or over-long recording fails
# here rather than in front of a child.
#   bundled_recordings.sh SOURCE_DIR
set -uo pipefail
source "$(dirname "$0")/e2e/test-env.sh"
need_tools sox soxi
exec bash "$1/tools/check-recordings.sh" "$1/media"
