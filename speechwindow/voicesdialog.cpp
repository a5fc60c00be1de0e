#include "speechwindow/voicesdialog.h"

#include "platform/applicationtitle.h"
#include "platform/messagebox.h"
#include "speechwindow/voicedownloaddialog.h"
#include "speechwindow/voicetablecontrols.h"
#include "voicelibrary/voiceaddition.h"

#include <QDialogButtonBox>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

using VoiceTableControls::button;
using VoiceTableControls::cell;

namespace {

const QString VoiceFilter = QStringLiteral("Natural voice (*.onnx;*.onnx.json)|*.onnx;*.onnx.json");

} // namespace

VoicesDialog::VoicesDialog(const PlatformServices &services, QString helperPath, QWidget *parent)
    : QDialog(parent), m_services(services), m_helperPath(std::move(helperPath))
{
    setWindowTitle(QStringLiteral("Voices - ") + applicationTitle());
    table = VoiceTableControls::table(QStringLiteral("Installed voices"),
                                      {QStringLiteral("Voice"), QStringLiteral("Language"),
                                       QStringLiteral("Quality"), QStringLiteral("Size"),
                                       QStringLiteral("Folder")},
                                      this);
    auto *tableLabel = new QLabel(QStringLiteral("Installed &natural voices:"), this);
    tableLabel->setBuddy(table);
    status = new QLabel(this);
    status->setWordWrap(true);

    addFiles = button(QStringLiteral("&Add voice files..."), QStringLiteral("Add voice files..."), this);
    remove = button(QStringLiteral("&Remove"), QStringLiteral("Remove"), this);
    download = button(QStringLiteral("&Download..."), QStringLiteral("Download..."), this);
    connect(addFiles, &QPushButton::clicked, this, &VoicesDialog::addFiles_Click);
    connect(remove, &QPushButton::clicked, this, &VoicesDialog::remove_Click);
    connect(download, &QPushButton::clicked, this, &VoicesDialog::download_Click);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    buttons->button(QDialogButtonBox::Close)->setAccessibleName(QStringLiteral("Close"));
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto *row = new QHBoxLayout;
    for (QPushButton *pushButton : {addFiles, remove, download})
        row->addWidget(pushButton);
    row->addStretch();
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(tableLabel);
    layout->addWidget(table);
    layout->addWidget(status);
    layout->addLayout(row);
    layout->addWidget(buttons);
    resize(720, 360);
    listVoices();
}

VoicesDialog::~VoicesDialog() = default;

VoiceDownloadDialog *VoicesDialog::downloadDialog() const
{
    return m_downloadDialog;
}

void VoicesDialog::listVoices(const QString &currentModelPath)
{
    m_voices = InstalledVoices::details();
    table->setRowCount(0);
    for (const InstalledVoiceDetails &voice : std::as_const(m_voices)) {
        const int row = table->rowCount();
        table->insertRow(row);
        table->setItem(row, NameColumn, cell(voice.name));
        table->setItem(row, LanguageColumn,
                       cell(voice.problem.isEmpty() ? voice.language : QStringLiteral("Cannot be used")));
        table->item(row, LanguageColumn)->setToolTip(voice.problem);
        table->setItem(row, QualityColumn, cell(voice.quality));
        table->setItem(row, SizeColumn, cell(InstalledVoices::sizeText(voice.modelBytes)));
        table->setItem(row, FolderColumn, cell(voice.files.folder));
        if (voice.files.modelPath == currentModelPath)
            table->setCurrentCell(row, NameColumn);
    }
    if (table->currentRow() < 0 && table->rowCount() > 0)
        table->setCurrentCell(0, NameColumn);
    if (m_voices.isEmpty())
        status->setText(QStringLiteral("No natural voice is installed yet. Add the voice files you have "
                                       "downloaded (NAME.onnx with NAME.onnx.json), or download a voice."));
}

void VoicesDialog::addFiles_Click()
{
    m_fileDialog.Filter = VoiceFilter;
    if (m_addition != nullptr || !m_services.fileDialogs.ShowOpen(this, m_fileDialog))
        return;
    const QString picked = m_fileDialog.FileName;
    m_addition = new VoiceAddition(m_helperPath, NaturalVoiceFolders::userFolder(), this);
    connect(m_addition, &VoiceAddition::added, this, [this](const QString &modelPath) {
        setAdding(false);
        voiceAdded(modelPath);
    });
    connect(m_addition, &VoiceAddition::refused, this, [this, picked](const QString &reason) {
        setAdding(false);
        status->clear();
        showMessage(
            QStringLiteral("The voice %1 was not added. %2").arg(QFileInfo(picked).fileName(), reason));
    });
    setAdding(true);
    status->setText(QStringLiteral("Checking the voice %1...").arg(QFileInfo(picked).fileName()));
    m_addition->start(picked);
}

void VoicesDialog::setAdding(bool adding)
{
    addFiles->setEnabled(!adding);
    remove->setEnabled(!adding);
    download->setEnabled(!adding);
    if (!adding && m_addition != nullptr) {
        m_addition->deleteLater(); // this runs inside one of its signals
        m_addition = nullptr;
    }
}

void VoicesDialog::voiceAdded(const QString &modelPath)
{
    listVoices(modelPath);
    status->setText(
        QStringLiteral("%1 was added; it can now be chosen in the speech window's list of voices.")
            .arg(QFileInfo(modelPath).completeBaseName()));
    Q_EMIT voicesChanged();
}

void VoicesDialog::remove_Click()
{
    const int row = table->currentRow();
    if (row < 0 || row >= m_voices.size())
        return;
    const NaturalVoiceFolders::InstalledVoice voice = m_voices.at(row).files;
    if (const QString problem = InstalledVoices::removalProblem(voice); !problem.isEmpty()) {
        showMessage(problem);
        return;
    }
    const QString name = QFileInfo(voice.modelPath).completeBaseName();
    if (!m_services.messageBox.confirm(
            this,
            QStringLiteral("Remove the voice %1? Its files are deleted from %2.").arg(name, voice.folder)))
        return;
    const QString problem = InstalledVoices::remove(voice);
    listVoices();
    if (table->rowCount() > 0)
        table->setCurrentCell(std::min(row, table->rowCount() - 1), NameColumn);
    table->setFocus();
    if (!problem.isEmpty())
        showMessage(problem);
    else if (!m_voices.isEmpty())
        status->setText(QStringLiteral("%1 was removed.").arg(name));
    Q_EMIT voicesChanged();
}

void VoicesDialog::download_Click()
{
    if (m_downloadDialog) {
        m_downloadDialog->activateWindow();
        return;
    }
    m_downloadDialog = new VoiceDownloadDialog(m_services, m_helperPath, this);
    m_downloadDialog->setAttribute(Qt::WA_DeleteOnClose);
    connect(m_downloadDialog, &VoiceDownloadDialog::voiceDownloaded, this, &VoicesDialog::voiceAdded);
    m_downloadDialog->open();
}

void VoicesDialog::showMessage(const QString &text)
{
    m_services.messageBox.showMessage(this, text);
}
