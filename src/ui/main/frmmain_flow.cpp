// The quick search in the main toolbar and the cash-flow window of the
// View menu.

#include "ui/main/frmmain.h"

#include "app/strings.h"
#include "ui/common/dialogframe.h"
#include "ui/main/frmcashflow.h"
#include "ui/widgets/grid.h"
#include "ui/widgets/monthview.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QMenu>
#include <QToolBar>

namespace velto {

QStringList frmMain::searchFields()
{
    // The stored texts (see MainGridSource::searchedText).
    return {QStringLiteral("Description"), QStringLiteral("AccountName"), QStringLiteral("Notes")};
}

void frmMain::buildSearchAndCashFlow()
{
    // Added after the numbered buttons and kept out of their list.
    m_tb->addSeparator();
    m_lblSearch = new QLabel(m_tb);
    m_lblSearch->setObjectName(QStringLiteral("lblSearch"));
    m_lblSearch->setContentsMargins(8, 0, 4, 0);
    m_txtSearch = new QLineEdit(m_tb);
    m_txtSearch->setObjectName(QStringLiteral("txtSearch"));
    m_txtSearch->setClearButtonEnabled(true);
    m_txtSearch->setMinimumWidth(toPixelsX(2600));
    m_txtSearch->setMaximumWidth(toPixelsX(4200));
    m_lblSearch->setBuddy(m_txtSearch);
    m_tb->addWidget(m_lblSearch);
    m_tb->addWidget(m_txtSearch);
    // Every keystroke narrows the rows already loaded; nothing is read again.
    connect(m_txtSearch, &QLineEdit::textChanged, this,
            [this](const QString &text) { m_gex->setSearch(searchFields(), text, QLocale()); });
    // The status bar explains the focused control, as for the filter list.
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget *old, QWidget *now) {
        if (now == m_txtSearch)
            showStatusText(1777);
        else if (old == m_txtSearch)
            m_sbText->clear();
    });
    connect(m_txtSearch, &QLineEdit::returnPressed, this, [this] { m_gex->setFocus(Qt::ShortcutFocusReason); });
    auto *clear = new QAction(m_txtSearch);
    clear->setShortcut(Qt::Key_Escape);
    clear->setShortcutContext(Qt::WidgetShortcut);
    m_txtSearch->addAction(clear);
    connect(clear, &QAction::triggered, this, [this] {
        m_txtSearch->clear();
        m_gex->setFocus(Qt::ShortcutFocusReason);
    });

    m_actSearch = new QAction(this);
    m_actSearch->setObjectName(QStringLiteral("actSearch"));
    m_actSearch->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_F));
    m_actSearch->setShortcutContext(Qt::WindowShortcut);
    connect(m_actSearch, &QAction::triggered, this, [this] {
        m_txtSearch->setFocus(Qt::ShortcutFocusReason);
        m_txtSearch->selectAll();
    });
    m_actCashFlow = new QAction(this);
    m_actCashFlow->setObjectName(QStringLiteral("actCashFlow"));
    connect(m_actCashFlow, &QAction::triggered, this, &frmMain::mnuCashFlow_Click);
    // At the end of the View menu, so the numbered items keep their places.
    m_mnuViewGrp->addSeparator();
    m_mnuViewGrp->addAction(m_actSearch);
    m_mnuViewGrp->addAction(m_actCashFlow);
}

void frmMain::loadSearchAndCashFlowTexts()
{
    m_lblSearch->setText(LoadResString(1776));
    m_txtSearch->setPlaceholderText(LoadResString(1778).remove(QLatin1Char('&')));
    m_txtSearch->setAccessibleName(DialogFrame::labelName(LoadResString(1776)));
    m_txtSearch->setAccessibleDescription(LoadResString(1777));
    m_txtSearch->setToolTip(LoadResString(1777));
    m_actSearch->setText(LoadResString(1778));
    m_actCashFlow->setText(LoadResString(1760));
}

frmCashFlow *frmMain::cashFlowWindow() const
{
    return m_cashFlow;
}

void frmMain::mnuCashFlow_Click()
{
    if (!m_cashFlow) {
        m_cashFlow = new frmCashFlow(
            m_prompts, [this](const QDate &first, const QDate &last) { selectCalendarPeriod(first, last); }, this);
    }
    m_cashFlow->show();
    m_cashFlow->raise();
    m_cashFlow->activateWindow();
}

void frmMain::selectCalendarPeriod(const QDate &first, const QDate &last)
{
    m_mv->setSelection(first, last);
    mv_SelectionChanged(first, last);
}

} // namespace velto
