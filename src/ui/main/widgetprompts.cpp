#include "ui/main/widgetprompts.h"

#include "app/mainmod.h"

#include <QDir>
#include <QFileDialog>
#include <QMessageBox>

namespace velto {

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
    QMessageBox box(i, app().AppTitle, text, QMessageBox::Ok, m_owner);
    box.exec();
}

bool WidgetPrompts::askYesNo(const QString &text, bool defaultYes)
{
    QMessageBox box(QMessageBox::Question, app().AppTitle, text, QMessageBox::Yes | QMessageBox::No, m_owner);
    box.setDefaultButton(defaultYes ? QMessageBox::Yes : QMessageBox::No);
    return box.exec() == QMessageBox::Yes;
}

QString WidgetPrompts::browseForFolder(const QString &prompt)
{
    QString folder = QFileDialog::getExistingDirectory(m_owner, prompt, QString(), QFileDialog::ShowDirsOnly);
    if (folder.isEmpty())
        return QString();
    folder = QDir::cleanPath(folder);
    // The root "/" is kept; any other folder never ends in a separator.
    while (folder.size() > 1 && folder.endsWith(u'/'))
        folder.chop(1);
    return folder;
}

} // namespace velto
