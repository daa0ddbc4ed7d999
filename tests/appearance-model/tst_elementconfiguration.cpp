#include "WexoCreator/appearance-model/ElementConfiguration.h"

#include <QTest>

using namespace WexoCreator;

using OptText = std::optional<QString>;

class tst_ElementConfiguration : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void launcherFallbacks_data()
    {
        QTest::addColumn<OptText>("value");
        QTest::addColumn<QStringList>("expected"); // icon, preference, placement, title

        const QStringList builtIn{QStringLiteral("wexoIcon"), QStringLiteral("widget"), QStringLiteral("left"),
                                  QStringLiteral("Help")};
        QTest::addRow("absent") << OptText() << builtIn;
        QTest::addRow("empty") << OptText(QString()) << builtIn;
        QTest::addRow("one blank kept") << OptText(QStringLiteral(" ")) << QStringList(4, QStringLiteral(" "));
        QTest::addRow("kept as sent") << OptText(QStringLiteral(" Right ")) << QStringList(4, QStringLiteral(" Right "));
    }

    void launcherFallbacks()
    {
        QFETCH(OptText, value);
        QFETCH(QStringList, expected);

        ElementConfiguration configuration;
        configuration.setTypeIcon(value);
        configuration.setPreferences(value);
        configuration.setPlacement(value);
        configuration.setText(value);
        const QStringList got{configuration.getIcon(), configuration.getPreference(), configuration.getPlacement(),
                              configuration.getTitleText()};
        QCOMPARE(got, expected);
    }

    void tooltipKind_data()
    {
        QTest::addColumn<OptText>("tooltip");
        QTest::addColumn<WTooltipType>("expected");

        QTest::addRow("absent") << OptText() << WTooltipType::iMark;
        QTest::addRow("empty") << OptText(QString()) << WTooltipType::iMark;
        QTest::addRow("questionMark") << OptText(QStringLiteral("questionMark")) << WTooltipType::questionMark;
        QTest::addRow("iMark") << OptText(QStringLiteral("iMark")) << WTooltipType::iMark;
        QTest::addRow("other case") << OptText(QStringLiteral("imark")) << WTooltipType::questionMark;
        QTest::addRow("trailing blank") << OptText(QStringLiteral("iMark ")) << WTooltipType::questionMark;
        QTest::addRow("leading blank") << OptText(QStringLiteral(" questionMark")) << WTooltipType::questionMark;
        QTest::addRow("anything else") << OptText(QStringLiteral("star")) << WTooltipType::questionMark;
    }

    void tooltipKind()
    {
        QFETCH(OptText, tooltip);
        QFETCH(WTooltipType, expected);

        ElementConfiguration configuration;
        configuration.setTooltip(tooltip);
        QCOMPARE(configuration.getTooltipType(), expected);
    }
};

QTEST_GUILESS_MAIN(tst_ElementConfiguration)
#include "tst_elementconfiguration.moc"
