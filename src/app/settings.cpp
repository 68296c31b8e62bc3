#include "app/settings.h"

#include "app/mainmod.h"

#include <QFile>
#include <QStandardPaths>

#include <unistd.h>

namespace velto {

bool isWritableFolder(const QString &folder)
{
    // access() asks the kernel the question that matters (may this user
    // create a file here), ACLs and read-only mounts included, which the
    // permission bits alone do not answer.
    if (folder.isEmpty())
        return false;
    return ::access(QFile::encodeName(folder).constData(), W_OK | X_OK) == 0;
}

QString userDatabaseFolder()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) + QStringLiteral("/Kelvorn/Velto");
}

QString curDbDefault()
{
    // An installed program folder belongs to root; a normal user could never
    // create the database there, so the program would never start.
    const QString folder = programFolder();
    if (isWritableFolder(folder))
        return folder;
    return userDatabaseFolder();
}

QVariant ReadSetting(int hive, const QString &keyPath, int valueType, const QString &valueName, const QVariant &dflt)
{
    comRegistry reg;
    reg.setClassKey(hive);
    reg.setSectionKey(keyPath);
    reg.setValueType(valueType);
    reg.setValueKey(valueName);
    if (dflt.isValid())
        reg.setDefault(dflt);
    return reg.Value();
}

void WriteSetting(int hive, const QString &keyPath, int valueType, const QString &valueName, const QVariant &value)
{
    comRegistry reg;
    reg.setClassKey(hive);
    reg.setSectionKey(keyPath);
    reg.setValueKey(valueName);
    reg.setValueType(valueType);
    reg.setValue(value);
}

bool isFlagOn(const QVariant &stored)
{
    return NzNum(stored, 0) == 1.0;
}

} // namespace velto
