#include "speechwindow/formwav.h"
#include "speechwindow/optionsmenu.h"
#include "speechwindow/pronunciationsdialog.h"
#include "speechwindow/voicesettingsdialog.h"
#include "tests/doubles/testservices.h"

#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QListWidget>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QSettings>
#include <QSpinBox>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

// The Options menu of the speech window with its dialogs, worked from the keyboard, and what
// the voices are given; settings go to a configuration folder of the test's own.
class TestFormWavOptions : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_configuration;
    std::unique_ptr<TestServices> m_test;
    std::unique_ptr<FormWav> m_window;

    FormWav &openWindow()
    {
        m_window.reset();
        m_test = std::make_unique<TestServices>();
        m_window = std::make_unique<FormWav>(m_test->services());
        m_window->show();
        (void)QTest::qWaitForWindowActive(m_window.get());
        return *m_window;
    }
    QStringList &calls() { return m_test->fakeEngine.log->calls; }

    // The offscreen platform leaves a new window inactive, where a window manager would not.
    static void activate(QWidget *dialog)
    {
        dialog->activateWindow();
        QTRY_COMPARE(QApplication::activeWindow(), dialog);
    }

    static void verifyEveryControlIsNamed(QWidget &dialog)
    {
        for (QWidget *control : dialog.findChildren<QWidget *>()) {
            // A spin box's text field takes its focus and is named through it.
            if (!control->isVisible() || (control->focusPolicy() & Qt::TabFocus) == 0 ||
                qobject_cast<QAbstractSpinBox *>(control->parentWidget()))
                continue;
            QAccessibleInterface *accessible = QAccessible::queryAccessibleInterface(control);
            QVERIFY2(accessible && !accessible->text(QAccessible::Name).isEmpty(),
                     control->metaObject()->className());
        }
    }

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(m_configuration.isValid());
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_configuration.path()));
        QApplication::setOrganizationName(u"Parlora"_s);
        QApplication::setApplicationName(u"Parlora"_s);
    }

    void cleanup()
    {
        m_window.reset();
        m_test.reset();
        QSettings().clear();
    }

    void nothingSavedLeavesTheVoicesAsTheyAre()
    {
        FormWav &window = openWindow();
        QCOMPARE(window.menuBar()->actions().at(1)->text(), u"&Options"_s);
        window.Text1->setPlainText(u"Hello Siobhan."_s);
        window.Command2_Click();
        QCOMPARE(calls().last(), u"Speak:1:Hello Siobhan."_s);
        QVERIFY(!calls().join(u' ').contains(u"Adjust"_s));
    }

    void settingsMadeWithTheKeyboardSurviveARestart()
    {
        openWindow().options().voiceSettings_Click();
        VoiceSettingsDialog *voice = m_window->options().voiceSettingsDialog();
        QVERIFY(voice);
        activate(voice);
        verifyEveryControlIsNamed(*voice);
        QCOMPARE(QApplication::focusWidget(), voice->speed);
        QTest::keyClick(voice->speed, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(voice->speed, u"150"_s);
        QTest::keyClick(voice->speed, Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), voice->pitch);
        QTest::keyClick(voice->pitch, Qt::Key_Down); // a step of ten
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        QTRY_VERIFY(!m_window->options().voiceSettingsDialog());

        m_window->options().pronunciations_Click();
        PronunciationsDialog *list = m_window->options().pronunciationsDialog();
        QVERIFY(list);
        activate(list);
        QTest::keyClick(list, Qt::Key_A, Qt::AltModifier); // Add, then type into the new row
        QTRY_VERIFY(list->table->viewport()->isAncestorOf(QApplication::focusWidget()));
        QTest::keyClicks(QApplication::focusWidget(), u"Siobhan"_s);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QTest::keyClicks(QApplication::focusWidget(), u"shiv awn"_s);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        QTRY_COMPARE(list->table->item(0, PronunciationsDialog::SpokenColumn)->text(), u"shiv awn"_s);
        QCOMPARE(QApplication::focusWidget(), list->table);
        verifyEveryControlIsNamed(*list);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        QTRY_VERIFY(!m_window->options().pronunciationsDialog());

        FormWav &restarted = openWindow();
        QCOMPARE(restarted.options().adjustment(), (VoiceAdjustment{150, 90, 100}));
        restarted.Text1->setPlainText(u"Hello Siobhan."_s);
        restarted.Command2_Click();
        QCOMPARE(calls().mid(calls().size() - 2),
                 (QStringList{u"Adjust:150:90:100"_s, u"Speak:1:Hello shiv awn."_s}));
        QVERIFY(QFile::exists(m_configuration.filePath(u"Parlora/Parlora.conf"_s)));
    }

    void voiceSettingsSayWhenTheChosenVoiceKeepsItsPitch()
    {
        m_test = std::make_unique<TestServices>();
        const QString natural = u"English (America) - joe (natural)"_s;
        m_test->fakeEngine.tokens.append(SpObjectToken(u"natural"_s, u"/voices/joe.onnx"_s, natural, {u"en"_s}));
        m_window = std::make_unique<FormWav>(m_test->services());
        for (const bool chooseNatural : {true, false}) {
            const QList<QListWidgetItem *> found =
                m_window->List2->findItems(chooseNatural ? natural : u"Voice One"_s, Qt::MatchExactly);
            QVERIFY(!found.isEmpty());
            m_window->List2->setCurrentItem(found.first());
            m_window->options().voiceSettings_Click();
            VoiceSettingsDialog *dialog = m_window->options().voiceSettingsDialog();
            QVERIFY(dialog);
            QCOMPARE(dialog->pitchNote->isVisibleTo(dialog), chooseNatural);
            QCOMPARE(dialog->pitchNote->text().startsWith(natural), chooseNatural);
            dialog->close();
            QTRY_VERIFY(!m_window->options().voiceSettingsDialog());
        }
    }

    void controlPlusAndMinusChangeTheSpeedOfTheReading()
    {
        FormWav &window = openWindow();
        window.Text1->setPlainText(u"Words."_s);
        window.Command2_Click();
        QTest::keyClick(window.Text1, Qt::Key_Plus, Qt::ControlModifier);
        QTest::keyClick(window.Text1, Qt::Key_Plus, Qt::ControlModifier);
        QCOMPARE(calls().last(), u"Adjust:120:100:100"_s);
        QTest::keyClick(window.Text1, Qt::Key_Minus, Qt::ControlModifier);
        QCOMPARE(calls().last(), u"Adjust:110:100:100"_s);
        QCOMPARE(window.options().adjustment().speedPercent, 110);
    }

    void aBrokenImportIsNamedAndChangesNothing()
    {
        openWindow().options().setPronunciationList({{u"Al"_s, u"Alexander"_s, false, false, {}}});
        const QString file = m_configuration.filePath(u"broken.txt"_s);
        QFile broken(file);
        QVERIFY(broken.open(QIODevice::WriteOnly));
        broken.write("Bo\tBoris\n(x\tnumber\tregex\n");
        broken.close();
        m_test->fileDialogs.answer(file);
        m_window->options().pronunciations_Click();
        PronunciationsDialog *list = m_window->options().pronunciationsDialog();
        list->import_Click();
        QCOMPARE(m_test->messageBox.messages.size(), 1);
        QVERIFY2(m_test->messageBox.messages.first().contains(u"Line 2: the regular expression \"(x\""_s),
                 qPrintable(m_test->messageBox.messages.first()));
        QCOMPARE(list->table->rowCount(), 1);
        list->accept();
        QCOMPARE(m_window->options().pronunciationList().size(), 1);
    }
};

QTEST_MAIN(TestFormWavOptions)
#include "tst_formwavoptions.moc"
