#pragma once
// The client/supplier list of the deadline dialogs: shows the names, binds
// AcId, and can be left empty (value 0). Typing a name's first letters
// finds it; F4 opens the list.

#include "data/status.h"

#include <QComboBox>

namespace velto {

class AccountCombo : public QComboBox
{
    Q_OBJECT
public:
    explicit AccountCombo(QWidget *parent = nullptr);

    // Reloads the names from the database; the bound value stays when it
    // is still in the list.
    Status reload();
    // AcId of the chosen entry, 0 for none.
    [[nodiscard]] qint64 boundValue() const;
    // An id that is not in the list leaves the combo empty.
    void setBoundValue(qint64 accountId);
};

} // namespace velto
