#include "common/ProfileStore.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using velkaro::IntSetting;
using velkaro::ProfileStore;
using velkaro::StringSetting;

class ProfileStoreTest : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        QVERIFY(m_home.isValid());
        qputenv("XDG_CONFIG_HOME", m_home.path().toUtf8());
    }

    void missingValuesReadAsTheirDefaults()
    {
        ProfileStore store(QStringLiteral("Velkaro"));
        QCOMPARE(store.ReadInt(QStringLiteral("ObjLook"), QStringLiteral("MaxM"), 5), 5);
        QCOMPARE(store.ReadString(QStringLiteral("Log"), QStringLiteral("File"), QString()), QString());
        QVERIFY(!QFile::exists(store.FileName())); // nothing is written at first start
    }

    void valuesRoundTripThroughAPrivateFile()
    {
        const IntSetting maxM{"ObjLook", "MaxM", 5};
        const StringSetting file{"Log", "File", ""};
        {
            ProfileStore store(QStringLiteral("Velkaro"));
            QVERIFY(maxM.Write(store, 12));
            QVERIFY(file.Write(store, QStringLiteral("/tmp/Größe (2)")));
            QCOMPARE(store.FileName(), m_home.path() + QStringLiteral("/Halvetic/Velkaro.conf"));
            const QFileDevice::Permissions others = QFileDevice::ReadGroup | QFileDevice::WriteGroup |
                                                    QFileDevice::ReadOther | QFileDevice::WriteOther;
            QCOMPARE(QFile::permissions(store.FileName()) & others, QFileDevice::Permissions());
        }
        ProfileStore reread(QStringLiteral("Velkaro"));
        QCOMPARE(maxM.Read(reread), 12);
        QCOMPARE(file.Read(reread), QStringLiteral("/tmp/Größe (2)"));
        ProfileStore other(QStringLiteral("Zindrel"));
        QCOMPARE(maxM.Read(other), 5);
    }

    void anUnreadableNumberReadsAsTheDefault()
    {
        ProfileStore store(QStringLiteral("Velkaro"));
        store.WriteString(QStringLiteral("ObjLook"), QStringLiteral("MaxM"), QStringLiteral("many"));
        QCOMPARE(store.ReadInt(QStringLiteral("ObjLook"), QStringLiteral("MaxM"), 5), 5);
    }

    // A file that cannot be parsed would refuse every save: it goes aside under a dated name, and
    // the store starts from the defaults and saves again.
    void aDamagedFileIsMovedAside()
    {
        QString fileName;
        {
            ProfileStore store(QStringLiteral("Velkaro"));
            QVERIFY(store.WriteInt(QStringLiteral("ObjLook"), QStringLiteral("MaxM"), 12));
            fileName = store.FileName();
            QVERIFY(store.DamagedFileMovedTo().isEmpty());
            QVERIFY(store.DamagedFileMessage().isEmpty());
        }
        QFile file(fileName);
        QVERIFY(file.open(QIODevice::Append));
        file.write(QByteArray("\n[\x01\xff\x00garbage", 13));
        file.close();
        const QByteArray damaged = [&] {
            QFile read(fileName);
            return read.open(QIODevice::ReadOnly) ? read.readAll() : QByteArray();
        }();

        ProfileStore store(QStringLiteral("Velkaro"));
        const QString movedTo = store.DamagedFileMovedTo();
        QVERIFY2(movedTo.startsWith(fileName + QStringLiteral(".damaged-")), qPrintable(movedTo));
        QVERIFY(store.DamagedFileMessage().contains(movedTo));
        QFile aside(movedTo);
        QVERIFY(aside.open(QIODevice::ReadOnly));
        QCOMPARE(aside.readAll(), damaged);
        QCOMPARE(store.ReadInt(QStringLiteral("ObjLook"), QStringLiteral("MaxM"), 5), 5);
        QVERIFY(store.WriteInt(QStringLiteral("ObjLook"), QStringLiteral("MaxM"), 7));

        ProfileStore reread(QStringLiteral("Velkaro"));
        QVERIFY(reread.DamagedFileMovedTo().isEmpty());
        QCOMPARE(reread.ReadInt(QStringLiteral("ObjLook"), QStringLiteral("MaxM"), 5), 7);
    }

private:
    QTemporaryDir m_home;
};

QTEST_GUILESS_MAIN(ProfileStoreTest)
#include "ProfileStoreTest.moc"
