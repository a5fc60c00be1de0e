#pragma once

#include "engine/client/spobjecttoken.h"
#include "engine/protocol/voiceadjustment.h"
#include "listening/pronunciation.h"
#include "listening/spokentext.h"
#include "platform/platformservices.h"

#include <QList>
#include <QObject>
#include <QPointer>

#include <functional>

class PronunciationsDialog;
class QAction;
class QMainWindow;
class QMenu;
class SpVoice;
class VoiceSettingsDialog;
class VoicesDialog;

// The speech window's "&Options" menu: how the voices sound and what they say for which
// words, remembered from one start to the next. A reading under way hears a change from its
// next passage on.
class OptionsMenu final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(OptionsMenu)

public:
    // readingVoice: the voice that may be reading aloud now, or nullptr.
    OptionsMenu(QMainWindow &window, const PlatformServices &services,
                std::function<SpVoice *()> readingVoice);
    ~OptionsMenu() override;

    // Further commands are added to it.
    [[nodiscard]] QMenu *menu() const { return m_menu; }
    QAction *voiceSettings = nullptr;
    QAction *pronunciations = nullptr;
    QAction *voices = nullptr;
    QAction *faster = nullptr;
    QAction *slower = nullptr;

    void voiceSettings_Click();
    void pronunciations_Click();
    void voices_Click();
    // By ten points of the voice's own speed.
    void changeSpeed(int percentPoints);

    // Gives the voice the listener's speed, pitch and volume; returns what it is to be given to
    // speak for the written text, which pronunciations for its language may have changed.
    [[nodiscard]] SpokenText prepare(SpVoice &voice, const QString &written) const;

    // The voice chosen in the window, which Voice settings speaks of.
    void setChosenVoice(const SpObjectToken &voice) { m_chosenVoice = voice; }

    [[nodiscard]] const VoiceAdjustment &adjustment() const { return m_adjustment; }
    void setAdjustment(const VoiceAdjustment &adjustment);
    [[nodiscard]] const QList<Pronunciation> &pronunciationList() const { return m_pronunciations; }
    void setPronunciationList(const QList<Pronunciation> &entries);

    // The dialogs while they are open, for driving them.
    [[nodiscard]] VoiceSettingsDialog *voiceSettingsDialog() const;
    [[nodiscard]] PronunciationsDialog *pronunciationsDialog() const;
    [[nodiscard]] VoicesDialog *voicesDialog() const;

Q_SIGNALS:
    // Natural voices were added or removed: the list of voices is out of date.
    void voicesChanged();

private:
    QMainWindow &m_window;
    PlatformServices m_services;
    std::function<SpVoice *()> m_readingVoice;
    QMenu *m_menu = nullptr;
    VoiceAdjustment m_adjustment;
    SpObjectToken m_chosenVoice;
    QList<Pronunciation> m_pronunciations;
    QPointer<VoiceSettingsDialog> m_voiceSettingsDialog;
    QPointer<PronunciationsDialog> m_pronunciationsDialog;
    QPointer<VoicesDialog> m_voicesDialog;
};
