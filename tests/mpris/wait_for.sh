# Sourced by the media-control scripts, after each defines its own fail().
# Polls a condition for up to 20 seconds (a loaded machine is slow, a hang still ends).
wait_for() {
    local what=$1
    shift
    for _ in $(seq 200); do
        "$@" && return 0
        sleep 0.1
    done
    fail "$what"
}
