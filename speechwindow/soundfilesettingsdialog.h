#pragma once

#include "episode/soundfilesettings.h"
#include "platform/filedialogs.h"

#include <QDialog>

class QCheckBox;
class QComboBox;
class QLineEdit;
class QPushButton;

// "Sound file settings": how sound files are saved, remembered from one run to the next.
class SoundFileSettingsDialog final : public QDialog
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(SoundFileSettingsDialog)

public:
    SoundFileSettingsDialog(FileDialogs &fileDialogs, QWidget *parent);

    // Opens the dialog on the remembered settings, without waiting; OK remembers the new ones.
    static SoundFileSettingsDialog *showFor(QWidget *parent, FileDialogs &fileDialogs);

    void setSettings(const SoundFileSettings &settings);
    [[nodiscard]] SoundFileSettings settings() const;

    QComboBox *bitrate = nullptr;
    QComboBox *evenLoudness = nullptr;
    QCheckBox *transcripts = nullptr;
    QLineEdit *artist = nullptr;
    QLineEdit *album = nullptr;
    QLineEdit *coverImage = nullptr;
    QPushButton *chooseCoverImage = nullptr;

private:
    void chooseCover();

    FileDialogs &m_fileDialogs;
    CommonDialog m_coverDialog;
};
