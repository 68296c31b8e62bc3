#include "ui/common/dialogframe.h"

#include "app/strings.h"
#include "ui/widgets/accessibility.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAbstractSpinBox>
#include <QApplication>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QEvent>
#include <QFocusEvent>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QStatusBar>
#include <QTimer>
#include <QVBoxLayout>

namespace velto {

namespace {

// Sees the Enter that a button without the default role leaves unhandled on
// its way up to the window, before the window's own key handler (which may
// swallow Enter so that it never presses Save by accident from a field).
class EnterPressesButton : public QObject
{
public:
    explicit EnterPressesButton(QWidget *window) : QObject(window), m_window(window)
    {
        setObjectName(QStringLiteral("enterPressesButton"));
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (watched != m_window || event->type() != QEvent::KeyPress)
            return false;
        auto *ke = static_cast<QKeyEvent *>(event);
        if ((ke->key() != Qt::Key_Return && ke->key() != Qt::Key_Enter)
            || (ke->modifiers() & ~Qt::KeypadModifier) != Qt::NoModifier)
            return false;
        auto *button = qobject_cast<QPushButton *>(QApplication::focusWidget());
        if (!button || button->window() != m_window || !button->isEnabled() || !button->isVisible())
            return false;
        button->click();
        return true;
    }

private:
    QWidget *m_window;
};

// A button box that leaves the default button to the dialog: the box on
// its own makes its first accept button the default when it is shown, and
// Enter in a field would then save from anywhere.
class ButtonBox : public QDialogButtonBox
{
public:
    using QDialogButtonBox::QDialogButtonBox;

protected:
    bool event(QEvent *event) override
    {
        if (event->type() != QEvent::Show)
            return QDialogButtonBox::event(event);
        QList<QPair<QPushButton *, bool>> defaults;
        for (QAbstractButton *b : buttons())
            if (auto *p = qobject_cast<QPushButton *>(b))
                defaults.append({p, p->isDefault()});
        const bool taken = QDialogButtonBox::event(event);
        for (const auto &[button, wasDefault] : std::as_const(defaults))
            button->setDefault(wasDefault);
        return taken;
    }
};

} // namespace

void DialogFrame::pressButtonsOnEnter(QWidget *window)
{
    if (window && !window->findChild<QObject *>(QStringLiteral("enterPressesButton"), Qt::FindDirectChildrenOnly))
        window->installEventFilter(new EnterPressesButton(window));
}

DialogFrame::DialogFrame(QWidget *window, QStatusBar *statusBar) : QObject(window), m_window(window)
{
    pressButtonsOnEnter(window);
    installAccessibility();
    if (statusBar) {
        m_status = new QLabel(statusBar);
        m_status->setObjectName(QStringLiteral("sbPanel1"));
        m_status->setAccessibleName(LoadResString(1599));
        statusBar->addWidget(m_status, 1);
        statusBar->setSizeGripEnabled(false);
    }
}

void DialogFrame::watch(QWidget *w)
{
    if (!w || m_watched.contains(w))
        return;
    m_watched << w;
    w->installEventFilter(this);
    // A combo's line edit or a spin box's editor get the keys and the focus events.
    if (auto *combo = qobject_cast<QComboBox *>(w); combo && combo->lineEdit())
        watch(combo->lineEdit());
}

void DialogFrame::setHelp(QWidget *control, int stringId)
{
    setHelpText(control, LoadResString(stringId));
}

void DialogFrame::setHelpText(QWidget *control, const QString &text)
{
    control->setToolTip(text);
    if (control->accessibleDescription().isEmpty())
        control->setAccessibleDescription(text);
    m_help.insert(control, text);
    watch(control);
}

void DialogFrame::enterAsTab(QWidget *control)
{
    m_enterAsTab << control;
    watch(control);
}

void DialogFrame::addValidation(QWidget *field, std::function<bool()> valid)
{
    m_checks.append({field, std::move(valid)});
    watch(field);
}

QString DialogFrame::labelName(const QString &labelText)
{
    QString name = labelText;
    name.remove(QRegularExpression(QStringLiteral("&(?!&)")));
    name = name.trimmed();
    if (name.endsWith(u':'))
        name.chop(1);
    return name.trimmed();
}

void DialogFrame::linkLabel(QLabel *label, QWidget *control)
{
    label->setBuddy(control);
    // Named by its label, never by what it holds: a screen reader would
    // otherwise read a drop-down's current choice as its name.
    if (control->accessibleName().isEmpty())
        control->setAccessibleName(labelName(label->text()));
    m_labels.insert(label, control);
    label->installEventFilter(this);
}

QWidget *DialogFrame::focusFirstInvalid()
{
    for (const Check &c : std::as_const(m_checks)) {
        if (c.field && c.field->isEnabled() && c.field->isVisibleTo(m_window) && !c.valid()) {
            c.field->setFocus(Qt::OtherFocusReason);
            return c.field;
        }
    }
    return nullptr;
}

QString DialogFrame::statusText() const
{
    return m_status ? m_status->text() : QString();
}

void DialogFrame::setStatusText(const QString &text)
{
    if (m_status)
        m_status->setText(text);
}

void DialogFrame::RemoveCloseCommand(QWidget *window)
{
    Qt::WindowFlags f = window->windowFlags();
    f |= Qt::CustomizeWindowHint | Qt::WindowTitleHint;
    f &= ~(Qt::WindowCloseButtonHint | Qt::WindowMinMaxButtonsHint | Qt::WindowContextHelpButtonHint);
    window->setWindowFlags(f);
}

void DialogFrame::moveFocusNext(QWidget *from)
{
    QWidget *top = from->window();
    for (QWidget *w = from->nextInFocusChain(); w && w != from; w = w->nextInFocusChain()) {
        if (w->window() != top || !w->isEnabled() || !w->isVisible() || !(w->focusPolicy() & Qt::TabFocus))
            continue;
        // The inner editor of a combo or spin box is reached through its owner.
        if (w->focusProxy())
            continue;
        if (qobject_cast<QLineEdit *>(w)
            && (qobject_cast<QComboBox *>(w->parentWidget()) || qobject_cast<QAbstractSpinBox *>(w->parentWidget())))
            continue;
        w->setFocus(Qt::TabFocusReason);
        return;
    }
}

const DialogFrame::Check *DialogFrame::checkFor(const QObject *w) const
{
    for (const Check &c : m_checks)
        if (c.field == w)
            return &c;
    return nullptr;
}

bool DialogFrame::eventFilter(QObject *watched, QEvent *event)
{
    // A combo's editor speaks for its combo.
    QObject *owner = watched;
    if (auto *edit = qobject_cast<QLineEdit *>(watched); edit && qobject_cast<QComboBox *>(edit->parentWidget()))
        owner = edit->parentWidget();

    switch (event->type()) {
    case QEvent::MouseButtonPress:
        if (auto it = m_labels.constFind(watched); it != m_labels.cend()) {
            QWidget *target = it.value();
            if (target && target->isEnabled() && target->isVisible())
                target->setFocus(Qt::MouseFocusReason);
            return true;
        }
        break;
    case QEvent::FocusIn: {
        const auto it = m_help.constFind(owner);
        if (it != m_help.cend())
            setStatusText(it.value());
        if (auto *edit = qobject_cast<QLineEdit *>(watched))
            QTimer::singleShot(0, edit, [edit] { edit->selectAll(); });
        break;
    }
    case QEvent::FocusOut: {
        auto *fe = static_cast<QFocusEvent *>(event);
        // Leaving the window or opening a popup is no move to another field.
        if (fe->reason() == Qt::ActiveWindowFocusReason || fe->reason() == Qt::PopupFocusReason)
            break;
        const Check *c = checkFor(owner);
        if (c && c->field && c->field->isEnabled() && !c->valid()) {
            QPointer<QWidget> field = c->field;
            // Given back once the focus change has finished; a click on a
            // Cancel button still completes, so Cancel works while a field
            // is invalid.
            QTimer::singleShot(0, field, [field] {
                if (field && field->isVisible() && field->isEnabled())
                    field->setFocus(Qt::OtherFocusReason);
            });
        }
        break;
    }
    case QEvent::KeyPress: {
        auto *ke = static_cast<QKeyEvent *>(event);
        if ((ke->key() == Qt::Key_Return || ke->key() == Qt::Key_Enter)
            && (m_enterAsTab.contains(watched) || m_enterAsTab.contains(owner))) {
            if (auto *combo = qobject_cast<QComboBox *>(owner); combo && combo->view() && combo->view()->isVisible())
                break; // Enter picks the item in an open list
            moveFocusNext(qobject_cast<QWidget *>(owner));
            return true;
        }
        break;
    }
    default: break;
    }
    return QObject::eventFilter(watched, event);
}

DialogFrame::ButtonRow DialogFrame::buttonRow(QWidget *dialog, const ButtonRowLook &look)
{
    ButtonRow row;
    row.box = new ButtonBox(dialog);
    row.box->setObjectName(QStringLiteral("buttons"));
    row.accept = new QPushButton(LoadResString(look.acceptText), row.box);
    row.accept->setObjectName(QLatin1String(look.acceptName));
    row.cancel = new QPushButton(LoadResString(1109), row.box);
    row.cancel->setObjectName(QLatin1String(look.cancelName));
    for (QPushButton *b : {row.accept, row.cancel}) {
        b->setAccessibleName(b->text());
        if (!look.acceptIsDefault)
            b->setAutoDefault(false);
    }
    row.accept->setDefault(look.acceptIsDefault);
    row.box->addButton(row.accept, QDialogButtonBox::AcceptRole);
    row.box->addButton(row.cancel, QDialogButtonBox::RejectRole);
    return row;
}

void DialogFrame::layOut(QWidget *dialog, QLayout *fields, QWidget *buttons, QStatusBar *statusBar)
{
    auto *inner = new QVBoxLayout;
    inner->setContentsMargins(12, 12, 12, 6);
    inner->addLayout(fields);
    inner->addSpacing(8);
    inner->addWidget(buttons);
    auto *outer = new QVBoxLayout(dialog);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->addLayout(inner);
    outer->addWidget(statusBar);
}

} // namespace velto
