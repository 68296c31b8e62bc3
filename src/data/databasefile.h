#pragma once
// Whole-file operations on a database: a consistent copy taken while the
// file may be in use, and putting a prepared file in place of another.

#include "data/status.h"

#include <QString>

namespace velto {

// Copies the database at sourcePath into a new file at targetPath with the
// engine's online backup, so the copy is one consistent state even when
// another connection writes meanwhile, and its pages are on disk when this
// returns.
// targetPath must not exist; on failure nothing is left there.
Status copyDatabaseFile(const QString &sourcePath, const QString &targetPath);

// Renames a finished file and syncs its folder, so the new name survives
// a power cut. Refuses to replace an existing file.
Status renameDurably(const QString &from, const QString &to);

// Puts the finished database at preparedPath in place of dbPath in one
// rename, so a crash at any moment leaves either the old file or the new
// one. Before the rename the old file's interrupted transaction, if any,
// is rolled back and its journal removed: a journal left beside the new
// file would be replayed into it. Both paths must be in the same folder.
Status replaceDatabaseFile(const QString &preparedPath, const QString &dbPath);

} // namespace velto
