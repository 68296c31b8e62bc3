#pragma once
// The deadline type selector: appointment, debit, credit, each with its
// image.

#include "deadlines/deadline.h"

#include <QComboBox>

namespace velto {

class TypeCombo : public QComboBox
{
    Q_OBJECT
public:
    explicit TypeCombo(QWidget *parent = nullptr);
    [[nodiscard]] DeadlineType type() const;
    void selectType(DeadlineType type);
    [[nodiscard]] bool isAppointment() const { return type() == DeadlineType::Appointment; }
};

} // namespace velto
