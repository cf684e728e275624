// The history database's schema: numbered steps, each taking a file from one version
// (PRAGMA user_version) to the next. Steps are only ever appended, never edited: a file
// written by any earlier vazdiag is brought up to date by the steps it has not seen.
#pragma once

#include "sqlite_db.h"

#include <string>

namespace history {

inline constexpr int kSchemaVersion = 3;

// An SQL expression giving a new random (version 4) UUID in its text form.
inline constexpr const char *kNewUuid =
    "lower(hex(randomblob(4)) || '-' || hex(randomblob(2)) || '-4' || substr(hex(randomblob(2)), 2) || '-' || "
    "substr('89ab', 1 + (abs(random()) % 4), 1) || substr(hex(randomblob(2)), 2) || '-' || hex(randomblob(6)))";

// sessions.ended_normally: 0 while a session runs and when it never ended (killed, a pulled
// cable, a crash); else how it ended. An earlier vazdiag reads any value but 0 as a normal end.
inline constexpr int kEndedNormally = 1;
inline constexpr int kEndedOnCommFailure = 2;  // the session ended, without talking to the unit

// Applies the missing steps up to upTo (default: the current version) in one transaction.
// A file newer than this program is refused (DbError).
void migrate(Db &db, int upTo = kSchemaVersion);

// Connection settings every user of a history sets: WAL (readers never block the writer,
// a commit costs no fsync of its own), a busy timeout (two vazdiag share one file) and
// foreign keys.
void configure(Db &db);

// PRAGMA quick_check of an open file: "" when it is sound, else the first fault found. A file
// that is no database at all is a fault too; any other failure (a lock held too long) throws.
std::string damage(Db &db);

}  // namespace history
