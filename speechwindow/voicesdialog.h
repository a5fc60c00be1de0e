#pragma once

#include "platform/filedialogs.h"
#include "platform/platformservices.h"
#include "voicelibrary/installedvoices.h"

#include <QDialog>
#include <QList>
#include <QPointer>

class QLabel;
class QPushButton;
class QTableWidget;
class VoiceAddition;
class VoiceDownloadDialog;

// "Voices": the natural voices installed, with their language, quality, size and folder; voice
// files the user has are added, voices are downloaded from a collection, and removed.
class VoicesDialog final : public QDialog
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(VoicesDialog)

public:
    enum Column
    {
        NameColumn,
        LanguageColumn,
        QualityColumn,
        SizeColumn,
        FolderColumn,
        ColumnCount
    };

    // helperPath: the speech helper, which checks a voice before it is taken in.
    VoicesDialog(const PlatformServices &services, QString helperPath, QWidget *parent = nullptr);
    ~VoicesDialog() override;

    QTableWidget *table = nullptr;
    QPushButton *addFiles = nullptr;
    QPushButton *remove = nullptr;
    QPushButton *download = nullptr;
    QLabel *status = nullptr;

    void addFiles_Click();
    void remove_Click();
    void download_Click();

    // While it is open, for driving it.
    [[nodiscard]] VoiceDownloadDialog *downloadDialog() const;

Q_SIGNALS:
    // A voice was added or removed.
    void voicesChanged();

private:
    void listVoices(const QString &currentModelPath = {});
    void voiceAdded(const QString &modelPath);
    void setAdding(bool adding);
    void showMessage(const QString &text);

    PlatformServices m_services;
    QString m_helperPath;
    CommonDialog m_fileDialog;
    QList<InstalledVoiceDetails> m_voices; // as the table shows them
    VoiceAddition *m_addition = nullptr;   // a child, while a voice is being added
    QPointer<VoiceDownloadDialog> m_downloadDialog;
};
