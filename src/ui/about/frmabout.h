#pragma once
// Help > About: title, version and the maker's web and mail addresses.
// Modeless, owned by the main window so that it never keeps the program
// running on its own; one instance (see showAbout()). A dialog, so screen
// readers announce it as one and Escape closes it.

#include <QDialog>
#include <QUrl>

#include <functional>

class QLabel;
class QPushButton;

namespace velto {

class UserPrompts;

// The maker's addresses, shown and opened by the About box.
inline constexpr const char *kMakerWeb = "https://www.kelvorn.example.com";
inline constexpr const char *kMakerMail = "info@kelvorn.example.com";

// "1.5.3" from the build's version: major, minor and revision as plain
// decimals, missing parts as 0.
[[nodiscard]] QString versionText(const QString &buildVersion);

class frmAbout : public QDialog
{
    Q_OBJECT
public:
    // The Help menu command: the one About box, created on first use and
    // raised when already open. prompts must outlive the window.
    static frmAbout *showAbout(UserPrompts &prompts, QWidget *owner);

    explicit frmAbout(UserPrompts &prompts, QWidget *parent = nullptr);

    [[nodiscard]] QLabel *lblVersion() const { return m_lblVersion; }
    [[nodiscard]] QPushButton *lblWeb() const { return m_lblWeb; }
    [[nodiscard]] QPushButton *lblMain() const { return m_lblMain; }

    void lblWeb_Click();
    void lblMain_Click();

private:
    void openAddress(const QUrl &url);

    UserPrompts &m_prompts;
    QLabel *m_lblTitle = nullptr;
    QLabel *m_lblVersion = nullptr;
    QPushButton *m_lblWeb = nullptr;
    QPushButton *m_lblMain = nullptr;
    QPushButton *m_cmdOK = nullptr;
};

} // namespace velto
