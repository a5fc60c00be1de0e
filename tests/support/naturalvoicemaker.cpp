#include "tests/support/naturalvoicemaker.h"

#include <QProcess>

QString makeNaturalVoice(const QString &folder, const QString &name, const QStringList &options)
{
    QProcess python;
    python.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    // Debian's interpreter, whichever python3 comes first on the path: it has the onnx module.
    python.start(QStringLiteral("/usr/bin/python3"),
                 QStringList{QStringLiteral(MAKE_VOICE_SCRIPT), folder, name} + options);
    if (!python.waitForFinished(60000) || python.exitStatus() != QProcess::NormalExit ||
        python.exitCode() != 0)
        return {};
    return QString::fromUtf8(python.readAllStandardOutput()).trimmed();
}
