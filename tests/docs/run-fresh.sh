#!/bin/sh
# Runs a command of the documentation as a newcomer would on a fresh machine: an empty home, data
# and configuration folder, no server list, the programs of this build on PATH (VQ_SNIPPET_PATH);
# a PostgreSQL URI of the tests becomes libpq's PGHOST and PGUSER, and the guide's databases and
# roles are dropped before and after.
set -eu
fresh=$(mktemp -d)
pg_clean() {
    [ -n "${PGHOST:-}" ] || return 0
    for database in plant plant2; do psql -q -d postgres -c "DROP DATABASE IF EXISTS $database" >/dev/null; done
    for role in vq_owner vq_writer vq_reader; do psql -q -d postgres -c "DROP ROLE IF EXISTS $role" >/dev/null; done
}
trap 'cd /; pg_clean || true; rm -rf "$fresh"' EXIT
mkdir -p "$fresh/home" "$fresh/work"
export HOME="$fresh/home" XDG_DATA_HOME="$fresh/home/.local/share" XDG_CONFIG_HOME="$fresh/home/.config"
export XDG_RUNTIME_DIR="$fresh/runtime" PATH="${VQ_SNIPPET_PATH:-}:$PATH"
mkdir -m 700 "$XDG_RUNTIME_DIR"
unset VQ_SERVER_REGISTRY VQ_INI_DIR VQ_GUIDE_DIR
if [ -n "${VQ_TEST_POSTGRES_URI:-}" ]; then
    # postgresql:///postgres?host=DIR&user=NAME, as the tests' cluster is named.
    PGHOST=$(printf '%s\n' "$VQ_TEST_POSTGRES_URI" | sed -n 's/.*[?&]host=\([^&]*\).*/\1/p')
    PGUSER=$(printf '%s\n' "$VQ_TEST_POSTGRES_URI" | sed -n 's/.*[?&]user=\([^&]*\).*/\1/p')
    export PGHOST PGUSER
    pg_clean
fi
cd "$fresh/work"
"$@"
