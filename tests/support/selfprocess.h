#pragma once
// Files read and written whole, and the test binary started again to play
// another process (a writer to kill, a holder of a lock).

#include "app/mainmod.h"
#include "data/connection.h"

#include <QCoreApplication>
#include <QFile>
#include <QProcess>
#include <QTest>

#include <cstdio>
#include <cstring>

namespace velto::test {

inline QByteArray readFile(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

inline bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

// Starts this binary with the arguments; true once its first line begins
// with firstLine.
inline bool startSelf(QProcess &child, const QStringList &arguments, const char *firstLine)
{
    child.start(QCoreApplication::applicationFilePath(), arguments);
    if (!child.waitForStarted(10000))
        return false;
    while (!child.canReadLine() && child.state() == QProcess::Running)
        child.waitForReadyRead(20);
    return child.readLine().startsWith(firstLine);
}

// The other side: one line to the test, at once.
inline void tell(const char *line)
{
    std::puts(line);
    std::fflush(stdout);
}

// The other side works on the database in this folder, or at this server
// location, with no write pause.
inline void pointAt(const QString &location)
{
    setWritePauseMs(0);
    app().DatabaseFolder = location;
    app().ConnectionString = isServerLocation(location) ? location : connectionStringFor(location);
    app().CurrentDbId = 1;
}

} // namespace velto::test

// main() of a test binary that also plays the other process: started with
// `option` and `arguments` more arguments, it runs `role` on them instead.
#define VELTO_TEST_MAIN_WITH_ROLE(TestClass, option, arguments, role) \
    int main(int argc, char *argv[]) \
    { \
        QCoreApplication app(argc, argv); \
        if (argc == (arguments) + 2 && std::strcmp(argv[1], option) == 0) \
            return role(argv + 2); \
        TestClass tc; \
        QTEST_SET_MAIN_SOURCE_PATH \
        return QTest::qExec(&tc, argc, argv); \
    }
