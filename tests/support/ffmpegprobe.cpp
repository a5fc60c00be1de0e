#include "tests/support/ffmpegprobe.h"

#include <QJsonDocument>
#include <QProcess>
#include <QRegularExpression>

namespace {

QByteArray run(const QString &program, const QStringList &arguments, bool standardError)
{
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(120000) || process.exitCode() != 0)
        return {};
    return standardError ? process.readAllStandardError() : process.readAllStandardOutput();
}

} // namespace

std::optional<LoudnessFigures> measureLoudness(const QString &path)
{
    const QString log = QString::fromUtf8(
        run(QStringLiteral("ffmpeg"),
            {QStringLiteral("-nostats"), QStringLiteral("-hide_banner"), QStringLiteral("-i"), path,
             QStringLiteral("-af"), QStringLiteral("ebur128=peak=true"), QStringLiteral("-f"),
             QStringLiteral("null"), QStringLiteral("-")},
            true));
    // The summary comes last: "I: -16.0 LUFS" and, under "True peak:", "Peak: -1.5 dBFS".
    const qsizetype summary = log.lastIndexOf(QStringLiteral("Summary:"));
    if (summary < 0)
        return std::nullopt;
    const QString tail = log.mid(summary);
    const QRegularExpressionMatch integrated =
        QRegularExpression(QStringLiteral(R"(I:\s+(-?[\d.]+|-inf) LUFS)")).match(tail);
    const QRegularExpressionMatch peak =
        QRegularExpression(QStringLiteral(R"(Peak:\s+(-?[\d.]+|-inf) dBFS)")).match(tail);
    if (!integrated.hasMatch() || !peak.hasMatch())
        return std::nullopt;
    return LoudnessFigures{integrated.captured(1).toDouble(), peak.captured(1).toDouble()};
}

QJsonObject probe(const QString &path)
{
    return QJsonDocument::fromJson(
               run(QStringLiteral("ffprobe"),
                   {QStringLiteral("-v"), QStringLiteral("error"), QStringLiteral("-print_format"),
                    QStringLiteral("json"), QStringLiteral("-show_format"), QStringLiteral("-show_streams"),
                    QStringLiteral("-show_chapters"), path},
                   false))
        .object();
}
