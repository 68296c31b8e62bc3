#include "ui/common/frmGrpAdd.h"

namespace velto {

frmGrpAdd::frmGrpAdd(QWidget *owner) : GroupQuestion(owner, "frmGrpAdd", 1412, 1412, 1413, 1414) { }

} // namespace velto
