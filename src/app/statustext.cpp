#include "app/statustext.h"

#include "app/strings.h"

namespace velto {

QString userMessage(const Status &status)
{
    switch (status.code()) {
    case kErrorNoRowUpdated: return LoadResString(1590);
    case kErrorBadValue: return LoadResString(1591);
    case kErrorNotVeltoDatabase: return LoadResString(1592);
    case kErrorBadStatement:
    case kErrorNotOpen:
        // A fault of the program, not of the user's data: the engine's own
        // words go along for whoever reads the report.
        return LoadResString(1593) + QStringLiteral("\n") + status.message();
    case kErrorServerUnreachable:
    case kErrorServerLogin:
    case kErrorServerLost:
    case kErrorServerTimeout:
    case kErrorServerBusy:
    case kErrorServer:
    case kErrorNotEmpty: {
        // Ours first, then the server's own words for whoever looks after it.
        const QString text = LoadResString(1928 + status.code() - kErrorServerUnreachable);
        return status.message().isEmpty() || status.message() == text ? text
                                                                      : text + QStringLiteral("\n") + status.message();
    }
    default: return status.message();
    }
}

} // namespace velto
