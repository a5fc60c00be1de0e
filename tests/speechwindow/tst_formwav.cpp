#include "speechwindow/formwav.h"
#include "speechwindow/linklabel.h"
#include "speechwindow/parlorainfo.h"
#include "tests/doubles/testservices.h"
#include "tests/support/twipsrect.h"

#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QEventLoop>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

using namespace Qt::StringLiterals;

namespace {

const QStringList ThreeVoices{QStringLiteral("English (America)"), QStringLiteral("German"),
                              QStringLiteral("French (France)")};

} // namespace

class TestFormWav : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<TestServices> m_test;
    std::unique_ptr<FormWav> m_window;

    FormWav &openWindow(QStringList voices = ThreeVoices)
    {
        m_test = std::make_unique<TestServices>();
        m_test->fakeEngine = FakeSpeechEngine(std::move(voices));
        m_window = std::make_unique<FormWav>(m_test->services());
        return *m_window;
    }
    FakeVoiceLog &log() { return *m_test->fakeEngine.log; }
    QStringList &messages() { return m_test->messageBox.messages; }

private Q_SLOTS:
    void cleanup()
    {
        m_window.reset();
        m_test.reset();
    }

    void controlsStandWhereTheLayoutPutsThem_data()
    {
        QTest::addColumn<QString>("control");
        QTest::addColumn<QRect>("geometry");
        QTest::newRow("Text1") << "Text1" << twipsRect(120, 120, 5415, 2685);
        QTest::newRow("Label4") << "Label4" << twipsRect(240, 2880, 975, 255);
        QTest::newRow("List2") << "List2" << twipsRect(1440, 2880, 1695, 255);
        QTest::newRow("Label2") << "Label2" << twipsRect(3240, 2880, 2175, 255);
        QTest::newRow("Command1") << "Command1" << twipsRect(240, 3240, 1695, 375);
        QTest::newRow("Command2") << "Command2" << twipsRect(2160, 3240, 1575, 375);
        QTest::newRow("Command3") << "Command3" << twipsRect(3960, 3240, 1455, 375);
        QTest::newRow("Label10") << "Label10" << twipsRect(240, 3800, 1215, 255);
        QTest::newRow("Text14") << "Text14" << twipsRect(1800, 3720, 3615, 300);
        QTest::newRow("Label1") << "Label1" << twipsRect(240, 4290, 1335, 375);
        QTest::newRow("Text3") << "Text3" << twipsRect(1800, 4200, 3615, 300);
        QTest::newRow("Label3") << "Label3" << twipsRect(240, 4725, 1455, 255);
        QTest::newRow("Text4") << "Text4" << twipsRect(1800, 4680, 3615, 285);
        QTest::newRow("List1") << "List1" << twipsRect(120, 5160, 5415, 840);
    }
    void controlsStandWhereTheLayoutPutsThem()
    {
        QFETCH(QString, control);
        QFETCH(QRect, geometry);
        FormWav &window = openWindow();
        const QMap<QString, QWidget *> controls{
            {QStringLiteral("Text1"), window.Text1},       {QStringLiteral("Label4"), window.Label4},
            {QStringLiteral("List2"), window.List2},       {QStringLiteral("Label2"), window.Label2},
            {QStringLiteral("Command1"), window.Command1}, {QStringLiteral("Command2"), window.Command2},
            {QStringLiteral("Command3"), window.Command3}, {QStringLiteral("Label10"), window.Label10},
            {QStringLiteral("Text14"), window.Text14},     {QStringLiteral("Label1"), window.Label1},
            {QStringLiteral("Text3"), window.Text3},       {QStringLiteral("Label3"), window.Label3},
            {QStringLiteral("Text4"), window.Text4},       {QStringLiteral("List1"), window.List1}};
        QCOMPARE(controls.value(control)->geometry(), geometry);
    }

    void windowIsFixedCaptionedAndHasNoMaximizeButton()
    {
        FormWav &window = openWindow();
        QCOMPARE(window.windowTitle(), QStringLiteral("Parlora"));
        QCOMPARE(window.centralWidget()->size(), QSize(5640 / 15, 6105 / 15));
        QCOMPARE(window.minimumSize(), window.maximumSize());
        QVERIFY(!(window.windowFlags() & Qt::WindowMaximizeButtonHint));
        QVERIFY(window.windowFlags() & Qt::WindowMinimizeButtonHint);
        QVERIFY(window.windowFlags() & Qt::WindowCloseButtonHint);
        QVERIFY(!window.windowIcon().pixmap(16, 16).isNull());
        QVERIFY(window.Text2->isHidden());
    }

    void captionsAndLooks()
    {
        FormWav &window = openWindow();
        QCOMPARE(window.Label4->text(), QStringLiteral("Voices :"));
        QCOMPARE(window.Label2->text(), QStringLiteral("Save the created sound file"));
        QCOMPARE(window.Command1->text(), QStringLiteral("Pause"));
        QCOMPARE(window.Command2->text(), QStringLiteral("&Read text"));
        QCOMPARE(window.Command3->text(), QStringLiteral("Create Rss"));
        QCOMPARE(window.Label10->text(), QStringLiteral("Podcast file/Url"));
        QCOMPARE(window.Label1->text(), QStringLiteral("Size"));
        QCOMPARE(window.Label3->text(), QStringLiteral("Filetype"));
        QCOMPARE(window.Label2->palette().color(QPalette::WindowText), QColor(0, 0, 255));
        QVERIFY(window.Label2->font().underline());
        QCOMPARE(window.Label2->cursor().shape(), Qt::ArrowCursor);
        QCOMPARE(window.Command2->palette().color(QPalette::Button), QColor(192, 192, 255));
        QCOMPARE(window.List1->palette().color(QPalette::Base), QColor(0, 0, 128));
        QCOMPARE(window.List1->palette().color(QPalette::Text), QColor(Qt::white));
        QCOMPARE(window.Text1->font().pointSizeF(), 9.75);
        QCOMPARE(window.Text1->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
        for (QWidget *control : window.centralWidget()->findChildren<QWidget *>(Qt::FindDirectChildrenOnly))
            QVERIFY(control->isEnabled());
    }

    void fileMenuOpensAndExitsWithTheDesktopKeys()
    {
        FormWav &window = openWindow();
        QCOMPARE(window.opn->text(), QStringLiteral("&Open"));
        QCOMPARE(window.opn->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_O));
        QCOMPARE(window.ext->text(), QStringLiteral("E&xit"));
        QCOMPARE(window.ext->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_Q));
    }

    void loadListsEveryVoiceInTheEnginesOrderAndSelectsTheFirst()
    {
        FormWav &window = openWindow();
        QCOMPARE(window.List2->count(), 3);
        for (int i = 0; i < 3; ++i)
            QCOMPARE(window.List2->item(i)->text(), ThreeVoices.at(i));
        QCOMPARE(window.List2->currentRow(), 0);
        QVERIFY(window.List2->item(0)->isSelected());
        QCOMPARE(log().voicesCreated, 1); // the window voice
    }

    void loadFillsTheInformationListWithNothingSelected()
    {
        FormWav &window = openWindow();
        const QStringList expected{QStringLiteral("Software : Parlora"),
                                   QStringLiteral("Website : ") + ParloraInfo::websiteAddress(),
                                   QStringLiteral("Company : ") + ParloraInfo::makerNameAndPlace(),
                                   QStringLiteral("Support : ") + ParloraInfo::supportAddress()};
        QCOMPARE(window.List1->count(), 4);
        for (int i = 0; i < 4; ++i)
            QCOMPARE(window.List1->item(i)->text(), expected.at(i));
        QVERIFY(window.List1->selectedItems().isEmpty());
        QVERIFY(ParloraInfo::websiteAddress().startsWith(QStringLiteral("https://")));
        QVERIFY(ParloraInfo::supportAddress().startsWith(QStringLiteral("https://")));
    }

    void focusStartsInTheInformationListAndTabFollowsTheLayout()
    {
        FormWav &window = openWindow();
        window.showCentered();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        QCOMPARE(QApplication::focusWidget(), window.List1);
        const QList<QWidget *> order{window.Text1,    window.Command1, window.Command2,
                                     window.Text14,   window.Text3,    window.Text4,
                                     window.Command3, window.List2,    window.Label2};
        for (QWidget *expected : order) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            QCOMPARE(QApplication::focusWidget(), expected);
        }
        QTest::keyClick(window.Label2, Qt::Key_Return); // the save link, last stop, saves
        QVERIFY(m_test->fileDialogs.shown.size() == 1 && m_test->fileDialogs.shown.first().save);
        QTest::keyClick(window.Label2, Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), window.List1);
    }

    void screenReadersHearEachFieldsLabelAndCanPressTheSaveLink()
    {
        FormWav &window = openWindow();
        QStringList names;
        for (QWidget *field : std::initializer_list<QWidget *>{window.Text1, window.List2, window.Text14,
                                                               window.Text3, window.Text4, window.List1})
            names << QAccessible::queryAccessibleInterface(field)->text(QAccessible::Name);
        QCOMPARE(names, (QStringList{u"Text to read"_s, u"Voices"_s, u"Podcast file/Url"_s, u"Size"_s,
                                     u"Filetype"_s, u"Information"_s}));
        QAccessibleInterface *link = QAccessible::queryAccessibleInterface(window.Label2);
        QVERIFY(link->role() == QAccessible::Link && link->text(QAccessible::Name) == window.Label2->text());
        link->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
        QTRY_COMPARE(m_test->fileDialogs.shown.size(), 1);
    }

    void readTextWithAnEmptyBoxOnlyAsks()
    {
        FormWav &window = openWindow();
        window.Text1->setPlainText(QStringLiteral("first"));
        window.Command2_Click();
        SpVoice *reading = window.windowVoice();
        window.Text1->clear();
        window.Command2_Click();
        QCOMPARE(messages(), QStringList{QStringLiteral("Please open a file or type something in textbox")});
        QCOMPARE(window.windowVoice(), reading); // the running reading is left alone
        QCOMPARE(log().voicesCreated, 2);
        QCOMPARE(log().voicesReleased, 1);
    }

    void readTextSpeaksInTheSelectedVoiceOnAFreshVoice()
    {
        FormWav &window = openWindow();
        window.List2->setCurrentRow(1);
        window.Text1->setPlainText(QStringLiteral("  Guten Tag\n"));
        window.Command2_Click();
        QCOMPARE(log().calls,
                 (QStringList{QStringLiteral("Voice:German"), QStringLiteral("Speak:1:  Guten Tag\n")}));
        QCOMPARE(log().voicesCreated, 2);
        QCOMPARE(log().voicesReleased, 1); // the voice made at load
        QVERIFY(messages().isEmpty());
    }

    void blanksAreReadNotRefused()
    {
        FormWav &window = openWindow();
        window.Text1->setPlainText(QStringLiteral(" \n "));
        window.Command2_Click();
        QVERIFY(messages().isEmpty());
        QCOMPARE(log().calls.last(), QStringLiteral("Speak:1: \n "));
    }

    void readTextLeavesThePauseCaption()
    {
        FormWav &window = openWindow();
        window.Command1->setText(QStringLiteral("Resume"));
        window.Text1->setPlainText(QStringLiteral("text"));
        window.Command2_Click();
        QCOMPARE(window.Command1->text(), QStringLiteral("Resume"));
    }

    void engineFailureWhileReadingIsShownAndTheTextKept()
    {
        FormWav &window = openWindow();
        m_test->fakeEngine.speakFailure = QStringLiteral("The speech engine stopped unexpectedly.");
        window.Text1->setPlainText(QStringLiteral("a.a.a."));
        window.Command2_Click();
        QCOMPARE(messages(), QStringList{QStringLiteral("The speech engine stopped unexpectedly.")});
        QCOMPARE(window.Text1->toPlainText(), QStringLiteral("a.a.a."));
    }

    void withoutVoicesReadingSaysSo()
    {
        FormWav &window = openWindow({});
        QCOMPARE(window.List2->count(), 0);
        window.Text1->setPlainText(QStringLiteral("hello"));
        window.Command2_Click();
        QCOMPARE(messages().size(), 1);
        QVERIFY2(messages().first().contains(QStringLiteral("No speech voice is installed")),
                 qPrintable(messages().first()));
    }

    void pauseButtonFollowsTheTransitionTable_data()
    {
        QTest::addColumn<int>("runningState");
        QTest::addColumn<QString>("captionBefore");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("call");
        QTest::addColumn<QString>("captionAfter");
        QTest::newRow("done, Pause") << int(SRSEDone) << "Pause"
                                     << "Not Playing"
                                     << ""
                                     << "Pause";
        QTest::newRow("done, Resume") << int(SRSEDone) << "Resume"
                                      << "Not Playing"
                                      << ""
                                      << "Pause";
        QTest::newRow("speaking, Pause") << int(SRSEIsSpeaking) << "Pause"
                                         << ""
                                         << "Pause"
                                         << "Resume";
        QTest::newRow("speaking, Resume") << int(SRSEIsSpeaking) << "Resume"
                                          << ""
                                          << "Resume"
                                          << "Pause";
        QTest::newRow("other state, Pause") << 0 << "Pause"
                                            << ""
                                            << "Pause"
                                            << "Resume";
        QTest::newRow("speaking, lower-case pause") << int(SRSEIsSpeaking) << "pause"
                                                    << ""
                                                    << "Resume"
                                                    << "Pause";
    }
    void pauseButtonFollowsTheTransitionTable()
    {
        QFETCH(int, runningState);
        QFETCH(QString, captionBefore);
        QFETCH(QString, message);
        QFETCH(QString, call);
        QFETCH(QString, captionAfter);
        FormWav &window = openWindow();
        m_test->fakeEngine.runningState = runningState;
        window.Command1->setText(captionBefore);
        QString captionDuringCall;
        log().onCall = [&](const QString &) { captionDuringCall = window.Command1->text(); };

        window.Command1_Click();

        QCOMPARE(messages(), message.isEmpty() ? QStringList() : QStringList{message});
        QCOMPARE(log().calls, call.isEmpty() ? QStringList() : QStringList{call});
        QCOMPARE(window.Command1->text(), captionAfter);
        if (!call.isEmpty())
            QCOMPARE(captionDuringCall, captionAfter); // the caption changes before the engine is called
        QCOMPARE(log().voicesCreated, 1);              // the pause button never makes a voice
    }

    void notPlayingCaptionChangesAfterTheMessageIsClosed()
    {
        FormWav &window = openWindow();
        window.Command1->setText(QStringLiteral("Resume"));
        QString captionWhileShown;
        m_test->messageBox.onShow = [&](const QString &) { captionWhileShown = window.Command1->text(); };
        window.Command1_Click();
        QCOMPARE(captionWhileShown, QStringLiteral("Resume"));
        QCOMPARE(window.Command1->text(), QStringLiteral("Pause"));
    }

    void engineFailureOnThePauseButtonIsShown()
    {
        FormWav &window = openWindow();
        m_test->fakeEngine.statusFailure = QStringLiteral("The speech engine stopped unexpectedly.");
        window.Command1_Click();
        QCOMPARE(messages(), QStringList{QStringLiteral("The speech engine stopped unexpectedly.")});
        QCOMPARE(window.Command1->text(), QStringLiteral("Pause"));
    }

    void createRssHidesTheWindowAndAsksForTheFeedWindow()
    {
        FormWav &window = openWindow();
        window.show();
        QSignalSpy requested(&window, &FormWav::feedWindowRequested);
        window.Text1->setPlainText(QStringLiteral("kept"));
        window.Command3_Click();
        QCOMPARE(requested.size(), 1);
        QVERIFY(!window.isVisible());
        QCOMPARE(window.Text1->toPlainText(), QStringLiteral("kept"));
    }

    void clickingTheLinkLabelStartsASave()
    {
        FormWav &window = openWindow();
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QTest::mouseClick(window.Label2, Qt::LeftButton, {}, window.Label2->rect().center());
        QCOMPARE(m_test->fileDialogs.shown.size(), 1);
        QVERIFY(m_test->fileDialogs.shown.first().save);
    }

    void ctrlQEndsTheProgram()
    {
        FormWav &window = openWindow();
        window.show();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        QEventLoop program;
        QTimer::singleShot(0, &window,
                           [&window] { QTest::keyClick(&window, Qt::Key_Q, Qt::ControlModifier); });
        QTimer::singleShot(5000, &program, [&program] { program.exit(1); });
        QCOMPARE(program.exec(), 0);
        QVERIFY(!window.isVisible());
    }

    void ctrlXInTheTextBoxCutsInsteadOfEndingTheProgram()
    {
        FormWav &window = openWindow();
        window.show();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        window.Text1->setFocus();
        window.Text1->setPlainText(QStringLiteral("precious words"));
        window.Text1->selectAll();
        QTest::keyClick(window.Text1, Qt::Key_X, Qt::ControlModifier);
        QVERIFY(window.isVisible());
        QCOMPARE(window.Text1->toPlainText(), QString());
        QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("precious words"));
    }
};

QTEST_MAIN(TestFormWav)
#include "tst_formwav.moc"
