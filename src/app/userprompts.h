#pragma once
// Every question the program puts to the user goes through this one
// interface: messages, yes/no questions, input boxes, folder and file
// choice, passwords, the print dialog, the group questions and opening an
// address.
// The program answers with the window system's dialogs; tests answer from
// a script instead of blocking on a modal box.

#include <QString>
#include <QUrl>

#include <optional>

class QPrinter;

namespace velto {

enum class MessageIcon { None, Information, Warning, Critical, Question };

// What the save dialog is asked: its title, the filter in the form the
// file dialog takes ("Text file (*.txt)") and the suffix added to a name
// typed without one.
struct SaveFileRequest {
    QString title;
    QString filter;
    QString defaultSuffix;
};

// Where the database the user chooses lives.
enum class DatabaseKind { Cancelled, Folder, Server };

// The two questions asked for a deadline that belongs to a series.
enum class GroupQuestionKind {
    Add,   // a new deadline: on its own (1) or into the series (2)
    Erase, // delete: this deadline (1) or the whole series (2)
};

class UserPrompts
{
public:
    virtual ~UserPrompts() = default;
    virtual void message(const QString &text, MessageIcon icon) = 0;
    // True for Yes.
    virtual bool askYesNo(const QString &text, bool defaultYes) = 0;
    // The chosen folder without a trailing separator; empty when cancelled.
    virtual QString browseForFolder(const QString &prompt) = 0;
    // An input box with a prefilled value; none when cancelled. A maxLength
    // above 0 limits what can be typed.
    virtual std::optional<QString> askText(const QString &prompt, const QString &value, int maxLength) = 0;
    // A password, typed unseen; none when cancelled.
    virtual std::optional<QString> askPassword(const QString &prompt) = 0;
    // A folder or a database server, for the database to work on.
    virtual DatabaseKind askDatabaseKind(const QString &prompt) = 0;
    // The chosen path; empty when cancelled.
    virtual QString chooseSaveFile(const SaveFileRequest &request) = 0;
    // Shows the print dialog on the printer; true when the user confirms.
    virtual bool setUpPrinter(QPrinter &printer) = 0;
    // 0 when cancelled, otherwise the chosen option, 1 or 2.
    virtual int askGroupQuestion(GroupQuestionKind kind) = 0;
    // Opens an address with the desktop's handler; false when nothing could.
    virtual bool openAddress(const QUrl &url) = 0;
};

} // namespace velto
