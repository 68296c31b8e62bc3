#pragma once
// Answers the program's questions from a queue and keeps every text it was
// shown, so a test can check both the questions and the messages.

#include "app/userprompts.h"

#include <QList>
#include <QString>
#include <QStringList>

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

    QList<bool> answers;      // Yes/No answers, in order; No when empty
    QString folder;           // what the folder dialog returns
    QStringList messages;
    QList<MessageIcon> icons;
    QStringList questions;
    QList<bool> defaults;
    QStringList folderPrompts;
};

} // namespace velto::test
