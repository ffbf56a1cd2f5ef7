#!/usr/bin/env bash
# The box dropped into the pool hits the water once per fall and says so, also
# while the waves are paused; a reset with the fall still switched on starts a
# new fall and a new impact. Each count is taken once the box lies on the
# seabed, when no further impact can come of that fall.
. "$(dirname "$0")/lib.sh"

impacts() { grep -c '^KABLoOOYE$' "$DEMO_OUT" || true; }

impacts_seen() {
    E2E_WAIT_DETAIL="$(impacts) impact messages"
    [ "$(impacts)" -ge "$1" ]
}

# The box sinks through the water until its bottom reaches the seabed.
box_at_rest() {
    read_globals
    E2E_WAIT_DETAIL="box bottom at $(global_value boxBottom), seabed at $(global_value seabedZ)"
    awk -v b="$(global_value boxBottom)" -v s="$(global_value seabedZ)" 'BEGIN { exit !(b + 0 <= s + 0) }'
}

start_xvfb
start_probed_demo

# Paused: the box still falls and hits the water; the idle step keeps running.
send_keys p b m
wait_for_output "System paused"
wait_until 30 "the first impact message" impacts_seen 1
wait_until 30 "the box to rest on the seabed, paused" box_at_rest
[ "$(impacts)" = 1 ] || fail "one fall printed $(impacts) impact messages"

# Resumed, and the box put back up with the fall still on: a second impact.
send_keys p v
wait_until 30 "the second impact message" impacts_seen 2
wait_until 30 "the box to rest on the seabed again" box_at_rest
[ "$(impacts)" = 2 ] || fail "two falls printed $(impacts) impact messages"

send_keys q
[ "$(wait_exit)" = 0 ] || fail "q did not end the program with status 0"
echo "box: one impact message per fall, paused or not"
