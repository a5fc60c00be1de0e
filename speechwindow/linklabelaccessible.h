#pragma once

#include <QAccessibleWidget>

class LinkLabel;

// What screen readers see of a LinkLabel: a link named by its text, with a press action.
class LinkLabelAccessible final : public QAccessibleWidget
{
public:
    explicit LinkLabelAccessible(LinkLabel *label);

    // For QAccessible::installFactory: an interface for each LinkLabel, nothing for the rest.
    static QAccessibleInterface *create(const QString &className, QObject *object);

    [[nodiscard]] QString text(QAccessible::Text kind) const override;
    [[nodiscard]] QAccessible::State state() const override;
    [[nodiscard]] QStringList actionNames() const override;
    void doAction(const QString &actionName) override;
};
