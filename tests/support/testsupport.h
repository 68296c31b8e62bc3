#pragma once
// A sandbox for one test: a temporary program folder with the template, a
// temporary settings folder and database folder, no write pause.

#include <QString>
#include <QTemporaryDir>

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
    [[nodiscard]] QString databasePath() const { return dataDir() + QStringLiteral("/velto.mdb"); }
    // Copies the built template into the data folder and points the
    // program state (folder, connection string, data sheet 1) at it.
    bool createDatabase();

private:
    QTemporaryDir m_dir;
};

// The template built with the program.
QString builtTemplatePath();

} // namespace velto::test
