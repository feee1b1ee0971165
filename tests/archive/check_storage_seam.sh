#!/bin/sh
# The archive's rooms and their seams. Usage: check_storage_seam.sh <source root>
#  - every include between the rooms points down: data > server > sqlite, postgres > storage >
#    dialect (the two engines never include each other);
#  - only the engines speak SQL: statements live in src/archive/sqlite and src/archive/postgres
#    (and the dialect's shared translator, which spells the parts both engines share);
#  - sqlite3 is the SQLite engine's alone, libpq the PostgreSQL engine's, so the dialect builds
#    and fuzzes without either.
cd "$1" || exit 2
rooms='dialect storage sqlite postgres server data'
rank() {
    case $1 in
        dialect) echo 0 ;; storage) echo 1 ;; sqlite | postgres) echo 2 ;; server) echo 3 ;; data) echo 4 ;;
        *) echo x ;;
    esac
}
status=0
fail() {
    echo "$1"
    status=1
}

# The patterns must see what they guard.
if ! grep -q '"archive/storage/ArchiveStorage.h"' src/archive/sqlite/SqliteArchiveStorage.h ||
    [ "$(ls src/archive/*.cpp src/archive/*.h 2>/dev/null | grep -v '/ArchiveExport.h$')" ]; then
    echo "the seam check no longer finds the archive's rooms"
    exit 2
fi

for room in $rooms; do
    for file in src/archive/$room/*.h src/archive/$room/*.cpp; do
        for included in $(sed -n 's|^#include "archive/\([^"]*\)".*|\1|p' "$file"); do
            to=${included%%/*}
            [ "$to" = "$room" ] && continue
            # The export macros sit beside the rooms, for every room alike.
            [ "$included" = ArchiveExport.h ] && continue
            from_rank=$(rank "$room")
            to_rank=$(rank "$to")
            if [ "$to_rank" = x ] || [ "$included" = "$to" ]; then
                fail "$file includes archive/$included, which is in no room"
            elif [ "$to_rank" -ge "$from_rank" ]; then
                fail "$file ($room) includes archive/$included ($to): an include up or across the rooms"
            fi
        done
    done
done

sql='"[^"]*\b(SELECT|INSERT( OR [A-Z]+)? INTO|UPDATE [a-z_]+ SET|DELETE FROM|CREATE (TABLE|INDEX|TRIGGER|VIRTUAL)|DROP (TABLE|INDEX|TRIGGER)|ALTER TABLE|PRAGMA|SAVEPOINT|BEGIN|COMMIT|ROLLBACK)\b'
engines='^src/archive/(sqlite|postgres)/|^src/archive/dialect/SqlDialectTranslator\.(h|cpp)$'
all=$(ls src/archive/*/*.h src/archive/*/*.cpp apps/vqarchive/*.h apps/vqarchive/*.cpp)
above=$(echo "$all" | grep -Ev "$engines")
if ! grep -qE "$sql" src/archive/sqlite/SqliteArchiveStorage.cpp || ! echo "$above" | grep -q ArchiveServer.cpp; then
    echo "the seam check no longer finds the archive sources"
    exit 2
fi
found=$(grep -nE -e "$sql" -e 'sqlite3(_|\.h)' -e 'libpq-fe\.h|\bPQ[a-z]+\(' $above)
[ -z "$found" ] || fail "SQL outside the engines (move it behind ArchiveStorage):
$found"
found=$(grep -lE 'sqlite3(_|\.h)|SQLite::' $(echo "$all" | grep -v '^src/archive/sqlite/') src/archive/*/CMakeLists.txt |
    grep -v '^src/archive/sqlite/')
[ -z "$found" ] || fail "SQLite outside its engine: $found"
found=$(grep -lE 'libpq-fe\.h|LIBPQ' src/archive/*/*.h src/archive/*/*.cpp src/archive/*/CMakeLists.txt |
    grep -v '^src/archive/postgres/')
[ -z "$found" ] || fail "libpq outside its engine: $found"

[ $status = 0 ] && echo "every include between the archive's rooms points down; no SQL above the engines in $(echo "$above" | wc -l) files"
exit $status
