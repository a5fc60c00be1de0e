#include "speechwindow/voicedownloaddialog.h"

#include "engine/naturalvoices/naturalvoicefolders.h"
#include "platform/applicationtitle.h"
#include "platform/messagebox.h"
#include "speechwindow/voicetablecontrols.h"
#include "voicelibrary/installedvoices.h"
#include "voicelibrary/voicecollectionfetch.h"
#include "voicelibrary/voicedownload.h"

#include <QDialogButtonBox>
#include <QFileInfo>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

using VoiceTableControls::button;
using VoiceTableControls::cell;

namespace {

constexpr int ProgressSteps = 1000;

} // namespace

VoiceDownloadDialog::VoiceDownloadDialog(const PlatformServices &services, QString helperPath,
                                         QWidget *parent)
    : QDialog(parent), m_services(services), m_fetch(new VoiceCollectionFetch(this)),
      m_download(new VoiceDownload(std::move(helperPath), NaturalVoiceFolders::userFolder(), this))
{
    setWindowTitle(QStringLiteral("Download voices - ") + applicationTitle());
    address = new QLineEdit(VoiceCollection::defaultAddress(), this);
    address->setAccessibleName(QStringLiteral("Voice list address"));
    getList = button(QStringLiteral("&Get list"), QStringLiteral("Get list"), this);
    getList->setDefault(true);
    table = VoiceTableControls::table(QStringLiteral("Voices to download"),
                                      {QStringLiteral("Language"), QStringLiteral("Voice"),
                                       QStringLiteral("Quality"), QStringLiteral("Size")},
                                      this);
    download = button(QStringLiteral("&Download"), QStringLiteral("Download"), this);
    cancel = button(QStringLiteral("Ca&ncel"), QStringLiteral("Cancel"), this);
    progress = new QProgressBar(this);
    progress->setRange(0, ProgressSteps);
    progress->setValue(0);
    progress->setAccessibleName(QStringLiteral("Progress"));
    status = new QLabel(QStringLiteral("Get the list of voices to choose one."), this);
    status->setWordWrap(true);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    buttons->button(QDialogButtonBox::Close)->setAccessibleName(QStringLiteral("Close"));

    connect(getList, &QPushButton::clicked, this, &VoiceDownloadDialog::getList_Click);
    connect(address, &QLineEdit::returnPressed, this, &VoiceDownloadDialog::getList_Click);
    connect(download, &QPushButton::clicked, this, &VoiceDownloadDialog::download_Click);
    connect(table, &QTableWidget::cellActivated, this, &VoiceDownloadDialog::download_Click);
    connect(cancel, &QPushButton::clicked, this, &VoiceDownloadDialog::cancel_Click);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(m_fetch, &VoiceCollectionFetch::fetched, this, &VoiceDownloadDialog::listed);
    connect(m_fetch, &VoiceCollectionFetch::failed, this, &VoiceDownloadDialog::failed);
    connect(m_download, &VoiceDownload::progressed, this, [this](qint64 received, qint64 total) {
        progress->setValue(total > 0 ? int(received * ProgressSteps / total) : 0);
    });
    connect(m_download, &VoiceDownload::downloaded, this, &VoiceDownloadDialog::downloaded);
    connect(m_download, &VoiceDownload::failed, this, &VoiceDownloadDialog::failed);

    auto *addressRow = new QHBoxLayout;
    addressRow->addWidget(address);
    addressRow->addWidget(getList);
    auto *addressLabel = new QLabel(QStringLiteral("Voice list &address:"), this);
    addressLabel->setBuddy(address);
    auto *form = new QFormLayout;
    form->addRow(addressLabel, addressRow);
    auto *tableLabel = new QLabel(QStringLiteral("&Voices:"), this);
    tableLabel->setBuddy(table);
    auto *progressRow = new QHBoxLayout;
    progressRow->addWidget(progress);
    progressRow->addWidget(download);
    progressRow->addWidget(cancel);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(tableLabel);
    layout->addWidget(table);
    layout->addWidget(status);
    layout->addLayout(progressRow);
    layout->addWidget(buttons);
    resize(640, 480);
    setRunning(false);
}

VoiceDownloadDialog::~VoiceDownloadDialog() = default;

void VoiceDownloadDialog::getList_Click()
{
    const QUrl listAddress(address->text().trimmed(), QUrl::StrictMode);
    if (!listAddress.isValid() ||
        (listAddress.scheme() != QStringLiteral("https") && listAddress.scheme() != QStringLiteral("http"))) {
        m_services.messageBox.showMessage(
            this, QStringLiteral("\"%1\" is not a web address. A voice list's address begins with https://.")
                      .arg(address->text()));
        return;
    }
    m_listAddress = listAddress;
    status->setText(QStringLiteral("Reading the voice list..."));
    setRunning(true);
    m_fetch->start(m_listAddress);
}

void VoiceDownloadDialog::listed(const QList<CollectionVoice> &voices)
{
    m_voices = voices;
    table->setRowCount(0);
    for (const CollectionVoice &voice : voices) {
        const int row = table->rowCount();
        table->insertRow(row);
        table->setItem(row, LanguageColumn, cell(voice.language));
        table->setItem(row, NameColumn, cell(voice.name));
        table->setItem(row, QualityColumn, cell(voice.quality));
        table->setItem(row, SizeColumn, cell(InstalledVoices::sizeText(voice.model.size)));
    }
    table->setCurrentCell(0, LanguageColumn);
    status->setText(voices.size() == 1
                        ? QStringLiteral("1 voice. Pick it and download it.")
                        : QStringLiteral("%1 voices. Pick one and download it.").arg(voices.size()));
    setRunning(false);
    table->setFocus();
}

void VoiceDownloadDialog::download_Click()
{
    const int row = table->currentRow();
    if (m_download->isRunning() || row < 0 || row >= m_voices.size())
        return;
    const CollectionVoice &voice = m_voices.at(row);
    status->setText(QStringLiteral("Downloading %1 (%2, %3)...")
                        .arg(voice.key, InstalledVoices::sizeText(voice.model.size), voice.language));
    progress->setValue(0);
    setRunning(true);
    m_download->start(m_listAddress, voice);
}

void VoiceDownloadDialog::cancel_Click()
{
    m_fetch->cancel();
    m_download->cancel();
    progress->setValue(0);
    status->setText(QStringLiteral("Cancelled; nothing of it was kept."));
    setRunning(false);
}

void VoiceDownloadDialog::downloaded(const QString &modelPath)
{
    progress->setValue(ProgressSteps);
    status->setText(
        QStringLiteral("%1 was downloaded; it can now be chosen in the speech window's list of voices.")
            .arg(QFileInfo(modelPath).completeBaseName()));
    setRunning(false);
    Q_EMIT voiceDownloaded(modelPath);
}

void VoiceDownloadDialog::failed(const QString &reason)
{
    progress->setValue(0);
    status->clear();
    setRunning(false);
    m_services.messageBox.showMessage(this, reason);
}

void VoiceDownloadDialog::setRunning(bool running)
{
    cancel->setEnabled(running);
    getList->setEnabled(!running);
    address->setEnabled(!running);
    download->setEnabled(!running && !m_voices.isEmpty());
}
