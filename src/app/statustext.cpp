#include "app/statustext.h"

#include "app/strings.h"

namespace velto {

QString userMessage(const Status &status)
{
    switch (status.code()) {
    case kErrorNoRowUpdated:
        return LoadResString(1590);
    case kErrorBadValue:
        return LoadResString(1591);
    case kErrorNotVeltoDatabase:
        return LoadResString(1592);
    case kErrorBadStatement:
    case kErrorNotOpen:
        // A fault of the program, not of the user's data: the engine's own
        // words go along for whoever reads the report.
        return LoadResString(1593) + QStringLiteral("\n") + status.message();
    default:
        return status.message();
    }
}

} // namespace velto
