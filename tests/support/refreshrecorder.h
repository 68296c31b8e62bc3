#pragma once
// Stands in for the main window: records the refresh calls in order.
// For tests that link the widget library.

#include "ui/common/mainrefresh.h"

#include <QStringList>

namespace velto::test {

class RefreshRecorder : public MainRefresh
{
public:
    RefreshRecorder() { setMainRefresh(this); }
    ~RefreshRecorder() override { setMainRefresh(nullptr); }
    void gexUpdate(int filterIndex) override { calls.append(QStringLiteral("gexUpdate(%1)").arg(filterIndex)); }
    void gexFind(qint64 rowId) override { calls.append(QStringLiteral("gexFind(%1)").arg(rowId)); }
    void gextasksUpdate() override { calls.append(QStringLiteral("gextasksUpdate")); }
    void sbBallon() override { calls.append(QStringLiteral("sbBallon")); }
    void picStartVisible() override { calls.append(QStringLiteral("picStartVisible")); }
    void mvGetDayBold() override { calls.append(QStringLiteral("mvGetDayBold")); }
    [[nodiscard]] int currentFilterIndex() const override { return filterIndex; }

    int filterIndex = 3;
    QStringList calls;
};

} // namespace velto::test
