#!/usr/bin/env bash
# The box dropped into the pool hits the water once per fall and says so, also
# while the waves are paused; a reset with the fall still switched on starts a
# new fall and a new impact.
. "$(dirname "$0")/lib.sh"

impacts() { grep -c '^KABLoOOYE$' "$DEMO_OUT" || true; }

# Waits (up to 20 s) until the impact message has been printed $1 times.
wait_for_impacts() {
    for _ in $(seq 200); do
        [ "$(impacts)" -ge "$1" ] && return 0
        sleep 0.1
    done
    fail "expected $1 impact messages, saw $(impacts)"
}

start_xvfb
start_demo

# Paused: the box still falls and hits the water; the idle step keeps running.
send_keys p b m
wait_for_output "System paused"
wait_for_impacts 1
sleep 1
[ "$(impacts)" = 1 ] || fail "one fall printed $(impacts) impact messages"

# Resumed, and the box put back up with the fall still on: a second impact.
send_keys p v
wait_for_impacts 2
sleep 1
[ "$(impacts)" = 2 ] || fail "two falls printed $(impacts) impact messages"

send_keys q
[ "$(wait_exit)" = 0 ] || fail "q did not end the program with status 0"
echo "box: one impact message per fall, paused or not"
