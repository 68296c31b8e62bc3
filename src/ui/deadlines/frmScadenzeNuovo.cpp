#include "ui/deadlines/frmScadenzeNuovo.h"

#include "app/localeinfo.h"
#include "app/mainmod.h"
#include "app/preferences.h"
#include "app/statustext.h"
#include "app/strings.h"
#include "app/userprompts.h"
#include "deadlines/series.h"
#include "deadlines/undohistory.h"
#include "ui/common/dialogframe.h"
#include "ui/common/refreshorder.h"
#include "ui/deadlines/accountcombo.h"
#include "ui/deadlines/amountbox.h"
#include "ui/deadlines/deadlinedialogkeys.h"
#include "ui/deadlines/deadlinefields.h"
#include "ui/deadlines/typecombo.h"
#include "ui/deadlines/updown.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QDateEdit>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpressionValidator>
#include <QSpinBox>
#include <QStackedWidget>
#include <QStatusBar>
#include <QToolButton>

namespace velto {

namespace {

QDateEdit *datePicker(QWidget *parent, const char *name)
{
    QDateEdit *d = DeadlineFields::datePicker(parent, name);
    d->setDate(today());
    return d;
}

QLabel *label(int id, QWidget *parent, const QString &name)
{
    auto *l = new QLabel(LoadResString(id), parent);
    l->setObjectName(name);
    return l;
}

} // namespace

frmScadenzeNuovo::frmScadenzeNuovo(QWidget *owner, UserPrompts &prompts) : QDialog(owner), m_prompts(prompts)
{
    setAttribute(Qt::WA_DeleteOnClose);
    setObjectName(QStringLiteral("frmScadenzeNuovo"));
    build();
}

void frmScadenzeNuovo::build()
{
    setWindowTitle(LoadResString(1100));
    setAccessibleName(windowTitle());

    // The date of a single deadline lives on its own panel.
    m_panels = new QStackedWidget(this);
    picgrp[0] = new QWidget(m_panels);
    picgrp[0]->setObjectName(QStringLiteral("picgrp0"));
    f = new DeadlineFields(this, picgrp[0], "datData0", "lblData7");
    f->date->setDate(today());
    datData[0] = f->date;

    optgrp[0] = new QRadioButton(LoadResString(1128), this);
    optgrp[0]->setObjectName(QStringLiteral("optgrp0"));
    optgrp[1] = new QRadioButton(LoadResString(1120), this);
    optgrp[1]->setObjectName(QStringLiteral("optgrp1"));
    optgrp[0]->setChecked(true);

    auto *single = new QGridLayout(picgrp[0]);
    single->setContentsMargins(0, 0, 0, 0);
    f->placeDate(single, 0);
    single->setColumnStretch(2, 1);
    single->setRowStretch(3, 1);

    picgrp[1] = new QWidget(m_panels);
    picgrp[1]->setObjectName(QStringLiteral("picgrp1"));
    lblData[5] = label(1129, picgrp[1], QStringLiteral("lblData5"));
    datData[1] = datePicker(picgrp[1], "datData1");
    lblData[1] = label(1121, picgrp[1], QStringLiteral("lblData1"));
    txtCount = new QLineEdit(QStringLiteral("2"), picgrp[1]);
    txtCount->setObjectName(QStringLiteral("txtData2"));
    txtCount->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), txtCount));
    txtCount->setMaxLength(6);
    txtCount->setFixedWidth(64);
    txtCount->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    UpDown1 = new UpDown(txtCount, 2, 100, picgrp[1]);
    UpDown1->setObjectName(QStringLiteral("UpDown1"));
    lblData[6] = label(1122, picgrp[1], QStringLiteral("lblData6"));
    cmbCadenza = new QComboBox(picgrp[1]);
    cmbCadenza->setObjectName(QStringLiteral("cmbCadenza"));
    for (int id = 1123; id <= 1127; ++id)
        cmbCadenza->addItem(LoadResString(id));
    for (int id = 1880; id <= 1885; ++id)
        cmbCadenza->addItem(LoadResString(id));
    cmbCadenza->setCurrentIndex(0);
    auto *series = new QGridLayout(picgrp[1]);
    series->setContentsMargins(0, 0, 0, 0);
    series->addWidget(lblData[5], 0, 0);
    series->addWidget(datData[1], 0, 1, 1, 2);
    series->addWidget(lblData[1], 1, 0);
    auto *countRow = new QHBoxLayout;
    countRow->setSpacing(2);
    countRow->addWidget(txtCount);
    countRow->addWidget(UpDown1);
    countRow->addStretch(1);
    series->addLayout(countRow, 1, 1, 1, 2);
    series->addWidget(lblData[6], 2, 0);
    series->addWidget(cmbCadenza, 2, 1, 1, 2);
    buildRulePanel(series);
    m_panels->addWidget(picgrp[0]);
    m_panels->addWidget(picgrp[1]);

    const DialogFrame::ButtonRow buttons = DialogFrame::buttonRow(this);
    cmdSalva = buttons.accept;
    cmdAnnulla = buttons.cancel;
    sb = new QStatusBar(this);
    sb->setObjectName(QStringLiteral("sb"));

    // Layout: type and mode at the top, the date panel, then the entry fields.
    auto *form = new QGridLayout;
    form->setHorizontalSpacing(10);
    f->placeType(form, 0);
    auto *modes = new QHBoxLayout;
    modes->addWidget(optgrp[0]);
    modes->addWidget(optgrp[1]);
    modes->addStretch(1);
    form->addLayout(modes, 1, 0, 1, 3);
    form->addWidget(m_panels, 2, 0, 1, 3);
    f->placeEntry(form, 3);
    form->setColumnStretch(1, 1);
    DialogFrame::layOut(this, form, buttons.box, sb);
    setMinimumWidth(460);

    setTabOrder(f->type, optgrp[0]);
    setTabOrder(optgrp[0], optgrp[1]);
    setTabOrder(optgrp[1], f->date);
    setTabOrder(f->date, datData[1]);
    setTabOrder(datData[1], txtCount);
    setTabOrder(txtCount, cmbCadenza);
    QWidget *previous = cmbCadenza;
    for (QWidget *w : std::initializer_list<QWidget *>{spnInterval, cmbOrdinal, cmbWeekday, cmbEnd, datUntil, cmbShift,
                                                       lstPreview}) {
        setTabOrder(previous, w);
        previous = w;
    }
    setTabOrder(f->chainEntryTabs(lstPreview), cmdSalva);
    setTabOrder(cmdSalva, cmdAnnulla);

    m_frame = new DialogFrame(this, sb);
    f->registerWith(m_frame);
    m_frame->setHelp(optgrp[0], 1136);
    m_frame->setHelp(optgrp[1], 1136);
    m_frame->setHelp(datData[1], 1133);
    m_frame->setHelp(txtCount, 1134);
    m_frame->setHelp(cmbCadenza, 1135);
    m_frame->setHelp(spnInterval, 1909);
    m_frame->setHelp(cmbOrdinal, 1910);
    m_frame->setHelp(cmbWeekday, 1910);
    m_frame->setHelp(cmbEnd, 1911);
    m_frame->setHelp(datUntil, 1912);
    m_frame->setHelp(cmbShift, 1913);
    m_frame->setHelp(lstPreview, 1914);
    m_frame->setHelp(cmdSalva, 1116);
    m_frame->setHelp(cmdAnnulla, 1117);
    for (QWidget *w : std::initializer_list<QWidget *>{optgrp[0], optgrp[1], datData[1], txtCount, cmbCadenza,
                                                       spnInterval, cmbOrdinal, cmbWeekday, cmbEnd, datUntil, cmbShift})
        m_frame->enterAsTab(w);
    m_frame->linkLabel(lblRule[0], spnInterval);
    m_frame->linkLabel(lblRule[1], cmbOrdinal);
    m_frame->linkLabel(lblRule[2], cmbEnd);
    m_frame->linkLabel(lblRule[3], cmbShift);
    m_frame->linkLabel(lblRule[4], lstPreview);
    m_frame->linkLabel(lblData[5], datData[1]);
    m_frame->linkLabel(lblData[1], txtCount);
    m_frame->linkLabel(lblData[6], cmbCadenza);

    // At least two deadlines make a series; the row and count fields hold
    // at most 32767.
    m_frame->addValidation(txtCount, [this] {
        bool ok = false;
        const int n = txtCount->text().toInt(&ok);
        return ok && n >= 2 && n <= kMaxSeriesCount;
    });

    connect(f->type, &QComboBox::currentIndexChanged, this, [this] { f->applyTypeRule(); });
    connect(optgrp[0], &QRadioButton::clicked, this, [this] { setMode(0); });
    connect(optgrp[1], &QRadioButton::clicked, this, [this] { setMode(1); });
    connect(cmdSalva, &QPushButton::clicked, this, [this] { cmdSalva_Click(); });
    connect(cmdAnnulla, &QPushButton::clicked, this, [this] { cmdAnnulla_Click(); });
    connect(f->addClient, &QToolButton::clicked, this, [this] { cmdAdd_Click(); });

    setMode(0);
    m_frame->setStatusText(QString());
    DialogFrame::RemoveCloseCommand(this);
}

void frmScadenzeNuovo::buildRulePanel(QGridLayout *series)
{
    QWidget *panel = picgrp[1];
    const int labels[] = {1886, 1887, 1893, 1896, 1900};
    for (int i = 0; i < 5; ++i)
        lblRule[i] = label(labels[i], panel, QStringLiteral("lblRule%1").arg(i));
    spnInterval = new QSpinBox(panel);
    spnInterval->setObjectName(QStringLiteral("spnInterval"));
    spnInterval->setRange(1, kMaxRecurrenceInterval);
    cmbOrdinal = new QComboBox(panel);
    cmbOrdinal->setObjectName(QStringLiteral("cmbOrdinal"));
    for (int id = 1888; id <= 1892; ++id)
        cmbOrdinal->addItem(LoadResString(id));
    cmbWeekday = new QComboBox(panel);
    cmbWeekday->setObjectName(QStringLiteral("cmbWeekday"));
    for (int d = Qt::Monday; d <= Qt::Sunday; ++d)
        cmbWeekday->addItem(QLocale().dayName(d));
    cmbWeekday->setAccessibleName(LoadResString(1910));
    cmbEnd = new QComboBox(panel);
    cmbEnd->setObjectName(QStringLiteral("cmbEnd"));
    cmbEnd->addItems({LoadResString(1894), LoadResString(1895)});
    datUntil = datePicker(panel, "datUntil");
    datUntil->setAccessibleName(LoadResString(1912));
    cmbShift = new QComboBox(panel);
    cmbShift->setObjectName(QStringLiteral("cmbShift"));
    for (int id = 1897; id <= 1899; ++id)
        cmbShift->addItem(LoadResString(id));
    lstPreview = new QListWidget(panel);
    lstPreview->setObjectName(QStringLiteral("lstPreview"));
    lstPreview->setMinimumWidth(150);
    lblSummary = new QLabel(panel);
    lblSummary->setObjectName(QStringLiteral("lblSummary"));
    lblSummary->setWordWrap(true);

    series->addWidget(lblRule[0], 3, 0);
    series->addWidget(spnInterval, 3, 1);
    series->addWidget(lblRule[1], 4, 0);
    series->addWidget(cmbOrdinal, 4, 1);
    series->addWidget(cmbWeekday, 4, 2);
    series->addWidget(lblRule[2], 5, 0);
    series->addWidget(cmbEnd, 5, 1);
    series->addWidget(datUntil, 5, 2);
    series->addWidget(lblRule[3], 6, 0);
    series->addWidget(cmbShift, 6, 1, 1, 2);
    series->addWidget(lblRule[4], 0, 3);
    series->addWidget(lstPreview, 1, 3, 6, 1);
    series->addWidget(lblSummary, 7, 0, 1, 4);
    series->setColumnStretch(3, 1);

    for (QComboBox *c : {cmbCadenza, cmbOrdinal, cmbWeekday, cmbEnd, cmbShift})
        connect(c, &QComboBox::currentIndexChanged, this, [this] { updatePreview(); });
    connect(spnInterval, &QSpinBox::valueChanged, this, [this] { updatePreview(); });
    connect(txtCount, &QLineEdit::textChanged, this, [this] { updatePreview(); });
    for (QDateEdit *d : {datData[1], datUntil})
        connect(d, &QDateEdit::dateChanged, this, [this] { updatePreview(); });
}

DeadlineEntry frmScadenzeNuovo::entry() const
{
    DeadlineEntry e;
    e.type = f->type->type();
    e.description = f->description->text();
    e.accountId = f->client->boundValue();
    e.amount = e.type == DeadlineType::Appointment ? Currency() : f->amount->amount().value_or(Currency());
    e.recurring = !optgrp[0]->isChecked();
    e.date = e.recurring ? datData[1]->date() : f->date->date();
    e.count = txtCount->text().toInt();
    e.addToGroupId = m_addToGroupId;
    const int kind = cmbCadenza->currentIndex();
    const auto shift = DateShift(cmbShift->currentIndex());
    const bool byDate = cmbEnd->currentIndex() == 1;
    if (kind < kCadenceCount && shift == DateShift::None && !byDate) {
        e.cadence = Cadence(kind);
        return e;
    }
    // The five cadences as rules, then every N units, the weekday kinds.
    struct Kind {
        Frequency frequency;
        int interval;
    };
    static constexpr Kind kKinds[] = {{Frequency::Days, 1},       {Frequency::Weeks, 1},         {Frequency::Months, 1},
                                      {Frequency::Months, 3},     {Frequency::Years, 1},         {Frequency::Days, 0},
                                      {Frequency::Weeks, 0},      {Frequency::Months, 0},        {Frequency::Years, 0},
                                      {Frequency::NthWeekday, 0}, {Frequency::LastWorkingDay, 0}};
    Recurrence r;
    r.frequency = kKinds[kind].frequency;
    r.interval = kKinds[kind].interval ? kKinds[kind].interval : spnInterval->value();
    r.ordinal = cmbOrdinal->currentIndex() < 4 ? cmbOrdinal->currentIndex() + 1 : -1;
    r.weekday = cmbWeekday->currentIndex() + 1;
    r.shift = r.frequency == Frequency::LastWorkingDay ? DateShift::None : shift;
    // Holidays are kept only where they move a date.
    if (r.shift != DateShift::None || r.frequency == Frequency::LastWorkingDay)
        r.country = m_country;
    if (byDate)
        r.until = datUntil->date();
    e.rule = r;
    return e;
}

void frmScadenzeNuovo::updatePreview()
{
    const int kind = cmbCadenza->currentIndex();
    const bool byDate = cmbEnd->currentIndex() == 1;
    spnInterval->setEnabled(kind >= kCadenceCount);
    cmbOrdinal->setEnabled(kind == 9);
    cmbWeekday->setEnabled(kind == 9);
    cmbShift->setEnabled(kind != 10);
    datUntil->setEnabled(byDate);
    txtCount->setEnabled(!byDate);
    UpDown1->setEnabled(!byDate);

    const DeadlineEntry e = entry();
    DeadlineEntry asSeries = e;
    asSeries.recurring = true;
    asSeries.date = datData[1]->date();
    const QList<QDate> dates = seriesDates(asSeries);
    const Status st = checkSeriesDates(asSeries, dates);
    lstPreview->clear();
    if (st) {
        QStringList shown;
        shown.reserve(dates.size());
        const QLocale locale;
        const QString format = fourDigitYearFormat(locale);
        for (const QDate &d : dates)
            shown << locale.dayName(d.dayOfWeek(), QLocale::ShortFormat) + u' ' + locale.toString(d, format);
        lstPreview->addItems(shown);
    }
    const int countryName = 1902 + int(asSeries.rule ? asSeries.rule->country : HolidayCountry::None);
    lblSummary->setText(st ? LoadResString(1901).arg(dates.size()).arg(LoadResString(countryName)) : st.message());
}

QStringList frmScadenzeNuovo::previewDates() const
{
    QStringList dates;
    for (int i = 0; i < lstPreview->count(); ++i)
        dates << lstPreview->item(i)->text();
    return dates;
}

QString frmScadenzeNuovo::statusText() const
{
    return m_frame->statusText();
}

void frmScadenzeNuovo::setMode(int index)
{
    m_panels->setCurrentIndex(index);
    for (int i = 0; i < 2; ++i) {
        QFont f = optgrp[i]->font();
        f.setBold(i == index);
        optgrp[i]->setFont(f);
    }
    optgrp[index]->setChecked(true);
    m_frame->setStatusText(optgrp[index]->toolTip());
}

Status frmScadenzeNuovo::InitCombos()
{
    const Status st = f->client->reload();
    if (!st)
        m_prompts.message(userMessage(st), MessageIcon::Critical);
    return st;
}

void frmScadenzeNuovo::showWindow()
{
    show();
    raise();
    activateWindow();
}

void frmScadenzeNuovo::reset()
{
    // The window may still be open from an earlier request: nothing of it
    // carries over, not a client, a lock or a series to join.
    m_addToGroupId = 0;
    for (QWidget *w : std::initializer_list<QWidget *>{f->description, f->type, f->client, f->addClient})
        w->setEnabled(true);
    InitCombos();
    f->type->setCurrentIndex(0);
    setMode(0);
    f->date->setDate(today());
    datData[1]->setDate(today());
    txtCount->setText(QStringLiteral("2"));
    cmbCadenza->setCurrentIndex(0);
    spnInterval->setValue(1);
    cmbOrdinal->setCurrentIndex(0);
    cmbWeekday->setCurrentIndex(0);
    cmbEnd->setCurrentIndex(0);
    datUntil->setDate(today().addYears(1));
    cmbShift->setCurrentIndex(0);
    m_country = holidayCountryChosen(Preferences::load().holidayCountry);
    updatePreview();
    f->description->clear();
    f->client->setBoundValue(0);
    f->amount->setAmount(Currency());
    f->applyTypeRule();
}

void frmScadenzeNuovo::Nuovo()
{
    reset();
    showWindow();
}

void frmScadenzeNuovo::Nuovo2(const Deadline &member)
{
    reset();
    f->type->selectType(member.type);
    f->description->setText(member.description);
    f->client->setBoundValue(member.accountId);
    f->amount->setAmount(member.value);
    m_addToGroupId = member.groupId;
    f->applyTypeRule();
    f->description->setEnabled(false);
    f->type->setEnabled(false);
    f->client->setEnabled(false);
    f->addClient->setEnabled(false);
    showWindow();
}

void frmScadenzeNuovo::cmdSalva_Click()
{
    if (f->description->text().isEmpty()) {
        f->description->setFocus(Qt::OtherFocusReason);
        return;
    }
    if (QWidget *invalid = m_frame->focusFirstInvalid()) {
        if (invalid == f->amount)
            m_prompts.message(f->amount->refusalText(), MessageIcon::Warning);
        return;
    }
    const DeadlineEntry e = entry();
    qint64 firstRowId = 0;
    const Status st = InsertDeadlines(currentDatabase(), app().CurrentDbId, e, &firstRowId, &programHistory());
    if (!st) {
        // Nothing was written; the entry stays for another try.
        m_prompts.message(userMessage(st), MessageIcon::Critical);
        return;
    }
    PauseAfterWrite();
    // The new deadline (the first of a series) becomes the grid's current
    // row, so the next key acts on it.
    showOwnWrite(firstRowId);
    m_closing = true;
    close();
}

void frmScadenzeNuovo::cmdAnnulla_Click()
{
    m_closing = true;
    close();
}

void frmScadenzeNuovo::cmdAdd_Click()
{
    addClientInto(this, f->client, m_prompts);
}

void frmScadenzeNuovo::keyPressEvent(QKeyEvent *event)
{
    if (!deadlineDialogKey(
            event, f->client, [this] { cmdAnnulla_Click(); }, [this] { cmdAdd_Click(); }))
        QDialog::keyPressEvent(event);
}

void frmScadenzeNuovo::closeEvent(QCloseEvent *event)
{
    // The window system's own close request counts as Cancel.
    m_closing = true;
    QDialog::closeEvent(event);
}

} // namespace velto
