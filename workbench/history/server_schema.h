// The shared history server's schema: the local file's tables, each row known by its
// session's UUID (a number of the server's own stands for it in the rows) and its order
// in the session, so that a copy repeated after a crash or a lost connection neither
// duplicates nor skips. Numbered steps, only ever appended; the first client of a newer
// version applies the missing ones in one transaction under an advisory lock, so two bays
// never migrate at once.
#pragma once

#include "pg_db.h"

namespace history {

inline constexpr int kServerSchemaVersion = 3;

// Applies the missing steps up to upTo; a server newer than this program is refused
// (PgError). Returns the version found before.
int migrateServer(Pg &pg, int upTo = kServerSchemaVersion);

}  // namespace history
