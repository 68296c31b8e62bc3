// Writes the empty template database at build time.
#include "data/schema.h"

#include <QFile>

#include <cstdio>

int main(int argc, char *argv[])
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: velto_mktemplate <output file>\n");
        return 2;
    }
    const QString path = QFile::decodeName(argv[1]);
    QFile::remove(path);
    const velto::Status st = velto::createDatabaseFile(path);
    if (!st) {
        std::fprintf(stderr, "velto_mktemplate: %s\n", qPrintable(st.message()));
        return 1;
    }
    return 0;
}
