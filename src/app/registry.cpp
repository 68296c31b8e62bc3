#include "app/registry.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSaveFile>
#include <QSet>

#include <algorithm>
#include <cmath>
#include <limits>
#include <optional>

// A hive file is one JSON object keyed by key path; each key is an object
// keyed by value name, and each value is {"type": <registry type code>,
// "data": ...}. The data of REG_SZ and REG_EXPAND_SZ is a string, of REG_DWORD
// and REG_DWORD_BIG_ENDIAN the stored 32-bit word as a number, of
// REG_MULTI_SZ an array of strings, and of every other type the bytes as a
// hex string. Key paths and value names match without regard to case, as
// they do in the registry, and keep the spelling of their first write.

namespace velto {

namespace {

const QString kTypeField = QStringLiteral("type");
const QString kDataField = QStringLiteral("data");

QString settingsDirOverride()
{
    return qEnvironmentVariable("VELTO_SETTINGS_DIR");
}

// ---- shape of a hive file -------------------------------------------------

std::optional<quint32> dwordFromJson(const QJsonValue &v)
{
    if (!v.isDouble())
        return std::nullopt;
    const double d = v.toDouble();
    // Hand-written files may give the word signed or unsigned; both are the
    // same 32 bits.
    if (d != std::floor(d) || d < double(std::numeric_limits<qint32>::min())
        || d > double(std::numeric_limits<quint32>::max()))
        return std::nullopt;
    return quint32(qint64(d));
}

bool isHexText(const QString &s)
{
    if (s.size() % 2 != 0)
        return false;
    for (const QChar c : s) {
        if (!((c >= u'0' && c <= u'9') || (c >= u'a' && c <= u'f') || (c >= u'A' && c <= u'F')))
            return false;
    }
    return true;
}

bool isValidEntry(const QJsonValue &entry)
{
    if (!entry.isObject())
        return false;
    const QJsonObject o = entry.toObject();
    const std::optional<quint32> type = dwordFromJson(o.value(kTypeField));
    if (!type || o.value(kTypeField).toDouble() < 0)
        return false;
    const QJsonValue data = o.value(kDataField);
    switch (*type) {
    case REG_SZ:
    case REG_EXPAND_SZ: return data.isString();
    case REG_DWORD:
    case REG_DWORD_BIG_ENDIAN: return dwordFromJson(data).has_value();
    case REG_MULTI_SZ: {
        if (!data.isArray())
            return false;
        const QJsonArray strings = data.toArray();
        return std::all_of(strings.begin(), strings.end(), [](const QJsonValue &s) { return s.isString(); });
    }
    default: return data.isString() && isHexText(data.toString());
    }
}

// Two names that differ only in case would be one name in the registry, so
// a file holding both cannot be read without guessing.
bool hasCaseDuplicates(const QJsonObject &o)
{
    QSet<QString> seen;
    for (auto it = o.begin(); it != o.end(); ++it) {
        const QString folded = it.key().toCaseFolded();
        if (seen.contains(folded))
            return true;
        seen.insert(folded);
    }
    return false;
}

bool isValidHive(const QJsonObject &root)
{
    if (hasCaseDuplicates(root))
        return false;
    for (auto key = root.begin(); key != root.end(); ++key) {
        if (!key->isObject())
            return false;
        const QJsonObject values = key->toObject();
        if (hasCaseDuplicates(values))
            return false;
        for (auto v = values.begin(); v != values.end(); ++v) {
            if (!isValidEntry(*v))
                return false;
        }
    }
    return true;
}

QString findName(const QJsonObject &o, const QString &name)
{
    for (auto it = o.begin(); it != o.end(); ++it) {
        if (it.key().compare(name, Qt::CaseInsensitive) == 0)
            return it.key();
    }
    return QString();
}

// ---- loading a hive -------------------------------------------------------

struct Hive {
    enum class State { Missing, Valid, Corrupt, Unreadable };
    State state = State::Missing;
    QJsonObject root;
};

Hive loadHive(const QString &path)
{
    Hive hive;
    QFile file(path);
    if (!file.exists())
        return hive;
    if (!file.open(QIODevice::ReadOnly)) {
        hive.state = Hive::State::Unreadable;
        return hive;
    }
    QJsonParseError error;
    const QJsonDocument doc = QJsonDocument::fromJson(file.readAll(), &error);
    if (error.error != QJsonParseError::NoError || !doc.isObject() || !isValidHive(doc.object())) {
        hive.state = Hive::State::Corrupt;
        return hive;
    }
    hive.state = Hive::State::Valid;
    hive.root = doc.object();
    return hive;
}

// A file we could not understand may still hold settings someone wants back,
// so it is kept beside the fresh one rather than overwritten.
bool moveAside(const QString &path)
{
    const QString aside = path + QStringLiteral(".corrupt");
    if (QFile::exists(aside) && !QFile::remove(aside))
        return false;
    return QFile::rename(path, aside);
}

bool saveHive(const QString &path, const QJsonObject &root)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    const QByteArray bytes = QJsonDocument(root).toJson(QJsonDocument::Indented);
    if (file.write(bytes) != bytes.size())
        return false;
    return file.commit();
}

// ---- conversions ----------------------------------------------------------

qint32 swapBytes(quint32 w)
{
    return qint32(((w & 0x000000ffu) << 24) | ((w & 0x0000ff00u) << 8) | ((w & 0x00ff0000u) >> 8)
                  | ((w & 0xff000000u) >> 24));
}

// %NAME% becomes the variable's value. An unknown name keeps its percent
// signs, and its closing "%" may still open the next reference, so
// "100% of %HOME%" expands HOME.
QString expandEnvironment(const QString &text)
{
    QString out;
    qsizetype i = 0;
    while (i < text.size()) {
        if (text.at(i) != u'%') {
            out += text.at(i++);
            continue;
        }
        const qsizetype close = text.indexOf(u'%', i + 1);
        if (close < 0) {
            out += text.mid(i);
            break;
        }
        const QString name = text.mid(i + 1, close - i - 1);
        if (!name.isEmpty() && qEnvironmentVariableIsSet(name.toLocal8Bit().constData())) {
            out += qEnvironmentVariable(name.toLocal8Bit().constData());
            i = close + 1;
        } else {
            out += text.mid(i, close - i);
            i = close;
        }
    }
    return out;
}

// A "%" with another "%" at least one character later marks text that
// refers to the environment.
bool needsExpansion(const QString &text)
{
    const qsizetype first = text.indexOf(u'%');
    return first >= 0 && text.indexOf(u'%', first + 2) >= 0;
}

enum class DwordKind { NotANumber, OutOfRange, Fits };

// Only 16- and 32-bit integers and single-precision numbers are numbers to a
// DWORD write; Booleans, text, dates and doubles are not. Wider or unsigned
// integers count when they fit, so a count that came out as qsizetype is not
// dropped; one that does not fit is refused rather than cut short.
DwordKind toDword(const QVariant &value, qint32 *out)
{
    constexpr qint64 lo = std::numeric_limits<qint32>::min();
    constexpr qint64 hi = std::numeric_limits<qint32>::max();
    switch (value.typeId()) {
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::Int: *out = value.toInt(); return DwordKind::Fits;
    case QMetaType::UInt:
    case QMetaType::Long:
    case QMetaType::LongLong: {
        const qint64 v = value.toLongLong();
        if (v < lo || v > hi)
            return DwordKind::OutOfRange;
        *out = qint32(v);
        return DwordKind::Fits;
    }
    case QMetaType::ULong:
    case QMetaType::ULongLong: {
        const quint64 v = value.toULongLong();
        if (v > quint64(hi))
            return DwordKind::OutOfRange;
        *out = qint32(v);
        return DwordKind::Fits;
    }
    case QMetaType::Float: {
        // Rounds half to even, as the whole-number conversion always did.
        const double v = std::nearbyint(double(value.toFloat()));
        if (!std::isfinite(v) || v < double(lo) || v > double(hi))
            return DwordKind::OutOfRange;
        *out = qint32(v);
        return DwordKind::Fits;
    }
    default: return DwordKind::NotANumber;
    }
}

QString valueText(const QVariant &value)
{
    if (value.typeId() == QMetaType::QByteArray)
        return QString::fromLatin1(value.toByteArray().toHex());
    return value.toString();
}

QString errorSource()
{
    QString exe;
    if (QCoreApplication::instance())
        exe = QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName();
    if (exe.isEmpty())
        exe = QStringLiteral("velto");
    return exe + QStringLiteral(".comRegistry");
}

} // namespace

QString hiveFilePath(int hive)
{
    const QString dir = settingsDirOverride();
    const QString name = hive == HKEY_CURRENT_USER ? QStringLiteral("user.json")
        : hive == HKEY_LOCAL_MACHINE               ? QStringLiteral("machine.json")
                                                   : QString();
    if (name.isEmpty())
        return QString();
    if (!dir.isEmpty())
        return dir + QLatin1Char('/') + name;
    QString config = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (config.isEmpty() || QDir::isRelativePath(config))
        config = QDir::homePath() + QStringLiteral("/.config");
    return config + QStringLiteral("/Kelvorn/Velto/") + name;
}

QString systemMachineFilePath()
{
    const QString system = qEnvironmentVariable("VELTO_SYSTEM_SETTINGS_DIR");
    if (!system.isEmpty())
        return system + QStringLiteral("/machine.json");
    // A settings folder of one's own stands for the whole store, so tests
    // and trial runs never see the real system file.
    if (!settingsDirOverride().isEmpty())
        return QString();
    return QStringLiteral("/etc/xdg/Kelvorn/Velto/machine.json");
}

namespace {

// The stored value of one file, converted by its stored type; nothing when
// the file, key or value is missing or the file cannot be understood.
std::optional<QVariant> readValue(const QString &path, const QString &keyPath, const QString &valueName, int *type)
{
    if (path.isEmpty())
        return std::nullopt;
    const Hive hive = loadHive(path);
    if (hive.state != Hive::State::Valid)
        return std::nullopt;
    const QString key = findName(hive.root, keyPath);
    if (key.isNull())
        return std::nullopt;
    const QJsonObject values = hive.root.value(key).toObject();
    const QString name = findName(values, valueName);
    if (name.isNull())
        return std::nullopt;

    const QJsonObject entry = values.value(name).toObject();
    const quint32 stored = *dwordFromJson(entry.value(kTypeField));
    const QJsonValue data = entry.value(kDataField);
    *type = int(stored);
    switch (stored) {
    case REG_SZ: return data.toString();
    case REG_EXPAND_SZ: return expandEnvironment(data.toString());
    case REG_MULTI_SZ: {
        // As the registry hands it over: every string followed by its NUL,
        // only the list's closing NUL dropped.
        QString text;
        for (const QJsonValue &s : data.toArray())
            text += s.toString() + QChar(u'\0');
        return text;
    }
    case REG_DWORD: return qint32(*dwordFromJson(data));
    case REG_DWORD_BIG_ENDIAN: return swapBytes(*dwordFromJson(data));
    default: return QByteArray::fromHex(data.toString().toLatin1());
    }
}

enum class WriteOutcome { Written, KeyRefused, ValueRefused };

WriteOutcome writeEntry(const QString &path, const QString &keyPath, const QString &valueName, const QJsonObject &entry)
{
    if (!QDir().mkpath(QFileInfo(path).absolutePath()))
        return WriteOutcome::KeyRefused;
    Hive hive = loadHive(path);
    // Rewriting a file we could not read would lose whatever it holds.
    if (hive.state == Hive::State::Unreadable)
        return WriteOutcome::KeyRefused;
    if (hive.state == Hive::State::Corrupt && !moveAside(path))
        return WriteOutcome::KeyRefused;

    QString key = findName(hive.root, keyPath);
    if (key.isNull())
        key = keyPath;
    QJsonObject values = hive.root.value(key).toObject();
    QString name = findName(values, valueName);
    if (name.isNull())
        name = valueName;
    values.insert(name, entry);
    hive.root.insert(key, values);
    return saveHive(path, hive.root) ? WriteOutcome::Written : WriteOutcome::ValueRefused;
}

} // namespace

QVariant comRegistry::Value()
{
    // The user's own machine store wins: it holds what this user chose where
    // the system file was out of reach.
    if (auto v = readValue(hiveFilePath(m_classKey), m_sectionKey, m_valueKey, &m_valueType))
        return *v;
    if (m_classKey == HKEY_LOCAL_MACHINE) {
        if (auto v = readValue(systemMachineFilePath(), m_sectionKey, m_valueKey, &m_valueType))
            return *v;
    }
    return m_default;
}

void comRegistry::setValue(const QVariant &value)
{
    const QString path = hiveFilePath(m_classKey);
    if (path.isEmpty())
        raiseCreateFailure();

    QJsonObject entry;
    switch (m_valueType) {
    case REG_SZ:
    case REG_EXPAND_SZ: {
        if (value.isValid() && !value.canConvert<QString>())
            raiseSetFailure(value);
        const QString text = value.toString();
        entry.insert(kTypeField, needsExpansion(text) ? REG_EXPAND_SZ : REG_SZ);
        entry.insert(kDataField, text);
        break;
    }
    case REG_BINARY:
        if (value.typeId() != QMetaType::QByteArray)
            raiseSetFailure(value);
        entry.insert(kTypeField, REG_BINARY);
        entry.insert(kDataField, QString::fromLatin1(value.toByteArray().toHex()));
        break;
    case REG_DWORD:
    case REG_DWORD_BIG_ENDIAN: {
        qint32 number = 0;
        switch (toDword(value, &number)) {
        case DwordKind::NotANumber: return;
        case DwordKind::OutOfRange: raiseSetFailure(value);
        case DwordKind::Fits: break;
        }
        // Stored little-endian whatever was asked, so it reads back as written.
        entry.insert(kTypeField, REG_DWORD);
        entry.insert(kDataField, number);
        break;
    }
    default: raiseSetFailure(value);
    }

    // A machine-wide value goes to the system file when this user may write
    // it, unless the user's own store already holds the value (it would win
    // on reading, so the write would not show). Otherwise, as for an
    // ordinary user and /etc/xdg, it goes to the user's own store.
    if (m_classKey == HKEY_LOCAL_MACHINE) {
        const QString system = systemMachineFilePath();
        int ignored = 0;
        if (!system.isEmpty() && !readValue(path, m_sectionKey, m_valueKey, &ignored)
            && writeEntry(system, m_sectionKey, m_valueKey, entry) == WriteOutcome::Written)
            return;
    }
    switch (writeEntry(path, m_sectionKey, m_valueKey, entry)) {
    case WriteOutcome::Written: return;
    case WriteOutcome::KeyRefused: raiseCreateFailure();
    case WriteOutcome::ValueRefused: raiseSetFailure(value);
    }
}

void comRegistry::raiseCreateFailure() const
{
    throw RegistryError{kRegistryErrorNumber, errorSource(),
                        QStringLiteral("Failed to create registry Key: '") + m_sectionKey};
}

void comRegistry::raiseSetFailure(const QVariant &value) const
{
    throw RegistryError{kRegistryErrorNumber, errorSource(),
                        QStringLiteral("Failed to set registry value Key: '%1',Section: '%2',Key: '%3' to value: '%4'")
                            .arg(QString::number(m_classKey), m_sectionKey, m_valueKey, valueText(value))};
}

} // namespace velto
