#include "feed/feeddocument.h"
#include "tests/feedwindow/feedwindowfixture.h"
#include "tests/support/scopedtimezone.h"
#include "tests/support/twipsrect.h"

#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

QMap<QString, QWidget *> controlsOf(FormRss &window)
{
    return {{QStringLiteral("Frame1"), window.Frame1},
            {QStringLiteral("Frame2"), window.Frame2},
            {QStringLiteral("channel title label"), window.channelTitleLabel},
            {QStringLiteral("channel description label"), window.channelDescriptionLabel},
            {QStringLiteral("channel author label"), window.channelAuthorLabel},
            {QStringLiteral("channel link label"), window.channelLinkLabel},
            {QStringLiteral("item title label"), window.itemTitleLabel},
            {QStringLiteral("item description label"), window.itemDescriptionLabel},
            {QStringLiteral("item link label"), window.itemLinkLabel},
            {QStringLiteral("item date label"), window.itemDateLabel},
            {QStringLiteral("Text1"), window.Text1},
            {QStringLiteral("Text2"), window.Text2},
            {QStringLiteral("Text12"), window.Text12},
            {QStringLiteral("Text3"), window.Text3},
            {QStringLiteral("Text5"), window.Text5},
            {QStringLiteral("Text4"), window.Text4},
            {QStringLiteral("Text6"), window.Text6},
            {QStringLiteral("Text10"), window.Text10},
            {QStringLiteral("Command2"), window.Command2},
            {QStringLiteral("Command1"), window.Command1}};
}

QList<QWidget *> fieldsOf(FormRss &window)
{
    return {window.Text1, window.Text2, window.Text12, window.Text3,
            window.Text5, window.Text4, window.Text6,  window.Text10};
}

} // namespace

// The feed window as it opens: layout, looks, menus, focus and the default item date.
class TestFormRss : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<FeedWindowFixture> m_feed;

    FormRss &openWindow(const QDateTime &now = FeedWindowFixture::defaultNow())
    {
        m_feed = std::make_unique<FeedWindowFixture>(now);
        return m_feed->window();
    }

private Q_SLOTS:
    void screenReadersHearEachFieldsLabelWithItsFrame()
    {
        QStringList names;
        for (QWidget *field : fieldsOf(openWindow()))
            names << QAccessible::queryAccessibleInterface(field)->text(QAccessible::Name);
        QCOMPARE(names,
                 (QStringList{u"Channel title"_s, u"Channel description"_s, u"Author"_s, u"Channel link"_s,
                              u"Item title"_s, u"Item description"_s, u"Item link"_s, u"Date"_s}));
    }
    void cleanup()
    {
        m_feed.reset();
        QLocale::setDefault(QLocale::system());
    }

    void controlsStandWhereTheLayoutPutsThem_data()
    {
        QTest::addColumn<QString>("control");
        QTest::addColumn<QRect>("geometry");
        QTest::newRow("Frame1") << "Frame1" << twipsRect(120, 240, 6735, 3015);
        QTest::newRow("Frame2") << "Frame2" << twipsRect(120, 3360, 6735, 2895);
        QTest::newRow("channel title label") << "channel title label" << twipsRect(360, 600, 1335, 255);
        QTest::newRow("channel description label")
            << "channel description label" << twipsRect(360, 1200, 2295, 495);
        QTest::newRow("channel author label") << "channel author label" << twipsRect(360, 2160, 1095, 255);
        QTest::newRow("channel link label") << "channel link label" << twipsRect(360, 2760, 1455, 255);
        QTest::newRow("item title label") << "item title label" << twipsRect(360, 3720, 1335, 255);
        QTest::newRow("item description label")
            << "item description label" << twipsRect(360, 4320, 2295, 495);
        QTest::newRow("item link label") << "item link label" << twipsRect(360, 5160, 1455, 375);
        QTest::newRow("item date label") << "item date label" << twipsRect(360, 5760, 1455, 255);
        QTest::newRow("Text1") << "Text1" << twipsRect(1680, 600, 4935, 405);
        QTest::newRow("Text2") << "Text2" << twipsRect(1680, 1200, 4935, 615);
        QTest::newRow("Text12") << "Text12" << twipsRect(1680, 2040, 4935, 405);
        QTest::newRow("Text3") << "Text3" << twipsRect(1680, 2640, 4935, 405);
        QTest::newRow("Text5") << "Text5" << twipsRect(1680, 3600, 4935, 405);
        QTest::newRow("Text4") << "Text4" << twipsRect(1680, 4200, 4935, 615);
        QTest::newRow("Text6") << "Text6" << twipsRect(1680, 5040, 4935, 405);
        QTest::newRow("Text10") << "Text10" << twipsRect(1680, 5640, 4935, 405);
        QTest::newRow("Command2") << "Command2" << twipsRect(3960, 6480, 1335, 375);
        QTest::newRow("Command1") << "Command1" << twipsRect(5520, 6480, 1335, 375);
    }
    void controlsStandWhereTheLayoutPutsThem()
    {
        QFETCH(QString, control);
        QFETCH(QRect, geometry);
        FormRss &window = openWindow();
        QWidget *widget = controlsOf(window).value(control);
        // Positions count from the client area's corner, whatever frame a control sits in.
        QCOMPARE(QRect(widget->mapTo(window.centralWidget(), QPoint(0, 0)), widget->size()), geometry);
        QVERIFY(widget->isVisibleTo(&window));
    }

    void noLabelOrFrameCoversAField()
    {
        FormRss &window = openWindow();
        for (QWidget *field : fieldsOf(window)) {
            // The descriptions' labels reach under the left edge of their fields.
            QWidget *hit = window.centralWidget()->childAt(field->geometry().topLeft() + QPoint(3, 3));
            QVERIFY(hit == field || field->isAncestorOf(hit));
        }
    }

    void windowIsFixedCaptionedCenteredAndHasNoMaximizeButton()
    {
        FormRss &window = openWindow();
        QCOMPARE(window.windowTitle(), QStringLiteral("Parlora"));
        QCOMPARE(window.centralWidget()->size(), QSize(7065 / 15, 7005 / 15));
        QCOMPARE(window.minimumSize(), window.maximumSize());
        QVERIFY(!(window.windowFlags() & Qt::WindowMaximizeButtonHint));
        QVERIFY(window.windowFlags() & Qt::WindowMinimizeButtonHint);
        QVERIFY(window.windowFlags() & Qt::WindowCloseButtonHint);
        QVERIFY(!window.windowIcon().pixmap(16, 16).isNull());
        window.showCentered();
        // The frame's width is known only once the window is shown, after it was placed.
        const QPoint offCenter =
            window.frameGeometry().center() - window.screen()->availableGeometry().center();
        QVERIFY2(offCenter.manhattanLength() <= 6,
                 qPrintable(u"%1, %2"_s.arg(offCenter.x()).arg(offCenter.y())));
    }

    void captions()
    {
        FormRss &window = openWindow();
        QCOMPARE(window.Frame1->title(), QStringLiteral("Channel"));
        QCOMPARE(window.Frame2->title(), QStringLiteral("Item"));
        const QStringList labels{window.channelTitleLabel->text(),  window.channelDescriptionLabel->text(),
                                 window.channelAuthorLabel->text(), window.channelLinkLabel->text(),
                                 window.itemTitleLabel->text(),     window.itemDescriptionLabel->text(),
                                 window.itemLinkLabel->text(),      window.itemDateLabel->text()};
        QCOMPARE(labels, (QStringList{u"Title"_s, u"Description"_s, u"Author"_s, u"Link"_s, u"Title"_s,
                                      u"Description"_s, u"Link"_s, u"Date"_s}));
        QCOMPARE(window.Command2->text(), QStringLiteral("&Add item"));
        QCOMPARE(window.Command1->text(), QStringLiteral("&Save Rss"));
    }

    void fieldsUseTrebuchetBlackOnWhite()
    {
        FormRss &window = openWindow();
        for (QWidget *field : fieldsOf(window)) {
            QCOMPARE(field->font().family(), QStringLiteral("Trebuchet MS"));
            QCOMPARE(field->font().pointSizeF(), 9.75);
            QCOMPARE(field->palette().color(QPalette::Base), QColor(Qt::white));
            QCOMPARE(field->palette().color(QPalette::Text), QColor(Qt::black));
            QVERIFY(field->isEnabled());
        }
    }

    void labelsFramesAndButtonsUseTheWindowFont()
    {
        FormRss &window = openWindow();
        QCOMPARE(window.font().pointSizeF(), 8.25);
        for (QWidget *control : controlsOf(window)) {
            if (!fieldsOf(window).contains(control))
                QCOMPARE(control->font().pointSizeF(), 8.25);
        }
    }

    void buttonsHaveASilverFace()
    {
        FormRss &window = openWindow();
        for (QPushButton *button : {window.Command2, window.Command1})
            QCOMPARE(button->palette().color(QPalette::Button), QColor(192, 192, 192));
    }

    void descriptionsAreMultiLineWithAVerticalScrollBar()
    {
        FormRss &window = openWindow();
        for (QPlainTextEdit *description : {window.Text2, window.Text4}) {
            QCOMPARE(description->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
            QCOMPARE(description->lineWrapMode(), QPlainTextEdit::WidgetWidth);
        }
    }

    void theItemStoreStartsEmptyAndIsNotShown()
    {
        FormRss &window = openWindow();
        QCOMPARE(window.Text7.text(), QString());
        // Frames, labels, fields and buttons; nothing else is on the window.
        QCOMPARE(window.centralWidget()->findChildren<QWidget *>(Qt::FindDirectChildrenOnly).size(), 20);
    }

    void fieldsStartEmptyExceptTheDate()
    {
        FormRss &window = openWindow();
        for (QWidget *field : fieldsOf(window)) {
            if (field == window.Text10)
                continue;
            if (auto *line = qobject_cast<QLineEdit *>(field))
                QCOMPARE(line->text(), QString());
            else
                QCOMPARE(qobject_cast<QPlainTextEdit *>(field)->toPlainText(), QString());
        }
        QCOMPARE(window.dc.FileName, QString());
        QCOMPARE(window.dc.Filter, QString());
    }

    void menusHoldTheirCommandsWithoutShortcuts()
    {
        FormRss &window = openWindow();
        const QList<QAction *> menus = window.menuBar()->actions();
        QCOMPARE(menus.size(), 2);
        QCOMPARE(menus.at(0)->text(), QStringLiteral("File"));
        QCOMPARE(menus.at(0)->menu()->actions(), (QList<QAction *>{window.opn, window.exit}));
        QCOMPARE(menus.at(1)->text(), QStringLiteral("&Options"));
        QCOMPARE(menus.at(1)->menu()->actions(), (QList<QAction *>{window.add, window.srss, window.details, window.episodes}));
        QCOMPARE(window.opn->text(), QStringLiteral("&Open feed..."));
        QCOMPARE(window.opn->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_O));
        QCOMPARE(window.details->text(), QStringLiteral("Publishing &details..."));
        QCOMPARE(window.episodes->text(), QStringLiteral("&Episodes..."));
        QCOMPARE(window.exit->text(), QStringLiteral("Exit"));
        QCOMPARE(window.add->text(), QStringLiteral("&Add item"));
        QCOMPARE(window.srss->text(), QStringLiteral("&Save RSS"));
        for (QAction *command : {window.exit, window.add, window.srss, window.details, window.episodes})
            QVERIFY(command->shortcut().isEmpty());
    }

    void focusStartsInTheChannelTitleAndTabFollowsTheLayout()
    {
        FormRss &window = openWindow();
        window.showCentered();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        QCOMPARE(QApplication::focusWidget(), window.Text1);
        const QList<QWidget *> order{window.Text2,    window.Text12, window.Text3,  window.Text5,
                                     window.Text4,    window.Text6,  window.Text10, window.Command2,
                                     window.Command1, window.Text1};
        for (QWidget *expected : order) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            QCOMPARE(QApplication::focusWidget(), expected);
        }
    }

    void loadSetsTheDateFromTheClock_data()
    {
        QTest::addColumn<QDateTime>("now");
        QTest::addColumn<QString>("locale");
        QTest::addColumn<QByteArray>("timeZone");
        QTest::addColumn<QString>("date");
        const QDateTime example(QDate(2026, 12, 6), QTime(3, 5, 9), Qt::UTC);
        QTest::newRow("example") << example << "C" << QByteArray("UTC") << "Sun, 06 Dec 2026 03:05:09 GMT";
        QTest::newRow("German language")
            << example << "de_DE" << QByteArray("UTC") << "Sun, 06 Dec 2026 03:05:09 GMT";
        QTest::newRow("New York time")
            << example << "C" << QByteArray("America/New_York") << "Sun, 06 Dec 2026 03:05:09 GMT";
        QTest::newRow("already next year in Tokyo")
            << QDateTime(QDate(2026, 12, 31), QTime(23, 30, 0), Qt::UTC) << "de_DE"
            << QByteArray("Asia/Tokyo") << "Thu, 31 Dec 2026 23:30:00 GMT";
        QTest::newRow("padded") << QDateTime(QDate(2026, 1, 5), QTime(1, 2, 3), Qt::UTC) << "C"
                                << QByteArray("UTC") << "Mon, 05 Jan 2026 01:02:03 GMT";
    }
    void loadSetsTheDateFromTheClock()
    {
        QFETCH(QDateTime, now);
        QFETCH(QString, locale);
        QFETCH(QByteArray, timeZone);
        QFETCH(QString, date);
        const ScopedTimeZone zone(timeZone);
        QLocale::setDefault(QLocale(locale));
        FormRss &window = openWindow(now);
        QCOMPARE(window.Text10->text(), date);
    }

    void theDateIsReadOnceAtLoad()
    {
        FormRss &window = openWindow();
        m_feed->test().clock.now = FeedWindowFixture::defaultNow().addSecs(3600);
        m_feed->fillAll();
        window.Command2_Click();
        QCOMPARE(window.Text10->text(), FeedWindowFixture::defaultDate());
    }
};

QTEST_MAIN(TestFormRss)
#include "tst_formrss.moc"
