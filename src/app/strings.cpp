#include "app/strings.h"

#include "app/mainmod.h"

#include <QtGlobal>

#include <algorithm>
#include <iterator>

namespace velto {

namespace {

struct Message {
    int id;
    const char *texts[5]; // Italian, English, French, Spanish, German; UTF-8
};

constexpr Message kMessages[] = {
#define VELTO_STRING(id, it, en, fr, es, de) {id, {it, en, fr, es, de}},
#include "../../resources/strings.inc"
#undef VELTO_STRING
};

constexpr int kMessageCount = int(std::size(kMessages));

constexpr bool idsAscend()
{
    for (int i = 1; i < kMessageCount; ++i) {
        if (kMessages[i - 1].id >= kMessages[i].id)
            return false;
    }
    return true;
}
// The lookup bisects the table, so a row out of order or twice would hide
// messages; keep strings.inc sorted by id.
static_assert(idsAscend(), "strings.inc must list each id once, ascending");

// The Italian ids stay below 3000, so the five blocks never overlap and
// an id belongs to at most one of them.
constexpr int kBlockSize = 3000;

const char *lookup(int fullId)
{
    if (fullId < 0)
        return nullptr;
    const int block = fullId / kBlockSize;
    if (block >= int(std::size(kLanguageOffsets)))
        return nullptr;
    const int id = fullId - kLanguageOffsets[block];
    const auto end = std::end(kMessages);
    const auto it = std::lower_bound(std::begin(kMessages), end, id, [](const Message &m, int v) { return m.id < v; });
    if (it == end || it->id != id)
        return nullptr;
    return it->texts[block];
}

} // namespace

QString stringForId(int fullId)
{
    const char *text = lookup(fullId);
    return text ? QString::fromUtf8(text) : QString();
}

bool hasString(int fullId)
{
    return lookup(fullId) != nullptr;
}

QString LoadResString(int id)
{
    const int fullId = id + app().LanguageOffset;
    const char *text = lookup(fullId);
    if (!text) {
        // Every id the program asks for exists in every block; a miss means a
        // caller passed a wrong id (or an already offset one).
        qWarning("LoadResString: no string %d (id %d, offset %d)", fullId, id, app().LanguageOffset);
        return QString();
    }
    return QString::fromUtf8(text);
}

QList<int> messageIds()
{
    QList<int> ids;
    ids.reserve(kMessageCount);
    for (const Message &m : kMessages)
        ids.append(m.id);
    return ids;
}

QString translateCaption(const QString &designed)
{
    bool isNumber = false;
    const int id = designed.toInt(&isNumber);
    if (!isNumber || !hasString(id + app().LanguageOffset))
        return designed;
    return LoadResString(id);
}

} // namespace velto
