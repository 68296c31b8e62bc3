#pragma once
// What the new-deadline and edit-deadline windows share: a client/supplier
// created on the spot, and their keys.

#include <functional>

class QKeyEvent;
class QWidget;

namespace velto {

class AccountCombo;
class UserPrompts;

// Opens the client/supplier editor over the dialog and selects the new
// client in the box (F5 in the box, or the button beside it).
void addClientInto(QWidget *dialog, AccountCombo *box, UserPrompts &prompts);

// Escape cancels, F5 in the client box adds a client, and Enter presses no
// button by default (in an entry field it moves on, on a button it presses
// that button). True when the key was taken.
bool deadlineDialogKey(QKeyEvent *event, const AccountCombo *box, const std::function<void()> &cancel,
                       const std::function<void()> &addClient);

} // namespace velto
