#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// An XML namespace as a feed declares it, with the prefix Parlora prefers for it.
struct Namespace
{
    QString prefix;
    QString uri;

    friend bool operator==(const Namespace &, const Namespace &) = default;
};

namespace Namespaces {
[[nodiscard]] Namespace content();
[[nodiscard]] Namespace dublinCore();
[[nodiscard]] Namespace itunes();
[[nodiscard]] Namespace atom();
[[nodiscard]] Namespace podcast();
} // namespace Namespaces

// The namespaces that written elements use. A namespace the document declares is written with
// its prefix there; one it lacks gets Parlora's prefix (or a free variant of it when the
// document already uses that prefix for something else) and is declared on the root element.
class NamespaceNeeds final
{
public:
    // declared: the namespaces in scope where the elements go; taken: every prefix the document
    // declares anywhere.
    NamespaceNeeds(QList<Namespace> declared, QStringList taken);
    // What the header template of a new feed declares.
    [[nodiscard]] static NamespaceNeeds forNewFeed();

    // The prefix to write the namespace's elements with.
    [[nodiscard]] QString need(const Namespace &wanted);
    // The namespaces to declare on the root element, in the order they were first needed.
    [[nodiscard]] const QList<Namespace> &undeclared() const { return m_undeclared; }
    // Those as attributes: ' xmlns:prefix="uri"' each.
    [[nodiscard]] QString declarations() const;

private:
    QList<Namespace> m_declared;
    QStringList m_taken;
    QList<Namespace> m_undeclared;
};

// The header template with the namespaces the document needs beyond it declared on rss.
[[nodiscard]] QString headerDeclaring(const QString &headerTemplate, const NamespaceNeeds &needs);
