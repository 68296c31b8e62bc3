#include "ui/common/frmGrpErase.h"

namespace velto {

frmGrpErase::frmGrpErase(QWidget *owner) : GroupQuestion(owner, "frmGrpErase", 306, 1131, 1132, 306) { }

} // namespace velto
