#include "ui/widgets/accessibility.h"

#include "ui/widgets/comboaccessible.h"
#include "ui/widgets/gridaccessible.h"
#include "ui/widgets/gridview.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QComboBox>

namespace velto {

namespace {

QAccessibleInterface *factory(const QString &className, QObject *object)
{
    if (!object || !object->isWidgetType())
        return nullptr;
    auto *widget = static_cast<QWidget *>(object);
    if (className == QLatin1String("velto::GridView"))
        return new GridAccessible(static_cast<GridView *>(widget));
    if (className == QLatin1String("QComboBox"))
        return new ComboAccessible(static_cast<QComboBox *>(widget));
    // A plain widget shown as a window would otherwise read as a filler.
    if (className == QLatin1String("QWidget") && widget->isWindow())
        return new QAccessibleWidget(widget, QAccessible::Window);
    return nullptr;
}

} // namespace

void installAccessibility()
{
    static const bool installed = [] {
        QAccessible::installFactory(factory);
        return true;
    }();
    Q_UNUSED(installed);
}

} // namespace velto
