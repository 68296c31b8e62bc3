#include "app/settings.h"

#include "app/mainmod.h"

namespace velto {

QString curDbDefault()
{
    return programFolder();
}

QVariant ReadSetting(int hive, const QString &keyPath, int valueType, const QString &valueName,
                     const QVariant &dflt)
{
    comRegistry reg;
    reg.setClassKey(hive);
    reg.setSectionKey(keyPath);
    reg.setValueType(valueType);
    reg.setValueKey(valueName);
    if (dflt.isValid())
        reg.setDefault(dflt);
    return reg.Value();
}

void WriteSetting(int hive, const QString &keyPath, int valueType, const QString &valueName,
                  const QVariant &value)
{
    comRegistry reg;
    reg.setClassKey(hive);
    reg.setSectionKey(keyPath);
    reg.setValueKey(valueName);
    reg.setValueType(valueType);
    reg.setValue(value);
}

bool isFlagOn(const QVariant &stored)
{
    return NzNum(stored, 0) == 1.0;
}

} // namespace velto
