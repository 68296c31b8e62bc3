#include "ui/sheets/frmscadenziari.h"

#include "app/datawatcher.h"
#include "app/mainmod.h"
#include "app/preferences.h"
#include "app/statustext.h"
#include "app/strings.h"
#include "app/userprompts.h"
#include "deadlines/datasheets.h"
#include "deadlines/undohistory.h"
#include "ui/common/dialogframe.h"
#include "ui/common/refreshorder.h"
#include "ui/widgets/grid.h"
#include "ui/widgets/vectorgridsource.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStyle>
#include <QTreeView>
#include <QVBoxLayout>

namespace velto {

namespace {

enum SheetColumn { ColDbId = 1, ColDbName = 2 };

QPushButton *button(int id, QWidget *parent)
{
    auto *b = new QPushButton(LoadResString(id), parent);
    b->setAccessibleName(QString(LoadResString(id)).remove(u'&'));
    b->setAutoDefault(false);
    return b;
}

} // namespace

frmScadenziari::frmScadenziari(UserPrompts &prompts, QWidget *parent) : QDialog(parent), m_prompts(prompts)
{
    setObjectName(QStringLiteral("frmScadenziari"));
    DialogFrame::pressButtonsOnEnter(this);
    setWindowTitle(LoadResString(1253));
    setAccessibleName(LoadResString(1253));
    setModal(true);
    // Closed only through its buttons or a selection.
    setWindowFlags((windowFlags() | Qt::CustomizeWindowHint | Qt::WindowTitleHint)
                   & ~(Qt::WindowCloseButtonHint | Qt::WindowContextHelpButtonHint));

    auto *label2 = new QLabel(LoadResString(1404) + u' ', this);
    m_gex = new Grid(this);
    m_gex->setObjectName(QStringLiteral("gex"));
    m_gex->setAccessibleName(LoadResString(1404));
    label2->setBuddy(m_gex);

    auto *label1 = new QLabel(LoadResString(1403), this);
    m_lblDb = new QLabel(locationText(app().DatabaseFolder), this);
    m_lblDb->setObjectName(QStringLiteral("lblDb"));
    m_lblDb->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    m_lblDb->setFocusPolicy(Qt::TabFocus);
    // Read as the folder it shows; the caption label names it through the buddy.
    label1->setBuddy(m_lblDb);

    m_cmdSelect = button(1254, this);
    m_cmdSelect->setObjectName(QStringLiteral("cmdSelect"));
    m_cmdNuovo = button(1250, this);
    m_cmdNuovo->setObjectName(QStringLiteral("cmdNuovo"));
    m_cmdEdit = button(1251, this);
    m_cmdEdit->setObjectName(QStringLiteral("cmdEdit"));
    m_cmdErase = button(1252, this);
    m_cmdErase->setObjectName(QStringLiteral("cmdErase"));
    m_cmdCancel = button(1324, this);
    m_cmdCancel->setObjectName(QStringLiteral("cmdCancel"));

    auto *buttons = new QVBoxLayout;
    buttons->addWidget(m_cmdSelect);
    buttons->addSpacing(12);
    buttons->addWidget(m_cmdNuovo);
    buttons->addWidget(m_cmdEdit);
    buttons->addWidget(m_cmdErase);
    buttons->addStretch(1);
    buttons->addWidget(m_cmdCancel);

    auto *list = new QVBoxLayout;
    list->addWidget(label2);
    list->addWidget(m_gex, 1);

    auto *top = new QHBoxLayout;
    top->addLayout(list, 1);
    top->addLayout(buttons);

    auto *folder = new QHBoxLayout;
    folder->addWidget(label1);
    folder->addWidget(m_lblDb, 1);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(top, 1);
    layout->addLayout(folder);
    resize(460, 320);

    connect(m_cmdSelect, &QPushButton::clicked, this, &frmScadenziari::cmdSelect_Click);
    connect(m_cmdNuovo, &QPushButton::clicked, this, &frmScadenziari::cmdNuovo_Click);
    connect(m_cmdEdit, &QPushButton::clicked, this, &frmScadenziari::cmdEdit_Click);
    connect(m_cmdErase, &QPushButton::clicked, this, &frmScadenziari::cmdErase_Click);
    connect(m_cmdCancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(m_gex, &Grid::currentRowChanged, this, [this] { gex_RowChange(); });
    connect(m_gex, &Grid::doubleClicked, this, [this] {
        if (m_gex->currentRow() > 0)
            cmdSelect_Click();
    });
    connect(m_gex, &Grid::keyDown, this, [this](int &key, Qt::KeyboardModifiers) {
        if ((key == Qt::Key_Return || key == Qt::Key_Enter) && m_gex->currentRow() > 0) {
            key = 0;
            cmdSelect_Click();
        }
    });

    rebindGrid();
    if (m_gex->columnCount() >= ColDbName) {
        m_gex->setColumnVisible(ColDbId, false);
        m_gex->setColumnCaption(ColDbName, LoadResString(1321));
        m_gex->setColumnHasIcon(ColDbName, true);
        // The one shown column takes the whole width of the list.
        if (auto *view = m_gex->findChild<QTreeView *>())
            view->header()->setStretchLastSection(true);
        m_gex->setImageList({QApplication::style()->standardIcon(QStyle::SP_FileDialogDetailedView)});
    }
    m_gex->setFocus();
    // Sheets created, renamed or deleted elsewhere show at once; the
    // selected one stays selected.
    connect(&dataWatcher(), &DataWatcher::dataChanged, this, [this] {
        const Grid::Place place = m_gex->place(ColDbId);
        loadList();
        m_gex->restorePlace(place);
        gex_RowChange();
    });
}

void frmScadenziari::gex_RowChange()
{
    if (m_gex->currentRow() < 1) {
        m_selectedId = 0;
        m_selectedName.clear();
        return;
    }
    m_selectedId = int(NzNum(m_gex->value(ColDbId), 0));
    m_selectedName = NzStr(m_gex->value(ColDbName), QString());
}

void frmScadenziari::loadList()
{
    QList<DataSheet> sheets;
    const Status st = listDataSheets(currentDatabase(), &sheets);
    if (!st) {
        showError(userMessage(st));
        return;
    }
    QList<VectorGridSource::Row> rows;
    rows.reserve(sheets.size());
    for (const DataSheet &sheet : sheets)
        rows.append({qint64(sheet.id), sheet.name});
    auto list = std::make_unique<VectorGridSource>(QStringList{QStringLiteral("Id"), QStringLiteral("Name")}, rows);
    list->setColumnImage(ColDbName - 1, 1); // every sheet shows the list picture
    m_gex->setRows(std::move(list));
}

void frmScadenziari::rebindGrid()
{
    loadList();
    // The grid starts on its first row; the buttons act on the row the user
    // sees even before the selection is moved.
    if (m_gex->currentRow() < 1 && m_gex->rowCount() > 0)
        m_gex->setCurrentRow(1);
    gex_RowChange();
}

std::optional<QString> frmScadenziari::askName(int promptId)
{
    const std::optional<QString> answer =
        m_prompts.askText(LoadResString(promptId), m_selectedName, dataSheetNameMaxLength());
    if (!answer)
        return std::nullopt;
    const QString name = answer->trimmed();
    if (name.isEmpty())
        return std::nullopt;
    return name;
}

void frmScadenziari::showError(const QString &text)
{
    m_prompts.message(text, MessageIcon::Critical);
}

void frmScadenziari::cmdSelect_Click()
{
    if (m_selectedId == 0)
        return;
    // A choice the settings refuse is active for this run all the same; only
    // the next start will not know it. A sheet deleted meanwhile is not chosen.
    const Status st = selectActiveSheet(m_selectedId);
    if (!st)
        showError(userMessage(st));
    if (!st && app().CurrentDbId != m_selectedId) {
        loadList();
        return;
    }
    PauseAfterWrite();
    // Another sheet is a change of view: nothing was written.
    reloadMainWindow();
    accept();
}

void frmScadenziari::cmdNuovo_Click()
{
    const std::optional<QString> name = askName(1409);
    if (!name)
        return;
    const Status st = createDataSheet(currentDatabase(), *name, nullptr, &programHistory());
    if (!st) {
        showError(userMessage(st));
        return;
    }
    PauseAfterWrite();
    rebindGrid();
    m_prompts.message(LoadResString(1410), MessageIcon::Information);
}

void frmScadenziari::cmdEdit_Click()
{
    if (m_selectedId == 0)
        return;
    const int id = m_selectedId;
    const std::optional<QString> name = askName(1411);
    if (!name)
        return;
    const Status st = renameDataSheet(currentDatabase(), id, *name, &programHistory());
    if (st)
        PauseAfterWrite();
    else
        showError(userMessage(st));
    loadList();
    // The list is ordered by name: stay on the renamed sheet.
    if (!m_gex->find(ColDbId, id) && m_gex->currentRow() < 1 && m_gex->rowCount() > 0)
        m_gex->setCurrentRow(1);
    gex_RowChange();
    // The status bar shows it at the reload the notice brings.
    LoadCurrentDbName();
}

void frmScadenziari::cmdErase_Click()
{
    if (m_selectedId == 0)
        return;
    const int id = m_selectedId;
    const int active = app().CurrentDbId;
    // The refusals come before the question; nothing is asked then.
    Status st = checkDataSheetDeletable(currentDatabase(), id, active);
    if (!st) {
        m_prompts.message(userMessage(st), st.code() == kErrorInUse ? MessageIcon::Information : MessageIcon::Critical);
        return;
    }
    if (!m_prompts.askYesNo(LoadResString(1407), true))
        return;
    st = deleteDataSheet(currentDatabase(), id, active, &programHistory());
    if (!st) {
        showError(userMessage(st));
        rebindGrid();
        return;
    }
    PauseAfterWrite();
    rebindGrid();
    m_prompts.message(LoadResString(1408), MessageIcon::Information);
}

} // namespace velto
