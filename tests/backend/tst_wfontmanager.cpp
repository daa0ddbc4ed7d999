#include "WexoCreator/appearance-model/Theme.h"
#include "WexoCreator/appearance-model/WFonts.h"
#include "WexoCreator/backend/WFeedManager.h"
#include "WexoCreator/backend/WFileManager.h"
#include "WexoCreator/backend/WFontManager.h"

#include "support/BackendFixture.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFontDatabase>
#include <QFileInfo>
#include <QFontInfo>
#include <QStandardPaths>
#include <QTest>
#include <QUuid>

#include <algorithm>

using namespace WexoCreator;

namespace {

QByteArray systemFont(const QString &fileName)
{
    QFile file(QStringLiteral("/usr/share/fonts/truetype/dejavu/") + fileName);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("not a font");
}

QString fontFolder()
{
    return QFileInfo(QDir(WFileManager::documentsDirectory()).filePath(QStringLiteral("w_font"))).absoluteFilePath();
}

QString face(const std::optional<QFont> &font)
{
    return font ? QFontInfo(*font).family() + QLatin1Char(' ') + QFontInfo(*font).styleName() : QString();
}

QString face(const WFonts &font)
{
    return face(WFontManager::fontWithName(*font.fontName(), 14));
}

QString cachedName(const WFonts &font)
{
    const QFileInfo file(font.localURL() ? font.localURL()->toLocalFile() : QString());
    return file.absolutePath() == fontFolder() && file.isFile() ? file.fileName() : QString();
}

// Theme fonts are named uniquely: the font manager keeps its records for the whole process.
std::shared_ptr<WFonts> record(const QString &url)
{
    auto font = std::make_shared<WFonts>();
    font->setFontName(QUuid::createUuid().toString());
    font->setFontUrl(url);
    return font;
}

void download(const QList<std::shared_ptr<WFonts>> &fonts)
{
    auto elements = std::make_shared<ElementConfiguration>();
    elements->setFonts(fonts);
    auto config = std::make_shared<ThemeConfiguration>();
    config->setConfigurations(elements);
    auto theme = std::make_shared<Theme>();
    theme->setConfig(config);
    WFeedManager::downloadFont(theme);
}

} // namespace

class tst_WFontManager : public QObject
{
    Q_OBJECT

    std::unique_ptr<BackendFixture> m_backend;

    qsizetype fontRequests() const { return m_backend->backend().requests().size(); }
    std::shared_ptr<WFonts> remote(const QString &path) const { return record(m_backend->rootUrl() + path); }

    void serve(const QString &path, const QByteArray &body, int status = 200)
    {
        m_backend->backend().script(QStringLiteral("GET"), path, {status, body, "font/ttf"});
    }

    // A record handed to the manager directly with the bytes of a system font.
    std::shared_ptr<WFonts> saved(const QString &file, const QString &name = QUuid::createUuid().toString())
    {
        auto font = record(QStringLiteral("https://f/") + file);
        font->setFontName(name);
        WFontManager::saveFont(font, systemFont(file));
        return font;
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
        const auto regular = remote(QStringLiteral("fonts/DejaVuSans.ttf"));
        const auto bold = remote(QStringLiteral("fonts/DejaVuSans-Bold.ttf"));
        const auto boldAgain = record(*bold->fontUrl());
        download({regular, bold, boldAgain});
        QTRY_VERIFY(regular->localURL() && bold->localURL() && boldAgain->localURL());
        QCOMPARE(cachedName(*bold), QStringLiteral("DejaVuSans-Bold.ttf"));
        QCOMPARE(face(*regular), QStringLiteral("DejaVu Sans Book"));
        QCOMPARE(face(*boldAgain), QStringLiteral("DejaVu Sans Bold"));
        QCOMPARE(fontRequests(), 2);

        // The next run decodes a new theme: its fonts come from the cache, whose
        // files are read off the main thread, so not within this call.
        const auto nextRun = record(*bold->fontUrl());
        download({nextRun});
        QCOMPARE(nextRun->localURL(), std::nullopt);
        QTRY_COMPARE(nextRun->localURL(), bold->localURL());
        QCOMPARE(face(*nextRun), QStringLiteral("DejaVu Sans Bold"));
        QCOMPARE(fontRequests(), 2);
    }

    void unusableFontIsSkipped_data()
    {
        QTest::addColumn<QString>("address"); // relative to the backend's root unless it has a scheme
        QTest::addColumn<int>("status");
        QTest::addColumn<QByteArray>("body");

        QTest::addRow("404") << "fonts/Broken.ttf" << 404 << QByteArray("missing");
        QTest::addRow("not a font") << "fonts/Broken.ttf" << 200 << QByteArray("<html>surprise</html>");
        QTest::addRow("local file") << "file:///usr/share/fonts/truetype/dejavu/DejaVuSans.ttf" << 0 << QByteArray();
    }

    void unusableFontIsSkipped()
    {
        QFETCH(QString, address);
        QFETCH(int, status);
        QFETCH(QByteArray, body);
        if (status)
            serve(QStringLiteral("/fonts/Broken.ttf"), body, status);
        const auto broken = address.contains(QLatin1Char(':')) ? record(address) : remote(address);
        const auto witness = remote(QStringLiteral("fonts/DejaVuSans.ttf"));
        download({broken, std::make_shared<WFonts>(), nullptr, witness});
        QTRY_VERIFY(witness->localURL());
        QTRY_COMPARE(fontRequests(), status ? 2 : 1);
        QCOMPARE(broken->localURL(), std::nullopt);
        QCOMPARE(QDir(fontFolder()).entryList({QStringLiteral("*.ttf")}, QDir::Files), QStringList{"DejaVuSans.ttf"});
    }

    // What the cache folder holds, or the name in the address, never takes the font's file outside it.
    void cacheFile_data()
    {
        QTest::addColumn<QString>("path");       // as the theme gives it
        QTest::addColumn<QString>("servedPath"); // as the backend sees it; "": the backend's own font file
        QTest::addColumn<QString>("before");     // "corrupt": a cached copy that is no font; "plain": a file for the folder
        QTest::addColumn<QString>("face");
        const QString longName = QString(300, QLatin1Char('a')) + ".ttf";
        const QString italic = QStringLiteral("DejaVu Serif Italic");
        QTest::addRow("corrupt cached file is downloaded again") << "fonts/DejaVuSerif-Bold.ttf" << "" << "corrupt" << "DejaVu Serif Bold";
        QTest::addRow("plain file in place of the cache folder")
            << "fonts/DejaVuSansCondensed-Bold.ttf" << "" << "plain" << "DejaVu Sans Condensed Bold";
        QTest::addRow("escaped parent") << "fonts/..%2F..%2FDejaVuSans.ttf" << "/fonts/../../DejaVuSans.ttf" << "" << italic;
        QTest::addRow("dot-dot name") << "fonts/sub/%2E%2E" << "/fonts" << "" << italic;
        QTest::addRow("blank and unicode") << "fonts/My%20F%C3%B6nt.ttf" << "/fonts/My F\u00f6nt.ttf" << "" << italic;
        QTest::addRow("very long name") << "fonts/" + longName << "/fonts/" + longName << "" << italic;
    }

    void cacheFile()
    {
        QFETCH(QString, path);
        QFETCH(QString, servedPath);
        QFETCH(QString, before);
        QFETCH(QString, face);
        if (!servedPath.isEmpty())
            serve(servedPath, systemFont(QStringLiteral("DejaVuSerif-Italic.ttf")));
        const auto font = remote(path);
        std::optional<QString> stored;
        if (before == QLatin1String("corrupt"))
            stored = WFileManager::downloadedFilePath(QUrl(*font->fontUrl()), WFileType::Font, "half a font");
        QVERIFY(QDir().mkpath(WFileManager::documentsDirectory()));
        QFile plain(fontFolder());
        if (before == QLatin1String("plain"))
            QVERIFY(plain.open(QIODevice::WriteOnly) && plain.write("someone else's file") == 19);
        plain.close();

        download({font});
        QTRY_COMPARE(::face(*font), face);
        QCOMPARE(fontRequests(), 1);
        if (before == QLatin1String("plain")) { // registered from memory; the host's file stays as it was
            QCOMPARE(font->localURL(), std::nullopt);
            QCOMPARE(QFileInfo(fontFolder()).size(), qint64(19));
        } else {
            QVERIFY(!cachedName(*font).isEmpty() && cachedName(*font).size() <= 130);
            QCOMPARE(font->localURL()->toLocalFile(), stored.value_or(font->localURL()->toLocalFile()));
        }
    }

    void sameFileNameFromTwoAddressesKeepsBothFonts()
    {
        serve(QStringLiteral("/fonts/a/Brand.ttf"), systemFont(QStringLiteral("DejaVuSans.ttf")));
        serve(QStringLiteral("/fonts/b/Brand.ttf"), systemFont(QStringLiteral("DejaVuSerif.ttf")));
        const auto sans = remote(QStringLiteral("fonts/a/Brand.ttf"));
        const auto serif = remote(QStringLiteral("fonts/b/Brand.ttf"));
        download({sans, serif});
        QTRY_VERIFY(sans->localURL() && serif->localURL());
        QCOMPARE(face(*sans), QStringLiteral("DejaVu Sans Book"));
        QCOMPARE(face(*serif), QStringLiteral("DejaVu Serif Book"));

        // A later run finds each address's own file, whichever comes first.
        const auto serifAgain = record(*serif->fontUrl());
        const auto sansAgain = record(*sans->fontUrl());
        download({serifAgain, sansAgain});
        QTRY_COMPARE(serifAgain->localURL(), serif->localURL());
        QTRY_COMPARE(sansAgain->localURL(), sans->localURL());
    }

    // A font address that changes under the same file name replaces the cached
    // file and the record instead of adding one per theme; files outside stay.
    void cacheKeepsOnlyTheFontsOfTheLatestTheme()
    {
        QVERIFY(QDir().mkpath(WFileManager::documentsDirectory()));
        QFile outside(QDir(WFileManager::documentsDirectory()).filePath(QStringLiteral("host.ttf")));
        QVERIFY(outside.open(QIODevice::WriteOnly) && outside.write("the host's") == 10);
        outside.close();
        const QString name = QUuid::createUuid().toString();
        const auto named = [&name] {
            QList<std::shared_ptr<WFonts>> found;
            for (const auto &font : WFontManager::shared().fonts()) {
                if (font->fontName() == name)
                    found.append(font);
            }
            return found;
        };
        for (int version = 1; version <= 3; ++version) {
            const auto font = remote(QStringLiteral("fonts/DejaVuSans-Bold.ttf?v=%1").arg(version));
            font->setFontName(name);
            download({font});
            QTRY_VERIFY(font->localURL());
            QTRY_COMPARE(QDir(fontFolder()).entryList({QStringLiteral("*.ttf")}, QDir::Files).size(), 1);
            QVERIFY(QFileInfo::exists(font->localURL()->toLocalFile()));
            QTRY_COMPARE(named(), QList{font});
            QCOMPARE(face(*font), QStringLiteral("DejaVu Sans Bold"));
        }
        QVERIFY(outside.exists());
    }

    void fontKeepsTheFaceOfItsFile_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("face");
        QTest::addRow("regular") << "DejaVuSerif.ttf" << "DejaVu Serif Book";
        QTest::addRow("bold face of an installed family") << "DejaVuSans-Bold.ttf" << "DejaVu Sans Bold";
    }

    void fontKeepsTheFaceOfItsFile()
    {
        QFETCH(QString, file);
        QFETCH(QString, face);
        const QString name = *saved(file)->fontName();
        QCOMPARE(::face(WFontManager::fontWithName(name, 21.5)), face);
        // Template sizes are logical pixels, rounded; a size from the backend far
        // outside what a font can be drawn at is bounded.
        QList<int> sizes;
        for (const qreal size : {21.5, 1e300, -4.0, qQNaN()})
            sizes << WFontManager::fontWithName(name, size)->pixelSize();
        QCOMPARE(sizes, (QList<int>{22, 1000, 1, 12}));
    }

    // A name that is no usable font gives the application's font.
    void templateFontsFallBack_data()
    {
        QTest::addColumn<QString>("situation");
        QTest::addRow("default") << "default"; // a record of that name never shadows the fixed font
        QTest::addRow("not a font") << "not a font";
        // Files are read on the font worker only: the manager never opens one itself.
        QTest::addRow("file never handed over") << "file never handed over";
    }

    void templateFontsFallBack()
    {
        QFETCH(QString, situation);
        QString name = QUuid::createUuid().toString();
        if (situation == QLatin1String("default"))
            name = *saved(QStringLiteral("DejaVuSerif.ttf"), QStringLiteral("default"))->fontName();
        else if (situation == QLatin1String("not a font"))
            saved(QStringLiteral("missing.ttf"), name);
        else {
            auto font = record(QStringLiteral("https://f/DejaVuSerif.ttf"));
            font->setFontName(name);
            font->setLocalURL(QUrl::fromLocalFile(QStringLiteral("/usr/share/fonts/truetype/dejavu/DejaVuSerif.ttf")));
            WFontManager::saveFont(font);
        }
        for (const QFont &font : {WFontManager::templateTitleFont(name, 30), WFontManager::templateContentFont(name, 30)})
            QCOMPARE(font.family(), QGuiApplication::font().family());
    }

    // A host adds and removes its own fonts on the main thread whenever it
    // likes; fonts downloaded and read from the cache meanwhile must not crash
    // fontconfig, which is not safe to use from two threads at once.
    void hostChangesItsFontsMeanwhile()
    {
        const QByteArray hostFont = systemFont(QStringLiteral("DejaVuSerif.ttf"));
        for (const bool cached : {false, true}) {
            QList<std::shared_ptr<WFonts>> fonts;
            for (int i = 0; i < 60; ++i)
                fonts << remote(QStringLiteral("fonts/DejaVuSans-Bold.ttf?copy=%1").arg(i));
            download(fonts);
            const auto placed = [&fonts] {
                return std::all_of(fonts.cbegin(), fonts.cend(), [](const auto &font) { return font->localURL().has_value(); });
            };
            QDeadlineTimer deadline(30000);
            while (!placed() && !deadline.hasExpired()) {
                const int id = QFontDatabase::addApplicationFontFromData(hostFont);
                QVERIFY(id >= 0);
                QVERIFY(QFontDatabase::removeApplicationFont(id));
                QCoreApplication::processEvents();
            }
            QVERIFY2(placed(), cached ? "from the cache" : "downloaded");
            QCOMPARE(face(*fonts.constLast()), QStringLiteral("DejaVu Sans Bold"));
        }
        QCOMPARE(fontRequests(), 60);
    }

    void firstRecordOfANameWinsAndRefreshesDoNotPileUp()
    {
        const QString name = QUuid::createUuid().toString();
        const qsizetype before = WFontManager::shared().fonts().size();
        const auto sans = saved(QStringLiteral("DejaVuSans.ttf"), name);
        saved(QStringLiteral("DejaVuSerif.ttf"), name);
        QCOMPARE(face(WFontManager::fontWithName(name)), QStringLiteral("DejaVu Sans Book"));

        // A theme refresh hands in new records for the same name and source.
        WFontManager::saveFont(sans);
        const auto refreshed = saved(QStringLiteral("DejaVuSans.ttf"), name);
        QCOMPARE(WFontManager::shared().fonts().size(), before + 2);
        QVERIFY(WFontManager::shared().fonts().contains(refreshed));
        QVERIFY(!WFontManager::shared().fonts().contains(sans));
    }
};

QTEST_MAIN(tst_WFontManager)
#include "tst_wfontmanager.moc"
