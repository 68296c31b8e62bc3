#pragma once
// The habits every Velto dialog shares: Enter in an entry field moves on as
// Tab does while Enter on a focused button presses it, the
// focused control's help text shows in the status bar, a text box selects
// its text when it gets the focus, an invalid field keeps the focus without
// a message, a label click focuses its field, and the title bar offers no
// Close command.

#include <QDialogButtonBox>
#include <QHash>
#include <QList>
#include <QObject>
#include <QPointer>

#include <functional>

class QLabel;
class QLayout;
class QPushButton;
class QStatusBar;
class QWidget;

namespace velto {

class DialogFrame : public QObject
{
    Q_OBJECT
public:
    // The status bar gets one text panel; null for a window without one.
    DialogFrame(QWidget *window, QStatusBar *statusBar);

    // Tooltip and status text of a control, from a string id.
    void setHelp(QWidget *control, int stringId);
    void setHelpText(QWidget *control, const QString &text);
    // Enter is consumed and the focus moves to the next control.
    void enterAsTab(QWidget *control);
    // The field keeps the focus while valid() says no.
    void addValidation(QWidget *field, std::function<bool()> valid);
    // Clicking the label focuses the control, when it can take the focus;
    // the label's text becomes the control's accessible name.
    void linkLabel(QLabel *label, QWidget *control);
    // A label's text as a name: no access key mark, no closing colon.
    [[nodiscard]] static QString labelName(const QString &labelText);

    // The first registered field that is not valid, focused; null when all are.
    QWidget *focusFirstInvalid();
    [[nodiscard]] QString statusText() const;
    void setStatusText(const QString &text);

    // No Close command in the title bar: the window is left through its buttons.
    static void RemoveCloseCommand(QWidget *window);
    // Enter on a focused push button of the window presses it, whether or
    // not the button is a default one. Every DialogFrame does this for its
    // window; windows without one call it themselves.
    static void pressButtonsOnEnter(QWidget *window);
    // Focus to the next control that takes Tab focus, as Tab would.
    static void moveFocusNext(QWidget *from);
    // What a dialog's row of buttons holds: the button that carries the
    // dialog's work out (Save unless told), then Cancel.
    struct ButtonRowLook {
        int acceptText = 1108;
        const char *acceptName = "cmdSalva";
        const char *cancelName = "cmdAnnulla";
        // Enter anywhere in the dialog presses the accept button; otherwise
        // Enter presses only a focused button (entry fields move on instead).
        bool acceptIsDefault = false;
    };
    struct ButtonRow {
        QDialogButtonBox *box = nullptr;
        QPushButton *accept = nullptr;
        QPushButton *cancel = nullptr;
    };
    // The two buttons in a button box, with the string table's texts in the
    // program's language as their text and accessible name, in the order
    // and placement of the desktop's dialogs. Their clicks are the
    // dialog's to connect.
    static ButtonRow buttonRow(QWidget *dialog, const ButtonRowLook &look);
    static ButtonRow buttonRow(QWidget *dialog) { return buttonRow(dialog, ButtonRowLook()); }
    // The entry dialogs' frame: the fields, the button row under them, the
    // status bar at the bottom.
    static void layOut(QWidget *dialog, QLayout *fields, QWidget *buttons, QStatusBar *statusBar);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    struct Check {
        QPointer<QWidget> field;
        std::function<bool()> valid;
    };
    void watch(QWidget *w);
    [[nodiscard]] const Check *checkFor(const QObject *w) const;

    QWidget *m_window;
    QLabel *m_status = nullptr;
    QList<Check> m_checks;
    QList<QObject *> m_enterAsTab;
    QHash<QObject *, QString> m_help;
    QHash<QObject *, QPointer<QWidget>> m_labels;
    QList<QObject *> m_watched;
};

} // namespace velto
