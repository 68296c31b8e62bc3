#include "app/mainmod.h"

#include "app/preferences.h"
#include "data/catalogue.h"
#include "data/connection.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLocale>
#include <QThread>
#include <QUrl>

namespace velto {

namespace {
QString g_programFolder;
QString g_databaseForRun;
int g_writePauseMs = 600;
} // namespace

AppState &app()
{
    static AppState state;
    return state;
}

QString settingsKeyFor(const QString &appTitle)
{
    return QStringLiteral("Software\\Kelvorn\\") + appTitle + QStringLiteral("\\Settings");
}

QString programFolder()
{
    if (!g_programFolder.isEmpty())
        return g_programFolder;
    if (QCoreApplication::instance())
        return programFolderFor(QCoreApplication::applicationDirPath());
    return QString();
}

QString programFolderFor(const QString &exeDir)
{
    const QString templateName = QLatin1Char('/') + QLatin1String(kTemplateFileName);
    if (QFileInfo::exists(exeDir + templateName))
        return exeDir;
    const QString installed = QDir::cleanPath(exeDir + QStringLiteral("/" VELTO_PROGRAM_DIR_FROM_BIN));
    if (QFileInfo::exists(installed + templateName))
        return installed;
    // Neither holds the template: the start-up reports it missing, naming
    // the executable's folder as before.
    return exeDir;
}

void setProgramFolder(const QString &folder)
{
    g_programFolder = folder;
}

QDate today()
{
    const QByteArray forced = qgetenv("VELTO_TODAY");
    if (!forced.isEmpty()) {
        const QDate d = QDate::fromString(QString::fromLatin1(forced), Qt::ISODate);
        if (d.isValid())
            return d;
    }
    return QDate::currentDate();
}

QString SqlDate(const QDate &d)
{
    return sql::date(d);
}

QString NzStr(const QVariant &v, const QString &dflt)
{
    if (v.isNull() || v.typeId() != QMetaType::QString)
        return dflt;
    return v.toString();
}

double NzNum(const QVariant &v, double dflt)
{
    if (v.isNull() || !v.isValid())
        return dflt;
    switch (v.typeId()) {
    case QMetaType::Bool: return v.toBool() ? -1.0 : 0.0;
    case QMetaType::QString: {
        bool ok = false;
        double d = v.toString().trimmed().toDouble(&ok);
        if (!ok)
            d = QLocale().toDouble(v.toString().trimmed(), &ok);
        return ok ? d : dflt;
    }
    default: {
        bool ok = false;
        const double d = v.toDouble(&ok);
        return ok ? d : dflt;
    }
    }
}

int KeyFilterDigits(int key)
{
    if ((key >= '0' && key <= '9') || key == 8 || key == 9)
        return key;
    return 0;
}

int KeyFilterDecimal(int key)
{
    if ((key >= '0' && key <= '9') || key == 8 || key == 9 || key == ',')
        return key;
    if (key == '.') {
        const QString sep = GetLocaleString(LOCALE_USER_DEFAULT, LOCALE_SDECIMAL);
        return sep.isEmpty() ? key : sep.at(0).unicode();
    }
    return 0;
}

void setWritePauseMs(int ms)
{
    g_writePauseMs = ms < 0 ? 0 : ms;
}

int writePauseMs()
{
    return g_writePauseMs;
}

void PauseAfterWrite()
{
    if (g_writePauseMs > 0)
        QThread::msleep(static_cast<unsigned long>(g_writePauseMs));
}

QString connectionStringFor(const QString &location)
{
    if (isServerLocation(location))
        return location;
    QString path = location + QLatin1Char('/') + QLatin1String(kDatabaseFileName);
    // A ";" would end the value early and outer blanks would be trimmed, so
    // such a path goes between double quotes, its own quotes doubled, as
    // connection strings have always allowed. Plain paths stay unquoted.
    if (path.contains(u';') || path.contains(u'"') || path.contains(u'\'') || path != path.trimmed())
        path = QLatin1Char('"') + path.replace(QStringLiteral("\""), QStringLiteral("\"\"")) + QLatin1Char('"');
    return QStringLiteral("Provider=Microsoft.Jet.OLEDB.4.0;Data Source=") + path
        + QStringLiteral(";Persist Security Info=False");
}

QString keepPasswordForRun(const QString &location)
{
    if (!isServerLocation(location))
        return location;
    // libpq's URI: scheme://[user[:password]@]hosts[/dbname][?name=value&...]
    QString stripped = location.trimmed();
    QString password;
    const qsizetype hostsAt = stripped.indexOf(QStringLiteral("://")) + 3;
    qsizetype authorityEnd = stripped.size();
    for (const QChar end : {u'/', u'?', u'#'}) {
        const qsizetype at = stripped.indexOf(end, hostsAt);
        if (at >= 0 && at < authorityEnd)
            authorityEnd = at;
    }
    const qsizetype userEnd = stripped.lastIndexOf(u'@', authorityEnd - 1);
    const qsizetype colon = userEnd >= hostsAt ? stripped.indexOf(u':', hostsAt) : -1;
    if (colon >= 0 && colon < userEnd) {
        password = QUrl::fromPercentEncoding(stripped.mid(colon + 1, userEnd - colon - 1).toUtf8());
        stripped.remove(colon, userEnd - colon);
    }
    const qsizetype query = stripped.indexOf(u'?', hostsAt);
    if (query >= 0) {
        QStringList kept;
        for (const QString &pair : stripped.mid(query + 1).split(u'&')) {
            if (pair.startsWith(QLatin1String("password="), Qt::CaseInsensitive))
                password = QUrl::fromPercentEncoding(pair.mid(9).toUtf8());
            else
                kept << pair;
        }
        stripped.truncate(query);
        if (!kept.isEmpty())
            stripped += u'?' + kept.join(u'&');
    }
    if (!password.isEmpty())
        setServerPassword(stripped, password);
    return stripped;
}

QString locationText(const QString &location)
{
    return isServerLocation(location) ? location : QDir::toNativeSeparators(location) + QDir::separator();
}

void setDatabaseForRun(const QString &location)
{
    if (location.isEmpty() || isServerLocation(location))
        g_databaseForRun = keepPasswordForRun(location);
    else
        g_databaseForRun = QFileInfo(location).absoluteFilePath();
}

} // namespace velto

// The routines below reach the database.
#include "app/settings.h"
#include "data/catalogue.h"
#include "data/connection.h"
#include "data/recordset.h"
#include "data/schema.h"

#include <QDir>
#include <QFile>

namespace velto {

QString databaseLocation()
{
    if (!g_databaseForRun.isEmpty())
        return g_databaseForRun;
    const QString stored =
        NzStr(ReadSetting(HKEY_LOCAL_MACHINE, app().SettingsKey, REG_SZ, QLatin1String(kCurDb), curDbDefault()),
              curDbDefault());
    // One kept by hand with a password in it is still used, but the
    // password is only held for this run.
    return keepPasswordForRun(stored);
}

DatabaseCheck CheckDatabase(const QString &connectionString)
{
    Connection c;
    Status st = c.open(connectionString);
    if (!st)
        return isBusy(st) ? DatabaseCheck::InUse : DatabaseCheck::Fails;
    // Opening reads only the first page: a truncated or partly overwritten
    // file would start and fail later, in the middle of someone's work.
    // Checking the file's structure at start-up turns it away here instead.
    DatabaseCheck result = DatabaseCheck::Fails;
    st = c.checkStructure();
    if (isBusy(st))
        result = DatabaseCheck::InUse;
    else if (st)
        result = DatabaseCheck::Opens;
    c.close();
    return result;
}

bool ConnectionFails(const QString &connectionString)
{
    return CheckDatabase(connectionString) != DatabaseCheck::Opens;
}

bool CopyDatabaseTemplate()
{
    const QString source = programFolder() + QLatin1Char('/') + QLatin1String(kTemplateFileName);
    const QString target = app().DatabaseFolder + QLatin1Char('/') + QLatin1String(kDatabaseFileName);
    if (!QFile::exists(source) || QFile::exists(target))
        return false;
    // Copied under a temporary name and renamed, so that an interrupted copy
    // never leaves a half database under the real name.
    const QString partial = target + QStringLiteral(".partial");
    QFile::remove(partial);
    if (!QFile::copy(source, partial))
        return false;
    QFile::setPermissions(partial, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::ReadOther);
    if (!QFile::rename(partial, target)) {
        QFile::remove(partial);
        return false;
    }
    return true;
}

Status upgradeLayout(const QString &connectionString)
{
    Connection c;
    Status st = c.open(connectionString);
    const auto current = [&c] {
        return c.hasColumn("Transactions", "TrGrpId") && c.hasColumn("SeriesRules", "SrGrpId");
    };
    if (!st || current())
        return st;
    // Looked at again inside the write lock: two programs starting at once
    // on an older file upgrade it once.
    return c.transaction([&c, &current] {
        if (current())
            return Status::success();
        Status step = Status::success();
        if (!c.hasColumn("Transactions", "TrGrpId")) {
            step = c.execute(sql::upgradeAddGroupField());
            if (step)
                step = c.execute(sql::upgradeFillGroupField());
            if (step)
                step = c.execute(sql::upgradeAddGroupIndex());
        }
        // Rules of series beyond the five cadences; older series need none.
        if (step)
            step = c.createTableIfMissing(u"SeriesRules");
        return step;
    });
}

Status UpgradeSchema()
{
    return upgradeLayout(app().ConnectionString);
}

void LoadCurrentDb()
{
    AppState &s = app();
    s.CurrentDbId =
        int(NzNum(ReadSetting(HKEY_CURRENT_USER, s.SettingsKey, REG_DWORD, QLatin1String(kCurSca), kCurScaDefault), 1));
    Recordset rs;
    const Status st = rs.open(sql::lookupSheet(s.CurrentDbId), s.ConnectionString, CursorType::ForwardOnly);
    if (!st || rs.eof())
        s.CurrentDbId = 1;
}

void LoadCurrentDbName()
{
    AppState &s = app();
    Recordset rs;
    const Status st = rs.open(sql::lookupSheet(s.CurrentDbId), s.ConnectionString, CursorType::ForwardOnly);
    s.CurrentDbName = st && !rs.eof() ? rs.textValue(rs.fieldIndex(u"dbname")) : QString();
}

namespace {

Status readSheetName(int sheetId, QString *name)
{
    Recordset rs;
    Status st = rs.open(sql::lookupSheet(sheetId), app().ConnectionString, CursorType::ForwardOnly);
    if (st && rs.eof())
        st = Status::failure(kErrorMissing, QStringLiteral("The data sheet %1 does not exist.").arg(sheetId));
    if (st)
        *name = rs.textValue(rs.fieldIndex(u"dbname"));
    return st;
}

} // namespace

Status selectActiveSheet(int sheetId)
{
    QString name;
    if (Status st = readSheetName(sheetId, &name); !st)
        return st;
    AppState &s = app();
    s.CurrentDbId = sheetId;
    s.CurrentDbName = name;
    return Preferences::saveActiveSheet(sheetId);
}

bool followActiveSheet(Status *status)
{
    AppState &s = app();
    QString name;
    *status = readSheetName(s.CurrentDbId, &name);
    if (*status) {
        s.CurrentDbName = name;
        return true;
    }
    // A sheet that cannot be read is not taken for a deleted one.
    if (status->code() != kErrorMissing || s.CurrentDbId == kFirstSheetId)
        return true;
    *status = selectActiveSheet(kFirstSheetId);
    return false;
}

} // namespace velto
