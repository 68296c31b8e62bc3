#include "app/autostart.h"

#include "app/strings.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>

#include <algorithm>

namespace velto {

QString loginReminderPath()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation)
        + QStringLiteral("/autostart/velto-reminder.desktop");
}

bool loginReminderInstalled()
{
    return QFileInfo::exists(loginReminderPath());
}

QString desktopExecArgument(const QString &argument)
{
    static const QString reserved = QStringLiteral(" \t\n\"'\\><~|&;$*?#()`");
    QString arg = argument;
    // %f and friends are field codes; a literal percent is written twice.
    arg.replace(QLatin1Char('%'), QStringLiteral("%%"));
    if (std::none_of(arg.cbegin(), arg.cend(), [](QChar c) { return reserved.contains(c); }))
        return arg;
    QString quoted;
    for (const QChar c : arg) {
        if (c == u'"' || c == u'`' || c == u'$' || c == u'\\')
            quoted += u'\\';
        quoted += c;
    }
    // The key's value is itself a string with backslash escapes, so each
    // backslash of the quoted argument is written twice once more.
    quoted.replace(QLatin1Char('\\'), QStringLiteral("\\\\"));
    return u'"' + quoted + u'"';
}

Status installLoginReminder(const QString &programPath)
{
    const QString path = loginReminderPath();
    const QString text =
        QStringLiteral("[Desktop Entry]\nType=Application\nName=Velto\nComment=%1\nExec=%2 --due --notify\n"
                       "Icon=velto\nTerminal=false\nNoDisplay=true\nX-GNOME-Autostart-enabled=true\n")
            .arg(LoadResString(1735).simplified(), desktopExecArgument(programPath));
    QSaveFile file(path);
    const bool written = QDir().mkpath(QFileInfo(path).absolutePath()) && file.open(QIODevice::WriteOnly)
        && file.write(text.toUtf8()) >= 0 && file.commit();
    if (!written)
        return Status::failure(kErrorNotOpen,
                               LoadResString(1733).arg(QDir::toNativeSeparators(path), file.errorString()));
    return Status::success();
}

Status removeLoginReminder()
{
    QFile file(loginReminderPath());
    if (!file.exists() || file.remove())
        return Status::success();
    return Status::failure(kErrorNotOpen,
                           LoadResString(1734).arg(QDir::toNativeSeparators(file.fileName()), file.errorString()));
}

} // namespace velto
