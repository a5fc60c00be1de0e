#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

// A piece of the text that the engine speaks on its own: a sentence or a line, cut shorter when
// it runs long. A crash of the engine costs one passage, and the passage is what the user is told.
struct Passage
{
    QByteArray utf8;
    int line = 1;                          // where it starts in the text, counting from 1
    qsizetype characters = 0;              // in the text, for progress
    qsizetype start = 0;                   // where it starts in the text (a QString index)
    [[nodiscard]] QString opening() const; // its first characters, as the user is shown them
};

// The text's passages in order. Blank stretches (line breaks, spaces) have nothing to say and
// give no passage of their own.
[[nodiscard]] QList<Passage> passagesOf(const QString &text);

enum class OpeningCut {
    AtClause,
    // Also after the first few words when no clause ends early: for an engine that analyses a
    // whole sentence before it makes a sound.
    AtClauseOrWords,
};

// The same passages with the first cut after its first clause (a comma, semicolon or colon and a
// space) when that comes early: a reading is heard sooner when its first passage is short.
[[nodiscard]] QList<Passage> withShortOpening(QList<Passage> passages, OpeningCut how = OpeningCut::AtClause);
