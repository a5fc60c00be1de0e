#include "voicelibrary/voicenetwork.h"

#include <QNetworkReply>

namespace {

constexpr int StallMilliseconds = 30000;

} // namespace

void ReplyRelease::operator()(QNetworkReply *reply) const
{
    reply->disconnect();
    reply->abort();
    // Not deleted at once: this may run inside one of the reply's own signals.
    reply->deleteLater();
}

namespace VoiceNetwork {

QNetworkRequest request(const QUrl &address)
{
    QNetworkRequest request(address);
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::NoLessSafeRedirectPolicy);
    request.setTransferTimeout(StallMilliseconds);
    return request;
}

QString describeError(const QNetworkReply &reply)
{
    // A stalled transfer is aborted by its timeout, and Qt then only says "Operation canceled".
    if (reply.error() == QNetworkReply::OperationCanceledError)
        return QStringLiteral("nothing arrived for %1 seconds.").arg(StallMilliseconds / 1000);
    const QVariant status = reply.attribute(QNetworkRequest::HttpStatusCodeAttribute);
    if (status.isValid() && status.toInt() >= 400)
        return QStringLiteral("the server answered %1 %2.")
            .arg(status.toInt())
            .arg(reply.attribute(QNetworkRequest::HttpReasonPhraseAttribute).toString());
    return reply.errorString() + u'.';
}

} // namespace VoiceNetwork
