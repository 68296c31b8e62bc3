#include "deadlines/clients.h"

#include "app/strings.h"
#include "data/catalogue.h"
#include "data/connection.h"
#include "data/editset.h"
#include "data/recordset.h"
#include "data/schema.h"
#include "deadlines/namecollation.h"
#include "deadlines/undohistory.h"

namespace velto {

namespace {

// The text of the in-use refusal; the same whichever window deletes.
constexpr int kInUseMessage = 1327;
constexpr int kMissingMessage = 1501;
constexpr int kChangedMessage = 1500;

Status missing()
{
    return Status::failure(kErrorMissing, LoadResString(kMissingMessage));
}

// Null and empty notes are the same to the user.
QString textOf(const QVariant &v)
{
    return v.isNull() ? QString() : v.toString();
}

Client clientOf(const EditSet &row)
{
    return {row.value(u"AcId").toLongLong(), textOf(row.value(u"AcName")), textOf(row.value(u"AcNotes"))};
}

Status writeFields(EditSet &row, const Client &client)
{
    Status st = row.setValue(u"AcName", client.name);
    if (st)
        st = row.setValue(u"AcNotes", client.notes);
    return st ? row.update() : st;
}

Status requireName(const Client &client)
{
    // The window keeps the focus in an empty name box; this guards every
    // other caller.
    if (client.name.trimmed().isEmpty())
        return Status::failure(kErrorInvalidEntry, LoadResString(1335));
    return Status::success();
}

Status inUse(Connection &cn, qint64 id)
{
    Recordset rs;
    const Status st = rs.open(sql::accountInUse(id), cn, CursorType::ForwardOnly);
    if (!st)
        return st;
    if (!rs.eof())
        return Status::failure(kErrorInUse, LoadResString(kInUseMessage));
    return rs.status();
}

} // namespace

int clientNameMaxLength()
{
    return fieldSize(u"Accounts", u"AcName");
}
int clientNotesMaxLength()
{
    return fieldSize(u"Accounts", u"AcNotes");
}

Status listClients(const QString &connectionString, QList<Client> *out)
{
    out->clear();
    Recordset rs;
    const Status st = rs.open(sql::accountList(), connectionString, CursorType::Static);
    if (!st)
        return st;
    const int idField = rs.fieldIndex(u"AcId");
    const int nameField = rs.fieldIndex(u"AcName");
    const int notesField = rs.fieldIndex(u"AcNotes");
    QList<Client> clients;
    clients.reserve(rs.recordCount());
    for (; !rs.eof(); rs.moveNext())
        clients.append({rs.intValue(idField), rs.textValue(nameField),
                        rs.isNull(notesField) ? QString() : rs.textValue(notesField)});
    sortByName(clients);
    *out = std::move(clients);
    return Status::success();
}

Status loadClient(const QString &connectionString, qint64 id, Client *out)
{
    Connection cn;
    Status st = cn.open(connectionString);
    if (!st)
        return st;
    EditSet row;
    st = row.open(sql::editAccount(id), cn);
    if (!st)
        return st;
    if (row.eof())
        return missing();
    *out = clientOf(row);
    return Status::success();
}

Status createClient(const QString &connectionString, const Client &client, qint64 *newId, UndoHistory *history)
{
    Status st = requireName(client);
    if (!st)
        return st;
    qint64 id = 0;
    st = recordedWrite(connectionString, history, ChangeKind::NewClient, [&](Connection &cn, ChangeRecorder &recorder) {
        EditSet row;
        Status work = row.open(QString::fromLatin1(sql::kAccountsTable), cn);
        if (!work)
            return work;
        row.addNew();
        work = writeFields(row, client);
        if (work)
            id = row.value(u"AcId").toLongLong();
        return work ? recorder.afterAlso(RecordTable::Clients, sql::editAccount(id)) : work;
    });
    if (!st)
        return st;
    if (newId)
        *newId = id;
    return st;
}

Status saveClient(const QString &connectionString, const Client &edited, const Client &asLoaded, UndoHistory *history)
{
    Status st = requireName(edited);
    if (!st)
        return st;
    // Read and written in one immediate transaction: nobody can change the
    // row between the comparison and the write.
    return recordedWrite(connectionString, history, ChangeKind::EditClient,
                         [&](Connection &cn, ChangeRecorder &recorder) {
                             Status work = recorder.before(RecordTable::Clients, sql::editAccount(asLoaded.id));
                             if (!work)
                                 return work;
                             EditSet row;
                             work = row.open(sql::editAccount(asLoaded.id), cn);
                             if (!work)
                                 return work;
                             if (row.eof())
                                 return missing();
                             if (clientOf(row) != asLoaded)
                                 return Status::failure(kErrorChangedMeanwhile, LoadResString(kChangedMessage));
                             work = writeFields(row, edited);
                             row.close();
                             return work ? recorder.after() : work;
                         });
}

Status checkClientDeletable(const QString &connectionString, qint64 id)
{
    Connection cn;
    const Status st = cn.open(connectionString);
    return st ? inUse(cn, id) : st;
}

Status deleteClient(const QString &connectionString, qint64 id, UndoHistory *history)
{
    return recordedWrite(connectionString, history, ChangeKind::DeleteClient,
                         [&](Connection &cn, ChangeRecorder &recorder) {
                             // A deadline may have named it since the question was asked.
                             Status work = inUse(cn, id);
                             if (work)
                                 work = recorder.before(RecordTable::Clients, sql::editAccount(id));
                             qint64 affected = 0;
                             if (work)
                                 work = cn.execute(sql::deleteAccount(id), &affected);
                             if (work && affected == 0)
                                 return missing();
                             return work ? recorder.after() : work;
                         });
}

Status checkClientExists(Connection &connection, qint64 id)
{
    if (id == 0)
        return Status::success();
    Recordset rs;
    const Status st = rs.open(sql::editAccount(id), connection, CursorType::ForwardOnly);
    if (!st)
        return st;
    return rs.eof() ? missing() : rs.status();
}

Status checkClientExists(const QString &connectionString, qint64 id)
{
    Connection cn;
    const Status st = cn.open(connectionString);
    return st ? checkClientExists(cn, id) : st;
}

} // namespace velto
