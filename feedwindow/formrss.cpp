#include "feedwindow/formrss.h"

#include "feed/directoryformats.h"
#include "feed/feedfile.h"
#include "feed/feedreader.h"
#include "feed/feedsource.h"
#include "feed/publishedfeed.h"
#include "feed/rfc822date.h"
#include "feedwindow/enclosuresource.h"
#include "feedwindow/episodesdialog.h"
#include "feedwindow/publishingdetailsdialog.h"
#include "platform/applicationtitle.h"
#include "platform/clock.h"
#include "platform/messagebox.h"
#include "platform/twips.h"
#include "platform/windowlook.h"
#include "platform/windowplacement.h"

#include <QAction>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>

#include <algorithm>
#include <initializer_list>
#include <limits>
#include <tuple>

namespace {

constexpr int ClientWidthTwips = 7065;
constexpr int ClientHeightTwips = 7005;

const QColor SilverFace(192, 192, 192);

bool anyEmpty(std::initializer_list<QString> values)
{
    return std::any_of(values.begin(), values.end(), [](const QString &value) { return value.isEmpty(); });
}

const QString EnclosurePlaceholder = QStringLiteral("(Actual URL for wav file here)");

bool isEnterKey(int key)
{
    return key == Qt::Key_Return || key == Qt::Key_Enter;
}

} // namespace

FormRss::FormRss(const PlatformServices &services, const EnclosureSource *enclosureSource, QWidget *parent)
    : QMainWindow(parent), m_services(services),
      m_enclosureSource(enclosureSource)
{
    setUpFixedWindow(this);
    createControls();
    createMenu();
    setTabOrder();
    Text1->setFocus();
    Form_Load();
}

FormRss::~FormRss() = default;

void FormRss::createControls()
{
    auto *client = new QWidget(this);
    setCentralWidget(client);

    const auto place = [this](QWidget *control, int left, int top, int width, int height) {
        control->setGeometry(twipsToRect(*this, left, top, width, height));
    };
    const auto label = [&](const QString &caption, int left, int top, int width, int height) {
        auto *control = new QLabel(caption, client);
        place(control, left, top, width, height);
        return control;
    };
    const auto lineEdit = [&](int left, int top, int width, int height) {
        auto *control = new QLineEdit(client);
        place(control, left, top, width, height);
        control->setMaxLength(std::numeric_limits<int>::max()); // Qt's default cuts at 32,767
        return control;
    };
    const auto textEdit = [&](int left, int top, int width, int height) {
        auto *control = new QPlainTextEdit(client);
        place(control, left, top, width, height);
        control->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
        control->setTabChangesFocus(true);
        return control;
    };

    // Everything shares the client area as parent, so the positions are the window's own; the
    // frames come first to stay behind, and the labels before the fields because the longer
    // ones reach under them.
    Frame1 = new QGroupBox(QStringLiteral("Channel"), client);
    place(Frame1, 120, 240, 6735, 3015);
    Frame2 = new QGroupBox(QStringLiteral("Item"), client);
    place(Frame2, 120, 3360, 6735, 2895);

    channelTitleLabel = label(QStringLiteral("Title"), 360, 600, 1335, 255);
    channelDescriptionLabel = label(QStringLiteral("Description"), 360, 1200, 2295, 495);
    channelAuthorLabel = label(QStringLiteral("Author"), 360, 2160, 1095, 255);
    channelLinkLabel = label(QStringLiteral("Link"), 360, 2760, 1455, 255);
    itemTitleLabel = label(QStringLiteral("Title"), 360, 3720, 1335, 255);
    itemDescriptionLabel = label(QStringLiteral("Description"), 360, 4320, 2295, 495);
    itemLinkLabel = label(QStringLiteral("Link"), 360, 5160, 1455, 375);
    itemDateLabel = label(QStringLiteral("Date"), 360, 5760, 1455, 255);

    Text1 = lineEdit(1680, 600, 4935, 405);
    Text2 = textEdit(1680, 1200, 4935, 615);
    Text12 = lineEdit(1680, 2040, 4935, 405);
    Text3 = lineEdit(1680, 2640, 4935, 405);
    Text5 = lineEdit(1680, 3600, 4935, 405);
    Text4 = textEdit(1680, 4200, 4935, 615);
    Text6 = lineEdit(1680, 5040, 4935, 405);
    Text10 = lineEdit(1680, 5640, 4935, 405);
    for (QWidget *field :
         std::initializer_list<QWidget *>{Text1, Text2, Text12, Text3, Text5, Text4, Text6, Text10}) {
        field->setFont(fontOf(QStringLiteral("Trebuchet MS"), 9.75));
        setColors(field, QPalette::Base, Qt::white, QPalette::Text, Qt::black);
        field->installEventFilter(this);
    }

    // Screen readers name each field by its label; the frames tell the titles, descriptions
    // and links apart.
    const std::tuple<QLabel *, QWidget *, QString> named[] = {
        {channelTitleLabel, Text1, QStringLiteral("Channel title")},
        {channelDescriptionLabel, Text2, QStringLiteral("Channel description")},
        {channelAuthorLabel, Text12, QStringLiteral("Author")},
        {channelLinkLabel, Text3, QStringLiteral("Channel link")},
        {itemTitleLabel, Text5, QStringLiteral("Item title")},
        {itemDescriptionLabel, Text4, QStringLiteral("Item description")},
        {itemLinkLabel, Text6, QStringLiteral("Item link")},
        {itemDateLabel, Text10, QStringLiteral("Date")}};
    for (const auto &[label, field, name] : named) {
        label->setBuddy(field);
        field->setAccessibleName(name);
    }

    Command2 = new QPushButton(QStringLiteral("&Add item"), client);
    place(Command2, 3960, 6480, 1335, 375);
    Command1 = new QPushButton(QStringLiteral("&Save Rss"), client);
    place(Command1, 5520, 6480, 1335, 375);
    for (QPushButton *button : {Command2, Command1}) {
        setColors(button, QPalette::Button, SilverFace, QPalette::ButtonText, Qt::black);
        button->setAutoDefault(true); // Enter on a focused button presses that button
    }

    connect(Command2, &QPushButton::clicked, this, &FormRss::Command2_Click);
    connect(Command1, &QPushButton::clicked, this, &FormRss::Command1_Click);
}

void FormRss::createMenu()
{
    QMenu *file = menuBar()->addMenu(QStringLiteral("File"));
    opn = file->addAction(QStringLiteral("&Open feed..."));
    opn->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_O));
    connect(opn, &QAction::triggered, this, &FormRss::opn_Click);
    exit = file->addAction(QStringLiteral("Exit"));
    connect(exit, &QAction::triggered, this, &FormRss::exit_Click);

    QMenu *options = menuBar()->addMenu(QStringLiteral("&Options"));
    add = options->addAction(QStringLiteral("&Add item"));
    connect(add, &QAction::triggered, this, &FormRss::add_Click);
    srss = options->addAction(QStringLiteral("&Save RSS"));
    connect(srss, &QAction::triggered, this, &FormRss::srss_Click);
    details = options->addAction(QStringLiteral("Publishing &details..."));
    connect(details, &QAction::triggered, this, &FormRss::details_Click);
    episodes = options->addAction(QStringLiteral("&Episodes..."));
    connect(episodes, &QAction::triggered, this, &FormRss::episodes_Click);

    fixClientSize(this, ClientWidthTwips, ClientHeightTwips);
}

void FormRss::setTabOrder()
{
    const QList<QWidget *> order{Text1, Text2, Text12, Text3,    Text5,
                                 Text4, Text6, Text10, Command2, Command1};
    for (qsizetype i = 0; i + 1 < order.size(); ++i)
        QWidget::setTabOrder(order.at(i), order.at(i + 1));
}

void FormRss::showCentered()
{
    ::showCentered(this);
}

bool FormRss::eventFilter(QObject *watched, QEvent *event)
{
    // "&Add item" is the default button, and a QMainWindow has none of its own: Enter in any
    // field adds the item. In the descriptions Ctrl+Enter types the line break instead.
    if (event->type() == QEvent::KeyPress && isEnterKey(static_cast<QKeyEvent *>(event)->key())) {
        auto *description = qobject_cast<QPlainTextEdit *>(watched);
        if (description && (static_cast<QKeyEvent *>(event)->modifiers() & Qt::ControlModifier))
            description->insertPlainText(QStringLiteral("\n"));
        else
            Command2_Click();
        return true;
    }
    return QMainWindow::eventFilter(watched, event);
}

void FormRss::Form_Load()
{
    Text10->setText(rfc822Date(m_services.clock.currentDateTimeUtc()));
}

void FormRss::closeEvent(QCloseEvent *event)
{
    if (!mayDropUnsavedWork(QStringLiteral("Save the feed before closing?"), false)) {
        event->ignore();
        return;
    }
    Form_QueryUnload();
    event->accept();
}

void FormRss::Form_QueryUnload()
{
    Q_EMIT unloaded();
}

void FormRss::exit_Click()
{
    if (close())
        QCoreApplication::exit(0);
}

void FormRss::add_Click()
{
    Command2_Click();
}

void FormRss::srss_Click()
{
    Command1_Click();
}

void FormRss::Command2_Click()
{
    // Without an enclosure source there is no enclosure, and the empty address refuses the item.
    const Enclosure enclosure =
        m_enclosureSource ? m_enclosureSource->enclosure().value_or(Enclosure{}) : Enclosure{};
    if (anyEmpty({Text5->text(), Text6->text(), Text4->toPlainText(), enclosure.url, Text3->text(),
                  Text10->text(), Text1->text(), Text2->toPlainText()})) {
        showMessage(QStringLiteral("Please do not leave Item text empty"));
        return;
    }
    if (enclosure.url == EnclosurePlaceholder) {
        showMessage(
            QStringLiteral("Replace \"%1\" in Podcast file/Url with the sound file's public address first.")
                .arg(EnclosurePlaceholder));
        return;
    }
    if (m_details)
        warnAboutFormatOnce(enclosure.type);
    // The enclosure address is the item's guid: it names the episode for good once published.
    FeedItem item{Text5->text(), Text4->toPlainText(), Text6->text(), Text10->text(), Text12->text(),
                  enclosure.url, enclosure.length, enclosure.type, enclosure.url,
                  enclosure.durationSeconds ? QString::number(*enclosure.durationSeconds) : QString()};
    item.transcriptVttUrl = enclosure.transcriptVttUrl;
    item.transcriptSrtUrl = enclosure.transcriptSrtUrl;
    item.chaptersUrl = enclosure.chaptersUrl;
    Text7.append(item);
    ++m_itemChanges;
    Text5->clear();
    Text4->clear();
    Text6->clear();
}

void FormRss::Command1_Click()
{
    (void)saveFeed();
}

bool FormRss::saveFeed()
{
    if (anyEmpty({Text1->text(), Text2->toPlainText(), Text3->text(), Text12->text()})) {
        showMessage(QStringLiteral("Please enter the values in the Channel tags first"));
        return false;
    }
    // A cancelled dialog ends the save; the name it still holds is not a new choice.
    if (!m_services.fileDialogs.ShowSave(this, dc))
        return false;
    const FeedBytes bytes = feedPartsToSave(channelFields(), m_details, Text7);
    if (const std::optional<QString> failure = writeFeedFile(dc.FileName, bytes)) {
        showMessage(*failure);
        return false;
    }
    markSaved();
    return true;
}

ChannelFields FormRss::channelFields() const
{
    return {Text1->text(), Text12->text(), Text2->toPlainText(), Text3->text()};
}

bool FormRss::hasUnsavedChanges() const
{
    return m_itemChanges != m_savedItemChanges || channelFields() != m_savedChannel ||
           m_details != m_savedDetails;
}

bool FormRss::hasTypedItem() const
{
    return !Text5->text().isEmpty() || !Text4->toPlainText().isEmpty() || !Text6->text().isEmpty();
}

void FormRss::markSaved()
{
    m_savedChannel = channelFields();
    m_savedDetails = m_details;
    m_savedItemChanges = m_itemChanges;
}

bool FormRss::mayDropUnsavedWork(const QString &question, bool typedItemCounts)
{
    if (!hasUnsavedChanges() && !(typedItemCounts && hasTypedItem()))
        return true;
    switch (m_services.messageBox.askToSave(this, question)) {
    case SaveAnswer::Save:
        return saveFeed();
    case SaveAnswer::Discard:
        return true;
    case SaveAnswer::Cancel:
        break;
    }
    return false;
}

void FormRss::opn_Click()
{
    // Asked first: the answer decides whether there is any point in choosing a file.
    if (!mayDropUnsavedWork(QStringLiteral("Save the feed before opening another?"), true))
        return;
    openDialog.Filter = QStringLiteral("Feed file (*.xml;*.rss)|*.xml;*.rss|All files (*)|*");
    if (!m_services.fileDialogs.ShowOpen(this, openDialog))
        return;
    const QString path = openDialog.FileName;
    FeedReadResult read = readFeedFile(path);
    if (!read.feed) {
        showMessage(read.problem);
        return;
    }
    showOpenedFeed(std::move(read.feed), path);
}

void FormRss::showOpenedFeed(std::shared_ptr<const FeedSource> feed, const QString &path)
{
    Text1->setText(feed->channel.title);
    Text2->setPlainText(feed->channel.description);
    Text12->setText(feed->channel.author);
    Text3->setText(feed->channel.link);
    Text5->clear();
    Text4->clear();
    Text6->clear();
    Form_Load();
    m_details = feed->details;
    Text7.open(std::move(feed));
    ++m_itemChanges;
    m_warnedAboutFormat = false;
    dc.FileName = path;
    markSaved();
    showMessage(openedFeedReport(path, Text7.size()));
}

void FormRss::details_Click()
{
    PublishingDetails shown = m_details.value_or(PublishingDetails{});
    if (!m_details)
        shown.language = languageTagOf(QLocale::system());
    auto *dialog = new PublishingDetailsDialog(m_services.messageBox, shown, this);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    connect(dialog, &QDialog::accepted, this, [this, dialog] { m_details = dialog->details(); });
    dialog->open();
}

void FormRss::episodes_Click()
{
    auto *dialog = new EpisodesDialog(Text7, this);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    connect(dialog, &EpisodesDialog::episodesChanged, this, [this] { ++m_itemChanges; });
    dialog->open();
}

void FormRss::warnAboutFormatOnce(const QString &type)
{
    const QString warning = refusedFormatWarning(type);
    if (m_warnedAboutFormat || warning.isEmpty())
        return;
    m_warnedAboutFormat = true;
    showMessage(warning);
}

void FormRss::showMessage(const QString &text)
{
    m_services.messageBox.showMessage(this, text);
}
