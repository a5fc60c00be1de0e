#pragma once

#include "platform/filedialogs.h"
#include "platform/platformservices.h"

#include <QMainWindow>

#include <memory>
#include <optional>

class DocumentOpening;
class LinkLabel;
class OptionsMenu;
class QAction;
class QLabel;
class QLineEdit;
class QListWidget;
class QPlainTextEdit;
class QPushButton;
class ReadingHighlight;
class SpVoice;

// The speech window: the text to speak, the voices, reading aloud, saving speech to a sound
// file with its podcast enclosure fields, and the way to the feed window.
class FormWav final : public QMainWindow
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(FormWav)

public:
    explicit FormWav(const PlatformServices &services, QWidget *parent = nullptr);
    ~FormWav() override;

    void showCentered();

    // The window's controls, named as the rest of the program knows them.
    QPlainTextEdit *Text1 = nullptr;
    QLabel *Label4 = nullptr;
    QListWidget *List2 = nullptr;
    LinkLabel *Label2 = nullptr;
    QPushButton *Command1 = nullptr;
    QPushButton *Command2 = nullptr;
    QPushButton *Command3 = nullptr;
    QLineEdit *Text2 = nullptr;
    QLabel *Label10 = nullptr;
    QLineEdit *Text14 = nullptr;
    QLabel *Label1 = nullptr;
    QLineEdit *Text3 = nullptr;
    QLabel *Label3 = nullptr;
    QLineEdit *Text4 = nullptr;
    QListWidget *List1 = nullptr;
    QAction *opn = nullptr;
    QAction *ext = nullptr;
    QAction *soundFileSettings = nullptr;
    CommonDialog CommonDialog1;
    CommonDialog cd2;

    void Form_Load();
    void Command1_Click();
    void Command2_Click();
    void Command3_Click();
    void Label2_Click();
    void opn_Click();
    void List1_Click();
    void ext_Click();

    [[nodiscard]] SpVoice *windowVoice() const { return m_windowVoice.get(); }
    // The play time of the sound file saved last, while Text3 still shows that file's size.
    [[nodiscard]] std::optional<qint64> savedSoundDurationSeconds() const;
    // The files saved beside that sound file (transcripts, chapters), by their full paths.
    [[nodiscard]] QStringList savedCompanionFiles() const;
    [[nodiscard]] const ReadingHighlight &readingHighlight() const { return *m_readingHighlight; }
    [[nodiscard]] OptionsMenu &options() const { return *m_options; }

Q_SIGNALS:
    // "Create Rss": the speech window has hidden itself and the feed window should show.
    void feedWindowRequested();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void createControls();
    void createMenu();
    void setTabOrder();
    void nameFieldsForScreenReaders();
    void listVoices();
    void reloadVoices();
    void prepareChosenVoice();
    void applyVoiceSelection(SpVoice &voice) const;
    void showMessage(const QString &text);

    PlatformServices m_services;
    std::unique_ptr<SpVoice> m_windowVoice;
    struct SavedSound
    {
        QString size;
        qint64 seconds = 0;
        QStringList companionFiles;
    };
    std::optional<SavedSound> m_savedSound;
    DocumentOpening *m_documentOpening = nullptr; // a child of the window
    // Follows the window voice's reading, so it goes first when the window does.
    std::unique_ptr<ReadingHighlight> m_readingHighlight;
    OptionsMenu *m_options = nullptr; // owned by the window
};
