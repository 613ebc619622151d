#!/usr/bin/env bash
# Builds the Debian package from a finished build, unpacks it into a temporary tree (nothing
# touches the system) and checks it as installed: the files in their places, `quarvelin
# --version`, `--help` naming every option the program takes, and a headless walk relayed to
# the demo game server (with MCCP) whose map is saved to the per-user data directory.
#     package_test.sh BUILD_DIR SOURCE_DIR [CPACK]
set -euo pipefail
BUILD="$1" SOURCE="$2" CPACK="${3:-cpack}"
work="$(mktemp -d)"
pids=()
cleanup() {
    for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done
    rm -rf "$work"
}
trap cleanup EXIT
fail() {
    echo "FAILED: $*" >&2
    for f in "$work"/*.log; do [ -f "$f" ] && { echo "--- $f" >&2; tail -n 30 "$f" >&2; }; done
    exit 1
}
cp1251() { printf '%s' "$1" | iconv -f UTF-8 -t WINDOWS-1251; }
# Waits up to $2 tenths of a second for command $1 to succeed.
wait_for() {
    for ((i = 0; i < $2; i++)); do eval "$1" && return 0; sleep 0.1; done
    return 1
}
free_port() {
    for ((i = 0; i < 100; i++)); do
        local p=$((20000 + RANDOM % 40000))
        if ! (exec 3<>"/dev/tcp/127.0.0.1/$p") 2>/dev/null; then echo "$p"; return 0; fi
    done
    return 1
}

# ---- The package ----
"$CPACK" -G DEB --config "$BUILD/CPackConfig.cmake" -B "$work/pkg" >"$work/cpack.log" 2>&1 ||
    fail "cpack"
deb="$(ls "$work"/pkg/quarvelin_*.deb)"
dpkg-deb -I "$deb" >"$work/control.log"
grep -q '^ Package: quarvelin$' "$work/control.log" || fail "package name"
grep -Eq '^ Depends: .*libqt6widgets6' "$work/control.log" || fail "no dependency on Qt widgets"
grep -Eq '^ Depends: .*qt6-qpa-plugins' "$work/control.log" || fail "no dependency on Qt's platform plugins"
root="$work/root"
dpkg-deb -x "$deb" "$root"
for f in usr/bin/quarvelin usr/bin/quarvelin-demo-mud usr/share/quarvelin/local.ini \
    usr/share/quarvelin/skin/icons.png usr/share/quarvelin/skin/pictures.png \
    usr/share/applications/quarvelin.desktop usr/share/icons/hicolor/128x128/apps/quarvelin.png; do
    [ -s "$root/$f" ] || fail "missing $f"
done
# The games' profiles, every one of the source, byte for byte.
for p in "$SOURCE"/data/profiles/*.ini; do
    cmp -s "$p" "$root/usr/share/quarvelin/profiles/$(basename "$p")" ||
        fail "profile $(basename "$p") not installed as it is"
done
grep -q '^Exec=quarvelin$' "$root/usr/share/applications/quarvelin.desktop" || fail "desktop Exec"
grep -q '^Icon=quarvelin$' "$root/usr/share/applications/quarvelin.desktop" || fail "desktop Icon"
if command -v desktop-file-validate >/dev/null; then
    desktop-file-validate "$root/usr/share/applications/quarvelin.desktop" || fail "desktop entry"
fi

# ---- Version and help ----
bin="$root/usr/bin"
"$bin/quarvelin" --version >"$work/version.log" || fail "--version"
grep -q '^Quarvelin [0-9]' "$work/version.log" || fail "--version printed $(cat "$work/version.log")"
"$bin/quarvelin" --help >"$work/help.log" || fail "--help"
options="$(grep -o 'a == "-[-a-z]*"' "$SOURCE/src/main/main.cpp" | sed 's/a == "\(.*\)"/\1/')"
[ -n "$options" ] || fail "no options found in main.cpp"
for o in $options; do
    grep -Eq -- "(^|[ ,])$o([ ,]|$)" "$work/help.log" || fail "--help does not document $o"
done

# ---- A walk, the program finding its data as installed ----
export HOME="$work/home" XDG_DATA_HOME="$work/home/.local/share" XDG_CONFIG_HOME="$work/home/.config"
data="$XDG_DATA_HOME/Quarvelin/Quarvelin"
server_port="$(free_port)"
mkdir -p "$data/Maps/Pkg"
"$bin/quarvelin-demo-mud" --port "$server_port" --mccp 2 >"$work/demo.log" 2>&1 &
pids+=($!)
wait_for "(exec 3<>/dev/tcp/127.0.0.1/$server_port) 2>/dev/null" 100 || fail "demo server did not listen"
# A free port can be taken by another test before Quarvelin opens it: then another port.
for attempt in 1 2 3 4 5; do
    client_port="$(free_port)"
    [ "$server_port" != "$client_port" ] || continue
    # The world's profile is the installed template with this run's ports.
    sed -e "s/^Client Port=.*\r\$/Client Port=$client_port\r/" -e "s/^Server Port=.*\r\$/Server Port=$server_port\r/" \
        "$root/usr/share/quarvelin/local.ini" >"$data/Maps/Pkg/local.ini"
    grep -q "^Client Port=$client_port" "$data/Maps/Pkg/local.ini" || fail "template has no Client Port line"
    "$bin/quarvelin" --headless --world Pkg >"$work/quarvelin.log" 2>&1 &
    quarvelin=$!
    pids+=("$quarvelin")
    wait_for "grep -q -e 'listening: 127.0.0.1:$client_port' -e 'Cannot listen' '$work/quarvelin.log'" 300 ||
        fail "quarvelin did not listen"
    grep -q "listening: 127.0.0.1:$client_port" "$work/quarvelin.log" && break
    kill -KILL "$quarvelin" 2>/dev/null || true
    wait "$quarvelin" 2>/dev/null || true
    rm -rf "$data/Maps/Pkg"/*.tk2
done
grep -q "listening: 127.0.0.1:$client_port" "$work/quarvelin.log" || fail "quarvelin did not listen"

exec 3<>"/dev/tcp/127.0.0.1/$client_port"
cat <&3 >"$work/client.log" &
pids+=($!)
for cmd in look n s e w s n w e; do
    printf '%s\r\n' "$cmd" >&3
    sleep 0.7
done
exec 3>&-
wait_for "grep -aq 'MCCP' '$work/client.log'" 50 || fail "no MCCP notice reached the client"
grep -aq "$(cp1251 'площадь')" "$work/client.log" || fail "the client saw no room"

kill -TERM "$quarvelin"
wait_for "! kill -0 $quarvelin 2>/dev/null" 200 || fail "quarvelin did not stop on SIGTERM"
status=0
wait "$quarvelin" || status=$?
[ "$status" -eq 0 ] || fail "quarvelin exited with $status"

shopt -s nullglob
zones=("$data/Maps/Pkg/"*.tk2)
[ ${#zones[@]} -gt 0 ] || fail "no zone file saved in $data/Maps/Pkg"
rooms="$(cat "${zones[@]}" | grep -ao 'TPF0' | wc -l)"
[ "$rooms" -ge 5 ] || fail "the map holds $rooms rooms, not the 5 walked"
cat "${zones[@]}" | grep -aq "$(cp1251 'Центральная площадь')" || fail "the walked square is not on the map"
echo "package ok: $(basename "$deb"), $(du -k "$deb" | cut -f1) KB, $rooms rooms mapped"
