#pragma once
// Questions and messages as message boxes and dialogs of the window system.
// Each box belongs to the window that is active when it is asked (the
// dialog that asked), or else to the window that last had the focus, so the
// focus goes back there when it closes.

#include "app/userprompts.h"

class QWidget;

namespace velto {

class WidgetPrompts : public UserPrompts
{
public:
    explicit WidgetPrompts(QWidget *owner = nullptr);
    void message(const QString &text, MessageIcon icon) override;
    bool askYesNo(const QString &text, bool defaultYes) override;
    QString browseForFolder(const QString &prompt) override;
    std::optional<QString> askText(const QString &prompt, const QString &value, int maxLength) override;
    std::optional<QString> askPassword(const QString &prompt) override;
    DatabaseKind askDatabaseKind(const QString &prompt) override;
    QString chooseSaveFile(const SaveFileRequest &request) override;
    bool setUpPrinter(QPrinter &printer) override;
    int askGroupQuestion(GroupQuestionKind kind) override;
    bool openAddress(const QUrl &url) override;
    // The window boxes belong to when no window of ours is active.
    void setOwner(QWidget *owner) { m_owner = owner; }

private:
    [[nodiscard]] QWidget *parentWindow() const;

    QWidget *m_owner;
};

} // namespace velto
