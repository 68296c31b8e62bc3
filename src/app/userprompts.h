#pragma once
// Every question and message the program puts to the user goes through this
// interface, so tests answer them instead of blocking on a modal box.

#include <QString>

namespace velto {

enum class MessageIcon { None, Information, Warning, Critical, Question };

class UserPrompts
{
public:
    virtual ~UserPrompts() = default;
    virtual void message(const QString &text, MessageIcon icon) = 0;
    // True for Yes.
    virtual bool askYesNo(const QString &text, bool defaultYes) = 0;
    // The chosen folder without a trailing separator; empty when cancelled.
    virtual QString browseForFolder(const QString &prompt) = 0;
};

} // namespace velto
