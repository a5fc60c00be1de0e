#pragma once

#include <QString>
#include <QStringList>

// One installed voice: which engine speaks it, how the engine selects it, and its description.
class SpObjectToken final
{
public:
    SpObjectToken() = default;
    SpObjectToken(QString engine, QString id, QString description, QStringList languages,
                  int naturalness = 0);

    [[nodiscard]] QString GetDescription() const { return m_description; }
    // Attribute lookup as in a voice query: "Name" is the description, "Language" the first
    // language; unknown attributes are empty.
    [[nodiscard]] QString attribute(const QString &name) const;

    [[nodiscard]] const QString &engine() const { return m_engine; }
    [[nodiscard]] const QString &id() const { return m_id; }
    [[nodiscard]] const QStringList &languages() const { return m_languages; }
    // How natural the voice sounds next to others of its language; higher is better.
    [[nodiscard]] int naturalness() const { return m_naturalness; }
    [[nodiscard]] bool isNull() const { return m_id.isEmpty(); }
    // Natural voices keep the pitch they were trained with; the other engines can change it.
    [[nodiscard]] bool canChangePitch() const;
    // flite and the natural voices work out a whole sentence before its first sound; espeak-ng
    // starts on its first words.
    [[nodiscard]] bool analysesWholeSentences() const;
    // A natural voice's helper takes a second or two to load its model; the others start at once.
    [[nodiscard]] bool loadsSlowly() const;

    friend bool operator==(const SpObjectToken &, const SpObjectToken &) = default;

private:
    QString m_engine;
    QString m_id;
    QString m_description;
    QStringList m_languages;
    int m_naturalness = 0;
};
