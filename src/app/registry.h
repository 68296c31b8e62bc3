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
inline constexpr int REG_SZ = 1, REG_EXPAND_SZ = 2, REG_BINARY = 3, REG_DWORD = 4, REG_DWORD_BIG_ENDIAN = 5,
                     REG_MULTI_SZ = 7;

inline constexpr int kRegistryErrorNumber = 26001;

// Raised by a write the store refused. Reads never raise.
struct RegistryError {
    int number = kRegistryErrorNumber;
    QString source;
    QString description;
};

// The user's file of a hive, or empty text for a handle that is no hive:
// user.json, and machine.json (the user's own machine store), both in
// VELTO_SETTINGS_DIR when set, else in $XDG_CONFIG_HOME/Kelvorn/Velto
// (~/.config). Looked up at every call, never cached.
[[nodiscard]] QString hiveFilePath(int hive);
// The system's machine-wide file: $VELTO_SYSTEM_SETTINGS_DIR/machine.json
// when set, none while VELTO_SETTINGS_DIR is set, else
// /etc/xdg/Kelvorn/Velto/machine.json. A machine-wide value is read from the
// user's machine store first, then from this file; it is written here when
// this user may, else to the user's machine store.
[[nodiscard]] QString systemMachineFilePath();

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
