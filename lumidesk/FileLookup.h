// The start-up's test that a database file is there under exactly its expected name: the
// folder is listed and the name must match letter for letter, so "LumiMaster.mdb" is not
// taken for "lumimaster.mdb".
#pragma once

#include <QString>

namespace lumidesk {

bool FileFoundAs(const QString& path, const QString& expectedName);

} // namespace lumidesk
