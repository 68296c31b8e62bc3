#pragma once
// The settings registry: two hives of keys holding typed values, kept as one
// JSON file per hive. `comRegistry` addresses one value at a time.

#include <QString>
#include <QVariant>

namespace velto {

// Hive handles as the registry numbers them, read as signed 32-bit values.
inline constexpr int HKEY_CURRENT_USER = -2147483647;  // 0x80000001
inline constexpr int HKEY_LOCAL_MACHINE = -2147483646; // 0x80000002

// Registry value type codes.
inline constexpr int REG_SZ = 1, REG_EXPAND_SZ = 2, REG_BINARY = 3, REG_DWORD = 4,
                     REG_DWORD_BIG_ENDIAN = 5, REG_MULTI_SZ = 7;

inline constexpr int kRegistryErrorNumber = 26001;

// Raised by a write the store refused. Reads never raise.
struct RegistryError {
    int number = kRegistryErrorNumber;
    QString source;
    QString description;
};

// The file that holds a hive, or empty text for a handle that is no hive.
// VELTO_SETTINGS_DIR, when set, holds both files (user.json, machine.json);
// otherwise the user hive lives under $XDG_CONFIG_HOME (~/.config) and the
// machine hive under /etc/xdg. Looked up at every call, never cached.
[[nodiscard]] QString hiveFilePath(int hive);

class comRegistry
{
public:
    [[nodiscard]] int ClassKey() const { return m_classKey; }
    void setClassKey(int hive) { m_classKey = hive; }
    [[nodiscard]] QString SectionKey() const { return m_sectionKey; }
    void setSectionKey(const QString &keyPath) { m_sectionKey = keyPath; }
    [[nodiscard]] QString ValueKey() const { return m_valueKey; }
    void setValueKey(const QString &valueName) { m_valueKey = valueName; }
    // A successful read replaces it with the type actually stored.
    [[nodiscard]] int ValueType() const { return m_valueType; }
    void setValueType(int type) { m_valueType = type; }
    [[nodiscard]] QVariant Default() const { return m_default; }
    void setDefault(const QVariant &dflt) { m_default = dflt; }

    // The stored value converted by its stored type, or Default when the
    // hive, key or value is missing or the hive file cannot be understood.
    [[nodiscard]] QVariant Value();
    // Stores the value by ValueType; throws RegistryError when refused.
    // A number type given a value that is no number stores nothing and
    // raises nothing, which is how the registry class always behaved.
    void setValue(const QVariant &value);

private:
    [[noreturn]] void raiseCreateFailure() const;
    [[noreturn]] void raiseSetFailure(const QVariant &value) const;

    int m_classKey = 0;
    QString m_sectionKey;
    QString m_valueKey;
    int m_valueType = 0;
    QVariant m_default;
};

} // namespace velto
