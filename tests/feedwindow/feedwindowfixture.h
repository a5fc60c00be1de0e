#pragma once

#include "app/speechwindowenclosure.h"
#include "feedwindow/formrss.h"
#include "speechwindow/formwav.h"
#include "tests/doubles/testservices.h"

#include <QDateTime>
#include <QStringList>

#include <memory>

// A feed window over scripted services, with the speech window beside it that holds the
// enclosure fields, handed over as the program does. Values are set and read by the names the user knows them
// by.
class FeedWindowFixture final
{
public:
    // 2026-12-06 03:05:09 UTC, a Sunday.
    static QDateTime defaultNow();
    // The item date the window shows when opened at defaultNow().
    static QString defaultDate();

    explicit FeedWindowFixture(const QDateTime &now = defaultNow());
    ~FeedWindowFixture();
    FeedWindowFixture(const FeedWindowFixture &) = delete;
    FeedWindowFixture &operator=(const FeedWindowFixture &) = delete;

    [[nodiscard]] FormRss &window() { return *m_window; }
    [[nodiscard]] FormWav &speechWindow() { return *m_speechWindow; }
    // As when the feed window was the first window: there is no speech window at all.
    void unloadSpeechWindow();
    [[nodiscard]] TestServices &test() { return m_test; }
    [[nodiscard]] QStringList &messages() { return m_test.messageBox.messages; }

    // "channel title", "channel description", "channel author", "channel link", "item title",
    // "item description", "item link", "item date", "enclosure address", "enclosure size",
    // "enclosure type".
    static QStringList valueNames();
    void setValue(const QString &name, const QString &value);
    [[nodiscard]] QString value(const QString &name) const;
    // Every value and the item store, to see that nothing changed.
    [[nodiscard]] QStringList snapshot() const;

    // Ordinary values, as a user who has saved a sound file would type them.
    void fillChannel();
    void fillItem(const QString &title = QStringLiteral("Episode 1"));
    void fillEnclosure();
    void fillAll();
    // Every publishing detail given through the details dialog, as a user would.
    void fillDetails();

private:
    TestServices m_test;
    std::unique_ptr<FormWav> m_speechWindow;
    SpeechWindowEnclosure m_enclosureSource{nullptr};
    std::unique_ptr<FormRss> m_window;
};
