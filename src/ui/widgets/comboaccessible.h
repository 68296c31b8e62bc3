#pragma once
// A drop-down list for screen readers: named by its label (its accessible
// name, else its buddy's text) and valued by the choice shown. Qt's own
// interface on Linux names a drop-down by its current text, so a screen
// reader heard "Daily" where the field is "Frequency".

#include <QAccessibleWidget>

class QComboBox;

namespace velto {

class ComboAccessible : public QAccessibleWidget
{
public:
    explicit ComboAccessible(QComboBox *combo);

    [[nodiscard]] QString text(QAccessible::Text t) const override;
    [[nodiscard]] QAccessible::State state() const override;
    [[nodiscard]] int childCount() const override;
    [[nodiscard]] QAccessibleInterface *child(int index) const override;
    [[nodiscard]] int indexOfChild(const QAccessibleInterface *child) const override;
    [[nodiscard]] QStringList actionNames() const override;
    void doAction(const QString &actionName) override;

private:
    [[nodiscard]] QComboBox *combo() const;
};

} // namespace velto
