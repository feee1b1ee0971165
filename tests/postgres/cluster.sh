#!/bin/sh
# A throwaway PostgreSQL cluster for the tests of one build directory.
#
#   cluster.sh start DIR   initdb into DIR/data and start a server listening only on a Unix
#                          socket in DIR; whatever an earlier run left in DIR is stopped and removed
#   cluster.sh stop DIR    stop that server at once and remove DIR
#   cluster.sh restart DIR restart that server as an operator would, dropping every connection
#
# PG_BINDIR names the folder of initdb and pg_ctl (default: pg_config --bindir). The server refuses
# to run as root, so under root it runs as PG_USER (default: postgres, made by the server package).
set -eu

action=${1:-}
dir=${2:-}
if [ -z "$action" ] || [ -z "$dir" ]; then
    echo "usage: $0 start|stop|restart DIR" >&2
    exit 2
fi
case "$dir" in
/*) ;;
*) echo "cluster.sh: DIR must be an absolute path, not '$dir'" >&2; exit 2 ;;
esac

bindir=${PG_BINDIR:-$(pg_config --bindir 2>/dev/null || true)}
if [ ! -x "$bindir/initdb" ] || [ ! -x "$bindir/pg_ctl" ]; then
    echo "cluster.sh: no initdb and pg_ctl in '$bindir' (run make deps, or set PG_BINDIR)" >&2
    exit 1
fi

user=$(id -un)
if [ "$(id -u)" = 0 ]; then
    user=${PG_USER:-postgres}
    if ! id "$user" >/dev/null 2>&1; then
        echo "cluster.sh: running as root, but there is no user '$user' to run the server" >&2
        exit 1
    fi
fi

# Runs a command as the cluster's owner, from a folder that owner can enter.
as_owner() {
    if [ "$(id -u)" = 0 ]; then
        (cd / && runuser -u "$user" -- "$@")
    else
        (cd / && "$@")
    fi
}

# Stops a server that a killed run may have left behind, then removes its folder.
stop_cluster() {
    if [ -f "$dir/data/postmaster.pid" ]; then
        as_owner "$bindir/pg_ctl" stop -D "$dir/data" -m immediate -w -t 30 >/dev/null 2>&1 || true
    fi
    rm -rf "$dir"
    if [ -e "$dir" ]; then
        echo "cluster.sh: cannot remove '$dir'" >&2
        exit 1
    fi
}

start_cluster() {
    stop_cluster
    mkdir -m 0755 "$dir"
    if [ "$(id -u)" = 0 ]; then chown "$user" "$dir"; fi
    if ! as_owner "$bindir/initdb" -D "$dir/data" -U postgres --auth=trust --no-sync \
        --encoding=UTF8 --locale=C.UTF-8 >"$dir/initdb.log" 2>&1; then
        echo "cluster.sh: initdb failed:" >&2
        cat "$dir/initdb.log" >&2
        exit 1
    fi
    # No TCP at all: two build directories can never compete for a port, and the socket's folder
    # is this cluster's own. Durability is of no use to a cluster that lives for one test run.
    options="-c listen_addresses='' -c unix_socket_directories='$dir' -c port=5432"
    options="$options -c fsync=off -c synchronous_commit=off -c full_page_writes=off"
    if ! as_owner "$bindir/pg_ctl" start -D "$dir/data" -l "$dir/server.log" -w -t 60 \
        -o "$options" >/dev/null; then
        echo "cluster.sh: the server did not start:" >&2
        cat "$dir/server.log" >&2 || true
        exit 1
    fi
    echo "PostgreSQL cluster running as $user in $dir"
}

case "$action" in
start) start_cluster ;;
stop) stop_cluster ;;
restart) # with the options it was started with (postmaster.opts)
    as_owner "$bindir/pg_ctl" restart -D "$dir/data" -l "$dir/server.log" -m fast -w -t 60 >/dev/null ;;
*)
    echo "usage: $0 start|stop|restart DIR" >&2
    exit 2
    ;;
esac
