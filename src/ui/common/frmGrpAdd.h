#pragma once
// Asks whether new deadlines should stand alone or join the selected deadline's group.
// Answer 1: the first option, 2: the second, 0: cancelled.

#include "ui/common/groupquestion.h"

namespace velto {

class frmGrpAdd : public GroupQuestion
{
    Q_OBJECT
public:
    explicit frmGrpAdd(QWidget *owner);
};

} // namespace velto
