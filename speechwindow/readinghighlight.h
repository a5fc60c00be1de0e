#pragma once

#include "engine/reading/textrange.h"
#include "listening/spokentext.h"

#include <QObject>
#include <QTimer>

#include <memory>
#include <optional>

class QPlainTextEdit;
class ReadingTimeline;

// Shows which word of a text box is being heard: the word drawn in the highlight colours and
// kept in view. A decoration only: the text, the user's cursor and selection and the undo
// history stay as they are. Editing the text ends it, since its words have moved.
class ReadingHighlight final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(ReadingHighlight)

public:
    explicit ReadingHighlight(QPlainTextEdit &textBox, QObject *parent = nullptr);
    ~ReadingHighlight() override;

    // Follows a reading of the text box's text as it is now; ends any earlier one. When the
    // voice was given a spoken form of the text, its words are shown on what they stand for.
    // The word shown stays until the new reading's first word takes its place: taking a
    // highlight off a long paragraph takes a while, which would hold back the first sound.
    void follow(std::shared_ptr<const ReadingTimeline> timeline, SpokenText spoken = {});
    // Stops following and takes the highlight off.
    void stop();
    // Stops following; the word shown stays for the next reading to replace.
    void detach();

    [[nodiscard]] bool isFollowing() const { return m_timeline != nullptr; }
    [[nodiscard]] std::optional<TextRange> highlightedWord() const { return m_shown; }

Q_SIGNALS:
    void moved(); // to another word, or away at the end

private:
    void update();
    void show(std::optional<TextRange> word);
    void keepInView(const TextRange &word);

    QPlainTextEdit &m_textBox;
    std::shared_ptr<const ReadingTimeline> m_timeline;
    SpokenText m_spoken;
    std::optional<TextRange> m_shown;
    QTimer m_timer;
    QMetaObject::Connection m_editWatch;
};
