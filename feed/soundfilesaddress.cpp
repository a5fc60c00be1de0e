#include "feed/soundfilesaddress.h"

#include <QFileInfo>
#include <QSettings>
#include <QUrl>

namespace {

const QString SettingsKey = QStringLiteral("feed/soundFilesAddress");

} // namespace

QString soundFilesAddress()
{
    return QSettings().value(SettingsKey).toString();
}

void setSoundFilesAddress(const QString &address)
{
    QSettings settings;
    if (address.isEmpty())
        settings.remove(SettingsKey);
    else
        settings.setValue(SettingsKey, address);
}

QString publishedSoundFileAddress(const QString &soundFilesAddress, const QString &savedPath)
{
    const QString base = soundFilesAddress.trimmed();
    if (base.isEmpty())
        return {};
    // Spaces and other characters a web address cannot hold are percent-encoded.
    const QString name = QString::fromLatin1(QUrl::toPercentEncoding(QFileInfo(savedPath).fileName()));
    return base.endsWith(u'/') ? base + name : base + u'/' + name;
}
