# Sourced by every script in scripts/: one way to report progress and failure.
#   say TEXT...       a line on standard error, named after the script
#   step NAME         starts a step; a failing command under it names the step
#   fail TEXT...      ends the script, naming the step
#   log=FILE          while set, `logged` appends to FILE and a failure shows its end
#   logged CMD...     runs CMD with its output in $log
#   take_lock FILE    waits while another process holds FILE, then holds it until exit
#   as_root CMD...    runs CMD as root, through sudo unless already root
#   use_emscripten    sets up the environment for Debian's emcc
#   v3_launcher       prints what runs x86-64-v3 code here: nothing, or qemu emulating such a CPU
#   step_times        prints each finished step's wall time
set -Eeuo pipefail

script_name=${script_name:-$(basename "$0")}
step_name="start"
step_started=$SECONDS
finished_steps=()
log=""

say() { echo "$script_name: $*" >&2; }

fail() {
    if [ "$step_name" = start ]; then say "$*"; else say "step \"$step_name\" failed: $*"; fi
    exit 1
}

step() {
    [ "$step_name" = start ] ||
        finished_steps+=("$(printf '%6d s  %s' $((SECONDS - step_started)) "$step_name")")
    step_name=$1
    step_started=$SECONDS
    say "[$SECONDS s] $step_name"
}

step_times() { printf '%s\n' "${finished_steps[@]}"; }

on_error() {
    say "step \"$step_name\" failed"
    [ -z "$log" ] || { say "last lines of $log:"; tail -n 25 "$log" >&2; }
}
trap on_error ERR

logged() { "$@" >>"${log:-/dev/null}" 2>&1; }

take_lock() {
    local fd
    exec {fd}>"$1"
    if ! flock -n "$fd"; then
        say "another run holds $1; waiting for it"
        flock "$fd"
    fi
}

as_root() {
    if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi
}

# Every emcc call starts Python and, unless told not to, checks its own set-up: configure
# scripts make hundreds of such calls. Debian's emscripten wants Debian's Python and, under
# a Node that is not Debian's, Debian's Node modules.
use_emscripten() {
    export EMSDK_PYTHON=/usr/bin/python3 EMCC_SKIP_SANITY_CHECK=1
    export NODE_PATH=${NODE_PATH:+$NODE_PATH:}/usr/share/nodejs
}

# Where this CPU runs x86-64-v3 code, nothing; elsewhere qemu emulating one that does.
v3_launcher() {
    /lib64/ld-linux-x86-64.so.2 --help | grep -q 'x86-64-v3 (supported' || echo qemu-x86_64 -cpu Haswell
}
