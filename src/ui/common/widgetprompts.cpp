#include "ui/common/widgetprompts.h"

#include "app/mainmod.h"
#include "app/strings.h"
#include "ui/common/frmGrpAdd.h"
#include "ui/common/frmGrpErase.h"

#include <QApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileDialog>
#include <QInputDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPointer>
#include <QPrintDialog>
#include <QPushButton>

namespace velto {

namespace {

// The window that last had the focus. While the window system moves the
// activation (a box just closed, a window just raised) no window may be
// active for a moment; a box asked then still belongs to the window the
// user was in, not to the main window behind it.
QPointer<QWidget> &lastFocusedWindow()
{
    static QPointer<QWidget> window;
    static const bool tracking = [] {
        if (!qApp)
            return false;
        QObject::connect(qApp, &QApplication::focusChanged, qApp, [](QWidget *, QWidget *now) {
            if (now)
                window = now->window();
        });
        return true;
    }();
    Q_UNUSED(tracking);
    return window;
}

} // namespace

// Hands the activation back to the window a box belonged to once the box
// has closed: left to itself the window system may activate another window
// (the main window), which then hides the one the user was working in.
class ReturnFocus
{
public:
    explicit ReturnFocus(QWidget *window) : m_window(window) { }
    ~ReturnFocus()
    {
        if (m_window && m_window->isVisible() && QApplication::activeWindow() != m_window) {
            m_window->raise();
            m_window->activateWindow();
        }
    }
    ReturnFocus(const ReturnFocus &) = delete;
    ReturnFocus &operator=(const ReturnFocus &) = delete;

private:
    QPointer<QWidget> m_window;
};

WidgetPrompts::WidgetPrompts(QWidget *owner) : m_owner(owner)
{
    (void)lastFocusedWindow();
}

QWidget *WidgetPrompts::parentWindow() const
{
    if (QWidget *modal = QApplication::activeModalWidget())
        return modal;
    if (QWidget *active = QApplication::activeWindow())
        return active;
    // A box that just closed had the focus last: the window it belonged to
    // is the one the user is in.
    for (QWidget *last = lastFocusedWindow(); last;
         last = last->parentWidget() ? last->parentWidget()->window() : nullptr) {
        if (last->isVisible())
            return last;
    }
    return m_owner;
}

void WidgetPrompts::message(const QString &text, MessageIcon icon)
{
    QMessageBox::Icon i = QMessageBox::NoIcon;
    switch (icon) {
    case MessageIcon::Information: i = QMessageBox::Information; break;
    case MessageIcon::Warning: i = QMessageBox::Warning; break;
    case MessageIcon::Critical: i = QMessageBox::Critical; break;
    case MessageIcon::Question: i = QMessageBox::Question; break;
    case MessageIcon::None: break;
    }
    // No title of its own: the application title shows.
    const ReturnFocus back(parentWindow());
    QMessageBox box(i, app().AppTitle, text, QMessageBox::Ok, parentWindow());
    box.exec();
}

bool WidgetPrompts::askYesNo(const QString &text, bool defaultYes)
{
    const ReturnFocus back(parentWindow());
    QMessageBox box(QMessageBox::Question, app().AppTitle, text, QMessageBox::Yes | QMessageBox::No, parentWindow());
    box.setDefaultButton(defaultYes ? QMessageBox::Yes : QMessageBox::No);
    return box.exec() == QMessageBox::Yes;
}

QString WidgetPrompts::browseForFolder(const QString &prompt)
{
    const ReturnFocus back(parentWindow());
    QString folder = QFileDialog::getExistingDirectory(parentWindow(), prompt, QString(), QFileDialog::ShowDirsOnly);
    if (folder.isEmpty())
        return QString();
    folder = QDir::cleanPath(folder);
    // The root "/" is kept; any other folder never ends in a separator.
    while (folder.size() > 1 && folder.endsWith(u'/'))
        folder.chop(1);
    return folder;
}

std::optional<QString> WidgetPrompts::askText(const QString &prompt, const QString &value, int maxLength)
{
    const ReturnFocus back(parentWindow());
    QInputDialog box(parentWindow());
    box.setWindowTitle(app().AppTitle);
    box.setLabelText(prompt);
    box.setInputMode(QInputDialog::TextInput);
    box.setTextValue(value);
    // The box holds no more than the field it fills, as any entry field.
    if (auto *edit = box.findChild<QLineEdit *>(); edit && maxLength > 0)
        edit->setMaxLength(maxLength);
    if (box.exec() != QDialog::Accepted)
        return std::nullopt;
    return box.textValue();
}

std::optional<QString> WidgetPrompts::askPassword(const QString &prompt)
{
    const ReturnFocus back(parentWindow());
    QInputDialog box(parentWindow());
    box.setWindowTitle(app().AppTitle);
    box.setLabelText(prompt);
    box.setInputMode(QInputDialog::TextInput);
    box.setTextEchoMode(QLineEdit::Password);
    if (box.exec() != QDialog::Accepted)
        return std::nullopt;
    return box.textValue();
}

DatabaseKind WidgetPrompts::askDatabaseKind(const QString &prompt)
{
    const ReturnFocus back(parentWindow());
    QMessageBox box(QMessageBox::Question, app().AppTitle, prompt, QMessageBox::Cancel, parentWindow());
    QPushButton *folder = box.addButton(LoadResString(1921), QMessageBox::AcceptRole);
    QPushButton *server = box.addButton(LoadResString(1922), QMessageBox::AcceptRole);
    folder->setObjectName(QStringLiteral("cmdFolder"));
    server->setObjectName(QStringLiteral("cmdServer"));
    box.setDefaultButton(folder);
    box.exec();
    if (box.clickedButton() == folder)
        return DatabaseKind::Folder;
    return box.clickedButton() == server ? DatabaseKind::Server : DatabaseKind::Cancelled;
}

QString WidgetPrompts::chooseSaveFile(const SaveFileRequest &request)
{
    const ReturnFocus back(parentWindow());
    QFileDialog dialog(parentWindow(), request.title, QString(), request.filter);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setDefaultSuffix(request.defaultSuffix);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().constFirst();
}

bool WidgetPrompts::setUpPrinter(QPrinter &printer)
{
    const ReturnFocus back(parentWindow());
    QPrintDialog dialog(&printer, parentWindow());
    return dialog.exec() == QDialog::Accepted;
}

int WidgetPrompts::askGroupQuestion(GroupQuestionKind kind)
{
    const ReturnFocus back(parentWindow());
    if (kind == GroupQuestionKind::Add)
        return frmGrpAdd(parentWindow()).Apri();
    return frmGrpErase(parentWindow()).Apri();
}

bool WidgetPrompts::openAddress(const QUrl &url)
{
    QApplication::setOverrideCursor(Qt::BusyCursor);
    const bool opened = QDesktopServices::openUrl(url);
    QApplication::restoreOverrideCursor();
    return opened;
}

} // namespace velto
