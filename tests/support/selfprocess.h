#pragma once
// Files read and written whole, and the test binary started again to play
// another process (a writer to kill, a holder of a lock).

#include <QCoreApplication>
#include <QFile>
#include <QProcess>

#include <cstdio>

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

} // namespace velto::test
