#include "tests/support/scratchmount.h"

#include <QProcess>

#include <unistd.h>

namespace {

QString runMount(const QStringList &arguments)
{
    QProcess mount;
    mount.start(QStringLiteral("mount"), arguments);
    if (!mount.waitForFinished(10000) || mount.exitStatus() != QProcess::NormalExit || mount.exitCode() != 0)
        return QString::fromLocal8Bit(mount.readAllStandardError()).trimmed() + mount.errorString();
    return {};
}

} // namespace

ScratchMount::ScratchMount(const QString &options)
{
    if (::geteuid() != 0) {
        m_error = QStringLiteral("mounting a scratch file system needs root; the test command runs as root");
        return;
    }
    m_error = runMount({QStringLiteral("-t"), QStringLiteral("tmpfs"), QStringLiteral("-o"), options,
                        QStringLiteral("parlora-test"), m_directory.path()});
    m_mounted = m_error.isEmpty();
}

ScratchMount::~ScratchMount()
{
    if (m_mounted) {
        QProcess::execute(QStringLiteral("umount"), {QStringLiteral("-l"), m_directory.path()});
    }
}

bool ScratchMount::remount(const QString &options)
{
    m_error = runMount({QStringLiteral("-o"), options, m_directory.path()});
    return m_error.isEmpty();
}
