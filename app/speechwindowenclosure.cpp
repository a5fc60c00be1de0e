#include "app/speechwindowenclosure.h"

#include "speechwindow/formwav.h"

#include <QFileInfo>
#include <QLineEdit>
#include <QUrl>

namespace {

// The sound file's published address with its name replaced by a companion's; nothing while
// the field holds no web address (the placeholder, a local path).
QString companionUrl(const QUrl &soundUrl, const QStringList &companionFiles, const QString &suffix)
{
    for (const QString &file : companionFiles) {
        const QString name = QFileInfo(file).fileName();
        if (name.endsWith(suffix))
            return soundUrl.resolved(QUrl(QString::fromUtf8(QUrl::toPercentEncoding(name))))
                .toString(QUrl::FullyEncoded);
    }
    return {};
}

} // namespace

std::optional<Enclosure> SpeechWindowEnclosure::enclosure() const
{
    if (!m_speechWindow)
        return std::nullopt;
    Enclosure enclosure;
    enclosure.url = m_speechWindow->Text14->text();
    enclosure.length = m_speechWindow->Text3->text();
    enclosure.type = m_speechWindow->Text4->text();
    enclosure.durationSeconds = m_speechWindow->savedSoundDurationSeconds();
    const QUrl soundUrl(enclosure.url.trimmed(), QUrl::StrictMode);
    const QString scheme = soundUrl.scheme().toLower();
    if (soundUrl.isValid() && !soundUrl.host().isEmpty() && (scheme == u"http" || scheme == u"https")) {
        const QStringList companions = m_speechWindow->savedCompanionFiles();
        enclosure.transcriptVttUrl = companionUrl(soundUrl, companions, QStringLiteral(".vtt"));
        enclosure.transcriptSrtUrl = companionUrl(soundUrl, companions, QStringLiteral(".srt"));
        enclosure.chaptersUrl = companionUrl(soundUrl, companions, QStringLiteral(".chapters.json"));
    }
    return enclosure;
}
