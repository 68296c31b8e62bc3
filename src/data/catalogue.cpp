#include "data/catalogue.h"

namespace velto::sql {

QString text(const QString &value)
{
    QString doubled = value;
    doubled.replace(u'\'', QStringLiteral("''"));
    return u'\'' + doubled + u'\'';
}

QString whole(qint64 value)
{
    return QString::number(value);
}
QString amount(Currency value)
{
    return value.toSqlText();
}
QString date(const QDate &value)
{
    // Built by hand so that no regional date separator can creep in (and
    // cheaply: a series writes one per row).
    if (value.isValid() && value.year() >= 1 && value.year() <= 9999) {
        const int y = value.year(), m = value.month(), day = value.day();
        const QChar text[12] = {u'#',
                                QChar(u'0' + m / 10),
                                QChar(u'0' + m % 10),
                                u'/',
                                QChar(u'0' + day / 10),
                                QChar(u'0' + day % 10),
                                u'/',
                                QChar(u'0' + y / 1000),
                                QChar(u'0' + y / 100 % 10),
                                QChar(u'0' + y / 10 % 10),
                                QChar(u'0' + y % 10),
                                u'#'};
        return QString(text, 12);
    }
    return QStringLiteral("#%1/%2/%3#")
        .arg(value.month(), 2, 10, QLatin1Char('0'))
        .arg(value.day(), 2, 10, QLatin1Char('0'))
        .arg(value.year(), 4, 10, QLatin1Char('0'));
}

QString dateBody(const QDate &value)
{
    const QString d = date(value);
    return d.mid(1, d.size() - 2);
}

QString mainFilter(int index)
{
    static const char *const filters[kMainFilterCount] = {
        "True",
        "TrDone=False",
        "TrDone=False And TrType<>-2",
        "TrDone=False And TrType=1",
        "TrDone=False And TrType=-1",
        "TrDone=False And TrType=-2",
        "TrDone=True",
    };
    if (index < 0 || index >= kMainFilterCount)
        index = 0;
    return QLatin1String(filters[index]);
}

namespace {
QString deadlineColumns()
{
    return QStringLiteral("SELECT TrRowId, TrDbId, TrType, TrDone, TrDate, TrDescription, TrAcId, TrValue, TrBalance, "
                          "TrGrpType, TrGrpRow, TrGrpMDay, TrNotes, TrGrpId");
}

// A data sheet is most of a book, not a few rows of it: the table read in
// its own order (the '+' keeps the sheet's index out) costs a tenth of a
// lookup by the index for each row. The rows come in key order.
QString sheetWhere(int dbId, const QString &filter)
{
    return QStringLiteral("Where +TrDbId=") + whole(dbId) + QStringLiteral(" AND (") + filter + QStringLiteral(" )");
}

QString periodWhere(int dbId, const QDate &first, const QDate &last)
{
    return QStringLiteral("Where TrDbId=") + whole(dbId) + QStringLiteral(" AND (") + QStringLiteral("TrDate Between #")
        + dateBody(first) + QStringLiteral("# And #") + dateBody(last) + QStringLiteral("# )");
}
} // namespace

QString mainSelectBase()
{
    return deadlineColumns()
        + QStringLiteral(", Accounts.* FROM Transactions LEFT JOIN Accounts ON Transactions.TrAcId = Accounts.AcId ");
}

QString mainSelect(int dbId, const QString &filter)
{
    return mainSelectBase() + sheetWhere(dbId, filter);
}

QString mainSelectPeriod(int dbId, const QDate &first, const QDate &last)
{
    return mainSelectBase() + periodWhere(dbId, first, last);
}

QString mainRows(int dbId, const QString &filter)
{
    return deadlineColumns() + QStringLiteral(" FROM Transactions ") + sheetWhere(dbId, filter);
}

QString mainRowsPeriod(int dbId, const QDate &first, const QDate &last)
{
    return deadlineColumns() + QStringLiteral(" FROM Transactions ") + periodWhere(dbId, first, last);
}

QString mainSelectColumnsOnly()
{
    return mainSelectBase() + QStringLiteral("Where TrDbId=0");
}

QString startPanel(const QDate &first, const QDate &last, int dbId)
{
    return QStringLiteral("SELECT TrDescription, TrGrpType, TrGrpRow, TrGrpMDay, TrGrpId FROM Transactions Where ")
        + QStringLiteral("(TrDate Between #") + dateBody(first) + QStringLiteral("# And #") + dateBody(last)
        + QStringLiteral("#) AND TrDone=False AND TrDbId=") + whole(dbId) + QStringLiteral(" ORDER BY TrDate DESC");
}

QString boldDays(const QDate &first, const QDate &last, int dbId)
{
    return QStringLiteral("SELECT Count(TrRowId) AS CTR, TrDate FROM Transactions WHERE (TrDate Between #")
        + dateBody(first) + QStringLiteral("# And #") + dateBody(last)
        + QStringLiteral("#) AND TrDone=False AND TrDbId=") + whole(dbId) + QStringLiteral(" GROUP BY TrDate");
}

QString openOnDay(const QDate &day, int dbId)
{
    return QStringLiteral("SELECT TrRowId FROM Transactions WHERE TrDate=") + date(day)
        + QStringLiteral(" AND TrDone=False AND TrDbId=") + whole(dbId);
}

QString openDueUpTo(const QDate &day, int dbId)
{
    return QStringLiteral("SELECT TrRowId FROM Transactions WHERE TrDone=False AND TrDate<=") + date(day)
        + QStringLiteral(" AND TrDbId=") + whole(dbId);
}

QString openDeadlinesUpTo(int dbId, const QDate &day)
{
    QString filter = QStringLiteral("TrDone=False");
    if (day.isValid())
        filter += QStringLiteral(" And TrDate<=") + date(day);
    return mainSelect(dbId, filter) + QStringLiteral(" ORDER BY TrDate, TrRowId");
}

QString toggleDone(qint64 rowId)
{
    return QStringLiteral("UPDATE Transactions SET Transactions.TrDone = Not [TrDone]")
        + QStringLiteral(" WHERE Transactions.TrRowId=") + whole(rowId);
}

QString deleteOne(qint64 rowId)
{
    return QStringLiteral("DELETE * FROM Transactions WHERE Transactions.TrRowId=") + whole(rowId);
}

QString deleteGroup(qint64 groupId)
{
    return QStringLiteral("DELETE * FROM Transactions WHERE Transactions.TrGrpId=") + whole(groupId);
}

QString groupSize(qint64 groupId)
{
    return QStringLiteral("SELECT Count(Transactions.TrRowId) AS CTrRowId From Transactions WHERE TrGrpId=")
        + whole(groupId);
}

QString groupRows(qint64 groupId)
{
    return QStringLiteral("SELECT * FROM Transactions WHERE TrGrpId=") + whole(groupId)
        + QStringLiteral(" ORDER BY TrDate");
}

QString groupKeys(qint64 groupId)
{
    return QStringLiteral("SELECT TrRowId FROM Transactions WHERE TrGrpId=") + whole(groupId);
}

QString setGroupId(qint64 rowId, qint64 groupId)
{
    return QStringLiteral("UPDATE Transactions SET TrGrpId=") + whole(groupId) + QStringLiteral(" WHERE TrRowId=")
        + whole(rowId);
}

QString nextGroupId()
{
    return QStringLiteral("SELECT Max(Transactions.TrGrpId) AS mId FROM Transactions");
}

QString insertSingle(int dbId, int type, const QDate &day, const QString &description, qint64 accountId, Currency value,
                     Currency balance, qint64 groupId)
{
    return QStringLiteral("INSERT INTO Transactions ( TrDbId, TrType, TrDate, TrDescription, TrAcId, TrValue, "
                          "TrBalance, TrGrpType, TrGrpId ) ")
        + QStringLiteral("SELECT ") + whole(dbId) + QStringLiteral(", ") + whole(type) + QStringLiteral(", ")
        + date(day) + QStringLiteral(", ") + text(description) + QStringLiteral(", ") + whole(accountId)
        + QStringLiteral(", ") + amount(value) + QStringLiteral(", ") + amount(balance) + QStringLiteral(", 'n', ")
        + whole(groupId);
}

QString insertSeriesRowMarks()
{
    return QStringLiteral(
        "INSERT INTO Transactions ( TrDbId, TrType, TrDate, TrDescription, TrAcId, TrValue, "
        "TrBalance, TrGrpType, TrGrpRow, TrGrpMDay, TrGrpId ) SELECT ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?");
}

QString insertSeriesRow(int dbId, int type, const QDate &day, const QString &description, qint64 accountId,
                        Currency value, Currency balance, QChar cadence, int row, int count, qint64 groupId)
{
    QString s;
    s.reserve(300 + description.size());
    s += QLatin1String("INSERT INTO Transactions ( TrDbId, TrType, TrDate, TrDescription, TrAcId, TrValue, "
                       "TrBalance, TrGrpType, TrGrpRow, TrGrpMDay, TrGrpId ) SELECT ");
    s += whole(dbId);
    s += QLatin1String(", ");
    s += whole(type);
    s += QLatin1String(", ");
    s += date(day);
    s += QLatin1String(", ");
    s += text(description);
    s += QLatin1String(", ");
    s += whole(accountId);
    s += QLatin1String(", ");
    s += amount(value);
    s += QLatin1String(", ");
    s += amount(balance);
    s += QLatin1String(", '");
    s += cadence;
    s += QLatin1String("', ");
    s += whole(row);
    s += QLatin1String(", ");
    s += whole(count);
    s += QLatin1String(", ");
    s += whole(groupId);
    return s;
}

QString deleteSeriesRule(qint64 groupId)
{
    return QStringLiteral("DELETE * FROM SeriesRules WHERE SrGrpId=") + whole(groupId);
}
QString insertSeriesRule(qint64 groupId, const QString &rule)
{
    return QStringLiteral("INSERT INTO SeriesRules ( SrGrpId, SrRule ) SELECT ") + whole(groupId) + QStringLiteral(", ")
        + text(rule);
}
QString seriesRule(qint64 groupId)
{
    return QStringLiteral("SELECT SrRule FROM SeriesRules WHERE SrGrpId=") + whole(groupId);
}

QString editDeadline(qint64 rowId)
{
    return QStringLiteral("SELECT * FROM Transactions WHERE TrRowId=") + whole(rowId);
}

QString countClosedUpTo(const QDate &day, int dbId)
{
    return QStringLiteral("SELECT TrRowId From Transactions WHERE TrDate<=") + date(day)
        + QStringLiteral(" AND TrDone=True AND TrDbId=") + whole(dbId);
}

QString deleteClosedUpTo(const QDate &day, int dbId)
{
    return QStringLiteral("DELETE * FROM Transactions WHERE TrDate<=") + date(day)
        + QStringLiteral(" AND TrDone=True AND TrDbId=") + whole(dbId);
}

QString closedUpTo(const QDate &day, int dbId)
{
    return QStringLiteral("SELECT * FROM Transactions WHERE TrDate<=") + date(day)
        + QStringLiteral(" AND TrDone=True AND TrDbId=") + whole(dbId);
}
QString sheetDeadlines(int dbId)
{
    return QStringLiteral("SELECT * FROM Transactions WHERE TrDbId=") + whole(dbId);
}
QString accountDeadlines(qint64 accountId)
{
    return QStringLiteral("SELECT TrRowId FROM Transactions WHERE TrAcId=") + whole(accountId);
}
QString rowsFrom(qint64 rowId)
{
    return QStringLiteral("SELECT * FROM Transactions WHERE TrRowId>=") + whole(rowId);
}

QString deleteSheetDeadlines(int dbId)
{
    return QStringLiteral("DELETE * FROM Transactions WHERE TrDbId=") + whole(dbId);
}

QString upgradeAddGroupField()
{
    return QStringLiteral("ALTER TABLE Transactions ADD COLUMN TrGrpId INTEGER DEFAULT 0");
}
QString upgradeFillGroupField()
{
    return QStringLiteral("UPDATE Transactions SET Transactions.TrGrpId = 0 WHERE TrGrpId Is Null");
}
QString upgradeAddGroupIndex()
{
    return QStringLiteral("CREATE INDEX TrGrpId ON Transactions (TrGrpId)");
}

QString editAccount(qint64 accountId)
{
    return QStringLiteral("SELECT * FROM Accounts WHERE AcId=") + whole(accountId);
}
QString accountPickList()
{
    return QStringLiteral("SELECT AcId, AcName FROM Accounts ORDER BY AcName");
}
QString accountList()
{
    return QStringLiteral("SELECT AcId, AcName, AcNotes FROM Accounts");
}
QString accountInUse(qint64 accountId)
{
    return QStringLiteral("SELECT Accounts.AcId FROM Accounts INNER JOIN Transactions ON Accounts.AcId = "
                          "Transactions.TrAcId")
        + QStringLiteral(" WHERE Accounts.AcId=") + whole(accountId);
}
QString deleteAccount(qint64 accountId)
{
    return QStringLiteral("DELETE * FROM Accounts WHERE AcId=") + whole(accountId);
}

QString lookupSheet(qint64 dbId)
{
    return QStringLiteral("SELECT * FROM Dbs WHERE DbId=") + whole(dbId);
}
QString listSheets()
{
    return QStringLiteral("SELECT * FROM Dbs ORDER BY DbName");
}
QString renameSheet(const QString &name, qint64 dbId)
{
    return QStringLiteral("UPDATE Dbs SET Dbs.DbName = ") + text(name) + QStringLiteral(" WHERE Dbs.DbId=")
        + whole(dbId);
}
QString deleteSheet(qint64 dbId)
{
    return QStringLiteral("DELETE * FROM Dbs WHERE DbId=") + whole(dbId);
}
QString nextSheetId()
{
    return QStringLiteral("SELECT Max(Dbs.DbId) AS MaxDiDbId FROM Dbs");
}
QString sheetCounter()
{
    return QStringLiteral("SELECT seq FROM sqlite_sequence WHERE name='Dbs'");
}
QString setSheetCounter(qint64 dbId)
{
    return QStringLiteral("UPDATE sqlite_sequence SET seq=") + whole(dbId) + QStringLiteral(" WHERE name='Dbs'");
}
QString addSheetCounter(qint64 dbId)
{
    return QStringLiteral("INSERT INTO sqlite_sequence ( name, seq ) SELECT 'Dbs', ") + whole(dbId);
}
QString createSheet(qint64 dbId, const QString &name)
{
    return QStringLiteral("INSERT INTO Dbs ( DbId, DbName ) SELECT ") + whole(dbId) + QStringLiteral(", ") + text(name);
}

QString openAmountsUpTo(const QDate &last, int dbId)
{
    return QStringLiteral(
               "SELECT TrType, TrDate, TrValue FROM Transactions WHERE TrDone=False AND TrType<>-2 AND TrDate<=")
        + date(last) + QStringLiteral(" AND TrDbId=") + whole(dbId);
}

QString createIdentityTable()
{
    return QStringLiteral("CREATE TABLE IF NOT EXISTS DbIdentity (IdKey VARCHAR(64) NOT NULL)");
}
QString insertIdentityIfNone(const QString &key)
{
    return QStringLiteral("INSERT INTO DbIdentity ( IdKey ) SELECT ") + text(key)
        + QStringLiteral(" WHERE NOT EXISTS (SELECT IdKey FROM DbIdentity)");
}
QString readIdentity()
{
    return QStringLiteral("SELECT IdKey FROM DbIdentity");
}

} // namespace velto::sql
