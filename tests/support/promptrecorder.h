#pragma once
// The one stand-in for the user in tests: answers the program's questions
// from scripts and keeps every text it was shown, so a test can check both
// the questions and the messages.

#include "app/userprompts.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <QUrl>

#include <functional>
#include <optional>

namespace velto::test {

class PromptRecorder : public UserPrompts
{
public:
    void message(const QString &text, MessageIcon icon) override
    {
        messages.append(text);
        icons.append(icon);
    }
    bool askYesNo(const QString &text, bool defaultYes) override
    {
        questions.append(text);
        defaults.append(defaultYes);
        return answers.isEmpty() ? false : answers.takeFirst();
    }
    QString browseForFolder(const QString &prompt) override
    {
        folderPrompts.append(prompt);
        return folder;
    }
    std::optional<QString> askText(const QString &prompt, const QString &value, int maxLength) override
    {
        textPrompts.append(prompt);
        textValues.append(value);
        textMaxLengths.append(maxLength);
        return textAnswers.isEmpty() ? std::nullopt : textAnswers.takeFirst();
    }
    std::optional<QString> askPassword(const QString &prompt) override
    {
        passwordPrompts.append(prompt);
        return passwordAnswers.isEmpty() ? std::nullopt : passwordAnswers.takeFirst();
    }
    DatabaseKind askDatabaseKind(const QString &prompt) override
    {
        kindPrompts.append(prompt);
        return kindAnswers.isEmpty() ? DatabaseKind::Folder : kindAnswers.takeFirst();
    }
    QString chooseSaveFile(const SaveFileRequest &request) override
    {
        saveRequests.append(request.title);
        return saveFile;
    }
    bool setUpPrinter(QPrinter &printer) override { return printerSetUp ? printerSetUp(printer) : false; }
    int askGroupQuestion(GroupQuestionKind kind) override
    {
        groupQuestions.append(kind);
        return groupAnswers.isEmpty() ? 0 : groupAnswers.takeFirst();
    }
    bool openAddress(const QUrl &url) override
    {
        openedAddresses.append(url);
        return addressOpens;
    }

    // Answers, in order.
    QList<bool> answers;                           // Yes/No; No when empty
    QString folder;                                // what the folder dialog returns
    QList<std::optional<QString>> textAnswers;     // input boxes; cancelled when empty
    QList<std::optional<QString>> passwordAnswers; // password boxes; cancelled when empty
    QList<DatabaseKind> kindAnswers;               // folder or server; a folder when empty
    QString saveFile;                              // the save dialog's path; empty = cancelled
    std::function<bool(QPrinter &)> printerSetUp;  // the print dialog; cancelled when unset
    QList<int> groupAnswers;                       // group questions; cancelled when empty
    bool addressOpens = true;

    // What was asked and shown.
    QStringList messages;
    QList<MessageIcon> icons;
    QStringList questions;
    QList<bool> defaults;
    QStringList folderPrompts;
    QStringList textPrompts;
    QStringList textValues;
    QList<int> textMaxLengths;
    QStringList passwordPrompts;
    QStringList kindPrompts;
    QStringList saveRequests;
    QList<GroupQuestionKind> groupQuestions;
    QList<QUrl> openedAddresses;
};

} // namespace velto::test
