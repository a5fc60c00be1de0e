#pragma once

#include "listening/pronunciation.h"

#include <QList>

// The pronunciation list: kept in the user's settings, exchanged as UTF-8 text with one entry a
// line: the written form, a tab, the spoken form, then optionally a tab and flags separated by
// spaces: "case" (case-sensitive), "regex" (a regular expression), "lang=TAG".
class PronunciationList final
{
public:
    struct Parsed
    {
        QList<Pronunciation> entries;
        QString problem; // naming the line; when set, entries is empty
    };

    [[nodiscard]] static QList<Pronunciation> load();
    static void save(const QList<Pronunciation> &entries);

    [[nodiscard]] static Parsed fromText(const QByteArray &utf8);
    [[nodiscard]] static QByteArray toText(const QList<Pronunciation> &entries);
    // Why an entry cannot be used (nothing written, a broken regular expression); empty when it can.
    [[nodiscard]] static QString problemOf(const Pronunciation &entry);
};
