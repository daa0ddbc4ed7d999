#include "WexoCreator/backend/WFileManager.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTest>

using namespace WexoCreator;

class tst_WFileManager : public QObject
{
    Q_OBJECT

private:
    QString fontFolder() const { return QDir(WFileManager::documentsDirectory()).filePath(QStringLiteral("w_font")); }

    static QByteArray readFile(const QString &path)
    {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

private Q_SLOTS:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        QVERIFY(!WFileManager::documentsDirectory().isEmpty());
    }

    void init()
    {
        QDir(WFileManager::documentsDirectory()).removeRecursively();
    }

    void cleanupTestCase()
    {
        QDir(WFileManager::documentsDirectory()).removeRecursively();
    }

    void sanitizedFileName_data()
    {
        QTest::addColumn<QString>("url");
        QTest::addColumn<QString>("expected"); // empty: no usable name

        QTest::addRow("plain") << "https://cdn.example.com/fonts/Brand-Bold.ttf" << "Brand-Bold.ttf";
        QTest::addRow("query and fragment ignored") << "https://h/f/a_b.otf?v=2#x" << "a_b.otf";
        QTest::addRow("escaped slash stays in the name") << "https://h/f/..%2F..%2Fevil.ttf" << "....evil.ttf";
        QTest::addRow("dot segments") << "https://h/a/../../x.ttf" << "x.ttf";
        QTest::addRow("escaped blank dropped") << "https://h/f/My%20Font.ttf" << "MyFont.ttf";
        QTest::addRow("non-ASCII dropped") << "https://h/f/%C3%A9t%C3%A9.ttf" << "t.ttf";
        QTest::addRow("trailing slash uses the last segment") << "https://h/fonts/Brand.ttf/" << "Brand.ttf";
        QTest::addRow("only dots") << "https://h/f/.." << "";
        QTest::addRow("single dot") << "https://h/f/%2E" << "";
        QTest::addRow("escaped dot-dot") << "https://h/f/%2E%2E" << "";
        QTest::addRow("nothing left") << "https://h/f/%20%21" << "";
        QTest::addRow("no path") << "https://h" << "";
        QTest::addRow("backslashes") << "https://h/f/..%5C..%5Cx.ttf" << "....x.ttf";
    }

    void sanitizedFileName()
    {
        QFETCH(QString, url);
        QFETCH(QString, expected);
        const auto name = WFileManager::sanitizedFileName(QUrl(url));
        QCOMPARE(name.value_or(QString()), expected);
    }

    void storedFileStaysInsideTheFontFolder_data()
    {
        QTest::addColumn<QString>("url");
        QTest::addRow("escaped traversal") << "https://h/f/..%2F..%2F..%2Fescape.ttf";
        QTest::addRow("dot segments") << "https://h/a/../../escape.ttf";
        QTest::addRow("dot-dot name") << "https://h/f/..";
        QTest::addRow("empty name") << "https://h/";
        QTest::addRow("very long name") << QStringLiteral("https://h/f/%1.ttf").arg(QString(400, QLatin1Char('a')));
    }

    void storedFileStaysInsideTheFontFolder()
    {
        QFETCH(QString, url);
        const auto path = WFileManager::downloadedFilePath(QUrl(url), WFileType::Font, "font bytes");
        QVERIFY(path);
        const QFileInfo info(*path);
        QCOMPARE(info.absolutePath(), QFileInfo(fontFolder()).absoluteFilePath());
        QVERIFY(info.fileName().size() <= 130);
        QCOMPARE(readFile(*path), QByteArray("font bytes"));
        QCOMPARE(WFileManager::cachedFilePath(QUrl(url), WFileType::Font), path);
    }

    void firstStoreCreatesTheFolderAndKeepsTheServerName()
    {
        QVERIFY(!QFileInfo::exists(fontFolder()));
        const QUrl url(QStringLiteral("https://h/fonts/Brand.ttf"));
        QCOMPARE(WFileManager::cachedFilePath(url, WFileType::Font), std::nullopt);
        const auto path = WFileManager::downloadedFilePath(url, WFileType::Font, "v1");
        QCOMPARE(path, QDir(fontFolder()).filePath(QStringLiteral("Brand.ttf")));
        QVERIFY(QFileInfo(fontFolder()).isDir());
        QCOMPARE(WFileManager::cachedFilePath(url, WFileType::Font), path);
    }

    void sameNameFromTwoUrlsGetsTwoFiles()
    {
        const QUrl first(QStringLiteral("https://h/a/Brand.ttf"));
        const QUrl second(QStringLiteral("https://h/b/Brand.ttf"));
        const auto firstPath = WFileManager::downloadedFilePath(first, WFileType::Font, "first");
        const auto secondPath = WFileManager::downloadedFilePath(second, WFileType::Font, "second");
        QVERIFY(firstPath && secondPath);
        QVERIFY(*firstPath != *secondPath);
        QVERIFY(QFileInfo(*secondPath).fileName().startsWith(QLatin1String("Brand-")));
        QVERIFY(QFileInfo(*secondPath).fileName().endsWith(QLatin1String(".ttf")));
        QCOMPARE(readFile(*firstPath), QByteArray("first"));
        QCOMPARE(readFile(*secondPath), QByteArray("second"));
        // Each URL finds its own file again, in either order.
        QCOMPARE(WFileManager::cachedFilePath(second, WFileType::Font), secondPath);
        QCOMPARE(WFileManager::cachedFilePath(first, WFileType::Font), firstPath);
    }

    void untrackedFileIsNotTakenForAnotherUrl()
    {
        QVERIFY(QDir().mkpath(fontFolder()));
        QFile stray(QDir(fontFolder()).filePath(QStringLiteral("Brand.ttf")));
        QVERIFY(stray.open(QIODevice::WriteOnly));
        stray.write("unknown origin");
        stray.close();
        const QUrl url(QStringLiteral("https://h/fonts/Brand.ttf"));
        QCOMPARE(WFileManager::cachedFilePath(url, WFileType::Font), std::nullopt);
        const auto path = WFileManager::downloadedFilePath(url, WFileType::Font, "fresh");
        QVERIFY(path);
        QCOMPARE(readFile(*path), QByteArray("fresh"));
    }

    void newDownloadReplacesTheStoredCopy()
    {
        const QUrl url(QStringLiteral("https://h/fonts/Brand.ttf"));
        const auto oldPath = WFileManager::downloadedFilePath(url, WFileType::Font, "old");
        const auto newPath = WFileManager::downloadedFilePath(url, WFileType::Font, "new");
        QCOMPARE(newPath, oldPath);
        QCOMPARE(readFile(*newPath), QByteArray("new"));
        const QStringList files = QDir(fontFolder()).entryList(QDir::Files | QDir::Hidden);
        QCOMPARE(files.filter(QStringLiteral("Brand")).size(), 1);
    }

    void removedFileIsNoLongerCached()
    {
        const QUrl url(QStringLiteral("https://h/fonts/Brand.ttf"));
        const auto path = WFileManager::downloadedFilePath(url, WFileType::Font, "bytes");
        QVERIFY(path);
        WFileManager::removeStoredFile(*path);
        QVERIFY(!QFileInfo::exists(*path));
        QCOMPARE(WFileManager::cachedFilePath(url, WFileType::Font), std::nullopt);
    }

    void plainFileInPlaceOfTheFolderIsLeftAlone()
    {
        QVERIFY(QDir().mkpath(WFileManager::documentsDirectory()));
        QFile plain(fontFolder());
        QVERIFY(plain.open(QIODevice::WriteOnly));
        plain.write("not a folder");
        plain.close();

        QCOMPARE(WFileManager::folderURL(WFileType::Font), std::nullopt);
        QCOMPARE(WFileManager::downloadedFilePath(QUrl(QStringLiteral("https://h/f/a.ttf")), WFileType::Font, "x"), std::nullopt);
        QCOMPARE(readFile(fontFolder()), QByteArray("not a folder"));
    }

    void fileTypeRawValues_data()
    {
        QTest::addColumn<QString>("rawValue");
        QTest::addColumn<int>("expected"); // -1: none
        QTest::addRow("font") << "w_font" << int(WFileType::Font);
        QTest::addRow("json") << "w_json" << int(WFileType::JSON);
        QTest::addRow("empty") << "" << -1;
        QTest::addRow("other case") << "W_FONT" << -1;
    }

    void fileTypeRawValues()
    {
        QFETCH(QString, rawValue);
        QFETCH(int, expected);
        const auto type = WFileManager::fileTypeFromRawValue(rawValue);
        QCOMPARE(type ? int(*type) : -1, expected);
        if (type)
            QCOMPARE(WFileManager::rawValue(*type), rawValue);
    }
};

QTEST_GUILESS_MAIN(tst_WFileManager)
#include "tst_wfilemanager.moc"
