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

class tst_WFontManager : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;

    // A record under a name of its own (the manager lives for the whole
    // process) whose file is a copy of a system font, or garbage.
    std::shared_ptr<WFonts> saved(const QString &file, const QString &name = QUuid::createUuid().toString())
    {
        QFile source(QStringLiteral("/usr/share/fonts/truetype/dejavu/") + file);
        const QByteArray bytes = source.open(QIODevice::ReadOnly) ? source.readAll() : QByteArray("not a font");
        QFile copy(m_dir.filePath(QUuid::createUuid().toString(QUuid::Id128)));
        if (!copy.open(QIODevice::WriteOnly) || copy.write(bytes) != bytes.size())
            return nullptr;
        auto font = std::make_shared<WFonts>();
        font->setFontName(name);
        font->setFontUrl(QStringLiteral("https://f/") + file);
        font->setLocalURL(QUrl::fromLocalFile(copy.fileName()));
        WFontManager::saveFont(font);
        return font;
    }

    static QString face(const std::optional<QFont> &font)
    {
        return font ? QFontInfo(*font).family() + QLatin1Char(' ') + QFontInfo(*font).styleName() : QString();
    }

private Q_SLOTS:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        QVERIFY(m_dir.isValid());
    }

    void fontKeepsTheFaceOfItsFile_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("face");
        QTest::addRow("regular") << "DejaVuSerif.ttf" << "DejaVu Serif Book";
        QTest::addRow("bold face of an installed family") << "DejaVuSans-Bold.ttf" << "DejaVu Sans Bold";
        QTest::addRow("italic") << "DejaVuSerif-Italic.ttf" << "DejaVu Serif Italic";
        QTest::addRow("condensed") << "DejaVuSansCondensed.ttf" << "DejaVu Sans Condensed";
        QTest::addRow("extra light") << "DejaVuSans-ExtraLight.ttf" << "DejaVu Sans ExtraLight";
    }

    void fontKeepsTheFaceOfItsFile()
    {
        QFETCH(QString, file);
        QFETCH(QString, face);
        const auto font = saved(file);
        QCOMPARE(tst_WFontManager::face(WFontManager::fontWithName(*font->fontName(), 21.5)), face);
        QCOMPARE(WFontManager::fontWithName(*font->fontName(), 21.5)->pointSizeF(), 21.5);
        QCOMPARE(WFontManager::fontWithName(*font->fontName())->pointSizeF(), 12.0);
        // Registered once: later lookups no longer need the file.
        QVERIFY(QFile::remove(font->localURL()->toLocalFile()));
        QCOMPARE(tst_WFontManager::face(WFontManager::templateContentFont(*font->fontName(), 9)), face);
    }

    void templateFontsFallBack_data()
    {
        QTest::addColumn<int>("kind"); // 0 title, 1 tap here, 2 content
        QTest::addColumn<QString>("situation");
        QTest::addColumn<qreal>("pointSize");
        QTest::addColumn<int>("weight");
        for (const char *situation : {"default", "unknown name", "deleted file", "no local file", "not a font"}) {
            QTest::addRow("title, %s", situation) << 0 << situation << 16.0 << int(QFont::Bold);
            QTest::addRow("tap here, %s", situation) << 1 << situation << 10.0 << int(QFont::Light);
            QTest::addRow("content, %s", situation) << 2 << situation << 14.0 << int(QFont::Medium);
        }
    }

    void templateFontsFallBack()
    {
        QFETCH(int, kind);
        QFETCH(QString, situation);
        QFETCH(qreal, pointSize);
        QFETCH(int, weight);
        QString name = QUuid::createUuid().toString();
        if (situation == QLatin1String("default")) // a record of that name never shadows the sentinel
            name = *saved(QStringLiteral("DejaVuSerif.ttf"), QStringLiteral("default"))->fontName();
        else if (situation == QLatin1String("deleted file"))
            QVERIFY(QFile::remove(saved(QStringLiteral("DejaVuSerif.ttf"), name)->localURL()->toLocalFile()));
        else if (situation == QLatin1String("no local file"))
            saved(QStringLiteral("DejaVuSerif.ttf"), name)->setLocalURL(std::nullopt);
        else if (situation == QLatin1String("not a font"))
            saved(QStringLiteral("missing.ttf"), name);

        const QFont font = kind == 0 ? WFontManager::templateTitleFont(name, 30)
                         : kind == 1 ? WFontManager::templateTapHereFont(name, 30)
                                     : WFontManager::templateContentFont(name, 30);
        QCOMPARE(font.pointSizeF(), pointSize);
        QCOMPARE(int(font.weight()), weight);
        QCOMPARE(font.family(), QGuiApplication::font().family());
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

    void unusableFontFileIsDeletedOnlyFromTheCache()
    {
        const QUrl url(QStringLiteral("https://f/Broken.ttf"));
        const auto cached = WFileManager::downloadedFilePath(url, WFileType::Font, "half a font");
        QVERIFY(cached);
        QVERIFY(!WFontManager::shared().registerFile(*cached));
        QVERIFY(!QFileInfo::exists(*cached));
        QCOMPARE(WFileManager::cachedFilePath(url, WFileType::Font), std::nullopt);

        const auto outside = saved(QStringLiteral("missing.ttf"));
        QCOMPARE(WFontManager::fontWithName(*outside->fontName()), std::nullopt);
        QVERIFY(QFileInfo::exists(outside->localURL()->toLocalFile()));
    }
};

QTEST_MAIN(tst_WFontManager)
#include "tst_wfontmanager.moc"
