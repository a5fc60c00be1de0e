#include "engine/helperspeechengine.h"

#include "engine/client/helpersession.h"
#include "engine/helpervoice.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QLocale>
#include <QProcess>
#include <QThread>
#include <QTimer>

#include <algorithm>
#include <utility>

HelperSpeechEngine::HelperSpeechEngine(QString helperPath, QString localeName)
    : m_helperPath(std::move(helperPath)),
      m_localeName(localeName.isEmpty() ? QLocale::system().name() : std::move(localeName))
{
    setRenderingHelperCount(QThread::idealThreadCount());
    m_spareTimer = std::make_unique<QTimer>();
    m_spareTimer->setSingleShot(true);
    QObject::connect(m_spareTimer.get(), &QTimer::timeout, m_spareTimer.get(), [this] {
        if (!m_prepared)
            prepareHelper(m_spareVoice);
    });
}

HelperSpeechEngine::~HelperSpeechEngine()
{
    QProcess *lister = m_lister.release();
    if (lister == nullptr)
        return;
    lister->disconnect();
    if (lister->state() == QProcess::NotRunning) {
        delete lister;
        return;
    }
    // Not waited for: killed, it ends within milliseconds, and the object goes once it has.
    QObject::connect(lister, &QProcess::finished, lister, &QObject::deleteLater);
    lister->kill();
}

void HelperSpeechEngine::prepareHelper(const SpObjectToken &voice) const
{
    if (voice.isNull() || QCoreApplication::instance() == nullptr)
        return;
    if (m_prepared && m_prepared->voice() == voice && !m_prepared->hasFailed())
        return;
    m_prepared = std::make_unique<HelperSession>(m_helperPath, voice, HelperSession::Purpose::Playback);
    m_prepared->start();
}

std::unique_ptr<HelperSession> HelperSpeechEngine::takeHelper(const SpObjectToken &voice) const
{
    std::unique_ptr<HelperSession> prepared = std::move(m_prepared);
    if (voice.loadsSlowly() && QCoreApplication::instance() != nullptr) {
        // The next Read would wait seconds for a fresh helper to load the voice: one is
        // prepared again once this reading has made its first sound.
        m_spareVoice = voice;
        m_spareTimer->start(SpareHelperDelayMs);
    }
    if (prepared && prepared->voice() == voice && !prepared->hasFailed())
        return prepared;
    return std::make_unique<HelperSession>(m_helperPath, voice, HelperSession::Purpose::Playback);
}

qint64 HelperSpeechEngine::preparedHelperProcessId() const
{
    return m_prepared ? m_prepared->processId() : 0;
}

void HelperSpeechEngine::setRenderingHelperCount(int count)
{
    m_renderingHelperCount = std::clamp(count, 1, 8);
}

int HelperSpeechEngine::renderingHelpersNow() const
{
    if (m_readingsPlaying == 0)
        return m_renderingHelperCount;
    return std::min(m_renderingHelperCount, std::max(1, QThread::idealThreadCount() - 1));
}

std::shared_ptr<void> HelperSpeechEngine::noteReading() const
{
    ++m_readingsPlaying;
    return {nullptr, [this](void *) { --m_readingsPlaying; }};
}

std::unique_ptr<SpVoice> HelperSpeechEngine::createVoice()
{
    return std::make_unique<HelperVoice>(*this);
}

const VoiceCatalog &HelperSpeechEngine::catalog() const
{
    if (m_catalog)
        return *m_catalog;
    QProcess lister;
    lister.start(m_helperPath, {QStringLiteral("--list")});
    if (!lister.waitForStarted(10000)) {
        m_catalogProblem =
            QStringLiteral("The speech engine could not be started: %1").arg(lister.errorString());
        m_catalog.emplace();
        return *m_catalog;
    }
    lister.closeWriteChannel();
    if (!lister.waitForFinished(30000) || lister.exitStatus() != QProcess::NormalExit) {
        lister.kill();
        lister.waitForFinished(1000);
        m_catalogProblem = QStringLiteral("The speech engine stopped unexpectedly while listing its voices.");
    }
    m_catalog = VoiceCatalog::fromListing(lister.readAllStandardOutput(), m_localeName);
    return *m_catalog;
}

void HelperSpeechEngine::reloadVoices(std::function<void()> done)
{
    m_whenListed.push_back(std::move(done));
    if (m_lister)
        m_listAgain = true; // that listing may have begun before this change
    else
        startListing();
}

void HelperSpeechEngine::startListing()
{
    m_listAgain = false;
    m_lister = std::make_unique<QProcess>();
    QProcess *lister = m_lister.get();
    QObject::connect(lister, &QProcess::finished, lister, [this] { listingFinished(); });
    QObject::connect(lister, &QProcess::errorOccurred, lister, [this](QProcess::ProcessError error) {
        if (error == QProcess::FailedToStart) // no finished follows
            listingFinished();
    });
    lister->start(m_helperPath, {QStringLiteral("--list")});
    lister->closeWriteChannel();
}

void HelperSpeechEngine::listingFinished()
{
    QProcess *lister = m_lister.release();
    lister->deleteLater(); // this runs inside one of its signals
    if (m_listAgain) {
        startListing();
        return;
    }
    // A helper that failed leaves the list as it was.
    if (lister->error() != QProcess::FailedToStart && lister->exitStatus() == QProcess::NormalExit) {
        m_catalog = VoiceCatalog::fromListing(lister->readAllStandardOutput(), m_localeName);
        m_catalogProblem.clear();
    }
    for (const std::function<void()> &done : std::exchange(m_whenListed, {}))
        done();
}

QString HelperSpeechEngine::defaultHelperPath()
{
    const QString name = QStringLiteral("parlora-speech-helper");
    const QString directory = QCoreApplication::applicationDirPath();
    const QString besideUs = directory + u'/' + name;
    if (QFileInfo(besideUs).isExecutable())
        return besideUs;
    return directory + QStringLiteral("/../libexec/parlora/") + name;
}
