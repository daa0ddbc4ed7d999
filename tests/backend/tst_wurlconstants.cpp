#include "WexoCreator/backend/WURLConstants.h"

#include <QTest>

using namespace WexoCreator;

class tst_WURLConstants : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void cleanup()
    {
        for (const char *name : {"WEXO_PRODUCTION_URL", "WEXO_STAGING_URL", "WEXO_STAGING"})
            qunsetenv(name);
    }

    void addresses_data()
    {
        QTest::addColumn<bool>("staging");
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("first");
        QTest::addColumn<QString>("second");
        QTest::addColumn<QByteArray>("expected");

        // Roots holding the template's placeholder words must come through intact.
        const QByteArray prod = "http://curl-cid.test:81/mobileApi/";
        QTest::addRow("login on production") << false << "login" << "" << "" << prod + "user/signin";
        QTest::addRow("login on staging") << true << "login" << "" << "" << QByteArray("http://stage.test:82/mobileApi/user/signin");
        QTest::addRow("steps, blank, ampersand and curl")
            << false << "steps" << "w 1&curl" << "my app/1"
            << prod + "walkthroughElements/getStepsWithPage?walkthroughId=w%201%26curl&origin=https//my%20app%2F1&reqSource=iosSdk";
        QTest::addRow("template, values holding the placeholder words")
            << false << "template" << "cidcurl" << "curl=cid" << prod + "epc/mobileTemplate?companyId=cidcurl&CompanyUrl=curl%3Dcid";
    }

    void addresses()
    {
        QFETCH(bool, staging);
        QFETCH(QString, kind);
        QFETCH(QString, first);
        QFETCH(QString, second);
        QFETCH(QByteArray, expected);

        qputenv("WEXO_PRODUCTION_URL", "http://curl-cid.test:81/");
        qputenv("WEXO_STAGING_URL", "http://stage.test:82");
        qputenv("WEXO_STAGING", staging ? "1" : "");
        const QUrl url = kind == QLatin1String("login") ? WURLConstants::urlFor(WServiceType::login)
                       : kind == QLatin1String("steps") ? WURLConstants::stepsUrl(first, second)
                                                        : WURLConstants::templateUrl(first, second);
        QVERIFY(url.isValid());
        QCOMPARE(url.toEncoded(), expected);
    }
};

QTEST_GUILESS_MAIN(tst_WURLConstants)
#include "tst_wurlconstants.moc"
