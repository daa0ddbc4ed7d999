#include "WexoCreator/backend/WURLConstants.h"

#include <QTest>

using namespace WexoCreator;

class tst_WURLConstants : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void cleanup()
    {
        qunsetenv("WEXO_PRODUCTION_URL");
        qunsetenv("WEXO_STAGING_URL");
        qunsetenv("WEXO_STAGING");
    }

    void addresses_data()
    {
        QTest::addColumn<QString>("staging");
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("first");
        QTest::addColumn<QString>("second");
        QTest::addColumn<QByteArray>("expected");

        const QByteArray prod = "http://prod.test:81/";
        const QByteArray stage = "http://stage.test:82/";
        QTest::addRow("login on production") << QString() << "login" << QString() << QString()
                                             << prod + "mobileApi/user/signin";
        QTest::addRow("login on staging") << "1" << "login" << QString() << QString() << stage + "mobileApi/user/signin";
        QTest::addRow("steps, blank, ampersand and curl") << QString() << "steps" << "w 1&curl" << "my app/1"
                                                          << prod + "mobileApi/walkthroughElements/getStepsWithPage?"
                                                                    "walkthroughId=w%201%26curl&origin=https//my%20app%2F1"
                                                                    "&reqSource=iosSdk";
        QTest::addRow("template, values holding the placeholder words")
            << QString() << "template" << "cidcurl" << "curl=cid"
            << prod + "mobileApi/epc/mobileTemplate?companyId=cidcurl&CompanyUrl=curl%3Dcid";
        QTest::addRow("template, empty token") << "1" << "template" << QString() << "A1"
                                               << stage + "mobileApi/epc/mobileTemplate?companyId=&CompanyUrl=A1";
    }

    void addresses()
    {
        QFETCH(QString, staging);
        QFETCH(QString, kind);
        QFETCH(QString, first);
        QFETCH(QString, second);
        QFETCH(QByteArray, expected);

        qputenv("WEXO_PRODUCTION_URL", "http://prod.test:81/");
        qputenv("WEXO_STAGING_URL", "http://stage.test:82");
        qputenv("WEXO_STAGING", staging.toUtf8());
        QUrl url;
        if (kind == QLatin1String("login"))
            url = WURLConstants::urlFor(WServiceType::login);
        else if (kind == QLatin1String("steps"))
            url = WURLConstants::stepsUrl(first, second);
        else
            url = WURLConstants::templateUrl(first, second);
        QVERIFY(url.isValid());
        QCOMPARE(url.toEncoded(), expected);
    }

    void rootHoldingPlaceholderWordsStaysIntact()
    {
        qputenv("WEXO_PRODUCTION_URL", "http://curl-cid.test/");
        QCOMPARE(WURLConstants::templateUrl(QStringLiteral("T"), QStringLiteral("A")).toEncoded(),
                 QByteArray("http://curl-cid.test/mobileApi/epc/mobileTemplate?companyId=T&CompanyUrl=A"));
        QCOMPARE(WURLConstants::WAnalytics::kComplete(),
                 QStringLiteral("http://curl-cid.test/mobileApi/walkthroughAnalytics/Complete"));
    }
};

QTEST_GUILESS_MAIN(tst_WURLConstants)
#include "tst_wurlconstants.moc"
