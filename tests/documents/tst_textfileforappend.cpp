// Loading a text file for the speech window, through real files on disk.
#include "documents/textfileforappend.h"
#include "tests/support/filecontents.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <unistd.h>

namespace {

[[nodiscard]] QString quoted(const QString &path)
{
    return u'"' + path + u'"';
}

} // namespace

class TestTextFileForAppend final : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();

    void appendsLines_data();
    void appendsLines();

    void refusesFile_data();
    void refusesFile();
    void refusesEndlessDevice();

    void readsFileThatReportsNoSize();

    void reportsFailure_data();
    void reportsFailure();

private:
    // Creates (or replaces) a file in the test folder; a size beyond the content is left as a
    // hole of zero bytes, which costs neither time nor disk space.
    [[nodiscard]] QString writeFile(const QString &name, const QByteArray &content, qint64 size = -1) const;

    QTemporaryDir m_dir;
};

void TestTextFileForAppend::initTestCase()
{
    QVERIFY2(m_dir.isValid(), qPrintable(m_dir.errorString()));
}

QString TestTextFileForAppend::writeFile(const QString &name, const QByteArray &content, qint64 size) const
{
    const QString path = ::writeFile(m_dir.filePath(name), content);
    if (size >= 0 && !QFile::resize(path, size))
        qFatal("cannot resize the test file %s", qPrintable(path));
    return path;
}

void TestTextFileForAppend::appendsLines_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("appended");

    // Line ends
    QTest::newRow("two CR LF lines") << QByteArray("a\r\nb\r\n") << QStringLiteral(" a b");
    QTest::newRow("empty middle line") << QByteArray("a\r\n\r\nb\r\n") << QStringLiteral(" a  b");
    QTest::newRow("no final end marker") << QByteArray("a\r\nb") << QStringLiteral(" a b");
    QTest::newRow("one line, no end marker") << QByteArray("a") << QStringLiteral(" a");
    QTest::newRow("LF only") << QByteArray("a\nb\n") << QStringLiteral(" a b");
    QTest::newRow("CR only") << QByteArray("a\rb\r") << QStringLiteral(" a b");
    QTest::newRow("mixed endings") << QByteArray("a\r\nb\nc\rd") << QStringLiteral(" a b c d");
    QTest::newRow("LF LF is two line ends") << QByteArray("a\n\nb") << QStringLiteral(" a  b");
    QTest::newRow("CR CR is two line ends") << QByteArray("a\r\rb") << QStringLiteral(" a  b");
    QTest::newRow("LF CR is two line ends") << QByteArray("a\n\rb") << QStringLiteral(" a  b");
    QTest::newRow("CR CR LF is two line ends") << QByteArray("a\r\r\nb") << QStringLiteral(" a  b");
    QTest::newRow("only an end marker") << QByteArray("\r\n") << QStringLiteral(" ");
    QTest::newRow("empty file") << QByteArray() << QString();
    QTest::newRow("spaces and tabs kept") << QByteArray(" a\t \r\n\tb ") << QStringLiteral("  a\t  \tb ");

    // Decoding
    QTest::newRow("byte-order mark dropped")
        << QByteArray("\xEF\xBB\xBF") + "a\r\nb" << QStringLiteral(" a b");
    QTest::newRow("byte-order mark only") << QByteArray("\xEF\xBB\xBF") << QString();
    QTest::newRow("Latin-1 byte") << QByteArray("caf\xE9\r\n") << QStringLiteral(" caf\u00E9");
    QTest::newRow("UTF-8 kept") << QByteArray("caf\xC3\xA9 \xE2\x82\xAC \xF0\x9F\x98\x80")
                                << QStringLiteral(" caf\u00E9 \u20AC \U0001F600");
    QTest::newRow("UTF-8 over several lines")
        << QByteArray("\xC3\xA9\r\n\xF0\x9F\x98\x80\n") << QStringLiteral(" \u00E9 \U0001F600");
    QTest::newRow("UTF-8 cut short at the end is Latin-1")
        << QByteArray("a\xC3") << QStringLiteral(" a\u00C3");
    QTest::newRow("overlong UTF-8 is Latin-1") << QByteArray("\xC0\xAF") << QStringLiteral(" \u00C0\u00AF");
}

void TestTextFileForAppend::appendsLines()
{
    QFETCH(QByteArray, content);
    QFETCH(QString, appended);

    const TextLoadResult result = readTextFileForAppend(writeFile(QStringLiteral("lines.txt"), content));

    QVERIFY2(result.isSuccess(), qPrintable(result.errorDescription()));
    QCOMPARE(result.text(), appended);
    QVERIFY(result.errorDescription().isEmpty());
}

void TestTextFileForAppend::refusesFile_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<qint64>("size");
    QTest::addColumn<QString>("description");

    const QString notText = QStringLiteral("The file %1 is not a text file.");
    const QString tooLarge = QStringLiteral("The file %1 is larger than 64 MiB.");

    QTest::newRow("NUL byte") << QByteArray("a\r\n\0b\r\n", 7) << qint64(-1) << notText;
    QTest::newRow("one byte over 64 MiB") << QByteArray("a\r\n") << maximumTextFileBytes + 1 << tooLarge;
    // A file of exactly the limit is read; this one then fails for the zeros of its hole, which
    // shows the size test let it through.
    QTest::newRow("exactly 64 MiB") << QByteArray("a\r\n") << maximumTextFileBytes << notText;
}

void TestTextFileForAppend::refusesFile()
{
    QFETCH(QByteArray, content);
    QFETCH(qint64, size);
    QFETCH(QString, description);

    const QString path = writeFile(QStringLiteral("refused.bin"), content, size);
    const TextLoadResult result = readTextFileForAppend(path);

    QVERIFY(!result.isSuccess());
    QCOMPARE(result.errorDescription(), description.arg(quoted(path)));
    QVERIFY(result.text().isEmpty());
}

void TestTextFileForAppend::refusesEndlessDevice()
{
    // Reports no size and never ends: only the limit on what is read stops it.
    const QString path = QStringLiteral("/dev/zero");
    const TextLoadResult result = readTextFileForAppend(path);

    QVERIFY(!result.isSuccess());
    QCOMPARE(result.errorDescription(), QStringLiteral("The file \"/dev/zero\" is larger than 64 MiB."));
}

void TestTextFileForAppend::readsFileThatReportsNoSize()
{
    // /proc files report a size of zero yet have content, so the size cannot decide how much to read.
    const TextLoadResult result = readTextFileForAppend(QStringLiteral("/proc/version"));

    QVERIFY2(result.isSuccess(), qPrintable(result.errorDescription()));
    QVERIFY2(result.text().startsWith(u" Linux version "), qPrintable(result.text()));
}

void TestTextFileForAppend::reportsFailure_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("failure");

    const QString cannotOpen = QStringLiteral("cannot be opened: ");
    const QString plainFile = writeFile(QStringLiteral("plain.txt"), "a\r\n");

    QTest::newRow("missing file") << m_dir.filePath(QStringLiteral("missing.txt")) << cannotOpen;
    QTest::newRow("folder") << m_dir.path() << cannotOpen;
    QTest::newRow("path through a file") << plainFile + QStringLiteral("/child.txt") << cannotOpen;
    // Permission bits do not stop root, and the tests may run as root; the read-error row below
    // still covers a file that cannot be read.
    if (::geteuid() != 0) {
        const QString locked = writeFile(QStringLiteral("locked.txt"), "a\r\n");
        if (!QFile::setPermissions(locked, QFileDevice::Permissions()))
            qFatal("cannot take the permissions of %s", qPrintable(locked));
        QTest::newRow("no read permission") << locked << cannotOpen;
    }
    // Opens for anyone, but reading at offset 0 fails with EIO, since page zero of a process is
    // never mapped: the one dependable way to fail after a successful open.
    QTest::newRow("read error after opening")
        << QStringLiteral("/proc/self/mem") << QStringLiteral("cannot be read: ");
}

void TestTextFileForAppend::reportsFailure()
{
    QFETCH(QString, path);
    QFETCH(QString, failure);

    const TextLoadResult result = readTextFileForAppend(path);

    QVERIFY(!result.isSuccess());
    QVERIFY(result.text().isEmpty());
    const QString start = QStringLiteral("The file %1 ").arg(quoted(path)) + failure;
    QVERIFY2(result.errorDescription().startsWith(start), qPrintable(result.errorDescription()));
    // The platform's reason follows; without it the user could not tell one failure from another.
    QVERIFY2(result.errorDescription().size() > start.size() + 1, qPrintable(result.errorDescription()));
}

QTEST_GUILESS_MAIN(TestTextFileForAppend)
#include "tst_textfileforappend.moc"
