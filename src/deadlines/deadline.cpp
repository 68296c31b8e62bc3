#include "deadlines/deadline.h"

#include "app/strings.h"
#include "data/schema.h"

namespace velto {

std::optional<DeadlineType> deadlineTypeFromCode(qint64 code)
{
    for (const DeadlineType t : kDeadlineTypes)
        if (typeCode(t) == code)
            return t;
    return std::nullopt;
}

QString deadlineTypeName(DeadlineType type)
{
    switch (type) {
    case DeadlineType::Credit: return LoadResString(1041);
    case DeadlineType::Debit: return LoadResString(1042);
    case DeadlineType::Appointment: return LoadResString(1043);
    }
    return QString();
}

int descriptionMaxLength()
{
    return fieldSize(u"Transactions", u"TrDescription");
}

Currency signedAmount(DeadlineType type, Currency amount)
{
    switch (type) {
    case DeadlineType::Credit: return amount;
    case DeadlineType::Debit: return amount * -1;
    case DeadlineType::Appointment: return Currency();
    }
    return Currency();
}

} // namespace velto
