#pragma once
namespace wizard {
bool BuildAllUserFiles(bool overwriteAll, bool valuesOnly);
}
