// Pictures of the new-deadline window in series mode, the edit window and
// the clients/suppliers window, for the documentation. Written only when
// VELTO_SCREENSHOT_DIR names a folder; otherwise the test checks that each
// window renders at a usable size.

#include "deadlinebench.h"

#include "ui/accounts/frmAccounts.h"
#include "ui/accounts/managecounts.h"
#include "ui/deadlines/frmScadenze.h"
#include "ui/deadlines/frmScadenzeNuovo.h"
#include "ui/deadlines/typecombo.h"

#include <QComboBox>
#include <QDateEdit>
#include <QIcon>
#include <QLineEdit>
#include <QRadioButton>

using namespace velto;
using namespace velto::test;

class TestDialogScreenshots : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanupTestCase();
    void newDeadlineInSeriesMode();
    void editDeadline();
    void clientsAndSuppliers();

private:
    void save(QWidget *w, const QString &name);
    std::unique_ptr<Sandbox> m_box;
    ScriptedPrompts m_prompts;
};

void TestDialogScreenshots::initTestCase()
{
    m_box = std::make_unique<Sandbox>();
    QVERIFY(m_box->createDatabase());
    installRecordsetLoader();
    // The icon theme a desktop session provides.
    QIcon::setThemeName(QStringLiteral("Adwaita"));
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedKingdom));
    for (const char *name : {"Acme Ltd", "Bright Energy", "City Council", "Dr. Moore"})
        QVERIFY(run(QStringLiteral("INSERT INTO Accounts (AcName, AcNotes) VALUES ('%1', 'tel. 020 7946 0000')")
                        .arg(QLatin1String(name))));
    QVERIFY(addDeadline("d-1", QDate(2027, 3, 31), "Electricity bill", "84.5", 1, 2, 2));
}

void TestDialogScreenshots::cleanupTestCase()
{
    QLocale::setDefault(QLocale::c());
    m_box.reset();
}

void TestDialogScreenshots::save(QWidget *w, const QString &name)
{
    settle();
    const QPixmap shot = w->grab();
    QVERIFY(shot.width() >= 300 && shot.height() >= 150);
    const QString dir = qEnvironmentVariable("VELTO_SCREENSHOT_DIR");
    if (!dir.isEmpty())
        QVERIFY(shot.save(dir + u'/' + name, "PNG"));
}

void TestDialogScreenshots::newDeadlineInSeriesMode()
{
    auto *dlg = new frmScadenzeNuovo(nullptr, m_prompts);
    dlg->Nuovo();
    child<TypeCombo>(dlg, "imgcmbData")->setCurrentIndex(1);
    QTest::mouseClick(child<QRadioButton>(dlg, "optgrp1"), Qt::LeftButton);
    child<QDateEdit>(dlg, "datData1")->setDate(QDate(2027, 1, 31));
    child<QLineEdit>(dlg, "txtData2")->setText(QStringLiteral("12"));
    child<QComboBox>(dlg, "cmbCadenza")->setCurrentIndex(2);
    child<QLineEdit>(dlg, "txtData0")->setText(QStringLiteral("Office rent"));
    child<QComboBox>(dlg, "dtcData")->setCurrentIndex(1);
    child<QLineEdit>(dlg, "txtData1")->setText(QLocale().toCurrencyString(650.0));
    child<QLineEdit>(dlg, "txtData2")->setFocus();
    save(dlg, QStringLiteral("new-deadline-series.png"));
    delete dlg;
}

void TestDialogScreenshots::editDeadline()
{
    auto *dlg = new frmScadenze(nullptr, m_prompts);
    QVERIFY(dlg->Apri(deadlines()[0]["TrRowId"].toLongLong()));
    child<QLineEdit>(dlg, "txtData1")->setFocus();
    save(dlg, QStringLiteral("edit-deadline.png"));
    delete dlg;
}

void TestDialogScreenshots::clientsAndSuppliers()
{
    frmAccounts *w = ManageCounts(nullptr, m_prompts);
    w->resize(620, 320);
    w->grid()->setCurrentRow(2);
    save(w, QStringLiteral("clients-suppliers.png"));
    delete w;
}

QTEST_MAIN(TestDialogScreenshots)
#include "tst_dialogscreenshots.moc"
