#!/bin/sh
# Runs a command on a private session bus with an unlocked GNOME Keyring as its Secret Service,
# in a throwaway home, so a real keyring can be tested headless (also as root in CI).
set -eu
if [ "${VORN_IN_PRIVATE_BUS:-}" != 1 ]; then
    export VORN_IN_PRIVATE_BUS=1
    exec dbus-run-session -- "$0" "$@"
fi

scratch=$(mktemp -d "${TMPDIR:-/tmp}/vorn-keyring-XXXXXX")
export HOME="$scratch" XDG_DATA_HOME="$scratch/data" XDG_CONFIG_HOME="$scratch/config"
export XDG_RUNTIME_DIR="$scratch/run"
mkdir -p "$XDG_DATA_HOME" "$XDG_CONFIG_HOME" "$XDG_RUNTIME_DIR"
chmod 700 "$XDG_RUNTIME_DIR"

# --unlock reads the new login keyring's password from standard input.
printf 'vorn-test\n' | gnome-keyring-daemon --foreground --unlock --components=secrets >"$scratch/daemon.log" 2>&1 &
daemon=$!
cleanup() {
    kill "$daemon" 2>/dev/null || true
    wait "$daemon" 2>/dev/null || true
    rm -rf "$scratch"
}
trap cleanup EXIT

# Wait (at most 20 s) until the daemon owns the Secret Service name on the bus.
tries=0
until dbus-send --session --print-reply --dest=org.freedesktop.DBus /org/freedesktop/DBus \
        org.freedesktop.DBus.NameHasOwner string:org.freedesktop.secrets 2>/dev/null | grep -q true; do
    tries=$((tries + 1))
    if [ "$tries" -gt 200 ] || ! kill -0 "$daemon" 2>/dev/null; then
        echo "gnome-keyring-daemon did not provide the Secret Service:" >&2
        cat "$scratch/daemon.log" >&2
        exit 1
    fi
    sleep 0.1
done

"$@"
