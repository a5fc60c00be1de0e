#include "app/program.h"
#include "feedwindow/formrss.h"
#include "speechwindow/formwav.h"
#include "tests/doubles/testservices.h"

#include <QAction>
#include <QApplication>
#include <QEventLoop>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

using namespace Qt::StringLiterals;

// The two windows together: "Create Rss", closing the feed window and ending the program.
class TestProgram : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<TestServices> m_test;
    std::unique_ptr<Program> m_program;

    FormWav &speechWindow() { return *m_program->speechWindow(); }
    FormRss &openFeedWindow()
    {
        speechWindow().Command3_Click();
        FormRss *feedWindow = m_program->feedWindow();
        Q_ASSERT(feedWindow);
        return *feedWindow;
    }

private Q_SLOTS:
    void init()
    {
        m_test = std::make_unique<TestServices>();
        m_test->clock.now = QDateTime(QDate(2026, 12, 6), QTime(3, 5, 9), Qt::UTC);
        m_program = std::make_unique<Program>(m_test->services());
        m_program->start();
    }

    void cleanup()
    {
        m_program.reset();
        m_test.reset();
    }

    void createRssHidesTheSpeechWindowAndShowsTheFeedWindowCentered()
    {
        QVERIFY(speechWindow().isVisible());
        FormRss &feedWindow = openFeedWindow();
        QVERIFY(!speechWindow().isVisible());
        QVERIFY(feedWindow.isVisible());
        // The frame's width is known only once the window is shown, after it was placed.
        const QPoint offCenter =
            feedWindow.frameGeometry().center() - feedWindow.screen()->availableGeometry().center();
        QVERIFY2(offCenter.manhattanLength() <= 6,
                 qPrintable(u"%1, %2"_s.arg(offCenter.x()).arg(offCenter.y())));
    }

    void closingTheFeedWindowBringsTheSpeechWindowBackAsItWas()
    {
        m_test->fakeEngine.runningState = SRSEIsSpeaking;
        speechWindow().Text1->setPlainText(u"A text being read."_s);
        speechWindow().Command2_Click();
        speechWindow().Command1_Click(); // pauses the reading
        speechWindow().List2->setCurrentRow(0);
        speechWindow().Text14->setText(u"https://example.org/audio/1.wav"_s);
        const SpVoice *reading = speechWindow().windowVoice();
        const QStringList engineCalls = m_test->fakeEngine.log->calls;

        openFeedWindow().close();

        QVERIFY(speechWindow().isVisible());
        QCOMPARE(speechWindow().Text1->toPlainText(), u"A text being read."_s);
        QCOMPARE(speechWindow().Command1->text(), u"Resume"_s);
        QCOMPARE(speechWindow().Text14->text(), u"https://example.org/audio/1.wav"_s);
        QCOMPARE(speechWindow().windowVoice(), reading);
        QCOMPARE(m_test->fakeEngine.log->calls, engineCalls);
    }

    void aClosedFeedWindowIsDestroyed()
    {
        const QPointer<FormRss> feedWindow = &openFeedWindow();
        feedWindow->close();
        QTRY_VERIFY(feedWindow.isNull());
        QCOMPARE(m_program->feedWindow(), nullptr);
    }

    void createRssAgainOpensAFreshFeedWindow()
    {
        FormRss &first = openFeedWindow();
        speechWindow().Text14->setText(u"https://example.org/audio/1.wav"_s);
        for (QLineEdit *field : {first.Text1, first.Text12, first.Text3, first.Text5, first.Text6})
            field->setText(u"typed"_s);
        for (QPlainTextEdit *field : {first.Text2, first.Text4})
            field->setPlainText(u"typed"_s);
        first.Command2_Click();
        QVERIFY(!first.Text7.text().isEmpty());
        m_test->messageBox.answers.push_back(SaveAnswer::Discard);
        first.close();
        m_test->clock.now = m_test->clock.now.addDays(1);

        FormRss &second = openFeedWindow();
        QVERIFY(second.isVisible());
        for (QLineEdit *field : {second.Text1, second.Text12, second.Text3, second.Text5, second.Text6})
            QCOMPARE(field->text(), QString());
        for (QPlainTextEdit *field : {second.Text2, second.Text4})
            QCOMPARE(field->toPlainText(), QString());
        QCOMPARE(second.Text7.text(), QString());
        QCOMPARE(second.Text10->text(), u"Mon, 07 Dec 2026 03:05:09 GMT"_s);
    }

    void createRssWhileTheFeedWindowIsOpenKeepsIt()
    {
        FormRss &feedWindow = openFeedWindow();
        feedWindow.Text1->setText(u"typed"_s);
        QCOMPARE(&openFeedWindow(), &feedWindow);
        QCOMPARE(feedWindow.Text1->text(), u"typed"_s);
        QVERIFY(feedWindow.isVisible());
    }

    void exitOnTheFeedWindowEndsTheProgram()
    {
        FormRss &feedWindow = openFeedWindow();
        QEventLoop program;
        QTimer::singleShot(0, &feedWindow, [&feedWindow] { feedWindow.exit->trigger(); });
        QTimer::singleShot(5000, &program, [&program] { program.exit(1); });
        QCOMPARE(program.exec(), 0);
        QVERIFY(!feedWindow.isVisible());
    }

    void closingTheFeedWindowDoesNotEndTheProgram()
    {
        FormRss &feedWindow = openFeedWindow();
        // Qt ends a running application when its last window closes; only the application's
        // own event loop shows it.
        QSignalSpy lastWindowClosed(qApp, &QGuiApplication::lastWindowClosed);
        QTimer::singleShot(0, &feedWindow, [&feedWindow] {
            feedWindow.close();
            QMetaObject::invokeMethod(
                qApp, [] { QCoreApplication::exit(7); }, Qt::QueuedConnection);
        });
        QCOMPARE(QCoreApplication::exec(), 7);
        QCOMPARE(lastWindowClosed.size(), 0);
        QVERIFY(speechWindow().isVisible());
    }
};

QTEST_MAIN(TestProgram)
#include "tst_program.moc"
