#pragma once
// A database folder on a network file system: SQLite's locking there is only
// as reliable as that file system's own locking, so the user is told once
// per folder that a server database is the safe way for several machines.

#include <QString>

#include <optional>

namespace velto {

class UserPrompts;

// True for the statfs f_type of a network file system: NFS, SMB/CIFS,
// FUSE (sshfs and the like), AFS, Ceph, 9P, Coda, NCP.
[[nodiscard]] bool isNetworkFilesystemType(quint32 fsType);

// The f_type of the file system holding the folder; none when unreadable.
using FilesystemProbe = std::optional<quint32> (*)(const QString &folder);
[[nodiscard]] std::optional<quint32> filesystemTypeOf(const QString &folder);
// Tests put another probe in place; nullptr puts statfs back.
void setFilesystemProbe(FilesystemProbe probe);

// Says it (through the prompts seam, in the user's language) the first time
// a folder on a network file system is met, and remembers in the user's
// settings the folders already told. True when it told.
bool noticeNetworkFolder(UserPrompts &prompts, const QString &folder);

} // namespace velto
