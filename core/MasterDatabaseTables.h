// The tables the program adds to the master database beside those every master database has
// (core/masterdb/addedtables.sql): the cut of each user file and the memory of collected mail.
// Both programs create those a database lacks when they start, so that a database made by an
// earlier version, a restored backup or a network copy gains them; the routines that use them
// call the same before their first use.
#pragma once

namespace platform::db {
class Connection;
}

namespace core {

// Creates the tables the database lacks, all in one transaction. Throws platform::db::DbError.
void AddMissingTables(platform::db::Connection& cnn);

} // namespace core
