#include "ui/common/widgetprompts.h"

#include "app/mainmod.h"
#include "ui/common/frmGrpAdd.h"
#include "ui/common/frmGrpErase.h"

#include <QApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileDialog>
#include <QInputDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPrintDialog>

namespace velto {

QWidget *WidgetPrompts::parentWindow() const
{
    if (QWidget *modal = QApplication::activeModalWidget())
        return modal;
    if (QWidget *active = QApplication::activeWindow())
        return active;
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
    QMessageBox box(i, app().AppTitle, text, QMessageBox::Ok, parentWindow());
    box.exec();
}

bool WidgetPrompts::askYesNo(const QString &text, bool defaultYes)
{
    QMessageBox box(QMessageBox::Question, app().AppTitle, text, QMessageBox::Yes | QMessageBox::No, parentWindow());
    box.setDefaultButton(defaultYes ? QMessageBox::Yes : QMessageBox::No);
    return box.exec() == QMessageBox::Yes;
}

QString WidgetPrompts::browseForFolder(const QString &prompt)
{
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

QString WidgetPrompts::chooseSaveFile(const SaveFileRequest &request)
{
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
    QPrintDialog dialog(&printer, parentWindow());
    return dialog.exec() == QDialog::Accepted;
}

int WidgetPrompts::askGroupQuestion(GroupQuestionKind kind)
{
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
