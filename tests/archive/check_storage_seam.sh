#!/bin/sh
# Nothing above the archive's storage speaks SQL: statements and sqlite3 calls live on the SQLite
# side of the seam only. Usage: check_storage_seam.sh <source root>
cd "$1" || exit 2
sqlite_side='^src/archive/(Sqlite[A-Za-z]*|SqliteDatabase|SqliteSearchSchema|SqlDialectTranslator)\.(h|cpp)$'
sql='"[^"]*\b(SELECT|INSERT( OR [A-Z]+)? INTO|UPDATE [a-z_]+ SET|DELETE FROM|CREATE (TABLE|INDEX|TRIGGER|VIRTUAL)|DROP (TABLE|INDEX|TRIGGER)|ALTER TABLE|PRAGMA|SAVEPOINT|BEGIN|COMMIT|ROLLBACK)\b'
all=$(ls src/archive/*.h src/archive/*.cpp apps/vqarchive/*.h apps/vqarchive/*.cpp)
above=$(echo "$all" | grep -Ev "$sqlite_side")
# The patterns must see what they guard: they find the SQL of the SQLite storage itself.
if ! grep -qE "$sql" src/archive/SqliteArchiveStorage.cpp || ! echo "$above" | grep -q ArchiveServer.cpp; then
    echo "the seam check no longer finds the archive sources"
    exit 2
fi
found=$(grep -nE -e "$sql" -e 'sqlite3(_|\.h)' $above)
if [ -n "$found" ]; then
    echo "SQL above the archive storage (move it behind ArchiveStorage):"
    echo "$found"
    exit 1
fi
echo "no SQL above the archive storage in $(echo "$above" | wc -l) files"
