#pragma once

#include <QNetworkRequest>
#include <QString>

#include <memory>

class QNetworkReply;
class QUrl;

// What the voice list and the voice downloads share on the network.

// A reply that is aborted and let go when its owner is done with it, without telling anyone: the
// owner has stopped listening.
struct ReplyRelease
{
    void operator()(QNetworkReply *reply) const;
};
using OwnedReply = std::unique_ptr<QNetworkReply, ReplyRelease>;

namespace VoiceNetwork {

// Follows redirects to safe addresses (the collection's files are served from elsewhere) and gives
// up on a transfer that stalls.
[[nodiscard]] QNetworkRequest request(const QUrl &address);
// What went wrong, for the user.
[[nodiscard]] QString describeError(const QNetworkReply &reply);

} // namespace VoiceNetwork
