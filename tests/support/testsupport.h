#pragma once
// A sandbox for one test: a temporary program folder with the template, a
// temporary settings folder and database folder, no write pause.

#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <memory>

namespace velto::test {

class Sandbox
{
public:
    Sandbox();
    ~Sandbox();
    [[nodiscard]] bool isValid() const { return m_dir.isValid(); }
    [[nodiscard]] QString path() const { return m_dir.path(); }
    [[nodiscard]] QString settingsDir() const { return m_dir.path() + QStringLiteral("/settings"); }
    [[nodiscard]] QString programDir() const { return m_dir.path() + QStringLiteral("/program"); }
    [[nodiscard]] QString dataDir() const { return m_dir.path() + QStringLiteral("/data"); }
    [[nodiscard]] QString backupDir() const { return m_dir.path() + QStringLiteral("/backups"); }
    [[nodiscard]] QString databasePath() const { return dataDir() + QStringLiteral("/velto.mdb"); }
    // Copies the built template into the data folder and points the
    // program state (folder, connection string, data sheet 1) at it.
    bool createDatabase();

private:
    QTemporaryDir m_dir;
};

// A new sandbox for the next test, made once the old one is gone (a sandbox
// going away unsets the program folder). The last one goes with the test.
inline void renew(std::unique_ptr<Sandbox> &box)
{
    box.reset();
    box = std::make_unique<Sandbox>();
}

// The template built with the program.
QString builtTemplatePath();

// One statement on the database of the program state; false, with the
// database's message as a warning, when it fails.
bool exec(const QString &statement);
// The first field of every row of a query on that database, as text.
QStringList column(const QString &statement);
// Makes the database refuse every write of this kind ("INSERT", "UPDATE") on
// the deadlines, with this message, where the condition on the NEW row
// holds (all when empty): a fault in the middle of a unit of work.
bool refuseWrites(const QString &event, const QString &condition, const QString &message);
// Every row of the three tables, each value with its type, one row a line;
// "unreadable" when a table cannot be read.
QString dumpTables(const QString &connectionString);

} // namespace velto::test
