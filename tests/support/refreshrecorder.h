#pragma once
// Stands in for the main window: records in order what it is asked and the
// data-changed notices it would reload on. For tests that link the widget
// library.

#include "app/datawatcher.h"
#include "ui/common/mainrefresh.h"

#include <QStringList>

namespace velto::test {

class RefreshRecorder : public MainRefresh
{
public:
    RefreshRecorder()
    {
        setMainRefresh(this);
        m_notices = QObject::connect(&dataWatcher(), &DataWatcher::dataChanged, [this] { calls.append("notice"); });
    }
    ~RefreshRecorder() override
    {
        QObject::disconnect(m_notices);
        setMainRefresh(nullptr);
    }
    void reloadAll() override { calls.append(QStringLiteral("reloadAll")); }
    void gexFind(qint64 rowId) override { calls.append(QStringLiteral("gexFind(%1)").arg(rowId)); }

    QStringList calls;

private:
    QMetaObject::Connection m_notices;
};

} // namespace velto::test
