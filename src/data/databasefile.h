#pragma once
// Whole-file operations on a database: a consistent copy taken while the
// file may be in use, and putting a prepared file in place of another.

#include "data/status.h"

#include <QString>

#include <memory>

namespace velto {

// Copies the database at sourcePath into a new file at targetPath with the
// engine's online backup, so the copy is one consistent state even when
// another connection writes meanwhile (pages still in a write-ahead log
// included), and its pages are on disk when this returns. The copy has the
// source file's permissions from its first byte on, and a rollback journal
// whatever the source uses.
// targetPath must not exist; on failure nothing is left there.
Status copyDatabaseFile(const QString &sourcePath, const QString &targetPath);

// Renames a finished file and syncs its folder, so the new name survives
// a power cut. Never replaces an existing file, even when another process
// renames to the same name at the same moment.
Status renameDurably(const QString &from, const QString &to);

// The exclusive lock on a database file, held from lock() until the object
// goes: no other connection reads or writes the file meanwhile, so what
// copyTo() writes is the file as every acknowledged commit left it, and
// nothing can commit between that copy and replaceContent().
class DatabaseFileLock
{
public:
    DatabaseFileLock();
    ~DatabaseFileLock();
    DatabaseFileLock(const DatabaseFileLock &) = delete;
    DatabaseFileLock &operator=(const DatabaseFileLock &) = delete;

    // Takes the lock, rolling back a transaction a crash interrupted. A file
    // in write-ahead-log mode is first given a rollback journal (its log
    // checkpointed into it); that needs every other connection closed.
    // With sourcePath, that database is attached first, for replaceContent().
    Status lock(const QString &dbPath, const QString &sourcePath = QString());
    // Writes the locked file, as it stands, into a new file at targetPath,
    // with the database file's permissions, synced.
    Status copyTo(const QString &targetPath);
    // Writes every table of the database attached by lock() over the locked
    // file's, in the transaction that holds the lock, and commits: other
    // connections, of this process or another, simply see a new state.
    Status replaceContent();

private:
    struct Handle;
    std::unique_ptr<Handle> m_handle;
    QString m_path;
};

} // namespace velto
