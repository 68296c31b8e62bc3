#pragma once
// A database's identity: a random key stored in the database itself the
// first time it is asked for (a calendar export; merely opening a database
// never writes it, and the template holds none, so every copy of the
// template gets its own). It travels with the file, so a moved folder
// or another mount path of a shared file keeps it, and two databases never
// share it, even at the same path. (A copy of the file is the same data and
// keeps it too.)

#include "data/status.h"

#include <QString>

namespace velto {

// The stored key; created, in a transaction of its own, when there is none.
Status databaseIdentity(const QString &connectionString, QString *key);

} // namespace velto
