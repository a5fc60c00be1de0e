#include "speechwindow/linklabelaccessible.h"

#include "speechwindow/linklabel.h"

LinkLabelAccessible::LinkLabelAccessible(LinkLabel *label) : QAccessibleWidget(label, QAccessible::Link)
{}

QAccessibleInterface *LinkLabelAccessible::create(const QString &className, QObject *object)
{
    Q_UNUSED(className)
    auto *label = qobject_cast<LinkLabel *>(object);
    return label ? new LinkLabelAccessible(label) : nullptr;
}

QString LinkLabelAccessible::text(QAccessible::Text kind) const
{
    if (kind == QAccessible::Name && widget()->accessibleName().isEmpty())
        return static_cast<const LinkLabel *>(widget())->text();
    return QAccessibleWidget::text(kind);
}

QAccessible::State LinkLabelAccessible::state() const
{
    QAccessible::State state = QAccessibleWidget::state();
    state.linked = true;
    return state;
}

QStringList LinkLabelAccessible::actionNames() const
{
    return QStringList{pressAction()} + QAccessibleWidget::actionNames();
}

void LinkLabelAccessible::doAction(const QString &actionName)
{
    // Queued: the press opens a modal dialog, and the screen reader waits for this call.
    if (actionName == pressAction())
        QMetaObject::invokeMethod(static_cast<LinkLabel *>(widget()), &LinkLabel::click,
                                  Qt::QueuedConnection);
    else
        QAccessibleWidget::doAction(actionName);
}
