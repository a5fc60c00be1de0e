#pragma once

#include "engine/client/voicecatalog.h"
#include "engine/spvoice.h"

#include <memory>
#include <optional>
#include <vector>

class HelperSession;
class QProcess;
class QTimer;

// The real speech engine: voices are listed and spoken by the helper executable, each
// synthesis in a process of its own.
class HelperSpeechEngine final : public SpeechEngine
{
public:
    explicit HelperSpeechEngine(QString helperPath = defaultHelperPath(), QString localeName = {});
    ~HelperSpeechEngine() override;
    HelperSpeechEngine(const HelperSpeechEngine &) = delete;
    HelperSpeechEngine &operator=(const HelperSpeechEngine &) = delete;

    [[nodiscard]] std::unique_ptr<SpVoice> createVoice() override;

    // The installed voices, read once from the helper on first use.
    [[nodiscard]] const VoiceCatalog &catalog() const;
    // Why the catalog is empty, when it is for a reason other than no voices being installed.
    [[nodiscard]] const QString &catalogProblem() const { return m_catalogProblem; }
    [[nodiscard]] const QString &helperPath() const { return m_helperPath; }
    // How many helpers render a file at once: one a core, from 1 to 8, unless set.
    [[nodiscard]] int renderingHelperCount() const { return m_renderingHelperCount; }
    void setRenderingHelperCount(int count);
    // As many, but while a reading plays one core is left to it, the window and the sound
    // server: with every core rendering, the window's thread was seen to wait 100 ms at a time
    // for the sound server's lock.
    [[nodiscard]] int renderingHelpersNow() const;
    // Held by a voice while it reads aloud.
    [[nodiscard]] std::shared_ptr<void> noteReading() const;

    // A reading's helper started ahead, for the voice chosen last: with its engine ready when
    // Read is clicked, only the text is left to send. At most one waits, idle; it ends with the
    // program, or when it finds itself orphaned.
    void prepareHelper(const SpObjectToken &voice) const;
    void prepareVoice(const SpObjectToken &voice) override { prepareHelper(voice); }
    // Lists the voices in a helper run in the background; the catalog changes when it is done.
    void reloadVoices(std::function<void()> done) override;
    // The prepared helper when it is for that voice, else a fresh one (not started).
    [[nodiscard]] std::unique_ptr<HelperSession> takeHelper(const SpObjectToken &voice) const;
    // The waiting helper's process, 0 when none waits.
    [[nodiscard]] qint64 preparedHelperProcessId() const;

    // The helper next to the running executable, or in ../libexec/parlora when installed.
    [[nodiscard]] static QString defaultHelperPath();

private:
    void startListing();
    void listingFinished();

    QString m_helperPath;
    QString m_localeName;
    mutable std::optional<VoiceCatalog> m_catalog;
    mutable QString m_catalogProblem;
    int m_renderingHelperCount;
    mutable int m_readingsPlaying = 0;
    // Like the catalog, kept by a const engine: voices hold the engine const.
    mutable std::unique_ptr<HelperSession> m_prepared;
    // A slow voice's helper prepared again after a reading took the prepared one.
    static constexpr int SpareHelperDelayMs = 500;
    std::unique_ptr<QTimer> m_spareTimer;
    mutable SpObjectToken m_spareVoice;
    std::unique_ptr<QProcess> m_lister; // while voices are listed anew
    bool m_listAgain = false;           // voices changed again since that listing began
    std::vector<std::function<void()>> m_whenListed;
};
