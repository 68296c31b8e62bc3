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

// The start-up half of the database choice: ask for another folder or
// server after the database could not be opened, store it for the next start.
class frmForFolders
{
public:
    static void Apri(UserPrompts &prompts);
};

// Asks whether the database is in a folder or on a server (kindPromptId),
// then for the folder (folderPromptId) or the server's address, and stores
// it, without a password, as the database location for the next start;
// shows doneMessageId afterwards. Shared by the start-up failure path and
// the Tools menu.
void chooseDatabase(UserPrompts &prompts, int kindPromptId, int folderPromptId, int doneMessageId);

} // namespace velto
