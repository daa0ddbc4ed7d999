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

std::shared_ptr<WFonts> fontRecord(const std::optional<QString> &url)
{
    auto font = std::make_shared<WFonts>();
    // Names of their own: the font manager keeps records for the whole process.
    font->setFontName(QUuid::createUuid().toString(QUuid::Id128));
    font->setFontUrl(url);
    return font;
}

std::shared_ptr<Theme> themeWith(const QList<std::shared_ptr<WFonts>> &fonts)
{
    auto elements = std::make_shared<ElementConfiguration>();
    elements->setFonts(fonts);
    auto config = std::make_shared<ThemeConfiguration>();
    config->setConfigurations(elements);
    auto theme = std::make_shared<Theme>();
    theme->setConfig(config);
    return theme;
}

QString fontFolder()
{
    return QDir(WFileManager::documentsDirectory()).filePath(QStringLiteral("w_font"));
}

bool isInFontFolder(const std::optional<QUrl> &localUrl)
{
    return localUrl && QFileInfo(localUrl->toLocalFile()).absolutePath() == QFileInfo(fontFolder()).absoluteFilePath()
           && QFileInfo(localUrl->toLocalFile()).isFile();
}

QString styleOf(const WFonts &font)
{
    const auto qfont = WFontManager::fontWithName(*font.fontName(), 14);
    return qfont ? QFontInfo(*qfont).family() + QLatin1Char(' ') + QFontInfo(*qfont).styleName() : QString();
}

} // namespace

class tst_FontDownload : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<BackendFixture> m_backend;

    QString url(const QString &path) const { return m_backend->rootUrl() + path; }
    qsizetype fontRequests() const { return m_backend->backend().requests(QStringLiteral("/fonts/")).size(); }

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
    }

    void cleanupTestCase()
    {
        QDir(WFileManager::documentsDirectory()).removeRecursively();
    }

    void themeFontsAreDownloadedCachedAndUsable()
    {
        const auto regular = fontRecord(url(QStringLiteral("fonts/DejaVuSans.ttf")));
        const auto bold = fontRecord(url(QStringLiteral("fonts/DejaVuSans-Bold.ttf")));
        const qsizetype before = WFontManager::shared().fonts().size();
        WFeedManager::downloadFont(themeWith({regular, bold}));

        QTRY_VERIFY(regular->localURL() && bold->localURL());
        QVERIFY(isInFontFolder(regular->localURL()));
        QCOMPARE(QFileInfo(bold->localURL()->toLocalFile()).fileName(), QStringLiteral("DejaVuSans-Bold.ttf"));
        QCOMPARE(styleOf(*regular), QStringLiteral("DejaVu Sans Book"));
        QCOMPARE(styleOf(*bold), QStringLiteral("DejaVu Sans Bold"));
        QCOMPARE(WFontManager::shared().fonts().size(), before + 2);
        QCOMPARE(fontRequests(), 2);
    }

    void cachedFontIsReusedWithoutARequest()
    {
        const QString address = url(QStringLiteral("fonts/DejaVuSerif.ttf"));
        const auto first = fontRecord(address);
        WFeedManager::downloadFont(themeWith({first}));
        QTRY_VERIFY(first->localURL());
        QCOMPARE(fontRequests(), 1);

        // The next run decodes a new theme with new records.
        const auto again = fontRecord(address);
        WFeedManager::downloadFont(themeWith({again}));
        QCOMPARE(again->localURL(), first->localURL());
        QCOMPARE(styleOf(*again), QStringLiteral("DejaVu Serif Book"));
        QCOMPARE(fontRequests(), 1);
    }

    void oneRequestPerAddressWhileDownloading()
    {
        const QString address = url(QStringLiteral("fonts/DejaVuSansMono.ttf"));
        const auto first = fontRecord(address);
        const auto second = fontRecord(address);
        WFeedManager::downloadFont(themeWith({first, second}));
        WFeedManager::downloadFont(themeWith({fontRecord(address)}));
        QTRY_VERIFY(first->localURL() && second->localURL());
        QCOMPARE(second->localURL(), first->localURL());
        QCOMPARE(styleOf(*second), QStringLiteral("DejaVu Sans Mono Book"));
        QCOMPARE(fontRequests(), 1);
    }

    void failedFontLeavesNoFileAndFallsBack_data()
    {
        QTest::addColumn<int>("status");
        QTest::addColumn<QByteArray>("body");
        QTest::addRow("not found") << 404 << QByteArray("missing");
        QTest::addRow("server error") << 500 << QByteArray();
        QTest::addRow("not a font") << 200 << QByteArray("<html>surprise</html>");
        QTest::addRow("truncated font") << 200 << systemFont(QStringLiteral("DejaVuSans.ttf")).left(64);
    }

    void failedFontLeavesNoFileAndFallsBack()
    {
        QFETCH(int, status);
        QFETCH(QByteArray, body);
        m_backend->backend().script(QStringLiteral("GET"), QStringLiteral("/fonts/Broken.ttf"), {status, body, "font/ttf"});
        const auto broken = fontRecord(url(QStringLiteral("fonts/Broken.ttf")));
        const auto witness = fontRecord(url(QStringLiteral("fonts/DejaVuSans.ttf")));
        WFeedManager::downloadFont(themeWith({broken, witness}));

        QTRY_VERIFY(witness->localURL());
        QTRY_COMPARE(fontRequests(), 2);
        QCOMPARE(broken->localURL(), std::nullopt);
        QCOMPARE(WFontManager::fontWithName(*broken->fontName()), std::nullopt);
        QCOMPARE(WFontManager::templateTitleFont(*broken->fontName(), 30).pointSizeF(), 16.0);
        QCOMPARE(QDir(fontFolder()).entryList({QStringLiteral("Broken*")}, QDir::Files), QStringList());
        QCOMPARE(WFileManager::cachedFilePath(QUrl(*broken->fontUrl()), WFileType::Font), std::nullopt);
    }

    void corruptCachedFileIsDownloadedAgain()
    {
        const QString address = url(QStringLiteral("fonts/DejaVuSerif-Bold.ttf"));
        const auto stored = WFileManager::downloadedFilePath(QUrl(address), WFileType::Font, "half a font");
        QVERIFY(stored);

        const auto font = fontRecord(address);
        WFeedManager::downloadFont(themeWith({font}));
        QTRY_VERIFY(font->localURL());
        QCOMPARE(font->localURL()->toLocalFile(), *stored);
        QCOMPARE(styleOf(*font), QStringLiteral("DejaVu Serif Bold"));
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
        QTest::addRow("empty") << "";
        QTest::addRow("resource") << ":/WexoCreator/fonts/x.ttf";
    }

    void onlyWebAddressesAreFetched()
    {
        QFETCH(QString, address);
        const auto skipped = fontRecord(address);
        const auto absent = fontRecord(std::nullopt);
        const auto witness = fontRecord(url(QStringLiteral("fonts/DejaVuSans.ttf")));
        WFeedManager::downloadFont(themeWith({skipped, absent, witness}));
        QTRY_VERIFY(witness->localURL());
        QCOMPARE(skipped->localURL(), std::nullopt);
        QCOMPARE(WFontManager::fontWithName(*skipped->fontName()), std::nullopt);
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
    }

    void unsafeNamesAreStoredInsideTheCache()
    {
        QFETCH(QString, path);
        QFETCH(QString, servedPath);
        m_backend->backend().script(QStringLiteral("GET"), servedPath, {200, systemFont(QStringLiteral("DejaVuSerif-Italic.ttf")), "font/ttf"});
        const auto font = fontRecord(url(path));
        WFeedManager::downloadFont(themeWith({font}));
        QTRY_VERIFY(font->localURL());
        QVERIFY(isInFontFolder(font->localURL()));
        QCOMPARE(styleOf(*font), QStringLiteral("DejaVu Serif Italic"));
        QVERIFY(!QFileInfo::exists(QDir(WFileManager::documentsDirectory()).filePath(QStringLiteral("DejaVuSans.ttf"))));
    }

    void sameFileNameFromTwoAddressesKeepsBothFonts()
    {
        m_backend->backend().script(QStringLiteral("GET"), QStringLiteral("/fonts/a/Brand.ttf"), {200, systemFont(QStringLiteral("DejaVuSans.ttf")), "font/ttf"});
        m_backend->backend().script(QStringLiteral("GET"), QStringLiteral("/fonts/b/Brand.ttf"), {200, systemFont(QStringLiteral("DejaVuSerif.ttf")), "font/ttf"});
        const auto sans = fontRecord(url(QStringLiteral("fonts/a/Brand.ttf")));
        const auto serif = fontRecord(url(QStringLiteral("fonts/b/Brand.ttf")));
        WFeedManager::downloadFont(themeWith({sans, serif}));
        QTRY_VERIFY(sans->localURL() && serif->localURL());
        QVERIFY(*sans->localURL() != *serif->localURL());
        QCOMPARE(styleOf(*sans), QStringLiteral("DejaVu Sans Book"));
        QCOMPARE(styleOf(*serif), QStringLiteral("DejaVu Serif Book"));

        // A later run finds each address's own file.
        const auto serifAgain = fontRecord(*serif->fontUrl());
        WFeedManager::downloadFont(themeWith({serifAgain}));
        QCOMPARE(serifAgain->localURL(), serif->localURL());
    }

    void plainFileInPlaceOfTheCacheFolder()
    {
        QVERIFY(QDir().mkpath(WFileManager::documentsDirectory()));
        QFile plain(fontFolder());
        QVERIFY(plain.open(QIODevice::WriteOnly));
        plain.write("someone else's file");
        plain.close();

        const auto font = fontRecord(url(QStringLiteral("fonts/DejaVuSansCondensed-Bold.ttf")));
        WFeedManager::downloadFont(themeWith({font}));
        QTRY_COMPARE(styleOf(*font), QStringLiteral("DejaVu Sans Condensed Bold"));
        QCOMPARE(font->localURL(), std::nullopt);
        QVERIFY(QFileInfo(fontFolder()).isFile());
        QCOMPARE(QFileInfo(fontFolder()).size(), qint64(19));
    }

    void themeWithoutFontsStartsNothing_data()
    {
        QTest::addColumn<int>("missing"); // 0 theme, 1 config, 2 configurations, 3 font list
        QTest::addRow("no theme") << 0;
        QTest::addRow("no config") << 1;
        QTest::addRow("no element configuration") << 2;
        QTest::addRow("no font list") << 3;
    }

    void themeWithoutFontsStartsNothing()
    {
        QFETCH(int, missing);
        std::shared_ptr<Theme> theme = missing == 0 ? nullptr : themeWith({});
        if (missing == 1)
            theme->setConfig(nullptr);
        if (missing == 2)
            theme->config()->setConfigurations(nullptr);
        if (missing == 3)
            theme->config()->Configurations()->setFonts(std::nullopt);
        WFeedManager::downloadFont(theme);
        // A request would have been recorded by the time this one answers.
        const auto witness = fontRecord(url(QStringLiteral("fonts/DejaVuSans.ttf")));
        WFeedManager::downloadFont(themeWith({witness}));
        QTRY_VERIFY(witness->localURL());
        QCOMPARE(fontRequests(), 1);
    }
};

QTEST_MAIN(tst_FontDownload)
#include "tst_fontdownload.moc"
