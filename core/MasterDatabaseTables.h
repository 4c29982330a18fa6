// The tables the program adds to the master database beside those every master database has
// (core/masterdb/addedtables.sql): the cut of each user file and the memory of collected mail.
// Both programs create those a database lacks when they start, so that a database made by an
// earlier version, a restored backup or a network copy gains them; the routines that use them
// call the same before their first use.
//
// The indexes of the master database's tables (core/masterdb/indexes.sql) are brought in the same
// way, at start-up, at logon and after a restore; an index only speeds lookups up, so a database
// that cannot take one now keeps working without it.
#pragma once

namespace platform::db {
class Connection;
}

namespace core {

// How long the indexes wait for another program that keeps the database busy.
inline constexpr int kIndexWaitMs = 1000;

// Creates the tables the database lacks, all in one transaction. Throws platform::db::DbError.
void AddMissingTables(platform::db::Connection& cnn);

// Creates the indexes the database lacks, all in one transaction (inside the caller's when one is
// open). True when the database holds them all afterwards; false, with the database as it was,
// when it could not take them (read only, kept busy by another program, or not of this schema).
// Never throws.
bool AddMissingIndexes(platform::db::Connection& cnn);

} // namespace core
