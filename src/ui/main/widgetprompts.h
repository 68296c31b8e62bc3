#pragma once
// Questions and messages as message boxes and dialogs of the window system.

#include "app/userprompts.h"

class QWidget;

namespace velto {

class WidgetPrompts : public UserPrompts
{
public:
    explicit WidgetPrompts(QWidget *owner = nullptr) : m_owner(owner) {}
    void message(const QString &text, MessageIcon icon) override;
    bool askYesNo(const QString &text, bool defaultYes) override;
    QString browseForFolder(const QString &prompt) override;
    void setOwner(QWidget *owner) { m_owner = owner; }

private:
    QWidget *m_owner;
};

} // namespace velto
