#pragma once
// The suite's own PostgreSQL server: a throwaway cluster in a temporary
// folder, reached on a Unix socket only, started at the first use in a test
// process and stopped when it ends. The server binaries refuse to run as
// root, so under root they run as the unprivileged user "nobody".

#include <QString>

namespace velto::test {

// Whether this run of a test binary works on the server (the test is
// registered a second time with VELTO_TEST_ENGINE=server).
[[nodiscard]] bool serverRun();

// The location of a new, empty database on the cluster (no tables), or an
// empty string with the reason in why (no server binaries, start failed).
QString newServerDatabase(QString *why);
// The test process's own database on the cluster, emptied of every table:
// cheaper than a new database for each test.
QString emptiedServerDatabase(QString *why);

// The cluster's folder and socket, for tests that stop or reconfigure it.
QString serverSocketDir();
QString serverDataDir();
// Runs a server binary (pg_ctl, psql ...) as the cluster's owner; its exit code.
int runServerTool(const QString &tool, const QStringList &arguments, QString *output = nullptr);
// Starts the cluster's server again after a test stopped it (pg_ctl stop),
// with the options of its first start; false, with the reason, when it fails.
bool startServerAgain(QString *why);

} // namespace velto::test
