#include "WexoCreator/appearance-model/Theme.h"
#include "WexoCreator/appearance-model/WexoTheme.h"
#include "WexoCreator/model/WJsonDecoder.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTest>

using namespace WexoCreator;

namespace {

QByteArray fullTheme()
{
    QFile file(QStringLiteral(WEXO_TESTS_DIR "/appearance-model/data/full-theme.json"));
    if (!file.open(QIODevice::ReadOnly))
        qFatal("theme fixture missing");
    return file.readAll();
}

QJsonObject fixture()
{
    return QJsonDocument::fromJson(fullTheme()).object();
}

QJsonObject withElementConfiguration(const QJsonObject &configurations)
{
    return QJsonObject{{QStringLiteral("config"), QJsonObject{{QStringLiteral("Configurations"), configurations}}}};
}

// Replaces (or with an undefined value removes) one key of the element configuration, or of a record in it.
QJsonObject changedFixture(const QString &record, const QString &key, const QJsonValue &value)
{
    QJsonObject root = fixture();
    QJsonObject config = root.value(QStringLiteral("config")).toObject();
    QJsonObject configurations = config.value(QStringLiteral("Configurations")).toObject();
    QJsonObject target = record.isEmpty() ? configurations : configurations.value(record).toObject();
    if (value.isUndefined())
        target.remove(key);
    else
        target.insert(key, value);
    if (record.isEmpty())
        configurations = target;
    else
        configurations.insert(record, target);
    config.insert(QStringLiteral("Configurations"), configurations);
    root.insert(QStringLiteral("config"), config);
    return root;
}

std::shared_ptr<Theme> decodeTheme(const QJsonObject &object)
{
    return WJsonDecoder::decodeValue<Theme>(object).record;
}

const QStringList colorKeys{QStringLiteral("blockBackgroundColor"),      QStringLiteral("listItemBackgroundColor"),
                            QStringLiteral("listItemTextColor"),         QStringLiteral("optionsTextColor"),
                            QStringLiteral("poweredByTextColor"),        QStringLiteral("searchHereBackgroundColor"),
                            QStringLiteral("search_here_text_color")};
const QStringList textKeys{QStringLiteral("aboutText"),         QStringLiteral("aboutUsLink"),
                           QStringLiteral("logoLink"),          QStringLiteral("logoPath"),
                           QStringLiteral("optionsText"),       QStringLiteral("playWexosText"),
                           QStringLiteral("poweredByText"),     QStringLiteral("privacyPolicyLink"),
                           QStringLiteral("privacyPolicyText"), QStringLiteral("searchBarTextMobile"),
                           QStringLiteral("supportLink"),       QStringLiteral("supportText")};

} // namespace

class tst_Theme : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void fullThemeFieldByField()
    {
        const auto result = WJsonDecoder::decode<Theme>(fullTheme());
        QVERIFY2(result, qPrintable(result.error));
        const Theme &theme = *result.record;
        QCOMPARE(theme.success(), std::optional<bool>(false));
        QCOMPARE(theme.message(), std::optional<QString>(QStringLiteral("ok")));
        QVERIFY(theme.config());

        const ThemeConfiguration &config = *theme.config();
        QCOMPARE(config.CompanyId(), std::optional<QString>(QStringLiteral("42")));
        QCOMPARE(config.PrimaryColor(), std::optional<QString>(QStringLiteral("#AF90EF")));
        QCOMPARE(config.SecondaryColor(), std::optional<QString>(QString()));
        QCOMPARE(config.FontFamily(), std::optional<QString>(QStringLiteral("Lato")));
        QCOMPARE(config.CompanyURL(), std::optional<QString>(QStringLiteral("not a web address")));
        QCOMPARE(config.isMobile(), std::optional<QString>(QStringLiteral("true")));
        QVERIFY(config.Configurations());

        const ElementConfiguration &element = *config.Configurations();
        QVERIFY(element.pulse() && element.playIcon() && element.cameraIcon() && element.tooltipColor());
        QCOMPARE(element.pulse()->prop1(), std::optional<QString>(QStringLiteral("#111111")));
        QCOMPARE(element.pulse()->prop2(), std::optional<QString>(QStringLiteral("#222222")));
        QCOMPARE(element.playIcon()->prop1(), std::nullopt);
        QCOMPARE(element.playIcon()->prop2(), std::optional<QString>(QStringLiteral("#444444")));
        QVERIFY(!element.cameraIcon()->prop1() && !element.cameraIcon()->prop2());
        QVERIFY(!element.highlighter());
        // Only the hyphenated key fills the tooltip pair.
        QCOMPARE(element.tooltipColor()->prop1(), std::optional<QString>(QStringLiteral("#555555")));
        QCOMPARE(element.tooltipColor()->prop2(), std::optional<QString>(QStringLiteral("#666666")));

        QCOMPARE(element.getPreference(), QStringLiteral("console"));
        QCOMPARE(element.getIcon(), QStringLiteral("camera"));
        QCOMPARE(element.getPlacement(), QStringLiteral("right"));
        QCOMPARE(element.getTitleText(), QStringLiteral("Guide me"));
        QCOMPARE(element.getTooltipType(), WTooltipType::questionMark);
        QCOMPARE(element.showSearchbar(), true);

        QVERIFY(element.fonts());
        QCOMPARE(element.fonts()->size(), 3);
        QCOMPARE(element.fonts()->at(0)->fontName(), std::optional<QString>(QStringLiteral("Lato")));
        QCOMPARE(element.fonts()->at(0)->fontUrl(), std::optional<QString>(QStringLiteral("https://fonts.example/lato.ttf")));
        QCOMPARE(element.fonts()->at(0)->localURL(), std::nullopt);
        QCOMPARE(element.fonts()->at(1)->fontName(), std::optional<QString>(QStringLiteral("Mono")));
        QCOMPARE(element.fonts()->at(1)->fontUrl(), std::optional<QString>(QStringLiteral("https://fonts.example/mono.ttf")));
        // local_url converts to localUrl, which is not the key.
        QCOMPARE(element.fonts()->at(1)->localURL(), std::nullopt);
        QCOMPARE(element.fonts()->at(2)->localURL(), std::optional<QUrl>(QUrl(QStringLiteral("file:///tmp/sans.ttf"))));

        QVERIFY(element.mobileColors());
        const MobileColors &colors = *element.mobileColors();
        const QStringList gotColors{colors.blockBackgroundColor(),      colors.listItemBackgroundColor(),
                                    colors.listItemTextColor(),         colors.optionsTextColor(),
                                    colors.poweredByTextColor(),        colors.searchHereBackgroundColor(),
                                    colors.searchHereTextColor()};
        QCOMPARE(gotColors, (QStringList{QStringLiteral("#010101"), QStringLiteral("#020202"), QStringLiteral("#030303"),
                                         QStringLiteral("#040404"), QStringLiteral("#050505"), QStringLiteral("#060606"),
                                         QStringLiteral("not a colour")}));

        QVERIFY(element.mobileTexts());
        const MobileTexts &texts = *element.mobileTexts();
        const QStringList gotTexts{texts.aboutText(),         texts.aboutUsLink(),       texts.logoLink(),
                                   texts.logoPath(),          texts.optionsText(),       texts.playWexosText(),
                                   texts.poweredByText(),     texts.privacyPolicyLink(), texts.privacyPolicyText(),
                                   texts.searchBarTextMobile(), texts.supportLink(),     texts.supportText()};
        QCOMPARE(gotTexts,
                 (QStringList{QStringLiteral("About us"), QStringLiteral("https://about.example"),
                              QStringLiteral("https://logo.example"), QStringLiteral("https://cdn.example/images/logo_grey.png"),
                              QString(), QStringLiteral("Guides"), QStringLiteral("Powered"), QStringLiteral("not a link"),
                              QStringLiteral("Privacy"), QStringLiteral("Search"), QStringLiteral("help@example.com"),
                              QStringLiteral("Help desk")}));
    }

    void fontsAreSharedWithTheirHolders()
    {
        const auto theme = decodeTheme(fixture());
        QVERIFY(theme);
        const std::shared_ptr<WFonts> font = theme->config()->Configurations()->fonts()->at(0);
        font->setLocalURL(QUrl::fromLocalFile(QStringLiteral("/tmp/lato.ttf")));
        QCOMPARE(theme->config()->Configurations()->fonts()->at(0)->localURL(), font->localURL());
    }

    void minimalAnswers_data()
    {
        QTest::addColumn<QJsonObject>("object");
        QTest::addColumn<bool>("hasConfig");
        QTest::addColumn<bool>("hasConfigurations");

        QTest::addRow("empty object") << QJsonObject() << false << false;
        QTest::addRow("config null") << QJsonObject{{QStringLiteral("config"), QJsonValue::Null}} << false << false;
        QTest::addRow("config empty") << QJsonObject{{QStringLiteral("config"), QJsonObject()}} << true << false;
        QTest::addRow("only showSearchbar")
            << withElementConfiguration(QJsonObject{{QStringLiteral("showSearchbar"), false}}) << true << true;
        QTest::addRow("wrong-case keys are ignored")
            << QJsonObject{{QStringLiteral("config"), QJsonObject{{QStringLiteral("companyId"), 7},
                                                                    {QStringLiteral("primaryColor"), true}}}}
            << true << false;
    }

    void minimalAnswers()
    {
        QFETCH(QJsonObject, object);
        QFETCH(bool, hasConfig);
        QFETCH(bool, hasConfigurations);

        const auto theme = decodeTheme(object);
        QVERIFY(theme);
        QVERIFY(!theme->success() && !theme->message());
        QCOMPARE(bool(theme->config()), hasConfig);
        if (!hasConfig)
            return;
        const ThemeConfiguration &config = *theme->config();
        QVERIFY(!config.CompanyId() && !config.PrimaryColor() && !config.SecondaryColor() && !config.FontFamily()
                && !config.CompanyURL() && !config.isMobile());
        QCOMPARE(bool(config.Configurations()), hasConfigurations);
        if (!hasConfigurations)
            return;
        const ElementConfiguration &element = *config.Configurations();
        QVERIFY(!element.pulse() && !element.playIcon() && !element.cameraIcon() && !element.highlighter() && !element.tooltipColor());
        QVERIFY(!element.fonts() && !element.mobileColors() && !element.mobileTexts() && !element.tooltip());
        QCOMPARE(element.getTooltipType(), WTooltipType::iMark);
    }

    void emptyAndNullLists_data()
    {
        QTest::addColumn<QJsonValue>("fonts");
        QTest::addColumn<bool>("present");

        QTest::addRow("empty array is an empty list") << QJsonValue(QJsonArray()) << true;
        QTest::addRow("null is no list") << QJsonValue(QJsonValue::Null) << false;
    }

    void emptyAndNullLists()
    {
        QFETCH(QJsonValue, fonts);
        QFETCH(bool, present);

        const auto theme = decodeTheme(changedFixture(QString(), QStringLiteral("fonts"), fonts));
        QVERIFY(theme);
        const auto &list = theme->config()->Configurations()->fonts();
        QCOMPARE(list.has_value(), present);
        if (present)
            QVERIFY(list->isEmpty());
    }

    void requiredMenuKeyMissingFailsTheWholeTheme_data()
    {
        QTest::addColumn<QString>("record");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QJsonValue>("value");

        for (const QString &key : colorKeys) {
            QTest::addRow("mobileColors without %s", qPrintable(key))
                << QStringLiteral("mobileColors") << key << QJsonValue(QJsonValue::Undefined);
            QTest::addRow("mobileColors %s null", qPrintable(key))
                << QStringLiteral("mobileColors") << key << QJsonValue(QJsonValue::Null);
        }
        for (const QString &key : textKeys) {
            QTest::addRow("mobileTexts without %s", qPrintable(key))
                << QStringLiteral("mobileTexts") << key << QJsonValue(QJsonValue::Undefined);
            QTest::addRow("mobileTexts %s null", qPrintable(key))
                << QStringLiteral("mobileTexts") << key << QJsonValue(QJsonValue::Null);
        }
        QTest::addRow("colour as number") << QStringLiteral("mobileColors") << colorKeys.first() << QJsonValue(0xf1f1f1);
        QTest::addRow("text as boolean") << QStringLiteral("mobileTexts") << textKeys.first() << QJsonValue(true);
    }

    void requiredMenuKeyMissingFailsTheWholeTheme()
    {
        QFETCH(QString, record);
        QFETCH(QString, key);
        QFETCH(QJsonValue, value);

        QVERIFY(!decodeTheme(changedFixture(record, key, value)));
    }

    void wrongTypesFailTheWholeTheme_data()
    {
        QTest::addColumn<QJsonObject>("object");

        const QJsonArray list{QJsonObject()};
        QTest::addRow("showSearchbar missing") << changedFixture(QString(), QStringLiteral("showSearchbar"), QJsonValue::Undefined);
        QTest::addRow("showSearchbar 1") << changedFixture(QString(), QStringLiteral("showSearchbar"), 1);
        QTest::addRow("showSearchbar text") << changedFixture(QString(), QStringLiteral("showSearchbar"), QStringLiteral("true"));
        QTest::addRow("pulse as text") << changedFixture(QString(), QStringLiteral("pulse"), QStringLiteral("#FFFFFF"));
        QTest::addRow("tooltip-color as list") << changedFixture(QString(), QStringLiteral("tooltip-color"), list);
        QTest::addRow("prop1 as number") << changedFixture(QStringLiteral("playIcon"), QStringLiteral("prop1"), 255);
        QTest::addRow("null font") << changedFixture(QString(), QStringLiteral("fonts"), QJsonArray{QJsonValue::Null});
        QTest::addRow("localURL as number")
            << changedFixture(QString(), QStringLiteral("fonts"), QJsonArray{QJsonObject{{QStringLiteral("localURL"), 1}}});
        QTest::addRow("Configurations as list") << QJsonObject{
            {QStringLiteral("config"), QJsonObject{{QStringLiteral("Configurations"), list}}}};
        QTest::addRow("config as list") << QJsonObject{{QStringLiteral("config"), list}};
        QTest::addRow("isMobile as boolean")
            << QJsonObject{{QStringLiteral("config"), QJsonObject{{QStringLiteral("isMobile"), true}}}};
        QTest::addRow("CompanyId as number")
            << QJsonObject{{QStringLiteral("config"), QJsonObject{{QStringLiteral("CompanyId"), 42}}}};
        QTest::addRow("success as text") << QJsonObject{{QStringLiteral("success"), QStringLiteral("true")}};
    }

    void wrongTypesFailTheWholeTheme()
    {
        QFETCH(QJsonObject, object);
        const auto result = WJsonDecoder::decodeValue<Theme>(object);
        QVERIFY(!result);
        QVERIFY(!result.error.isEmpty());
    }

    void notAnObjectFails_data()
    {
        QTest::addColumn<QByteArray>("body");
        QTest::addRow("array") << QByteArray("[{}]");
        QTest::addRow("string") << QByteArray("\"theme\"");
        QTest::addRow("not JSON") << QByteArray("{\"config\":");
    }

    void notAnObjectFails()
    {
        QFETCH(QByteArray, body);
        QVERIFY(!WJsonDecoder::decode<Theme>(body));
    }

    void outcomeAnswer()
    {
        const auto result = WJsonDecoder::decode<WexoTheme>(QByteArrayLiteral("{\"message\":\"saved\",\"success\":true,\"config\":7}"));
        QVERIFY(result);
        QCOMPARE(result.record->message(), std::optional<QString>(QStringLiteral("saved")));
        QCOMPARE(result.record->success(), std::optional<bool>(true));
    }
};

QTEST_GUILESS_MAIN(tst_Theme)
#include "tst_theme.moc"
