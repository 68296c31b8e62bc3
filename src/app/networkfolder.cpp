#include "app/networkfolder.h"

#include "app/mainmod.h"
#include "app/settings.h"
#include "app/strings.h"
#include "app/userprompts.h"

#include <QDir>
#include <QFile>

#include <algorithm>
#include <iterator>

#include <sys/vfs.h>

namespace velto {

namespace {

constexpr int kNetworkFolderNotice = 1803;
// The folders already told, one per line (HKCU, REG_SZ).
constexpr auto kNetworkFoldersTold = "appset_networkfolders_told";

FilesystemProbe g_probe = nullptr;

} // namespace

bool isNetworkFilesystemType(quint32 fsType)
{
    // The magic numbers of linux/magic.h and the file systems' own headers.
    static constexpr quint32 kNetworkTypes[] = {
        0x6969,     // NFS
        0x517B,     // SMB
        0xFF534D42, // CIFS
        0xFE534D42, // SMB2
        0x65735546, // FUSE: sshfs, rclone, ...
        0x5346414F, // AFS
        0x6B414653, // kAFS
        0x00C36400, // Ceph
        0x01021997, // 9P
        0x73757245, // Coda
        0x564C,     // NCP
    };
    return std::find(std::begin(kNetworkTypes), std::end(kNetworkTypes), fsType) != std::end(kNetworkTypes);
}

std::optional<quint32> filesystemTypeOf(const QString &folder)
{
    if (g_probe)
        return g_probe(folder);
    struct statfs info { };
    if (statfs(QFile::encodeName(folder).constData(), &info) != 0)
        return std::nullopt;
    return quint32(info.f_type);
}

void setFilesystemProbe(FilesystemProbe probe)
{
    g_probe = probe;
}

bool noticeNetworkFolder(UserPrompts &prompts, const QString &folder)
{
    const std::optional<quint32> type = filesystemTypeOf(folder);
    if (!type || !isNetworkFilesystemType(*type))
        return false;
    const QString clean = QDir::cleanPath(QDir(folder).absolutePath());
    QStringList told =
        NzStr(ReadSetting(HKEY_CURRENT_USER, app().SettingsKey, REG_SZ, QLatin1String(kNetworkFoldersTold), QString()),
              QString())
            .split(u'\n', Qt::SkipEmptyParts);
    if (told.contains(clean))
        return false;
    prompts.message(LoadResString(kNetworkFolderNotice).arg(QDir::toNativeSeparators(clean)), MessageIcon::Warning);
    told.append(clean);
    try {
        WriteSetting(HKEY_CURRENT_USER, app().SettingsKey, REG_SZ, QLatin1String(kNetworkFoldersTold),
                     told.join(u'\n'));
    } catch (const RegistryError &e) {
        // It will be said again next time; the user learns why.
        prompts.message(e.description, MessageIcon::Warning);
    }
    return true;
}

} // namespace velto
