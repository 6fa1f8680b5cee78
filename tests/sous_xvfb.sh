#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Runs a command inside its own X server (Xvfb) with a window manager, so that a real
# window can be shown, maximised, captured and closed.
set -euo pipefail
if [ -z "${ORVANE_DANS_XVFB:-}" ]; then
    export ORVANE_DANS_XVFB=1
    exec xvfb-run -a -s "-screen 0 1600x900x24 -nolisten tcp" "$0" "$@"
fi
openbox --sm-disable >/dev/null 2>&1 &
gestionnaire=$!
trap 'kill $gestionnaire 2>/dev/null || true' EXIT
# Wait for the window manager to take the screen.
for _ in $(seq 1 50); do
    if xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id'; then
        break
    fi
    sleep 0.1
done
export QT_QPA_PLATFORM=xcb
"$@"
