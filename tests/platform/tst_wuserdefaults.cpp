#include "WexoCreator/platform/WUserDefaults.h"

#include <QFile>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

using namespace WexoCreator;

class tst_WUserDefaults : public QObject
{
    Q_OBJECT

private:
    QString path() const { return m_dir.filePath(QStringLiteral("profile/defaults.json")); }
    QTemporaryDir m_dir;

private Q_SLOTS:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        QVERIFY(m_dir.isValid());
    }

    void cleanup() { QFile::remove(path()); }

    void valuesSurviveANewInstanceWithTheirTypes()
    {
        {
            WUserDefaults store(path());
            store.setString(QStringLiteral("WexolinManager.Client"), QStringLiteral("tok en"));
            store.setBool(QStringLiteral("flag"), true);
            store.setString(QStringLiteral("empty"), QString());
        }
        WUserDefaults reopened(path());
        QCOMPARE(reopened.string(QStringLiteral("WexolinManager.Client")), QStringLiteral("tok en"));
        QCOMPARE(reopened.string(QStringLiteral("empty")), QString());
        QVERIFY(reopened.boolValue(QStringLiteral("flag")));
        // A flag is not a text and a text is not a flag.
        QCOMPARE(reopened.string(QStringLiteral("flag")), std::nullopt);
        QVERIFY(!reopened.boolValue(QStringLiteral("WexolinManager.Client")));
        QCOMPARE(reopened.string(QStringLiteral("missing")), std::nullopt);
    }

    void removeIsPersisted()
    {
        WUserDefaults store(path());
        store.setString(QStringLiteral("a"), QStringLiteral("1"));
        store.setString(QStringLiteral("b"), QStringLiteral("2"));
        store.remove(QStringLiteral("a"));
        WUserDefaults reopened(path());
        QVERIFY(!reopened.contains(QStringLiteral("a")));
        QCOMPARE(reopened.string(QStringLiteral("b")), QStringLiteral("2"));
    }

    void fileIsReadableByItsOwnerOnly()
    {
        WUserDefaults store(path());
        store.setString(QStringLiteral("WexolinManager.Admin.Password"), QStringLiteral("secret"));
        const QFile::Permissions permissions = QFile::permissions(path());
        QVERIFY(permissions & QFile::ReadOwner);
        QVERIFY(permissions & QFile::WriteOwner);
        QVERIFY(!(permissions & (QFile::ReadGroup | QFile::WriteGroup | QFile::ReadOther | QFile::WriteOther)));
    }

    void damagedFile_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addRow("not json") << QByteArray("{\"a\": ");
        QTest::addRow("array") << QByteArray("[1, 2]");
        QTest::addRow("empty") << QByteArray();
    }

    void damagedFile()
    {
        QFETCH(QByteArray, content);
        QDir().mkpath(QFileInfo(path()).absolutePath());
        QFile file(path());
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(content);
        file.close();

        WUserDefaults store(path());
        QCOMPARE(store.string(QStringLiteral("a")), std::nullopt);
        store.setString(QStringLiteral("a"), QStringLiteral("x"));
        QCOMPARE(WUserDefaults(path()).string(QStringLiteral("a")), QStringLiteral("x"));
    }
};

QTEST_GUILESS_MAIN(tst_WUserDefaults)
#include "tst_wuserdefaults.moc"
