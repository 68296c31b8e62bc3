// The windows of data sheets, purge, preferences, About and help in every
// language: every caption translated (no string id left showing), every
// button and box with a text, every field label the buddy of its field.
// With VELTO_SCREENSHOT_DIR set the Italian windows are saved there too.

#include "app/mainmod.h"
#include "data/catalogue.h"
#include "data/connection.h"
#include "promptrecorder.h"
#include "testsupport.h"
#include "ui/about/frmabout.h"
#include "ui/main/helpwindow.h"
#include "ui/maintenance/frmdelclosedrows.h"
#include "ui/maintenance/frmoptions.h"
#include "ui/sheets/frmscadenziari.h"
#include "ui/widgets/recordsetgridsource.h"

#include <QAbstractButton>
#include <QDir>
#include <QGroupBox>
#include <QLabel>
#include <QRegularExpression>
#include <QtTest>

using namespace velto;
using velto::test::PromptRecorder;

namespace {

bool looksLikeAnId(const QString &text)
{
    static const QRegularExpression id(QStringLiteral("^\\s*\\d{3,5}\\s*$"));
    return id.match(text).hasMatch();
}

// Labels that show a value, not the name of a field.
bool isDisplayLabel(const QLabel *label)
{
    static const QStringList names{"lblTitle", "lblVersion", "Image1", "lblDb"};
    return names.contains(label->objectName());
}

void checkTexts(QWidget &window)
{
    QVERIFY(!window.windowTitle().trimmed().isEmpty());
    QVERIFY2(!looksLikeAnId(window.windowTitle()), qPrintable(window.windowTitle()));
    QVERIFY(!window.accessibleName().isEmpty());
    for (QAbstractButton *b : window.findChildren<QAbstractButton *>()) {
        if (b->parent()->inherits("QAbstractScrollArea") || b->objectName().startsWith(QLatin1String("qt_")))
            continue;
        QVERIFY2(!b->text().trimmed().isEmpty(), qPrintable(b->objectName()));
        QVERIFY2(!looksLikeAnId(b->text()), qPrintable(b->text()));
    }
    for (QGroupBox *g : window.findChildren<QGroupBox *>())
        QVERIFY2(!g->title().isEmpty() && !looksLikeAnId(g->title()), qPrintable(g->title()));
    for (QLabel *l : window.findChildren<QLabel *>()) {
        if (l->objectName().startsWith(QLatin1String("qt_")) || !l->isVisibleTo(&window))
            continue;
        if (l->parent() && l->parent()->objectName() == QLatin1String("gex"))
            continue; // the grid's own record counter
        QVERIFY2(!looksLikeAnId(l->text()), qPrintable(l->text()));
        if (!isDisplayLabel(l) && !l->text().isEmpty())
            QVERIFY2(l->buddy(), qPrintable(QStringLiteral("no buddy: ") + l->text()));
    }
}

void saveShot(QWidget &window, const QString &name)
{
    const QString dir = qEnvironmentVariable("VELTO_SCREENSHOT_DIR");
    if (dir.isEmpty())
        return;
    QDir().mkpath(dir);
    QVERIFY(window.grab().save(dir + u'/' + name + QStringLiteral(".png")));
}

} // namespace

class TestWindowTexts : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void windowsAreTranslatedAndLabelled_data();
    void windowsAreTranslatedAndLabelled();

private:
    std::unique_ptr<test::Sandbox> m_box;
};

void TestWindowTexts::initTestCase()
{
    installRecordsetLoader();
    m_box = std::make_unique<test::Sandbox>();
    QVERIFY(m_box->createDatabase());
    Connection cn;
    QVERIFY(cn.open(app().ConnectionString));
    QVERIFY(cn.execute(sql::createSheet(2, QStringLiteral("Casa"))));
    QVERIFY(cn.execute(sql::createSheet(3, QStringLiteral("Ufficio di via Roma"))));
    QVERIFY(cn.execute(sql::createSheet(4, QStringLiteral("Condominio l'Aurora"))));
    app().SettingsKey = settingsKeyFor(QStringLiteral("Velto"));
    qputenv("VELTO_TODAY", "2027-02-10");
}

void TestWindowTexts::windowsAreTranslatedAndLabelled_data()
{
    QTest::addColumn<int>("offset");
    QTest::addColumn<QString>("help");
    QTest::newRow("Italian") << 0 << "ita";
    QTest::newRow("English") << 3000 << "eng";
    QTest::newRow("French") << 6000 << "fra";
    QTest::newRow("Spanish") << 9000 << "esp";
    QTest::newRow("German") << 12000 << "deu";
}

void TestWindowTexts::windowsAreTranslatedAndLabelled()
{
    QFETCH(int, offset);
    QFETCH(QString, help);
    app().LanguageOffset = offset;
    const QString suffix = QString::fromLatin1(QTest::currentDataTag()).toLower();
    PromptRecorder prompts;

    // A folder as a user would have it, for the pictures.
    const QString realFolder = app().DatabaseFolder;
    app().DatabaseFolder = QStringLiteral("/home/anna/Documenti/Velto");
    frmScadenziari sheets(prompts);
    app().DatabaseFolder = realFolder;
    sheets.show();
    checkTexts(sheets);
    saveShot(sheets, "datasheets-" + suffix);

    frmDelClosedRows purge(prompts);
    purge.show();
    checkTexts(purge);
    saveShot(purge, "purge-" + suffix);

    frmOptions options(prompts);
    options.show();
    checkTexts(options);
    saveShot(options, "preferences-" + suffix);

    frmAbout about(prompts);
    about.show();
    checkTexts(about);
    saveShot(about, "about-" + suffix);

    app().HelpFile = QStringLiteral(VELTO_SOURCE_DIR "/resources/help/") + help + "_help.html";
    HelpWindow *window = showHelp(nullptr, &prompts);
    QVERIFY(window);
    checkTexts(*window);
    saveShot(*window, "help-" + suffix);
    window->close();
    QVERIFY(prompts.messages.isEmpty());
}

QTEST_MAIN(TestWindowTexts)
#include "tst_windowtexts.moc"
