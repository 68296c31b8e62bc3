#pragma once
// The deadline type selector: appointment, debit, credit, each with its
// image, keyed "d-2", "d-1" and "d+1".

#include <QComboBox>

namespace velto {

class TypeCombo : public QComboBox
{
    Q_OBJECT
public:
    explicit TypeCombo(QWidget *parent = nullptr);
    [[nodiscard]] QString typeKey() const;
    [[nodiscard]] int typeCode() const;
    // -2 selects the appointment, -1 the debit, any other code the credit.
    void selectType(int typeCode);
    [[nodiscard]] bool isAppointment() const { return typeKey() == QLatin1String("d-2"); }
};

} // namespace velto
