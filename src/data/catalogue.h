#pragma once
// Every statement the program sends, built as text in the desktop-database
// dialect from fixed pieces. Values are written by the rules below; user text
// goes between single quotes with every apostrophe doubled.

#include "data/currency.h"

#include <QDate>
#include <QString>

namespace velto::sql {

QString text(const QString &value);   // 'l''affitto'
QString whole(qint64 value);          // -2, 15
QString amount(Currency value);       // " 1234.5", "-1234.5"
QString date(const QDate &value);     // #03/05/2024#
QString dateBody(const QDate &value); // 03/05/2024

// The deadline grid's filters, in the order of the view list.
QString mainFilter(int index);
inline constexpr int kMainFilterCount = 7;
QString mainSelectBase();
// The sheet's deadlines by filter, in key order.
QString mainSelect(int dbId, const QString &filter);
QString mainSelectPeriod(int dbId, const QDate &first, const QDate &last);
// The same rows with the deadline's columns only: the typed read takes the
// clients from one read of their own table (accountList()), not a lookup
// for every row.
QString mainRows(int dbId, const QString &filter);
QString mainRowsPeriod(int dbId, const QDate &first, const QDate &last);
QString mainSelectColumnsOnly();
QString startPanel(const QDate &first, const QDate &last, int dbId);
QString boldDays(const QDate &first, const QDate &last, int dbId);
QString openOnDay(const QDate &day, int dbId);
QString openDueUpTo(const QDate &day, int dbId);
// The main query's columns for the sheet's open deadlines dated up to day
// (all of them for an invalid day), oldest first.
QString openDeadlinesUpTo(int dbId, const QDate &day);
QString toggleDone(qint64 rowId);
QString deleteOne(qint64 rowId);
QString deleteGroup(qint64 groupId);
QString groupSize(qint64 groupId);
QString groupRows(qint64 groupId);
QString setGroupId(qint64 rowId, qint64 groupId);
QString groupKeys(qint64 groupId);
QString nextGroupId();
QString insertSingle(int dbId, int type, const QDate &day, const QString &description, qint64 accountId, Currency value,
                     Currency balance, qint64 groupId);
QString insertSeriesRow(int dbId, int type, const QDate &day, const QString &description, qint64 accountId,
                        Currency value, Currency balance, QChar cadence, int row, int count, qint64 groupId);
// The same row with a '?' for each of those values, in that order, for a
// BoundStatement.
QString insertSeriesRowMarks();
// The rule row of a series: written with every new series (removed for one of
// the five plain cadences, so a reused number never keeps an old rule).
QString deleteSeriesRule(qint64 groupId);
QString insertSeriesRule(qint64 groupId, const QString &rule);
QString seriesRule(qint64 groupId);
QString editDeadline(qint64 rowId);
QString countClosedUpTo(const QDate &day, int dbId);
QString deleteClosedUpTo(const QDate &day, int dbId);
QString deleteSheetDeadlines(int dbId);
// Whole rows, for the undo history: what a purge or a sheet's deletion
// removes, and the rows an insert added (keys only grow).
QString closedUpTo(const QDate &day, int dbId);
QString sheetDeadlines(int dbId);
QString rowsFrom(qint64 rowId);
// Deadlines naming a client/supplier, whether or not its row still exists.
QString accountDeadlines(qint64 accountId);
QString upgradeAddGroupField();
QString upgradeFillGroupField();
// Group deletes and renumbering look deadlines up by group.
QString upgradeAddGroupIndex();

QString editAccount(qint64 accountId);
inline constexpr const char *kAccountsTable = "Accounts";
QString accountPickList();
QString accountList();
QString accountInUse(qint64 accountId);
QString deleteAccount(qint64 accountId);

QString lookupSheet(qint64 dbId);
QString listSheets();
QString renameSheet(const QString &name, qint64 dbId);
QString deleteSheet(qint64 dbId);
QString nextSheetId();
// The highest data sheet id ever given, kept beside the engine's own
// counters of the AUTOINCREMENT keys (it keeps none for Dbs itself).
QString sheetCounter();
QString setSheetCounter(qint64 dbId);
QString addSheetCounter(qint64 dbId);
QString createSheet(qint64 dbId, const QString &name);

// Open credits and debits of a sheet dated up to last, overdue ones included.
QString openAmountsUpTo(const QDate &last, int dbId);

// The database's own key (one row), added to older files when first needed.
QString createIdentityTable();
QString insertIdentityIfNone(const QString &key);
QString readIdentity();

} // namespace velto::sql
