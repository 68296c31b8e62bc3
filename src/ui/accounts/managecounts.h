#pragma once
// Opens the clients/suppliers window beside the main window, or brings the
// one already open to the front.

class QWidget;

namespace velto {

class UserPrompts;
class frmAccounts;

frmAccounts *ManageCounts(QWidget *owner, UserPrompts &prompts);

} // namespace velto
