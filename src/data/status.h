#pragma once
// The outcome of a database operation: success, or the engine's message.

#include <QString>

namespace velto {

class Status
{
public:
    Status() = default;
    static Status success() { return Status(); }
    static Status failure(int code, const QString &message)
    {
        Status s;
        s.m_ok = false;
        s.m_code = code;
        s.m_message = message;
        return s;
    }

    [[nodiscard]] bool ok() const { return m_ok; }
    explicit operator bool() const { return m_ok; }
    [[nodiscard]] int code() const { return m_code; }
    [[nodiscard]] const QString &message() const { return m_message; }

private:
    bool m_ok = true;
    int m_code = 0;
    QString m_message;
};

// Our own failure codes, beside SQLite's result codes.
enum : int {
    kErrorNoRowUpdated = 1000, // the row was changed or deleted meanwhile
    kErrorBadStatement = 1001, // a statement the translation cannot read
    kErrorBadValue = 1002,     // a value that does not fit its field
    kErrorNotOpen = 1003,
    kErrorNotVeltoDatabase = 1004,
    kErrorInvalidEntry = 1005,     // an entry refused before anything was written
    kErrorChangedMeanwhile = 1006, // an edit of a row that changed since the window read it
    kErrorInUse = 1007,            // a row other rows still refer to
    kErrorMissing = 1008,          // a row the request names no longer exists
    kErrorFileNotWritten = 1009,   // a file outside the database, refused or failed; the message says which and why
    // A database server's answers; the message holds the server's words.
    kErrorServerUnreachable = 1010, // no connection could be made
    kErrorServerLogin = 1011,       // the server refused the user or password, or asked for one
    kErrorServerLost = 1012,        // the connection broke during the work: it was not saved
    kErrorServerTimeout = 1013,     // a statement ran longer than the server allows
    kErrorServerBusy = 1014,        // another person's change held the data too long, or collided
    kErrorServer = 1015,            // any other refusal of the server
    kErrorNotEmpty = 1016,          // a copy's target already holds data
};

} // namespace velto
