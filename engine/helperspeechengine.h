#pragma once

#include "engine/spvoice.h"
#include "engine/client/voicecatalog.h"

#include <optional>

// The real speech engine: voices are listed and spoken by the helper executable, each
// synthesis in a process of its own.
class HelperSpeechEngine final : public SpeechEngine
{
public:
    explicit HelperSpeechEngine(QString helperPath = defaultHelperPath(), QString localeName = {});

    [[nodiscard]] std::unique_ptr<SpVoice> createVoice() override;

    // The installed voices, read once from the helper on first use.
    [[nodiscard]] const VoiceCatalog &catalog() const;
    // Why the catalog is empty, when it is for a reason other than no voices being installed.
    [[nodiscard]] const QString &catalogProblem() const { return m_catalogProblem; }
    [[nodiscard]] const QString &helperPath() const { return m_helperPath; }
    // How many helpers render a file at once: one a core, from 1 to 8, unless set.
    [[nodiscard]] int renderingHelperCount() const { return m_renderingHelperCount; }
    void setRenderingHelperCount(int count);

    // The helper next to the running executable, or in ../libexec/parlora when installed.
    [[nodiscard]] static QString defaultHelperPath();

private:
    QString m_helperPath;
    QString m_localeName;
    mutable std::optional<VoiceCatalog> m_catalog;
    mutable QString m_catalogProblem;
    int m_renderingHelperCount;
};
