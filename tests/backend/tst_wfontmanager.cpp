#include "WexoCreator/appearance-model/WFonts.h"
#include "WexoCreator/backend/WFileManager.h"
#include "WexoCreator/backend/WFontManager.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFontInfo>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QUuid>

using namespace WexoCreator;

namespace {

const QString kDejaVuFolder = QStringLiteral("/usr/share/fonts/truetype/dejavu/");

QByteArray systemFontBytes(const QString &fileName)
{
    QFile file(kDejaVuFolder + fileName);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

std::shared_ptr<WFonts> record(const QString &name, const QString &url, const std::optional<QString> &localPath = std::nullopt)
{
    auto font = std::make_shared<WFonts>();
    font->setFontName(name);
    font->setFontUrl(url);
    if (localPath)
        font->setLocalURL(QUrl::fromLocalFile(*localPath));
    return font;
}

// Each test uses names of its own: the manager lives for the whole process.
QString uniqueName(const char *prefix)
{
    return QString::fromLatin1(prefix) + QUuid::createUuid().toString(QUuid::Id128);
}

} // namespace

class tst_WFontManager : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;

    QString copyOf(const QString &fileName)
    {
        const QString target = m_dir.filePath(QUuid::createUuid().toString(QUuid::Id128) + fileName);
        if (!QFile::copy(kDejaVuFolder + fileName, target))
            return {};
        return target;
    }

    static QString cached(const QString &name, const QByteArray &data)
    {
        return WFileManager::downloadedFilePath(QUrl(QStringLiteral("https://fonts.example/") + name), WFileType::Font, data).value_or(QString());
    }

private Q_SLOTS:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        QDir(WFileManager::documentsDirectory()).removeRecursively();
        QVERIFY(m_dir.isValid());
        QVERIFY2(QFileInfo::exists(kDejaVuFolder + QStringLiteral("DejaVuSerif.ttf")), "needs fonts-dejavu-core");
    }

    void cleanupTestCase()
    {
        QDir(WFileManager::documentsDirectory()).removeRecursively();
    }

    void registeredFontIsFoundByTheThemeName_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("family");
        QTest::addColumn<QString>("styleName");
        QTest::addRow("regular") << "DejaVuSerif.ttf" << "DejaVu Serif" << "Book";
        QTest::addRow("bold face of an installed family") << "DejaVuSans-Bold.ttf" << "DejaVu Sans" << "Bold";
        QTest::addRow("italic") << "DejaVuSerif-Italic.ttf" << "DejaVu Serif" << "Italic";
        QTest::addRow("condensed") << "DejaVuSansCondensed.ttf" << "DejaVu Sans" << "Condensed";
        QTest::addRow("extra light") << "DejaVuSans-ExtraLight.ttf" << "DejaVu Sans" << "ExtraLight";
    }

    void registeredFontIsFoundByTheThemeName()
    {
        QFETCH(QString, file);
        QFETCH(QString, family);
        QFETCH(QString, styleName);
        const QString name = uniqueName("Heading");
        WFontManager::saveFont(record(name, QStringLiteral("https://f/") + file, copyOf(file)));

        const auto font = WFontManager::fontWithName(name, 21.5);
        QVERIFY(font);
        QCOMPARE(font->pointSizeF(), 21.5);
        const QFontInfo info(*font);
        QCOMPARE(info.family(), family);
        QCOMPARE(info.styleName(), styleName);
        QCOMPARE(WFontManager::fontWithName(name)->pointSizeF(), 12.0);
        QCOMPARE(QFontInfo(WFontManager::templateContentFont(name, 9)).styleName(), styleName);
    }

    void registrationIsReusedAcrossLookups()
    {
        const QString path = copyOf(QStringLiteral("DejaVuSansMono.ttf"));
        const QString name = uniqueName("Mono");
        WFontManager::saveFont(record(name, QStringLiteral("https://f/mono.ttf"), path));
        QVERIFY(WFontManager::fontWithName(name));
        // The file is not read again once registered.
        QVERIFY(QFile::remove(path));
        for (int i = 0; i < 3; ++i)
            QCOMPARE(WFontManager::fontWithName(name, 11)->family(), QStringLiteral("DejaVu Sans Mono"));
    }

    void templateFontsFallBack_data()
    {
        QTest::addColumn<int>("kind"); // 0 title, 1 tap here, 2 content
        QTest::addColumn<QString>("situation");
        QTest::addColumn<qreal>("pointSize");
        QTest::addColumn<int>("weight");

        const QStringList situations{QStringLiteral("default"), QStringLiteral("unknown"), QStringLiteral("deleted file"),
                                     QStringLiteral("no local file"), QStringLiteral("not a font")};
        for (const QString &situation : situations) {
            QTest::addRow("title, %s", qPrintable(situation)) << 0 << situation << 16.0 << int(QFont::Bold);
            QTest::addRow("tap here, %s", qPrintable(situation)) << 1 << situation << 10.0 << int(QFont::Light);
            QTest::addRow("content, %s", qPrintable(situation)) << 2 << situation << 14.0 << int(QFont::Medium);
        }
    }

    void templateFontsFallBack()
    {
        QFETCH(int, kind);
        QFETCH(QString, situation);
        QFETCH(qreal, pointSize);
        QFETCH(int, weight);

        QString name = uniqueName("Font");
        if (situation == QLatin1String("default")) {
            // A record that calls itself "default" never shadows the sentinel.
            name = QStringLiteral("default");
            WFontManager::saveFont(record(name, QStringLiteral("https://f/default.ttf"), copyOf(QStringLiteral("DejaVuSerif.ttf"))));
        } else if (situation == QLatin1String("deleted file")) {
            const QString path = copyOf(QStringLiteral("DejaVuSerif.ttf"));
            QVERIFY(QFile::remove(path));
            WFontManager::saveFont(record(name, QStringLiteral("https://f/gone.ttf"), path));
        } else if (situation == QLatin1String("no local file")) {
            WFontManager::saveFont(record(name, QStringLiteral("https://f/none.ttf")));
        } else if (situation == QLatin1String("not a font")) {
            const QString path = m_dir.filePath(name + QStringLiteral(".ttf"));
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write("definitely not a font");
            file.close();
            WFontManager::saveFont(record(name, QStringLiteral("https://f/bad.ttf"), path));
        }

        const qreal askedSize = 30;
        const QFont font = kind == 0 ? WFontManager::templateTitleFont(name, askedSize)
                         : kind == 1 ? WFontManager::templateTapHereFont(name, askedSize)
                                     : WFontManager::templateContentFont(name, askedSize);
        QCOMPARE(font.pointSizeF(), pointSize);
        QCOMPARE(int(font.weight()), weight);
        QCOMPARE(font.family(), QGuiApplication::font().family());
        if (situation != QLatin1String("default"))
            QCOMPARE(WFontManager::fontWithName(name), std::nullopt);
    }

    void corruptCachedFileIsDeleted()
    {
        const QString name = uniqueName("Corrupt");
        const QString path = cached(name + QStringLiteral(".ttf"), "garbage");
        QVERIFY(QFileInfo::exists(path));
        WFontManager::saveFont(record(name, QStringLiteral("https://fonts.example/") + name + QStringLiteral(".ttf"), path));
        QCOMPARE(WFontManager::fontWithName(name), std::nullopt);
        QVERIFY(!QFileInfo::exists(path));
        QCOMPARE(WFileManager::cachedFilePath(QUrl(QStringLiteral("https://fonts.example/") + name + QStringLiteral(".ttf")), WFileType::Font),
                 std::nullopt);
    }

    void fileOutsideTheCacheIsNeverDeleted()
    {
        const QString path = m_dir.filePath(QStringLiteral("keep-me.ttf"));
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("not a font");
        file.close();
        QCOMPARE(WFontManager::shared().registerFile(path), std::nullopt);
        QVERIFY(QFileInfo::exists(path));
    }

    void firstRecordOfANameWins()
    {
        const QString name = uniqueName("Twice");
        WFontManager::saveFont(record(name, QStringLiteral("https://f/a/x.ttf"), copyOf(QStringLiteral("DejaVuSans.ttf"))));
        WFontManager::saveFont(record(name, QStringLiteral("https://f/b/x.ttf"), copyOf(QStringLiteral("DejaVuSerif.ttf"))));
        QCOMPARE(QFontInfo(*WFontManager::fontWithName(name)).family(), QStringLiteral("DejaVu Sans"));
    }

    void fontListKeepsOneRecordPerNameAndSource()
    {
        const QString name = uniqueName("Dedup");
        const QString url = QStringLiteral("https://f/dedup.ttf");
        const qsizetype before = WFontManager::shared().fonts().size();

        const auto first = record(name, url, copyOf(QStringLiteral("DejaVuSans.ttf")));
        WFontManager::saveFont(first);
        WFontManager::saveFont(first);
        // A theme refresh brings a new record for the same font.
        const auto refreshed = record(name, url, copyOf(QStringLiteral("DejaVuSans.ttf")));
        WFontManager::saveFont(refreshed);
        QCOMPARE(WFontManager::shared().fonts().size(), before + 1);
        QCOMPARE(WFontManager::shared().fonts().constLast(), refreshed);

        WFontManager::saveFont(record(name, QStringLiteral("https://f/other.ttf")));
        QCOMPARE(WFontManager::shared().fonts().size(), before + 2);
    }

    void fontKeptInMemoryWhenItCouldNotBeStored()
    {
        const QString name = uniqueName("Memory");
        WFontManager::saveFont(record(name, QStringLiteral("https://f/memory.ttf")), systemFontBytes(QStringLiteral("DejaVuSerif-Bold.ttf")));
        const QFontInfo info(*WFontManager::fontWithName(name, 13));
        QCOMPARE(info.family(), QStringLiteral("DejaVu Serif"));
        QCOMPARE(info.styleName(), QStringLiteral("Bold"));
    }
};

QTEST_MAIN(tst_WFontManager)
#include "tst_wfontmanager.moc"
