#include "WexoCreator/appearance-model/Theme.h"
#include "WexoCreator/appearance-model/WFonts.h"
#include "WexoCreator/backend/WFeedManager.h"
#include "WexoCreator/backend/WFileManager.h"
#include "WexoCreator/backend/WFontManager.h"

#include "support/BackendFixture.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFontInfo>
#include <QStandardPaths>
#include <QTest>
#include <QUuid>

using namespace WexoCreator;

namespace {

QByteArray systemFont(const QString &fileName)
{
    QFile file(QStringLiteral("/usr/share/fonts/truetype/dejavu/") + fileName);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QString fontFolder()
{
    return QFileInfo(QDir(WFileManager::documentsDirectory()).filePath(QStringLiteral("w_font"))).absoluteFilePath();
}

QString face(const WFonts &font)
{
    const auto qfont = WFontManager::fontWithName(*font.fontName(), 14);
    return qfont ? QFontInfo(*qfont).family() + QLatin1Char(' ') + QFontInfo(*qfont).styleName() : QString();
}

bool storedInCache(const WFonts &font)
{
    return font.localURL() && QFileInfo(font.localURL()->toLocalFile()).absolutePath() == fontFolder()
           && QFileInfo(font.localURL()->toLocalFile()).isFile();
}

} // namespace

class tst_FontCache : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<BackendFixture> m_backend;

    qsizetype fontRequests() const { return m_backend->backend().requests(QStringLiteral("/fonts/")).size(); }

    // Records with names of their own: the font manager keeps them for the whole process.
    std::shared_ptr<WFonts> font(const std::optional<QString> &path) const
    {
        auto record = std::make_shared<WFonts>();
        record->setFontName(QUuid::createUuid().toString());
        if (path)
            record->setFontUrl(path->contains(QLatin1Char(':')) ? *path : m_backend->rootUrl() + *path);
        return record;
    }

    void serve(const QString &path, const QByteArray &body, int status = 200)
    {
        m_backend->backend().script(QStringLiteral("GET"), path, {status, body, "font/ttf"});
    }

    static void download(const QList<std::shared_ptr<WFonts>> &fonts)
    {
        auto elements = std::make_shared<ElementConfiguration>();
        elements->setFonts(fonts);
        auto config = std::make_shared<ThemeConfiguration>();
        config->setConfigurations(elements);
        auto theme = std::make_shared<Theme>();
        theme->setConfig(config);
        WFeedManager::downloadFont(theme);
    }

private Q_SLOTS:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
    }

    void init()
    {
        QDir(WFileManager::documentsDirectory()).removeRecursively();
        m_backend = std::make_unique<BackendFixture>();
        QVERIFY(m_backend->isRunning());
    }

    void cleanup()
    {
        m_backend.reset();
        QDir(WFileManager::documentsDirectory()).removeRecursively();
    }

    void fontsAreDownloadedOnceAndReusedFromTheCache()
    {
        const auto regular = font(QStringLiteral("fonts/DejaVuSans.ttf"));
        const auto bold = font(QStringLiteral("fonts/DejaVuSans-Bold.ttf"));
        const auto boldAgain = font(bold->fontUrl());
        download({regular, bold, boldAgain});
        QTRY_VERIFY(regular->localURL() && bold->localURL() && boldAgain->localURL());
        QVERIFY(storedInCache(*regular));
        QCOMPARE(QFileInfo(bold->localURL()->toLocalFile()).fileName(), QStringLiteral("DejaVuSans-Bold.ttf"));
        QCOMPARE(face(*regular), QStringLiteral("DejaVu Sans Book"));
        QCOMPARE(face(*boldAgain), QStringLiteral("DejaVu Sans Bold"));
        QCOMPARE(fontRequests(), 2);

        // The next run decodes a new theme: its fonts come from the cache at once.
        const auto nextRun = font(bold->fontUrl());
        download({nextRun});
        QCOMPARE(nextRun->localURL(), bold->localURL());
        QCOMPARE(face(*nextRun), QStringLiteral("DejaVu Sans Bold"));
        QCOMPARE(fontRequests(), 2);
    }

    void failedDownloadLeavesNoFile_data()
    {
        QTest::addColumn<int>("status");
        QTest::addColumn<QByteArray>("body");
        QTest::addRow("not found") << 404 << QByteArray("missing");
        QTest::addRow("server error") << 500 << systemFont(QStringLiteral("DejaVuSans.ttf"));
        QTest::addRow("not a font") << 200 << QByteArray("<html>surprise</html>");
        QTest::addRow("truncated font") << 200 << systemFont(QStringLiteral("DejaVuSans.ttf")).left(64);
    }

    void failedDownloadLeavesNoFile()
    {
        QFETCH(int, status);
        QFETCH(QByteArray, body);
        serve(QStringLiteral("/fonts/Broken.ttf"), body, status);
        const auto broken = font(QStringLiteral("fonts/Broken.ttf"));
        const auto witness = font(QStringLiteral("fonts/DejaVuSans.ttf"));
        download({broken, witness});
        QTRY_VERIFY(witness->localURL());
        QTRY_COMPARE(fontRequests(), 2);
        QCOMPARE(broken->localURL(), std::nullopt);
        QCOMPARE(WFontManager::templateTitleFont(*broken->fontName(), 30).pointSizeF(), 16.0);
        QCOMPARE(QDir(fontFolder()).entryList({QStringLiteral("Broken*")}, QDir::Files), QStringList());
    }

    void corruptCachedFileIsDownloadedAgain()
    {
        const auto record = font(QStringLiteral("fonts/DejaVuSerif-Bold.ttf"));
        const auto stored = WFileManager::downloadedFilePath(QUrl(*record->fontUrl()), WFileType::Font, "half a font");
        QVERIFY(stored);
        download({record});
        QTRY_COMPARE(face(*record), QStringLiteral("DejaVu Serif Bold"));
        QCOMPARE(record->localURL()->toLocalFile(), *stored);
        QCOMPARE(fontRequests(), 1);
    }

    void onlyWebAddressesAreFetched_data()
    {
        QTest::addColumn<QString>("address");
        QTest::addRow("local file") << "file:///usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";
        QTest::addRow("ftp") << "ftp://127.0.0.1/DejaVuSans.ttf";
        QTest::addRow("relative") << "fonts/DejaVuSans.ttf";
        QTest::addRow("no host") << "https:///fonts/DejaVuSans.ttf";
        QTest::addRow("not a URL") << "http://[::1/x.ttf";
        QTest::addRow("resource") << ":/WexoCreator/fonts/x.ttf";
    }

    void onlyWebAddressesAreFetched()
    {
        QFETCH(QString, address);
        auto skipped = std::make_shared<WFonts>();
        skipped->setFontName(QUuid::createUuid().toString());
        skipped->setFontUrl(address);
        const auto witness = font(QStringLiteral("fonts/DejaVuSans.ttf"));
        download({skipped, font(std::nullopt), nullptr, witness});
        QTRY_VERIFY(witness->localURL());
        QCOMPARE(skipped->localURL(), std::nullopt);
        QCOMPARE(m_backend->backend().requests().size(), 1);
    }

    void unsafeNamesAreStoredInsideTheCache_data()
    {
        QTest::addColumn<QString>("path");       // as the theme gives it
        QTest::addColumn<QString>("servedPath"); // as the backend sees it
        QTest::addRow("escaped parent") << "fonts/..%2F..%2FDejaVuSans.ttf" << "/fonts/../../DejaVuSans.ttf";
        QTest::addRow("escaped backslash") << "fonts/..%5CDejaVuSans.ttf" << "/fonts/..\\DejaVuSans.ttf";
        QTest::addRow("dot-dot name") << "fonts/sub/%2E%2E" << "/fonts";
        QTest::addRow("blank and unicode") << "fonts/My%20F%C3%B6nt.ttf" << "/fonts/My F\u00f6nt.ttf";
        QTest::addRow("very long name") << "fonts/" + QString(300, QLatin1Char('a')) + ".ttf" << "/fonts/" + QString(300, QLatin1Char('a')) + ".ttf";
    }

    void unsafeNamesAreStoredInsideTheCache()
    {
        QFETCH(QString, path);
        QFETCH(QString, servedPath);
        serve(servedPath, systemFont(QStringLiteral("DejaVuSerif-Italic.ttf")));
        const auto record = font(path);
        download({record});
        QTRY_VERIFY(record->localURL());
        QVERIFY(storedInCache(*record));
        QVERIFY(QFileInfo(record->localURL()->toLocalFile()).fileName().size() <= 130);
        QCOMPARE(face(*record), QStringLiteral("DejaVu Serif Italic"));
    }

    void sameFileNameFromTwoAddressesKeepsBothFonts()
    {
        serve(QStringLiteral("/fonts/a/Brand.ttf"), systemFont(QStringLiteral("DejaVuSans.ttf")));
        serve(QStringLiteral("/fonts/b/Brand.ttf"), systemFont(QStringLiteral("DejaVuSerif.ttf")));
        const auto sans = font(QStringLiteral("fonts/a/Brand.ttf"));
        const auto serif = font(QStringLiteral("fonts/b/Brand.ttf"));
        download({sans, serif});
        QTRY_VERIFY(sans->localURL() && serif->localURL());
        QCOMPARE(face(*sans), QStringLiteral("DejaVu Sans Book"));
        QCOMPARE(face(*serif), QStringLiteral("DejaVu Serif Book"));

        // A later run finds each address's own file, whichever comes first.
        const auto serifAgain = font(serif->fontUrl());
        const auto sansAgain = font(sans->fontUrl());
        download({serifAgain, sansAgain});
        QCOMPARE(serifAgain->localURL(), serif->localURL());
        QCOMPARE(sansAgain->localURL(), sans->localURL());
    }

    void plainFileInPlaceOfTheCacheFolder()
    {
        QVERIFY(QDir().mkpath(WFileManager::documentsDirectory()));
        QFile plain(fontFolder());
        QVERIFY(plain.open(QIODevice::WriteOnly) && plain.write("someone else's file") == 19);
        plain.close();

        const auto record = font(QStringLiteral("fonts/DejaVuSansCondensed-Bold.ttf"));
        download({record});
        QTRY_COMPARE(face(*record), QStringLiteral("DejaVu Sans Condensed Bold"));
        QCOMPARE(record->localURL(), std::nullopt);
        QCOMPARE(QFileInfo(fontFolder()).size(), qint64(19));
    }
};

QTEST_MAIN(tst_FontCache)
#include "tst_fontcache.moc"
