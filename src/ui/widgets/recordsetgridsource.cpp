#include "ui/widgets/recordsetgridsource.h"

#include "ui/widgets/grid.h"

#include "app/statustext.h"

#include <QRegularExpression>

namespace velto {

std::unique_ptr<GridSource> RecordsetGridSource::load(const QString &connection, const QString &source,
                                                      QString *error)
{
    static const QRegularExpression bareName(QStringLiteral("^\\s*\\[?(\\w+)\\]?\\s*$"));
    QString statement = source;
    const auto match = bareName.match(source);
    if (match.hasMatch())
        statement = QStringLiteral("SELECT * FROM ") + match.captured(1);

    auto result = std::make_unique<RecordsetGridSource>();
    const Status status = result->m_set.open(statement, connection, CursorType::Static);
    if (!status.ok()) {
        if (error)
            *error = userMessage(status);
        return nullptr;
    }
    result->m_rows = int(result->m_set.recordCount());
    return result;
}

void installDatabaseGridLoader()
{
    Grid::setLoader(&RecordsetGridSource::load);
}

} // namespace velto
