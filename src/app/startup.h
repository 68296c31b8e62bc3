#pragma once
// The start-up sequence up to the point where windows take over.

#include <QString>

namespace velto {

class UserPrompts;

// Settles the settings key, the language and help file, the database folder
// and connection string, checks and if needed creates the database, upgrades
// older files and loads the active data sheet. scrollBarTwips is the width
// of a vertical scroll bar, which only the window layer can measure.
// Returns false when the program must end (the user has been told why).
bool runStartup(UserPrompts &prompts, float scrollBarTwips);

// The start-up half of the database folder choice: ask for another folder
// after the database could not be opened, store it for the next start.
class frmForFolders
{
public:
    static void Apri(UserPrompts &prompts);
};

// Asks for a folder with the given prompt and stores it as the database
// folder; shows doneMessageId afterwards. Shared by the start-up failure
// path and the Tools menu.
void chooseDatabaseFolder(UserPrompts &prompts, int promptId, int doneMessageId);

} // namespace velto
