#include "speechwindow/formwav.h"

#include "engine/client/speecherror.h"
#include "engine/rendering/soundfileformat.h"
#include "engine/spvoice.h"
#include "episode/episodesaver.h"
#include "feed/soundfilesaddress.h"
#include "platform/applicationtitle.h"
#include "platform/messagebox.h"
#include "platform/progressdialogs.h"
#include "platform/twips.h"
#include "platform/urlopener.h"
#include "platform/windowlook.h"
#include "platform/windowplacement.h"
#include "speechwindow/documentopening.h"
#include "speechwindow/linklabel.h"
#include "speechwindow/optionsmenu.h"
#include "speechwindow/parlorainfo.h"
#include "speechwindow/readinghighlight.h"
#include "speechwindow/soundfilesettingsdialog.h"

#include <QAction>
#include <QApplication>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QSignalBlocker>
#include <QTextDocument>
#include <QUrl>

#include <limits>
#include <utility>

namespace {

constexpr int ClientWidthTwips = 5640;
constexpr int ClientHeightTwips = 6105;

const QColor LightBlueFace(192, 192, 255);
const QColor LinkBlue(0, 0, 255);
const QColor Navy(0, 0, 128);

// Fonts that stand in for the ones the layout was drawn with run wider; step the size down
// rather than cut the caption short.
void shrinkFontToFit(QLabel *label)
{
    QFont font = label->font();
    while (font.pointSizeF() > 6.0 && QFontMetrics(font).horizontalAdvance(label->text()) > label->width()) {
        font.setPointSizeF(font.pointSizeF() - 0.25);
    }
    label->setFont(font);
}

// The save dialog's entries, in order, and the format each one stands for.
const QString SoundFileFilter = QStringLiteral("Wav file (*.wav)|*.wav|MP3 file (*.mp3)|*.mp3|"
                                               "Ogg Vorbis file (*.ogg)|*.ogg|FLAC file (*.flac)|*.flac");
constexpr SoundFileFormat SoundFileFilterFormats[] = {SoundFileFormat::Wav, SoundFileFormat::Mp3,
                                                      SoundFileFormat::OggVorbis, SoundFileFormat::Flac};

SoundFileFormat formatOfFilterEntry(int index)
{
    return index > 0 && index < int(std::size(SoundFileFilterFormats)) ? SoundFileFilterFormats[index]
                                                                       : SoundFileFormat::Wav;
}

QString noVoiceMessage()
{
    return QStringLiteral("No speech voice is installed, so nothing can be read aloud. "
                          "Install the espeak-ng-data package and start Parlora again.");
}

} // namespace

FormWav::FormWav(const PlatformServices &services, QWidget *parent)
    : QMainWindow(parent), m_services(services)
{
    setUpFixedWindow(this);
    createControls();
    createMenu();
    setTabOrder();
    nameFieldsForScreenReaders();
    List1->setFocus();
    Form_Load();
}

FormWav::~FormWav() = default;

void FormWav::createControls()
{
    auto *client = new QWidget(this);
    setCentralWidget(client);

    const auto place = [this](QWidget *control, int left, int top, int width, int height) {
        control->setGeometry(twipsToRect(*this, left, top, width, height));
    };

    Text1 = new QPlainTextEdit(client);
    place(Text1, 120, 120, 5415, 2685);
    Text1->setFont(fontOf(QStringLiteral("Verdana"), 9.75));
    Text1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Text1->setTabChangesFocus(true);
    setColors(Text1, QPalette::Base, Qt::white, QPalette::Text, Qt::black);
    m_readingHighlight = std::make_unique<ReadingHighlight>(*Text1);
    m_documentOpening = new DocumentOpening(*this, *Text1, m_services);

    Label4 = new QLabel(QStringLiteral("Voices :"), client);
    place(Label4, 240, 2880, 975, 255);

    List2 = new QListWidget(client);
    place(List2, 1440, 2880, 1695, 255);
    List2->setSelectionMode(QAbstractItemView::SingleSelection);
    // One entry high: room for the entry, not for a horizontal scroll bar.
    List2->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    List2->setFrameShape(QFrame::NoFrame);

    Label2 = new LinkLabel(QStringLiteral("Save the created sound file"), client);
    place(Label2, 3240, 2880, 2175, 255);
    Label2->setFont(fontOf(QStringLiteral("MS Sans Serif"), 8.25, true));
    setColors(Label2, QPalette::Window, palette().color(QPalette::Window), QPalette::WindowText, LinkBlue);
    Label2->setCursor(Qt::ArrowCursor);
    shrinkFontToFit(Label2);

    Command1 = new QPushButton(QStringLiteral("Pause"), client);
    place(Command1, 240, 3240, 1695, 375);
    Command2 = new QPushButton(QStringLiteral("&Read text"), client);
    place(Command2, 2160, 3240, 1575, 375);
    Command3 = new QPushButton(QStringLiteral("Create Rss"), client);
    place(Command3, 3960, 3240, 1455, 375);
    for (QPushButton *button : {Command1, Command2, Command3}) {
        setColors(button, QPalette::Button, LightBlueFace, QPalette::ButtonText, Qt::black);
        button->setAutoDefault(true); // Enter on a focused button presses it, as Space does
    }

    Text2 = new QLineEdit(client);
    place(Text2, 5160, 3000, 255, 375);
    Text2->hide();

    const QFont arial = fontOf(QStringLiteral("Arial"), 8.25);
    Label10 = new QLabel(QStringLiteral("Podcast file/Url"), client);
    place(Label10, 240, 3800, 1215, 255);
    Text14 = new QLineEdit(client);
    place(Text14, 1800, 3720, 3615, 300);
    Label1 = new QLabel(QStringLiteral("Size"), client);
    place(Label1, 240, 4290, 1335, 375);
    Text3 = new QLineEdit(client);
    place(Text3, 1800, 4200, 3615, 300);
    Label3 = new QLabel(QStringLiteral("Filetype"), client);
    place(Label3, 240, 4725, 1455, 255);
    Text4 = new QLineEdit(client);
    place(Text4, 1800, 4680, 3615, 285);
    for (QLineEdit *field : {Text14, Text3, Text4}) {
        field->setFont(arial);
        field->setMaxLength(std::numeric_limits<int>::max()); // Qt's default cuts at 32,767
    }
    for (QLineEdit *field : {Text14, Text3})
        setColors(field, QPalette::Base, Qt::white, QPalette::Text, Qt::black);

    List1 = new QListWidget(client);
    place(List1, 120, 5160, 5415, 840);
    List1->setSelectionMode(QAbstractItemView::SingleSelection);
    setColors(List1, QPalette::Base, Navy, QPalette::Text, Qt::white);
    List1->installEventFilter(this);

    connect(Command1, &QPushButton::clicked, this, &FormWav::Command1_Click);
    connect(Command2, &QPushButton::clicked, this, &FormWav::Command2_Click);
    connect(Command3, &QPushButton::clicked, this, &FormWav::Command3_Click);
    connect(Label2, &LinkLabel::clicked, this, &FormWav::Label2_Click);
    connect(List2, &QListWidget::currentRowChanged, this, &FormWav::prepareChosenVoice);
    // A mouse click reports once, on release; a selection moved by the keyboard reports as it
    // moves. The press of a click also moves the selection, and is left to the release.
    connect(List1, &QListWidget::itemClicked, this, &FormWav::List1_Click);
    connect(List1, &QListWidget::currentRowChanged, this, [this] {
        if (QGuiApplication::mouseButtons() == Qt::NoButton)
            List1_Click();
    });
}

void FormWav::createMenu()
{
    QMenu *file = menuBar()->addMenu(QStringLiteral("File"));
    opn = file->addAction(QStringLiteral("&Open"));
    opn->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_O));
    // Ctrl+Q, the desktop's quit key: Ctrl+X stays "cut" in the text box instead of ending
    // the program and losing the typed text.
    ext = file->addAction(QStringLiteral("E&xit"));
    ext->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));
    connect(ext, &QAction::triggered, this, &FormWav::ext_Click);
    connect(opn, &QAction::triggered, this, &FormWav::opn_Click);
    m_options = new OptionsMenu(*this, m_services, [this] { return m_windowVoice.get(); });
    soundFileSettings = m_options->menu()->addAction(QStringLiteral("So&und file settings..."));
    connect(soundFileSettings, &QAction::triggered, this,
            [this] { SoundFileSettingsDialog::showFor(this, m_services.fileDialogs); });
    connect(m_options, &OptionsMenu::voicesChanged, this, &FormWav::reloadVoices);

    fixClientSize(this, ClientWidthTwips, ClientHeightTwips);
}

void FormWav::setTabOrder()
{
    const QList<QWidget *> order{List1, Text1, Command1, Command2, Text14,
                                 Text3, Text4, Command3, List2,    Label2};
    for (qsizetype i = 0; i + 1 < order.size(); ++i)
        QWidget::setTabOrder(order.at(i), order.at(i + 1));
}

void FormWav::nameFieldsForScreenReaders()
{
    for (const auto &[label, field] :
         {std::pair<QLabel *, QWidget *>{Label4, List2}, {Label10, Text14}, {Label1, Text3}, {Label3, Text4}})
        label->setBuddy(field);
    Text1->setAccessibleName(QStringLiteral("Text to read"));
    List2->setAccessibleName(QStringLiteral("Voices"));
    Text14->setAccessibleName(QStringLiteral("Podcast file/Url"));
    Text3->setAccessibleName(QStringLiteral("Size"));
    Text4->setAccessibleName(QStringLiteral("Filetype"));
    List1->setAccessibleName(QStringLiteral("Information"));
}

void FormWav::showCentered()
{
    ::showCentered(this);
}

void FormWav::Form_Load()
{
    try {
        m_windowVoice = m_services.speechEngine.createVoice();
    } catch (const SpeechError &) {
        // No engine: the list stays empty and reading explains why.
    }
    listVoices();

    List1->addItem(QStringLiteral("Software : ") + applicationTitle());
    List1->addItem(QStringLiteral("Website : ") + ParloraInfo::websiteAddress());
    List1->addItem(QStringLiteral("Company : ") + ParloraInfo::makerNameAndPlace());
    List1->addItem(QStringLiteral("Support : ") + ParloraInfo::supportAddress());
}

void FormWav::listVoices()
{
    const QString chosen = List2->currentItem() != nullptr ? List2->currentItem()->text() : QString();
    {
        const QSignalBlocker quiet(List2); // the voice is prepared once, for the row chosen below
        List2->clear();
        try {
            if (m_windowVoice)
                for (const SpObjectToken &token : m_windowVoice->GetVoices(QString(), QString()))
                    List2->addItem(token.GetDescription());
        } catch (const SpeechError &) {
            // No engine: the list stays empty and reading explains why.
        }
    }
    const QList<QListWidgetItem *> same = List2->findItems(chosen, Qt::MatchExactly);
    if (!same.isEmpty())
        List2->setCurrentItem(same.first());
    else if (List2->count() > 0)
        List2->setCurrentRow(0);
}

void FormWav::reloadVoices()
{
    m_services.speechEngine.reloadVoices([window = QPointer<FormWav>(this)] {
        if (window)
            window->listVoices();
    });
}

void FormWav::prepareChosenVoice()
{
    // So that Read text finds the engine ready for this voice.
    if (List2->currentItem() == nullptr || !m_windowVoice)
        return;
    try {
        const SpObjectTokens found =
            m_windowVoice->GetVoices(QStringLiteral("Name=") + List2->currentItem()->text(), QString());
        if (found.Count() > 0) {
            m_options->setChosenVoice(found.Item(0));
            m_services.speechEngine.prepareVoice(found.Item(0));
        }
    } catch (const SpeechError &) {
        // Reading will report it.
    }
}

void FormWav::applyVoiceSelection(SpVoice &voice) const
{
    const QString required = QStringLiteral("Name=") + List2->currentItem()->text();
    voice.setVoice(voice.GetVoices(required, QString()).Item(0));
}

void FormWav::Command2_Click()
{
    const QString text = Text1->toPlainText();
    if (text.isEmpty()) {
        showMessage(QStringLiteral("Please open a file or type something in textbox"));
        return;
    }
    if (List2->currentItem() == nullptr) {
        showMessage(noVoiceMessage());
        return;
    }
    try {
        m_readingHighlight->detach();
        // Replacing the window voice releases the previous one, which stops its reading.
        m_windowVoice = m_services.speechEngine.createVoice();
        applyVoiceSelection(*m_windowVoice);
        m_windowVoice->setFinishedCallback([this](const SpeechOutcome &outcome) {
            const QString message =
                outcome.failure.isEmpty() ? skippedPassagesMessage(outcome.skippedPassages) : outcome.failure;
            if (!message.isEmpty())
                showMessage(message);
        });
        const SpokenText spoken = m_options->prepare(*m_windowVoice, text);
        m_windowVoice->Speak(spoken.text(), SVSFlagsAsync);
        m_readingHighlight->follow(m_windowVoice->readingTimeline(), spoken);
    } catch (const SpeechError &error) {
        m_readingHighlight->stop();
        showMessage(error.description());
    }
}

void FormWav::Command1_Click()
{
    try {
        const int runningState = m_windowVoice ? m_windowVoice->Status().RunningState() : int(SRSEDone);
        if (runningState == SRSEDone) {
            showMessage(QStringLiteral("Not Playing"));
            Command1->setText(QStringLiteral("Pause"));
            return;
        }
        if (Command1->text() == QStringLiteral("Pause")) {
            Command1->setText(QStringLiteral("Resume"));
            m_windowVoice->Pause();
        } else {
            Command1->setText(QStringLiteral("Pause"));
            m_windowVoice->Resume();
        }
    } catch (const SpeechError &error) {
        showMessage(error.description());
    }
}

void FormWav::Label2_Click()
{
    try {
        const std::unique_ptr<SpVoice> savingVoice = m_services.speechEngine.createVoice();
        if (List2->currentItem() == nullptr)
            throw SpeechError(noVoiceMessage());
        applyVoiceSelection(*savingVoice); // before the dialog: a voice that is gone is reported first

        cd2.Filter = SoundFileFilter;
        if (!m_services.fileDialogs.ShowSave(this, cd2))
            return; // cancelled: nothing rendered, nothing touched
        const QString fileName = cd2.FileName;
        const SoundFileFormat format = soundFileFormatFor(fileName, formatOfFilterEntry(cd2.FilterIndex));

        SavedEpisode episode;
        {
            const std::unique_ptr<Progress> progress =
                m_services.progressDialogs.start(this, QStringLiteral("Rendering speech..."));
            const EpisodeOutline outline = episodeOutlineOf(*Text1->document());
            episode = saveEpisode(*savingVoice, outline, m_options->prepare(*savingVoice, outline.spokenText),
                                  fileName, format, SoundFileSettings::load(), [&progress](double share) {
                                      progress->setShare(share);
                                      return !progress->wasCanceled();
                                  });
        }
        const RenderedSound &rendered = episode.sound;

        if (!rendered.skippedPassages.isEmpty())
            showMessage(skippedPassagesMessage(rendered.skippedPassages));
        showMessage(QStringLiteral("File saved to ") + fileName + companionFilesNote(episode.companionFiles));
        const QFileInfo saved(fileName);
        if (!saved.exists())
            throw SpeechError(QStringLiteral("The saved file \"%1\" can no longer be found.").arg(fileName));
        const QString published = publishedSoundFileAddress(soundFilesAddress(), fileName);
        Text14->setText(published.isEmpty() ? QStringLiteral("(Actual URL for wav file here)") : published);
        // Plain digits: the field goes verbatim into the feed's enclosure length, which
        // readers parse as an integer.
        Text3->setText(QString::number(saved.size()));
        Text4->setText(mediaTypeOf(format));
        m_savedSound = {Text3->text(), qRound64(rendered.seconds()), episode.companionFiles};
    } catch (const SpeechCancelled &) {
        // The user stopped it; the stream was abandoned and any earlier file is as it was.
    } catch (const SpeechError &error) {
        showMessage(error.description());
    }
}

std::optional<qint64> FormWav::savedSoundDurationSeconds() const
{
    if (!m_savedSound || m_savedSound->size != Text3->text())
        return std::nullopt;
    return m_savedSound->seconds;
}

QStringList FormWav::savedCompanionFiles() const
{
    return savedSoundDurationSeconds() ? m_savedSound->companionFiles : QStringList();
}

void FormWav::opn_Click()
{
    CommonDialog1.Filter = DocumentOpening::openFilter();
    if (!m_services.fileDialogs.ShowOpen(this, CommonDialog1))
        return; // cancelled: reloading the previous file would append it twice
    Text2->setText(CommonDialog1.FileName);
    m_documentOpening->append(Text2->text());
}

void FormWav::List1_Click()
{
    // The selected line, not merely the current one: focus alone makes a line current.
    const QListWidgetItem *current = List1->currentItem();
    const int position = current != nullptr && current->isSelected() ? List1->currentRow() : -1;
    if (position == 0 || position == 1 || position == 2)
        m_services.urlOpener.openUrl(QUrl(ParloraInfo::websiteAddress()));
    if (position == 3)
        m_services.urlOpener.openUrl(QUrl(ParloraInfo::supportAddress()));
}

void FormWav::Command3_Click()
{
    hide();
    Q_EMIT feedWindowRequested();
}

void FormWav::ext_Click()
{
    close();
    QCoreApplication::exit(0);
}

bool FormWav::eventFilter(QObject *watched, QEvent *event)
{
    // Taking the focus makes the first line current without selecting it, so Up would have
    // nowhere to move: pressed first, it selects that line, as Down selects the next.
    if (watched == List1 && event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent *>(event)->key() == Qt::Key_Up && List1->currentItem() != nullptr &&
        !List1->currentItem()->isSelected()) {
        List1->currentItem()->setSelected(true);
        List1_Click();
        return true;
    }
    return QMainWindow::eventFilter(watched, event);
}

void FormWav::showMessage(const QString &text)
{
    m_services.messageBox.showMessage(this, text);
}
