#include "engine/naturalvoices/naturalvoicefolders.h"

#include <QDir>
#include <QFileInfo>
#include <QSet>

namespace NaturalVoiceFolders {

QString userFolder()
{
    QString dataHome = qEnvironmentVariable("XDG_DATA_HOME");
    if (dataHome.isEmpty() || QDir::isRelativePath(dataHome))
        dataHome = QDir::homePath() + QStringLiteral("/.local/share");
    return dataHome + QStringLiteral("/parlora/voices");
}

QStringList all()
{
    return {userFolder(), QStringLiteral("/usr/share/parlora/voices")};
}

QList<InstalledVoice> installedVoices()
{
    QList<InstalledVoice> voices;
    QSet<QString> names;
    for (const QString &folder : all()) {
        const QFileInfoList models =
            QDir(folder).entryInfoList({QStringLiteral("*.onnx")}, QDir::Files | QDir::Readable, QDir::Name);
        for (const QFileInfo &model : models) {
            const QString configPath = model.filePath() + QStringLiteral(".json");
            if (!QFileInfo(configPath).isFile() || names.contains(model.fileName()))
                continue;
            names.insert(model.fileName());
            voices.append({model.filePath(), configPath, folder});
        }
    }
    return voices;
}

} // namespace NaturalVoiceFolders
