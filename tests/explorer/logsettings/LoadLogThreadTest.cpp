#include "explorer/logsettings/LoadLogThread.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>
#include <thread>

using velkaro::LoadLogThread;

namespace {
// Takes everything the reader delivers, as the window's timer would, until it is done.
struct Taken
{
    std::optional<QString> openFailed;
    std::optional<QString> opened;
    QStringList lines;
    int batches = 0;
};

Taken takeAll(LoadLogThread& reader)
{
    Taken taken;
    QElapsedTimer limit;
    limit.start();
    while (limit.elapsed() < 30000) {
        LoadLogThread::Delivery delivery = reader.Take();
        if (delivery.openFailed)
            taken.openFailed = delivery.openFailed;
        if (delivery.opened)
            taken.opened = delivery.opened;
        if (!delivery.lines.isEmpty()) {
            taken.lines += delivery.lines;
            ++taken.batches;
        }
        if (delivery.finished)
            break;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return taken;
}
} // namespace

// The reader and the interface thread share only the reader's queue; run under ThreadSanitizer.
class LoadLogThreadTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QVERIFY(m_dir.isValid()); }

    void deliversEveryLineInOrder()
    {
        const int count = 1234;
        const QString path = writeLog(QStringLiteral("lines.log"), count);
        LoadLogThread reader(path);
        const Taken taken = takeAll(reader);

        QCOMPARE(taken.opened.value_or(QString()), path);
        QVERIFY(!taken.openFailed);
        QCOMPARE(taken.lines.size(), count);
        QCOMPARE(taken.lines.first(), QStringLiteral("line 0 with Größe"));
        QCOMPARE(taken.lines.last(), QStringLiteral("line %1 with Größe").arg(count - 1));
        QVERIFY2(taken.batches > 1, "a long log comes in several batches");
        QTRY_VERIFY(!reader.IsLoading());
    }

    void missingFileIsReported()
    {
        const QString path = m_dir.filePath(QStringLiteral("none.log"));
        LoadLogThread reader(path);
        const Taken taken = takeAll(reader);
        QCOMPARE(taken.openFailed.value_or(QString()), path);
        QVERIFY(!taken.opened);
        QVERIFY(taken.lines.isEmpty());
    }

    void detachedReaderStopsEarly()
    {
        const int count = 300000;
        const QString path = writeLog(QStringLiteral("long.log"), count);
        LoadLogThread reader(path);
        QElapsedTimer waited;
        waited.start();
        qsizetype taken = 0;
        while (taken == 0 && waited.elapsed() < 10000) {
            taken = reader.Take().lines.size();
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        QVERIFY(taken > 0);

        reader.Detach();
        QTRY_VERIFY_WITH_TIMEOUT(!reader.IsLoading(), 1000);
        int remaining = 0;
        for (LoadLogThread::Delivery d = reader.Take(); !d.lines.isEmpty(); d = reader.Take())
            remaining += d.lines.size();
        QVERIFY2(remaining < count / 2, qPrintable(QString::number(remaining)));
    }

    // The owner may go at once; the reader ends on its own without touching it and lets go of
    // the file (AddressSanitizer and ThreadSanitizer watch the touching).
    void ownerGoesWhileReading()
    {
        const QString path = writeLog(QStringLiteral("gone.log"), 100000);
        {
            // Nobody takes its lines, so this reader waits with the file open.
            LoadLogThread waiting(path);
            QTRY_VERIFY(openHandlesOn(path) > 0);
        }
        for (int i = 0; i < 5; ++i)
            LoadLogThread reader(path);
        QTRY_COMPARE_WITH_TIMEOUT(openHandlesOn(path), 0, 10000);
    }

private:
    // How many of this process's file descriptors are open on the file.
    static int openHandlesOn(const QString& path)
    {
        const QString target = QFileInfo(path).canonicalFilePath();
        int count = 0;
        const QDir fds(QStringLiteral("/proc/self/fd"));
        for (const QFileInfo& fd : fds.entryInfoList(QDir::Files | QDir::System | QDir::NoDotAndDotDot))
            count += fd.symLinkTarget() == target ? 1 : 0;
        return count;
    }

    QString writeLog(const QString& name, int count)
    {
        const QString path = m_dir.filePath(name);
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly))
            return QString();
        QByteArray bytes;
        for (int i = 0; i < count; ++i)
            bytes += "line " + QByteArray::number(i) +
                     " with Gr\xc3\xb6\xc3\x9f"
                     "e\r\n";
        file.write(bytes);
        return path;
    }

    QTemporaryDir m_dir;
};

QTEST_GUILESS_MAIN(LoadLogThreadTest)
#include "LoadLogThreadTest.moc"
