#include "voicelibrary/installedvoices.h"

#include "engine/naturalvoices/naturalvoiceconfig.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocale>

namespace {

// As large as the helper reads.
constexpr qint64 MaxConfigBytes = 4 << 20;

InstalledVoiceDetails detailsOf(const NaturalVoiceFolders::InstalledVoice &voice)
{
    InstalledVoiceDetails details{
        voice, QFileInfo(voice.modelPath).completeBaseName(), {}, {}, QFileInfo(voice.modelPath).size(), {}};
    QFile file(voice.configPath);
    if (!file.open(QIODevice::ReadOnly)) {
        details.problem = QStringLiteral("Its configuration cannot be read: %1").arg(file.errorString());
        return details;
    }
    const NaturalVoiceConfig::Result read = NaturalVoiceConfig::fromJson(file.read(MaxConfigBytes));
    if (!read.config) {
        details.problem = read.error;
        return details;
    }
    if (!read.config->dataset.isEmpty())
        details.name = read.config->dataset;
    details.language = InstalledVoices::languageName(read.config->languageCode);
    details.quality = read.config->quality;
    return details;
}

} // namespace

namespace InstalledVoices {

QList<InstalledVoiceDetails> details()
{
    QList<InstalledVoiceDetails> result;
    for (const NaturalVoiceFolders::InstalledVoice &voice : NaturalVoiceFolders::installedVoices())
        result.append(detailsOf(voice));
    return result;
}

QString languageName(const QString &code)
{
    const QLocale locale(code);
    if (locale.language() == QLocale::C || !code.startsWith(QLocale::languageToCode(locale.language())))
        return code;
    const QString language = QLocale::languageToString(locale.language());
    if (!code.contains(u'_'))
        return language;
    return QStringLiteral("%1 (%2)").arg(language, QLocale::territoryToString(locale.territory()));
}

QString sizeText(qint64 bytes)
{
    return QLocale().formattedDataSize(bytes, 1, QLocale::DataSizeSIFormat);
}

QString removalProblem(const NaturalVoiceFolders::InstalledVoice &voice)
{
    if (QDir(voice.folder) == QDir(NaturalVoiceFolders::userFolder()))
        return {};
    return QStringLiteral(
               "%1 is one of the voices installed for everyone on this computer, in %2; only the voices "
               "in your own folder, %3, can be removed here.")
        .arg(QFileInfo(voice.modelPath).completeBaseName(), voice.folder, NaturalVoiceFolders::userFolder());
}

QString remove(const NaturalVoiceFolders::InstalledVoice &voice)
{
    // The model first: without it, what is left is no longer listed as a voice.
    for (const QString &path : {voice.modelPath, voice.configPath}) {
        QFile file(path);
        if (file.exists() && !file.remove())
            return QStringLiteral("%1 could not be removed: %2").arg(path, file.errorString());
    }
    return {};
}

} // namespace InstalledVoices
