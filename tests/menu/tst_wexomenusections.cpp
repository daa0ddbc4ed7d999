#include "WexoCreator/appearance-model/Theme.h"
#include "WexoCreator/configuration/WAppearanceState.h"
#include "WexoCreator/menu/WexoMenuSections.h"
#include "WexoCreator/menu/WexoOptionsViewController.h"
#include "WexoCreator/model/WJsonDecoder.h"

#include <QFile>
#include <QTest>

using namespace WexoCreator;

namespace {

using Rows = WexoMenuSections::FixedRows;
using Release = WexoOptionsViewController::ReleaseAction;

WexoOption named(const QString &name)
{
    WexoOption row;
    row.displayName = name;
    row.type = WexoOptionType::play;
    return row;
}

// "Title: row, row | Title: row" for a quick look at sections.
QString outline(const QList<WexoSection> &sections)
{
    QStringList parts;
    for (const WexoSection &section : sections) {
        QStringList names;
        for (const WexoOption &row : section.sectionOptions.value_or(QList<WexoOption>()))
            names << row.displayName.value_or(QStringLiteral("-"));
        parts << section.sectionName.value_or(QString()) + QStringLiteral(": ") + names.join(QStringLiteral(", "));
    }
    return parts.join(QStringLiteral(" | "));
}

} // namespace

class tst_WexoMenuSections : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void contentURL()
    {
        WAppearanceState::setTheme(nullptr);
        const auto urlOf = [](std::optional<WexoOptionType> type) {
            WexoOption row;
            row.type = type;
            return row.contentURL().toString();
        };
        // Rows without an address of their own get the library's home page, a secure address.
        for (auto type : {std::optional(WexoOptionType::play), std::optional(WexoOptionType::poweredBy), std::optional(WexoOptionType::none),
                          std::optional<WexoOptionType>()})
            QCOMPARE(urlOf(type), QStringLiteral("https://wexolin.example/"));

        // The same row gives the new address once a theme has arrived.
        QFile file(QStringLiteral(WEXO_SAMPLE_DATA_DIR "/theme.json"));
        QVERIFY(file.open(QIODevice::ReadOnly));
        // As the sample backend serves it, with its own root.
        const auto theme = WJsonDecoder::decode<Theme>(file.readAll().replace("{{root}}", "http://127.0.0.1:8080/"));
        QVERIFY(theme.record);
        WAppearanceState::setTheme(theme.record);
        QCOMPARE(urlOf(WexoOptionType::about), QStringLiteral("http://127.0.0.1:8080/pages/about.html"));
        QCOMPARE(urlOf(WexoOptionType::support), QStringLiteral("support@sampleshop.example"));
        QCOMPARE(urlOf(WexoOptionType::privacy), QStringLiteral("https://sampleshop.example/privacy"));
        WAppearanceState::setTheme(nullptr);
    }

    void sections_data()
    {
        QTest::addColumn<bool>("admin");
        QTest::addColumn<bool>("recording");
        QTest::addColumn<bool>("paused");
        QTest::addColumn<QStringList>("walkthroughs");
        QTest::addColumn<QString>("walkthroughsTitle");
        QTest::addColumn<QString>("optionsTitle");
        QTest::addColumn<QString>("expected");
        const QString options = QStringLiteral("Options: Refresh, About Wexolin, Support, Privacy Policy");
        const QString guides = QStringLiteral("In-App Guides: A, B");
        QTest::addRow("guest, no walkthroughs") << false << false << false << QStringList() << "In-App Guides" << "Options" << options;
        QTest::addRow("guest, recording flags ignored") << false << true << true << QStringList{"A", "B"} << "In-App Guides" << "Options"
                                                      << guides + " | " + options;
        QTest::addRow("admin, idle") << true << false << false << QStringList{"A", "B"} << "In-App Guides" << "Options"
                                     << "Admin: Record Wexo, Exit admin mode | " + guides + " | " + options;
        QTest::addRow("admin, idle, paused flag ignored") << true << false << true << QStringList() << "In-App Guides" << "Options"
                                                         << "Admin: Record Wexo, Exit admin mode | " + options;
        QTest::addRow("admin, recording") << true << true << false << QStringList() << "In-App Guides" << "Options"
                                          << "Admin: Stop Recording, Pause Recording, Exit admin mode | " + options;
        QTest::addRow("admin, paused") << true << true << true << QStringList() << "In-App Guides" << "Options"
                                       << "Admin: Stop Recording, Resume Recording, Exit admin mode | " + options;
        QTest::addRow("walkthroughs title before Admin") << true << false << false << QStringList{"A"} << "Abc" << "Options"
                                                        << "Abc: A | Admin: Record Wexo, Exit admin mode | " + options;
        QTest::addRow("lower-case title after capitals") << true << false << false << QStringList{"A"} << "guides" << "Options"
                                                        << "Admin: Record Wexo, Exit admin mode | " + options + " | guides: A";
        QTest::addRow("walkthroughs titled Admin keep both") << true << false << false << QStringList{"A"} << "Admin" << "Options"
                                                            << "Admin: Record Wexo, Exit admin mode | Admin: A | " + options;
        QTest::addRow("equal titles go admin, walkthroughs, options") << true << false << false << QStringList{"A"} << "Admin" << "Admin"
                                                                     << "Admin: Record Wexo, Exit admin mode | Admin: A | Admin: Refresh, About Wexolin, Support, Privacy Policy";
        QTest::addRow("composed and decomposed titles are equal") << false << false << false << QStringList{"A"} << QStringLiteral("E\u0301") << QStringLiteral("\u00c9")
                                                                 << QStringLiteral("\u00c9: A | \u00c9: Refresh, About Wexolin, Support, Privacy Policy").replace(0, 1, QStringLiteral("E\u0301"));
    }

    void sections()
    {
        QFETCH(bool, admin);
        QFETCH(bool, recording);
        QFETCH(bool, paused);
        QFETCH(QStringList, walkthroughs);
        QFETCH(QString, walkthroughsTitle);
        QFETCH(QString, optionsTitle);
        QFETCH(QString, expected);
        WAppearanceState::setTheme(nullptr);
        const Rows rows = Rows::make();
        QList<WexoOption> pages;
        for (const QString &name : walkthroughs)
            pages << named(name);
        std::optional<QList<WexoOption>> adminRows;
        if (admin)
            adminRows = WexoMenuSections::adminRows(rows, recording, paused);
        const auto result = WexoMenuSections::sections(adminRows, pages, walkthroughsTitle, {rows.refresh, rows.about, rows.support, rows.privacy},
                                                       optionsTitle);
        QCOMPARE(outline(result), expected);
    }

    void search_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("expected");
        // "CAFE\u0301 bar" is stored decomposed: E and a combining acute.
        const QString decomposed = QStringLiteral("CAFE\u0301 bar");
        QTest::addRow("other case") << "TOUR" << QStringList{"Tour of the shop", "detour"};
        QTest::addRow("accents are letters of their own") << "cafe" << QStringList{"cafe hours"};
        QTest::addRow("composed text finds a decomposed name") << QStringLiteral("caf\u00e9") << QStringList{"Café menu", decomposed};
        QTest::addRow("decomposed text finds a composed name") << QStringLiteral("cafe\u0301") << QStringList{"Café menu", decomposed};
        QTest::addRow("one blank") << " " << QStringList{"Tour of the shop", "Café menu", "cafe hours", decomposed};
        QTest::addRow("no match") << "xyz" << QStringList();
    }

    void search()
    {
        QFETCH(QString, text);
        QFETCH(QStringList, expected);
        QList<WexoOption> rows{named("Tour of the shop"), named(QStringLiteral("Café menu")), named("detour"), named("cafe hours"),
                              named(QStringLiteral("CAFE\u0301 bar")), WexoOption()};
        QStringList found;
        for (const WexoOption &row : WexoMenuSections::search(rows, text))
            found << *row.displayName;
        QCOMPARE(found, expected);
        const auto sections = WexoMenuSections::searchSections({});
        QCOMPARE(outline(sections), QStringLiteral("Search Result's: "));
    }

    void dimAlpha_data()
    {
        QTest::addColumn<qreal>("top");
        QTest::addColumn<qreal>("height");
        QTest::addColumn<qreal>("alpha");
        QTest::addRow("above the middle") << 100.0 << 800.0 << 0.7;
        QTest::addRow("middle") << 400.0 << 800.0 << 0.7;
        QTest::addRow("0.85 of the height") << 680.0 << 800.0 << 0.0;
        QTest::addRow("bottom") << 800.0 << 800.0 << -0.3;
        QTest::addRow("below the bottom") << 801.0 << 800.0 << 0.0;
        QTest::addRow("no height") << 500.0 << 0.0 << 0.7;
    }

    void dimAlpha()
    {
        QFETCH(qreal, top);
        QFETCH(qreal, height);
        QFETCH(qreal, alpha);
        QVERIFY(qAbs(WexoOptionsViewController::dimAlphaWithCardTopConstraint(top, height) - alpha) < 1e-9);
    }

    void release_data()
    {
        QTest::addColumn<qreal>("top");
        QTest::addColumn<qreal>("velocity");
        QTest::addColumn<qreal>("height");
        QTest::addColumn<Release>("expected");
        // H = 800: expand below 200, normal below 730, close from 730 on.
        QTest::addRow("velocity exactly 1500 is no fling") << 400.0 << 1500.0 << 800.0 << Release::normal;
        QTest::addRow("fling") << 100.0 << 1500.5 << 800.0 << Release::close;
        QTest::addRow("just above a quarter") << 199.9 << 0.0 << 800.0 << Release::expand;
        QTest::addRow("exactly a quarter") << 200.0 << 0.0 << 800.0 << Release::normal;
        QTest::addRow("just above H - 70") << 729.9 << -3000.0 << 800.0 << Release::normal;
        QTest::addRow("exactly H - 70") << 730.0 << 0.0 << 800.0 << Release::close;
        // In a small window H - 70 lies above the middle: half the height still stays open.
        QTest::addRow("small window, above the middle") << 49.9 << 0.0 << 100.0 << Release::normal;
        QTest::addRow("small window, the middle") << 50.0 << 0.0 << 100.0 << Release::close;
    }

    void release()
    {
        QFETCH(qreal, top);
        QFETCH(qreal, velocity);
        QFETCH(qreal, height);
        QFETCH(Release, expected);
        QCOMPARE(WexoOptionsViewController::releaseAction(top, velocity, height), expected);
    }

    void draggedTop_data()
    {
        QTest::addColumn<qreal>("translation");
        QTest::addColumn<qreal>("expected");
        QTest::addRow("down") << 50.0 << 450.0;
        QTest::addRow("up to 31") << -369.0 << 31.0;
        QTest::addRow("up to exactly 30 keeps the last top") << -370.0 << 123.0;
        QTest::addRow("beyond the top keeps the last top") << -500.0 << 123.0;
    }

    void draggedTop()
    {
        QFETCH(qreal, translation);
        QFETCH(qreal, expected);
        QCOMPARE(WexoOptionsViewController::draggedTop(123, 400, translation), expected);
    }
};

QTEST_MAIN(tst_WexoMenuSections)
#include "tst_wexomenusections.moc"
