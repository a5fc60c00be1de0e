#include "voicelibrary/voicecollectionfetch.h"

#include <QNetworkReply>

namespace {

// Piper's list of every voice is about a megabyte; anything far larger is not a voice list.
constexpr qint64 MaxCollectionBytes = 64 << 20;

} // namespace

VoiceCollectionFetch::VoiceCollectionFetch(QObject *parent) : QObject(parent)
{}

VoiceCollectionFetch::~VoiceCollectionFetch() = default;

void VoiceCollectionFetch::start(const QUrl &address)
{
    m_address = address;
    m_reply.reset(m_network.get(VoiceNetwork::request(address)));
    connect(m_reply.get(), &QNetworkReply::downloadProgress, this, [this](qint64 received) {
        if (received > MaxCollectionBytes) {
            cancel();
            Q_EMIT failed(
                QStringLiteral("%1 is too large to be a voice list.").arg(m_address.toDisplayString()));
        }
    });
    connect(m_reply.get(), &QNetworkReply::finished, this, &VoiceCollectionFetch::finish);
}

void VoiceCollectionFetch::cancel()
{
    m_reply.reset();
}

void VoiceCollectionFetch::finish()
{
    const OwnedReply reply = std::move(m_reply);
    if (reply->error() != QNetworkReply::NoError) {
        Q_EMIT failed(QStringLiteral("The voice list could not be read from %1: %2")
                          .arg(m_address.toDisplayString(), VoiceNetwork::describeError(*reply)));
        return;
    }
    const VoiceCollection::Parsed parsed = VoiceCollection::fromJson(reply->readAll());
    if (!parsed.error.isEmpty()) {
        Q_EMIT failed(QStringLiteral("%1 (read from %2)").arg(parsed.error, m_address.toDisplayString()));
        return;
    }
    Q_EMIT fetched(parsed.voices);
}
