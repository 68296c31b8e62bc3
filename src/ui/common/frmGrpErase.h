#pragma once
// Asks whether only the selected deadline or its whole group is deleted.
// Answer 1: the first option, 2: the second, 0: cancelled.

#include "ui/common/groupquestion.h"

namespace velto {

class frmGrpErase : public GroupQuestion
{
    Q_OBJECT
public:
    explicit frmGrpErase(QWidget *owner);
};

} // namespace velto
