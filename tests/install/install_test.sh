#!/usr/bin/env bash
# Installs the build into a temporary prefix and starts each installed program from there, as
# a user of the installation would: the programs must find their libraries (and fvhost its
# host pilot) under the prefix, never in the build tree.
#
#   install_test.sh BUILD_DIR
set -uo pipefail
build=$(realpath "$1")
prefix=$(mktemp -d /tmp/farvane-install-XXXXXX)
work=$(mktemp -d /tmp/farvane-install-run-XXXXXX)
host_pid=
cleanup() {
    [[ -n $host_pid ]] && kill "$host_pid" 2>/dev/null
    rm -rf "$prefix" "$work"
}
trap cleanup EXIT
failures=0
fail() {
    echo "FAILED: $*" >&2
    failures=$((failures + 1))
}

if ! cmake --install "$build" --prefix "$prefix" >"$work/install.log" 2>&1; then
    cat "$work/install.log" >&2
    echo "FAILED: cmake --install (is everything built?)" >&2
    exit 1
fi
bin=$prefix/bin
man=$prefix/share/man/man1

# Every program starts on the libraries installed with it.
for program in fvrem32 fvonl32 fvgate fvhost fvview fvedit32; do
    if [[ ! -x $bin/$program ]]; then
        fail "$program is not installed"
        continue
    fi
    libraries=$(ldd "$bin/$program" 2>&1)
    grep -q "not found" <<<"$libraries" && fail "$program misses libraries: $libraries"
    while read -r name _ path _; do
        [[ $path == "$prefix"/* ]] || fail "$program takes $name from $path, not from $prefix"
    done < <(grep -E '^\s*lib(fv|farvane)' <<<"$libraries")
done
for program in fvrem32 fvonl32 fvgate fvhost fvview; do
    [[ -s $man/$program.1 ]] || fail "no man page for $program"
done

# The man pages of the command-line tools name every option their --help names.
for program in fvhost fvview; do
    help=$("$bin/$program" --help) || fail "$program --help failed"
    [[ $help == usage:* ]] || fail "$program --help printed: $help"
    page=$(sed 's/\\-/-/g' "$man/$program.1" 2>/dev/null)
    for option in $(grep -oE -- '--[a-z][a-z-]*' <<<"$help" | sort -u); do
        grep -qF -- "$option" <<<"$page" || fail "the man page of $program lacks $option"
    done
done

# A whole session between the installed programs: fvhost loads the host pilot installed
# beside it, fvview reads its picture.
echo "installed secret" >"$work/password"
FARVANE_STATE_DIR=$work/host "$bin/fvhost" --demo --listen 127.0.0.1:0 --once \
    --password-file "$work/password" >"$work/host.log" 2>&1 &
host_pid=$!
port=
for _ in $(seq 100); do
    port=$(sed -n 's/.*listening on 127\.0\.0\.1:\([0-9]*\),.*/\1/p' "$work/host.log")
    [[ -n $port ]] && break
    sleep 0.1
done
if [[ -z $port ]]; then
    fail "the installed fvhost did not listen: $(cat "$work/host.log")"
else
    grep -q "$prefix/lib[^ ]*/libfvhpilot.so" "/proc/$host_pid/maps" ||
        fail "the installed fvhost did not load the installed host pilot"
    FARVANE_STATE_DIR=$work/viewer timeout 30 "$bin/fvview" "127.0.0.1:$port" --trust-new \
        --password-file "$work/password" --png "$work/host.png" >"$work/view.log" 2>&1 ||
        fail "the installed fvview failed: $(cat "$work/view.log")"
    [[ -s $work/host.png ]] || fail "the installed fvview wrote no picture"
fi

# The service programs, headless: each starts, and ends at once on a session it cannot run.
service() {
    FARVANE_UI=headless FARVANE_RUNTIME_DIR=$work FARVANE_WINDIR=$work timeout 20 "$@" \
        >"$work/service.log" 2>&1
}
touch "$work/desk.chf" "$work/desk.osf"
FARVANE_TEST_SVCMGR_FAIL=1 service "$bin/fvrem32" "$work/desk.chf"
grep -q "Error creating CRemoteSvcMgr" "$work/service.log" ||
    fail "the installed fvrem32: $(cat "$work/service.log")"
FARVANE_TEST_SVCMGR_FAIL=1 service "$bin/fvonl32" "$work/desk.osf"
grep -q "Error creating COnlineSvcMgr" "$work/service.log" ||
    fail "the installed fvonl32: $(cat "$work/service.log")"
service "$bin/fvgate" "$work/none.gwf"
grep -q "Cannot find gateway file: $work/none.gwf" "$work/service.log" ||
    fail "the installed fvgate: $(cat "$work/service.log")"

# Session files open in their programs from a file manager.
applications=$prefix/share/applications
grep -q "^MimeType=application/x-farvane-callhost;" "$applications/fvrem32.desktop" ||
    fail "fvrem32.desktop does not open callhost files"
grep -q "^Exec=fvrem32 %f" "$applications/fvrem32.desktop" || fail "fvrem32.desktop runs no file"
grep -q 'type="application/x-farvane-callhost"' \
    "$prefix/share/mime/packages/farvane-session-files.xml" &&
    grep -q '<glob pattern="\*.chf"/>' "$prefix/share/mime/packages/farvane-session-files.xml" ||
    fail "no MIME type for .chf files"
if command -v desktop-file-validate >/dev/null; then
    for entry in "$applications"/*.desktop; do
        desktop-file-validate "$entry" || fail "$entry is not a valid desktop entry"
    done
fi

if ((failures > 0)); then
    echo "install test: $failures failures"
    exit 1
fi
echo "install test: every installed program started"
