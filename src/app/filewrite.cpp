#include "app/filewrite.h"

#include "app/strings.h"

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>

namespace velto {

Status writeWholeFile(const QString &path, const QByteArray &bytes)
{
    const QString shown = QDir::toNativeSeparators(path);
    // A link to a regular file is written through; anything else that is
    // there would be swapped for a plain file by the rename.
    const QFileInfo target(path);
    if (target.exists() && !target.isFile())
        return Status::failure(kErrorFileNotWritten, LoadResString(1860).arg(shown));
    QSaveFile file(path);
    bool written = file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
    written = written && file.commit();
    if (!written) {
        // Qt's reason is in the user's language once its translations are loaded.
        return Status::failure(kErrorFileNotWritten,
                               shown + QLatin1Char('\n') + LoadResString(1580) + QLatin1Char('\n')
                                   + file.errorString());
    }
    return Status::success();
}

} // namespace velto
