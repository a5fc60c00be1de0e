#include "bench/benchtext.h"

#include <QDir>
#include <QFile>
#include <QStringList>

namespace {

double statusFieldMiB(qint64 pid, const QByteArray &field)
{
    QFile status(QStringLiteral("/proc/%1/status").arg(pid));
    if (!status.open(QIODevice::ReadOnly))
        return 0.0;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith(field))
            return line.mid(field.size()).trimmed().split(' ').first().toDouble() / 1024.0;
    }
    return 0.0;
}

} // namespace

QString benchmarkText(int words)
{
    const QStringList vocabulary =
        QStringLiteral(
            "the morning light fell across the harbour while fishermen mended their nets and talked "
            "about the weather that had kept them ashore for three long days of wind and rain")
            .split(u' ');
    QString text;
    text.reserve(words * 7);
    for (int i = 0; i < words; ++i) {
        text += vocabulary.at(i % vocabulary.size());
        text += (i % 15 == 14) ? QStringLiteral(". ") : QStringLiteral(" ");
    }
    return text;
}

double peakResidentMiB(qint64 pid)
{
    return statusFieldMiB(pid, "VmHWM:");
}

double currentResidentMiB(qint64 pid)
{
    return statusFieldMiB(pid, "VmRSS:");
}

double currentProportionalMiB(qint64 pid)
{
    QFile rollup(QStringLiteral("/proc/%1/smaps_rollup").arg(pid));
    if (!rollup.open(QIODevice::ReadOnly))
        return 0.0;
    for (const QByteArray &line : rollup.readAll().split('\n'))
        if (line.startsWith("Pss:"))
            return line.mid(4).trimmed().split(' ').first().toDouble() / 1024.0;
    return 0.0;
}

bool writeBenchmarkText(int words, const QString &path, QString &text)
{
    text = benchmarkText(words);
    const QByteArray bytes = text.toUtf8();
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

QList<qint64> processTree(qint64 root)
{
    QList<qint64> tree{root};
    for (const QString &task :
         QDir(QStringLiteral("/proc/%1/task").arg(root)).entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        QFile children(QStringLiteral("/proc/%1/task/%2/children").arg(root).arg(task));
        if (children.open(QIODevice::ReadOnly))
            for (const QByteArray &child : children.readAll().split(' '))
                if (!child.trimmed().isEmpty())
                    tree += processTree(child.trimmed().toLongLong());
    }
    return tree;
}
