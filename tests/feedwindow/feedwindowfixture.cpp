#include "tests/feedwindow/feedwindowfixture.h"

#include "feed/soundfilesaddress.h"
#include "feedwindow/publishingdetailsdialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QStandardPaths>

namespace {

// The field behind a value's name, on whichever window holds it.
struct Field
{
    QLineEdit *line = nullptr;
    QPlainTextEdit *text = nullptr;
};

Field fieldOf(FormRss &window, FormWav &speechWindow, const QString &name)
{
    const QMap<QString, Field> fields{
        {QStringLiteral("channel title"), {window.Text1, nullptr}},
        {QStringLiteral("channel description"), {nullptr, window.Text2}},
        {QStringLiteral("channel author"), {window.Text12, nullptr}},
        {QStringLiteral("channel link"), {window.Text3, nullptr}},
        {QStringLiteral("item title"), {window.Text5, nullptr}},
        {QStringLiteral("item description"), {nullptr, window.Text4}},
        {QStringLiteral("item link"), {window.Text6, nullptr}},
        {QStringLiteral("item date"), {window.Text10, nullptr}},
        {QStringLiteral("enclosure address"), {speechWindow.Text14, nullptr}},
        {QStringLiteral("enclosure size"), {speechWindow.Text3, nullptr}},
        {QStringLiteral("enclosure type"), {speechWindow.Text4, nullptr}},
    };
    Q_ASSERT(fields.contains(name));
    return fields.value(name);
}

} // namespace

QDateTime FeedWindowFixture::defaultNow()
{
    return {QDate(2026, 12, 6), QTime(3, 5, 9), Qt::UTC};
}

QString FeedWindowFixture::defaultDate()
{
    return QStringLiteral("Sun, 06 Dec 2026 03:05:09 GMT");
}

FeedWindowFixture::FeedWindowFixture(const QDateTime &now)
{
    // Remembered settings go to a folder of the tests' own, and start out unset.
    QStandardPaths::setTestModeEnabled(true);
    setSoundFilesAddress({});
    m_test.clock.now = now;
    m_speechWindow = std::make_unique<FormWav>(m_test.services());
    m_enclosureSource.setSpeechWindow(m_speechWindow.get());
    m_window = std::make_unique<FormRss>(m_test.services(), &m_enclosureSource);
}

void FeedWindowFixture::unloadSpeechWindow()
{
    m_enclosureSource.setSpeechWindow(nullptr);
    m_speechWindow.reset();
}

FeedWindowFixture::~FeedWindowFixture() = default;

QStringList FeedWindowFixture::valueNames()
{
    return {QStringLiteral("channel title"),     QStringLiteral("channel description"),
            QStringLiteral("channel author"),    QStringLiteral("channel link"),
            QStringLiteral("item title"),        QStringLiteral("item description"),
            QStringLiteral("item link"),         QStringLiteral("item date"),
            QStringLiteral("enclosure address"), QStringLiteral("enclosure size"),
            QStringLiteral("enclosure type")};
}

void FeedWindowFixture::setValue(const QString &name, const QString &value)
{
    const Field field = fieldOf(*m_window, *m_speechWindow, name);
    if (field.line)
        field.line->setText(value);
    else
        field.text->setPlainText(value);
}

QString FeedWindowFixture::value(const QString &name) const
{
    const Field field = fieldOf(*m_window, *m_speechWindow, name);
    return field.line ? field.line->text() : field.text->toPlainText();
}

QStringList FeedWindowFixture::snapshot() const
{
    QStringList values;
    for (const QString &name : valueNames())
        values.append(value(name));
    values.append(m_window->Text7.text());
    return values;
}

void FeedWindowFixture::fillChannel()
{
    setValue(QStringLiteral("channel title"), QStringLiteral("Parlora Weekly"));
    setValue(QStringLiteral("channel description"), QStringLiteral("Spoken articles."));
    setValue(QStringLiteral("channel author"), QStringLiteral("Ada Lovelace"));
    setValue(QStringLiteral("channel link"), QStringLiteral("https://example.org/"));
}

void FeedWindowFixture::fillItem(const QString &title)
{
    setValue(QStringLiteral("item title"), title);
    setValue(QStringLiteral("item description"), QStringLiteral("About ") + title);
    setValue(QStringLiteral("item link"), QStringLiteral("https://example.org/episodes/1"));
}

void FeedWindowFixture::fillEnclosure()
{
    setValue(QStringLiteral("enclosure address"), QStringLiteral("https://example.org/audio/1.wav"));
    setValue(QStringLiteral("enclosure size"), QStringLiteral("1,234,567"));
    setValue(QStringLiteral("enclosure type"), QStringLiteral("audio/wav"));
}

void FeedWindowFixture::fillAll()
{
    fillChannel();
    fillItem();
    fillEnclosure();
}

void FeedWindowFixture::fillDetails()
{
    m_window->details_Click();
    auto *dialog = m_window->findChild<PublishingDetailsDialog *>();
    Q_ASSERT(dialog);
    dialog->language->setText(QStringLiteral("en"));
    dialog->artworkUrl->setText(QStringLiteral("https://example.org/artwork.png"));
    dialog->category->setCurrentText(QStringLiteral("Society & Culture"));
    dialog->subcategory->setCurrentText(QStringLiteral("Documentary"));
    dialog->explicitContent->setChecked(false);
    dialog->ownerName->setText(QStringLiteral("Ada Lovelace"));
    dialog->ownerEmail->setText(QStringLiteral("ada@example.org"));
    dialog->feedUrl->setText(QStringLiteral("https://example.org/feed.xml"));
    dialog->accept();
    Q_ASSERT(m_window->publishingDetails());
}
