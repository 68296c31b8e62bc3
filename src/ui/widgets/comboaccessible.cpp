#include "ui/widgets/comboaccessible.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QLineEdit>

namespace velto {

ComboAccessible::ComboAccessible(QComboBox *combo) : QAccessibleWidget(combo, QAccessible::ComboBox) { }

QComboBox *ComboAccessible::combo() const
{
    return static_cast<QComboBox *>(widget());
}

QString ComboAccessible::text(QAccessible::Text t) const
{
    if (t == QAccessible::Value)
        return combo()->isEditable() ? combo()->lineEdit()->text() : combo()->currentText();
    if (t == QAccessible::Accelerator)
        return QKeySequence(Qt::Key_Down).toString(QKeySequence::NativeText);
    return QAccessibleWidget::text(t); // the name: accessible name, else the buddy label's text
}

QAccessible::State ComboAccessible::state() const
{
    QAccessible::State s = QAccessibleWidget::state();
    s.expandable = true;
    s.hasPopup = true;
    s.expanded = combo()->view() && combo()->view()->isVisible();
    s.collapsed = !s.expanded;
    s.editable = combo()->isEditable();
    return s;
}

int ComboAccessible::childCount() const
{
    return combo()->isEditable() ? 2 : 1;
}

QAccessibleInterface *ComboAccessible::child(int index) const
{
    if (index == 0 && combo()->view())
        return QAccessible::queryAccessibleInterface(combo()->view());
    if (index == 1 && combo()->isEditable())
        return QAccessible::queryAccessibleInterface(combo()->lineEdit());
    return nullptr;
}

int ComboAccessible::indexOfChild(const QAccessibleInterface *child) const
{
    if (!child)
        return -1;
    if (child->object() == combo()->view())
        return 0;
    if (combo()->isEditable() && child->object() == combo()->lineEdit())
        return 1;
    return -1;
}

QStringList ComboAccessible::actionNames() const
{
    return QAccessibleWidget::actionNames() << showMenuAction() << pressAction();
}

void ComboAccessible::doAction(const QString &actionName)
{
    if (actionName == showMenuAction() || actionName == pressAction()) {
        if (combo()->view() && combo()->view()->isVisible())
            combo()->hidePopup();
        else
            combo()->showPopup();
        return;
    }
    QAccessibleWidget::doAction(actionName);
}

} // namespace velto
