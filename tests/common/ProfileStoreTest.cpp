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
        QCOMPARE(store.readInt(QStringLiteral("ObjLook"), QStringLiteral("MaxM"), 5), 5);
        QCOMPARE(store.readString(QStringLiteral("Log"), QStringLiteral("File"), QString()), QString());
        QVERIFY(!QFile::exists(store.fileName())); // nothing is written at first start
    }

    void valuesRoundTripThroughAPrivateFile()
    {
        const IntSetting maxM{"ObjLook", "MaxM", 5};
        const StringSetting file{"Log", "File", ""};
        {
            ProfileStore store(QStringLiteral("Velkaro"));
            QVERIFY(maxM.write(store, 12));
            QVERIFY(file.write(store, QStringLiteral("/tmp/Größe (2)")));
            QCOMPARE(store.fileName(), m_home.path() + QStringLiteral("/Halvetic/Velkaro.conf"));
            const QFileDevice::Permissions others = QFileDevice::ReadGroup | QFileDevice::WriteGroup |
                                                    QFileDevice::ReadOther | QFileDevice::WriteOther;
            QCOMPARE(QFile::permissions(store.fileName()) & others, QFileDevice::Permissions());
        }
        ProfileStore reread(QStringLiteral("Velkaro"));
        QCOMPARE(maxM.read(reread), 12);
        QCOMPARE(file.read(reread), QStringLiteral("/tmp/Größe (2)"));
        ProfileStore other(QStringLiteral("Zindrel"));
        QCOMPARE(maxM.read(other), 5);
    }

    void anUnreadableNumberReadsAsTheDefault()
    {
        ProfileStore store(QStringLiteral("Velkaro"));
        store.writeString(QStringLiteral("ObjLook"), QStringLiteral("MaxM"), QStringLiteral("many"));
        QCOMPARE(store.readInt(QStringLiteral("ObjLook"), QStringLiteral("MaxM"), 5), 5);
    }

private:
    QTemporaryDir m_home;
};

QTEST_GUILESS_MAIN(ProfileStoreTest)
#include "ProfileStoreTest.moc"
