#pragma once
// File > Export and File > Print on what the deadline grid shows.
//
// The deadline grid's columns are those of the main query: 3 TrType,
// 4 TrDone, 5 TrDate, 6 TrDescription (as shown, counters included),
// 8 TrValue, 9 TrBalance, 16 AcName, 17 the client/supplier notes.

#include "app/exporttext.h"

#include <QList>
#include <QString>

#include <functional>

class QPrinter;
class QWidget;

namespace velto {

class Grid;
class GridPageTexts;
class UserPrompts;

// What the save dialog is asked: its title, the Qt filter ("Text file
// (*.txt)") and the suffix added to a name typed without one.
struct SaveFileRequest {
    QString title;
    QString filter;
    QString defaultSuffix;
};
// Returns the chosen path, empty when the user cancels.
using SaveFileChooser = std::function<QString(QWidget *parent, const SaveFileRequest &request)>;
// Shows the print dialog on the printer; true when the user confirms.
using PrintDialogRunner = std::function<bool(QPrinter &printer, QWidget *parent)>;

// A filter in the "Text file (*.txt)|*.txt" form of the string table as the
// Qt file dialog takes it.
[[nodiscard]] QString qtFileFilter(const QString &pairs);

// Every record row of the grid, once each, in the grid's order; group rows
// are skipped and collapsed groups are read too.
[[nodiscard]] QList<ExportRecord> exportRecords(const Grid &grid);

// Builds the text, asks for a file and writes it (an existing file is
// replaced, atomically). True when a file was written; false when the user
// cancelled or the file could not be written, which has been shown.
// A null chooser uses the window system's save dialog.
bool ExportGrid(Grid &grid, UserPrompts &prompts, QWidget *parent = nullptr,
                const SaveFileChooser &chooser = SaveFileChooser());

// The page request's texts: "Velto" in the header's centre, today's long
// date on its right, "p / n" in the footer's left.
void fillPageTexts(int page, int pageCount, GridPageTexts &texts);
// Connects fillPageTexts to the grid's page request, once per grid.
void installPageTexts(Grid &grid);

// Shows the print dialog and prints the grid on the chosen printer. True
// when it printed; false when cancelled or failed (the error was shown).
// A null runner uses QPrintDialog.
bool PrintGrid(Grid &grid, UserPrompts &prompts, QWidget *parent = nullptr,
               const PrintDialogRunner &runner = PrintDialogRunner());

} // namespace velto
