#pragma once
// Clients and suppliers: one table shared by every data sheet; a deadline
// may name one of them. Every function opens its own connection with the
// connection string it is given.

#include "data/status.h"

#include <QList>
#include <QString>

namespace velto {

class Connection;
class UndoHistory;

struct Client {
    qint64 id = 0;
    QString name;
    QString notes;
    friend bool operator==(const Client &, const Client &) = default;
};

// The longest name and notes the table keeps, for the input boxes.
[[nodiscard]] int clientNameMaxLength();
[[nodiscard]] int clientNotesMaxLength();

// Every client, sorted by name as the user's language sorts.
Status listClients(const QString &connectionString, QList<Client> *out);
// kErrorMissing when there is no client with this id.
Status loadClient(const QString &connectionString, qint64 id, Client *out);
// A name is required (kErrorInvalidEntry without one).
// The writes below record themselves in history when one is given.
Status createClient(const QString &connectionString, const Client &client, qint64 *newId,
                    UndoHistory *history = nullptr);
// Writes edited only while the row still holds what asLoaded says: a row
// changed meanwhile is refused with kErrorChangedMeanwhile, a row deleted
// meanwhile with kErrorMissing; nothing is written then.
Status saveClient(const QString &connectionString, const Client &edited, const Client &asLoaded,
                  UndoHistory *history = nullptr);
// kErrorInUse while a deadline of any data sheet names the client: the
// question before a delete is asked only when this passes.
Status checkClientDeletable(const QString &connectionString, qint64 id);
// Checks again and deletes in one transaction.
Status deleteClient(const QString &connectionString, qint64 id, UndoHistory *history = nullptr);
// Success for id 0 (no client) and for a client that exists; kErrorMissing
// with the user's message otherwise. The Connection form runs inside the
// caller's transaction, so the check and the write see the same table.
Status checkClientExists(const QString &connectionString, qint64 id);
Status checkClientExists(Connection &connection, qint64 id);

} // namespace velto
