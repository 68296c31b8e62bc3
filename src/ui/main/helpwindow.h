#pragma once
// The help of the program: the current language's HTML help file in a
// window of its own (Help > Online help, F1).

#include <QWidget>

class QTextBrowser;

namespace velto {

class UserPrompts;

class HelpWindow : public QWidget
{
    Q_OBJECT
public:
    explicit HelpWindow(QWidget *parent = nullptr);
    // Loads the file; false when it cannot be read.
    bool load(const QString &file);
    [[nodiscard]] QTextBrowser *browser() const { return m_browser; }

protected:
    void keyPressEvent(QKeyEvent *event) override;

private:
    QTextBrowser *m_browser = nullptr;
};

// Opens the help file of this run's language (app().HelpFile) in the one
// help window, raising it when already open. A missing or unreadable file
// shows an error through prompts (the window system's message box when
// null) and returns null.
HelpWindow *showHelp(QWidget *parent, UserPrompts *prompts = nullptr);

} // namespace velto
