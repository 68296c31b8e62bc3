#pragma once
// File > Export and File > Print on what the deadline grid shows.
//
// The deadline grid's columns are those of MainColumn; its records are read
// as the typed values of the core's rows (MainGridSource).

#include "deadlines/exporttext.h"

#include <QList>
#include <QString>

namespace velto {

class Grid;
class GridPageTexts;
class UserPrompts;

// A filter in the "Text file (*.txt)|*.txt" form of the string table as the
// Qt file dialog takes it.
[[nodiscard]] QString qtFileFilter(const QString &pairs);

// Every record row of the grid, once each, in the grid's order; group rows
// are skipped and collapsed groups are read too.
[[nodiscard]] QList<ExportRecord> exportRecords(const Grid &grid);

// Builds the text, asks for a file and writes it (an existing file is
// replaced, atomically). True when a file was written; false when the user
// cancelled or the file could not be written, which has been shown.
bool ExportGrid(Grid &grid, UserPrompts &prompts);

// The page request's texts: "Velto" in the header's centre, today's long
// date on its right, "p / n" in the footer's left.
void fillPageTexts(int page, int pageCount, GridPageTexts &texts);
// Connects fillPageTexts to the grid's page request, once per grid.
void installPageTexts(Grid &grid);

// The deadline grid's print: the type named beside its icon, amounts with
// the sign of their balance, the description taking the width the other
// columns leave.
void installPrintedTexts(Grid &grid);
// Shows the print dialog and prints the grid on the chosen printer. True
// when it printed; false when cancelled or failed (the error was shown).
bool PrintGrid(Grid &grid, UserPrompts &prompts);

} // namespace velto
