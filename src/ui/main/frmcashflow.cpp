#include "ui/main/frmcashflow.h"

#include "app/filewrite.h"
#include "app/mainmod.h"
#include "app/statustext.h"
#include "app/strings.h"
#include "app/userprompts.h"

#include <QtCharts/QBarCategoryAxis>
#include <QtCharts/QBarSeries>
#include <QtCharts/QBarSet>
#include <QtCharts/QChart>
#include <QtCharts/QChartView>
#include <QtCharts/QLineSeries>
#include <QtCharts/QValueAxis>

#include <QBuffer>
#include <QCursor>
#include <QDir>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLocale>
#include <QPainter>
#include <QPixmap>
#include <QPrinter>
#include <QPushButton>
#include <QTableWidget>
#include <QToolTip>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

namespace velto {

namespace {

enum TableColumn { ColMonth, ColCredits, ColDebits, ColBalance, ColCount, TableColumnCount };

} // namespace

frmCashFlow::frmCashFlow(UserPrompts &prompts, SelectPeriod selectPeriod, QWidget *parent)
    : QWidget(parent, Qt::Window), m_prompts(prompts), m_selectPeriod(std::move(selectPeriod))
{
    setObjectName(QStringLiteral("frmCashFlow"));
    setAttribute(Qt::WA_DeleteOnClose);
    build();
    reload();
}

void frmCashFlow::build()
{
    m_credits = new QBarSet(LoadResString(1762), this);
    m_credits->setColor(QColor(0x2e, 0x8b, 0x57));
    m_debits = new QBarSet(LoadResString(1763), this);
    m_debits->setColor(QColor(0xc0, 0x39, 0x2b));
    auto *bars = new QBarSeries(this);
    bars->append(m_credits);
    bars->append(m_debits);
    m_balance = new QLineSeries(this);
    m_balance->setName(LoadResString(1764));
    m_balance->setColor(QColor(0x25, 0x4b, 0x6c));
    m_balance->setPointsVisible(true);
    QPen line = m_balance->pen();
    line.setWidth(3);
    m_balance->setPen(line);

    m_chart = new QChart();
    m_chart->setTitle(LoadResString(1766));
    m_chart->addSeries(bars);
    m_chart->addSeries(m_balance);
    m_chart->legend()->setAlignment(Qt::AlignBottom);
    auto *months = new QBarCategoryAxis(m_chart);
    auto *amounts = new QValueAxis(m_chart);
    amounts->setLabelFormat(QStringLiteral("%.0f"));
    m_chart->addAxis(months, Qt::AlignBottom);
    m_chart->addAxis(amounts, Qt::AlignLeft);
    for (QAbstractSeries *series : {static_cast<QAbstractSeries *>(bars), static_cast<QAbstractSeries *>(m_balance)}) {
        series->attachAxis(months);
        series->attachAxis(amounts);
    }

    m_view = new QChartView(m_chart, this);
    m_view->setObjectName(QStringLiteral("chart"));
    m_view->setRenderHint(QPainter::Antialiasing);
    m_view->setMinimumSize(640, 360);
    m_view->setAccessibleName(LoadResString(1766));
    m_view->setAccessibleDescription(LoadResString(1779));

    // A month on the chart is a click away; the same months in a table are
    // what the keyboard and screen readers reach.
    for (int set = 0; set < 2; ++set) {
        QBarSet *bar = set == 0 ? m_credits : m_debits;
        connect(bar, &QBarSet::hovered, this, [this, set](bool on, int month) {
            if (on)
                QToolTip::showText(QCursor::pos(), barText(set, month), m_view);
            else
                QToolTip::hideText();
        });
        connect(bar, &QBarSet::clicked, this, &frmCashFlow::selectMonth);
    }

    m_lblOverdue = new QLabel(this);
    m_lblOverdue->setObjectName(QStringLiteral("lblOverdue"));
    m_lblOverdue->setTextFormat(Qt::PlainText);

    m_lblMonths = new QLabel(LoadResString(1782), this);
    m_table = new QTableWidget(0, TableColumnCount, this);
    m_table->setObjectName(QStringLiteral("tblMonths"));
    m_lblMonths->setBuddy(m_table);
    m_table->setAccessibleName(LoadResString(1782));
    m_table->setAccessibleDescription(LoadResString(1780));
    m_table->setToolTip(LoadResString(1780));
    m_table->setHorizontalHeaderLabels(
        {LoadResString(1774), LoadResString(1762), LoadResString(1763), LoadResString(1764), LoadResString(1775)});
    m_table->verticalHeader()->setVisible(false);
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_table->setSelectionMode(QAbstractItemView::SingleSelection);
    m_table->setTabKeyNavigation(false);
    m_table->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    m_table->setMaximumHeight(m_table->fontMetrics().height() * 9);
    connect(m_table, &QTableWidget::activated, this, [this](const QModelIndex &index) { selectMonth(index.row()); });

    m_cmdSave = new QPushButton(LoadResString(1767), this);
    m_cmdSave->setObjectName(QStringLiteral("cmdSave"));
    m_cmdPrint = new QPushButton(LoadResString(1768), this);
    m_cmdPrint->setObjectName(QStringLiteral("cmdPrint"));
    m_cmdClose = new QPushButton(LoadResString(1769), this);
    m_cmdClose->setObjectName(QStringLiteral("cmdClose"));
    connect(m_cmdSave, &QPushButton::clicked, this, &frmCashFlow::savePng);
    connect(m_cmdPrint, &QPushButton::clicked, this, &frmCashFlow::print);
    connect(m_cmdClose, &QPushButton::clicked, this, &QWidget::close);

    auto *buttons = new QHBoxLayout;
    buttons->addWidget(m_lblOverdue, 1);
    buttons->addWidget(m_cmdSave);
    buttons->addWidget(m_cmdPrint);
    buttons->addWidget(m_cmdClose);
    auto *column = new QVBoxLayout(this);
    column->addWidget(m_view, 1);
    column->addWidget(m_lblMonths);
    column->addWidget(m_table);
    column->addLayout(buttons);
    setTabOrder(m_table, m_cmdSave);
    setTabOrder(m_cmdSave, m_cmdPrint);
    setTabOrder(m_cmdPrint, m_cmdClose);
    m_view->setFocusPolicy(Qt::NoFocus);
    resize(960, 720);
}

void frmCashFlow::reload()
{
    setWindowTitle(LoadResString(1761).arg(app().CurrentDbName));
    const Status st = cashFlow(currentDatabase(), app().CurrentDbId, today(), kCashFlowMonths, &m_flow);
    if (!st)
        m_prompts.message(userMessage(st), MessageIcon::Critical);
    draw();
}

QString frmCashFlow::monthName(int month) const
{
    if (month < 0 || month >= m_flow.months.size())
        return QString();
    return QLocale().toString(m_flow.months[month].month, QStringLiteral("MMMM yyyy"));
}

void frmCashFlow::draw()
{
    const QLocale locale;
    const int n = int(m_flow.months.size());
    m_credits->remove(0, m_credits->count());
    m_debits->remove(0, m_debits->count());
    m_balance->clear();
    QStringList categories;
    double low = 0, high = 0;
    m_table->setRowCount(n);
    for (int i = 0; i < n; ++i) {
        const CashFlowMonth &m = m_flow.months[i];
        categories << locale.toString(m.month, QStringLiteral("MMM yy"));
        m_credits->append(m.credits.toDouble());
        m_debits->append(m.debits.toDouble());
        m_balance->append(i, m.balance.toDouble());
        low = std::min({low, m.balance.toDouble()});
        high = std::max({high, m.credits.toDouble(), m.debits.toDouble(), m.balance.toDouble()});
        const QString cells[TableColumnCount] = {monthName(i), m.credits.toLocaleCurrency(locale),
                                                 m.debits.toLocaleCurrency(locale), m.balance.toLocaleCurrency(locale),
                                                 locale.toString(m.creditCount + m.debitCount)};
        for (int c = 0; c < TableColumnCount; ++c) {
            auto *item = new QTableWidgetItem(cells[c]);
            if (c != ColMonth)
                item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            m_table->setItem(i, c, item);
        }
    }
    auto *months = qobject_cast<QBarCategoryAxis *>(m_chart->axes(Qt::Horizontal).value(0));
    auto *amounts = qobject_cast<QValueAxis *>(m_chart->axes(Qt::Vertical).value(0));
    if (months) {
        months->clear();
        months->append(categories);
    }
    if (amounts) {
        // Room above the tallest bar and a round step, so the scale reads easily.
        const double span = std::max(1.0, high - low);
        const double step = std::pow(10.0, std::floor(std::log10(span)));
        amounts->setRange(std::floor(low / step) * step, std::ceil(high * 1.05 / step) * step);
        amounts->applyNiceNumbers();
        amounts->setTitleText(locale.currencySymbol());
    }
    const bool overdue = m_flow.overdueCreditCount + m_flow.overdueDebitCount > 0;
    m_lblOverdue->setText(overdue ? LoadResString(1781).arg(
                              monthName(0), m_flow.overdueCredits.toLocaleCurrency(locale),
                              locale.toString(m_flow.overdueCreditCount), m_flow.overdueDebits.toLocaleCurrency(locale),
                              locale.toString(m_flow.overdueDebitCount))
                                  : QString());
}

QString frmCashFlow::barText(int set, int month) const
{
    if (month < 0 || month >= m_flow.months.size() || set < 0 || set > 1)
        return QString();
    const CashFlowMonth &m = m_flow.months[month];
    const QLocale locale;
    return LoadResString(1765).arg(LoadResString(set == 0 ? 1762 : 1763), monthName(month),
                                   (set == 0 ? m.credits : m.debits).toLocaleCurrency(locale),
                                   locale.toString(set == 0 ? m.creditCount : m.debitCount));
}

void frmCashFlow::selectMonth(int month)
{
    if (month < 0 || month >= m_flow.months.size() || !m_selectPeriod)
        return;
    const QDate first = m_flow.months[month].month;
    m_selectPeriod(first, first.addMonths(1).addDays(-1));
}

void frmCashFlow::savePng()
{
    const QString path = m_prompts.chooseSaveFile({LoadResString(1770), LoadResString(1771), QStringLiteral("png")});
    if (path.isEmpty())
        return;
    const QPixmap picture = m_view->grab();
    QByteArray png;
    QBuffer buffer(&png);
    const bool drawn = buffer.open(QIODevice::WriteOnly) && picture.save(&buffer, "PNG");
    if (const Status st = drawn ? writeWholeFile(path, png) : Status::failure(kErrorFileNotWritten, QString()); !st)
        m_prompts.message(drawn ? st.message() : LoadResString(1772).arg(QDir::toNativeSeparators(path)),
                          MessageIcon::Critical);
}

void frmCashFlow::print()
{
    QPrinter printer(QPrinter::HighResolution);
    printer.setPageOrientation(QPageLayout::Landscape);
    if (!m_prompts.setUpPrinter(printer))
        return;
    QPainter painter;
    bool printed = painter.begin(&printer);
    if (printed) {
        const QRect page = painter.viewport();
        QSize size = m_view->size();
        size.scale(page.size(), Qt::KeepAspectRatio);
        const QRect target(page.topLeft() + QPoint((page.width() - size.width()) / 2, 0), size);
        m_view->render(&painter, target, m_view->rect(), Qt::KeepAspectRatio);
        printed = painter.end();
    }
    if (!printed)
        m_prompts.message(LoadResString(1773), MessageIcon::Critical);
}

void frmCashFlow::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape) {
        close();
        return;
    }
    QWidget::keyPressEvent(event);
}

} // namespace velto
