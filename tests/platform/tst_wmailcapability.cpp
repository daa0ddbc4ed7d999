#include "support/DesktopFixture.h"

#include "WexoCreator/platform/WMailCapability.h"

#include <QStandardPaths>
#include <QTest>

using namespace WexoCreator;

// Whether the desktop names a mail program, as xdg-mime finds it.
class tst_WMailCapability : public QObject
{
    Q_OBJECT

    std::optional<bool> ask()
    {
        std::optional<bool> answer;
        QObject context;
        WMailCapability::query(&context, [&answer](bool canSend) { answer = canSend; });
        // Never answered on the spot: the question runs in another process.
        if (answer)
            return std::nullopt;
        if (!QTest::qWaitFor([&answer] { return answer.has_value(); }, WMailCapability::kTimeoutMs + 2000))
            return std::nullopt;
        return answer;
    }

private Q_SLOTS:
    void initTestCase()
    {
        if (QStandardPaths::findExecutable(QStringLiteral("xdg-mime")).isEmpty())
            QSKIP("xdg-mime (xdg-utils) is not installed");
    }

    void desktops_data()
    {
        QTest::addColumn<bool>("withProgram");
        QTest::addColumn<bool>("hidden");
        QTest::addColumn<bool>("canSend");
        QTest::addRow("a default mail program") << true << false << true;
        QTest::addRow("none") << false << false << false;
        QTest::addRow("xdg-mime not found") << true << true << false;
    }

    void desktops()
    {
        QFETCH(bool, withProgram);
        QFETCH(bool, hidden);
        QFETCH(bool, canSend);
        const MailDefault desktop(withProgram);
        const QByteArray path = qgetenv("PATH");
        if (hidden)
            qputenv("PATH", "/nonexistent");
        const std::optional<bool> answer = ask();
        qputenv("PATH", path);
        QCOMPARE(answer, std::optional<bool>(canSend));
    }

    void contextGoneNoAnswer()
    {
        const MailDefault desktop(true);
        bool called = false;
        {
            QObject context;
            WMailCapability::query(&context, [&called](bool) { called = true; });
        }
        // The process ended with its owner, at once.
        QVERIFY(!called);
    }
};

QTEST_GUILESS_MAIN(tst_WMailCapability)
#include "tst_wmailcapability.moc"
