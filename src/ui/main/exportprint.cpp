#include "ui/main/exportprint.h"

#include "app/filewrite.h"
#include "app/mainmod.h"
#include "app/strings.h"
#include "app/userprompts.h"
#include "data/currency.h"
#include "ui/main/maingridsource.h"
#include "ui/widgets/grid.h"
#include "ui/widgets/gridvalues.h"

#include <QDir>
#include <QLocale>
#include <QPrinter>

namespace velto {

namespace {

// A typed value of the deadline grid's record, by its column.
QVariant stored(const Grid &grid, int bookmark, MainColumn column)
{
    return grid.recordValue(bookmark, MainGridSource::nameOf(column));
}

std::optional<Currency> currencyOf(const QVariant &v)
{
    if (!v.isValid() || v.isNull() || v.metaType() != QMetaType::fromType<Currency>())
        return std::nullopt;
    return v.value<Currency>();
}

std::optional<DeadlineType> typeOf(const Grid &grid, int bookmark)
{
    const QVariant code = stored(grid, bookmark, MainColumn::Type);
    return code.isNull() ? std::nullopt : deadlineTypeFromCode(code.toLongLong());
}

constexpr const char *kPageTextsInstalled = "veltoPageTextsInstalled";

} // namespace

QString qtFileFilter(const QString &pairs)
{
    const QStringList parts = pairs.split(u'|');
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        const QString name = parts.at(i).trimmed();
        const QString pattern = parts.at(i + 1).trimmed();
        // "Text file (*.txt)" already names its pattern.
        filters.append(name.contains(u'(') ? name : name + QStringLiteral(" (") + pattern + u')');
    }
    if (filters.isEmpty())
        filters.append(pairs);
    return filters.join(QStringLiteral(";;"));
}

QList<ExportRecord> exportRecords(const Grid &grid)
{
    QList<ExportRecord> records;
    records.reserve(grid.recordCount());
    // Row numbers count the fully expanded tree, so the walk reaches every
    // record once even when groups are collapsed.
    for (int i = 1; i <= grid.rowCount(); ++i) {
        const GridRow row = grid.row(i);
        if (!row.isValid() || row.isGroupRow())
            continue;
        // The typed values, not what the eye sees (the type shows as a
        // picture); the description as shown, with its series counter.
        const int b = row.bookmark();
        ExportRecord r;
        r.type = typeOf(grid, b).value_or(DeadlineType::Credit);
        r.done = stored(grid, b, MainColumn::Done).toBool();
        r.date = stored(grid, b, MainColumn::Date).toDate();
        r.description = stored(grid, b, MainColumn::Description).toString();
        if (r.type != DeadlineType::Appointment)
            r.amount = currencyOf(stored(grid, b, MainColumn::Value));
        r.total = currencyOf(stored(grid, b, MainColumn::Balance)).value_or(Currency());
        r.account = stored(grid, b, MainColumn::AccountName).toString();
        r.accountNotes = stored(grid, b, MainColumn::AccountNotes).toString();
        records.append(r);
    }
    return records;
}

bool ExportGrid(Grid &grid, UserPrompts &prompts)
{
    // Built before the dialog shows, from the grid as it stands now.
    const QByteArray text = exportText(exportRecords(grid));

    SaveFileRequest request;
    request.title = QStringLiteral("Velto - ") + LoadResString(1363);
    request.filter = qtFileFilter(LoadResString(1364));
    request.defaultSuffix = QStringLiteral("txt");
    const QString path = prompts.chooseSaveFile(request);
    if (path.isEmpty())
        return false;

    if (const Status st = writeWholeFile(path, text); !st) {
        prompts.message(st.message(), MessageIcon::Critical);
        return false;
    }
    return true;
}

void fillPageTexts(int page, int pageCount, GridPageTexts &texts)
{
    texts.setHeader(2, QStringLiteral("Velto"));
    texts.setHeader(3, QLocale().toString(today(), QLocale::LongFormat));
    texts.setFooter(1, QString::number(page) + QStringLiteral(" / ") + QString::number(pageCount));
}

void installPageTexts(Grid &grid)
{
    if (grid.property(kPageTextsInstalled).toBool())
        return;
    grid.setProperty(kPageTextsInstalled, true);
    QObject::connect(&grid, &Grid::pagePrinted, &grid, &fillPageTexts);
}

void installPrintedTexts(Grid &grid)
{
    GridPrintSettings settings = grid.printSettings();
    // Paper shows no tooltips and may print without colour: the type is
    // named beside its icon, and an amount carries the sign the group totals
    // give it, so what is owed reads apart from what is due.
    settings.stretchColumn = col(MainColumn::Description);
    settings.printedText = [&grid](int column, int bookmark, const QString &shown) -> QString {
        const std::optional<DeadlineType> type = typeOf(grid, bookmark);
        if (!type)
            return shown;
        if (column == col(MainColumn::Type))
            return deadlineTypeName(*type);
        if (column == col(MainColumn::Value) && !shown.isEmpty() && *type != DeadlineType::Appointment) {
            const std::optional<Currency> balance = currencyOf(stored(grid, bookmark, MainColumn::Balance));
            if (balance)
                return formatGridValue(QVariant::fromValue(*balance), QStringLiteral("Currency"));
        }
        return shown;
    };
    grid.setPrintSettings(settings);
}

bool PrintGrid(Grid &grid, UserPrompts &prompts)
{
    installPageTexts(grid);
    installPrintedTexts(grid);
    QPrinter printer(QPrinter::HighResolution);
    printer.setDocName(QStringLiteral("Velto"));
    const bool confirmed = prompts.setUpPrinter(printer);
    if (!confirmed)
        return false;
    QString error;
    if (!grid.print(&printer, &error)) {
        prompts.message(error, MessageIcon::Critical);
        return false;
    }
    return true;
}

} // namespace velto
