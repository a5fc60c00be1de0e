#pragma once

#include "platform/platformservices.h"
#include "voicelibrary/voicecollection.h"

#include <QDialog>
#include <QList>
#include <QUrl>

class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QTableWidget;
class VoiceCollectionFetch;
class VoiceDownload;

// "Download voices": the voices of a collection on the web, by default Piper's; the one picked is
// downloaded into the user's voices folder, with its progress and a way to cancel. Nothing goes
// to the network before the user asks for the list.
class VoiceDownloadDialog final : public QDialog
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(VoiceDownloadDialog)

public:
    enum Column
    {
        LanguageColumn,
        NameColumn,
        QualityColumn,
        SizeColumn,
        ColumnCount
    };

    VoiceDownloadDialog(const PlatformServices &services, QString helperPath, QWidget *parent = nullptr);
    ~VoiceDownloadDialog() override;

    QLineEdit *address = nullptr;
    QPushButton *getList = nullptr;
    QTableWidget *table = nullptr;
    QPushButton *download = nullptr;
    QPushButton *cancel = nullptr;
    QProgressBar *progress = nullptr;
    QLabel *status = nullptr;

    void getList_Click();
    void download_Click();
    void cancel_Click();

Q_SIGNALS:
    // modelPath: where the voice's model now lies.
    void voiceDownloaded(const QString &modelPath);

private:
    void listed(const QList<CollectionVoice> &voices);
    void downloaded(const QString &modelPath);
    void failed(const QString &reason);
    void setRunning(bool running);

    PlatformServices m_services;
    QUrl m_listAddress; // where the listed voices were read from
    QList<CollectionVoice> m_voices;
    VoiceCollectionFetch *m_fetch = nullptr; // a child
    VoiceDownload *m_download = nullptr;     // a child
};
