#include "WexoCreator/platform/WWebEngineRule.h"

#include <QTest>

using namespace WexoCreator;
using Verdict = WWebEngineRule::Verdict;

Q_DECLARE_METATYPE(WWebEngineRule::Verdict)

// When Qt WebEngine may start in the host process, and when it would end or crash it.
class tst_WWebEngineRule : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void decide_data()
    {
        QTest::addColumn<uint>("uid");
        QTest::addColumn<bool>("variableSet");
        QTest::addColumn<QString>("flags");
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<bool>("sharedContexts");
        QTest::addColumn<Verdict>("verdict");
        const QStringList none;
        QTest::addRow("user") << 1000u << false << "" << none << true << Verdict::inApp;
        QTest::addRow("root") << 0u << false << "" << none << true << Verdict::rootWithSandbox;
        QTest::addRow("root, variable set") << 0u << true << "" << none << true << Verdict::inApp;
        QTest::addRow("root, flag among others") << 0u << false << "--disable-gpu  --no-sandbox" << none << true << Verdict::inApp;
        QTest::addRow("root, flag as part of a word") << 0u << false << "--no-sandbox-x" << none << true << Verdict::rootWithSandbox;
        QTest::addRow("root, bare argument is the host's own") << 0u << false << "" << QStringList {"app", "--no-sandbox"} << true
                                                               << Verdict::rootWithSandbox;
        QTest::addRow("root, argument for the engine") << 0u << false << "" << QStringList {"app", "--webEngineArgs", "--no-sandbox"}
                                                       << true << Verdict::inApp;
        QTest::addRow("root, argument before the marker") << 0u << false << "" << QStringList {"app", "--no-sandbox", "--webEngineArgs"}
                                                          << true << Verdict::rootWithSandbox;
        QTest::addRow("user, no shared contexts") << 1000u << false << "" << none << false << Verdict::noSharedContexts;
        QTest::addRow("root, sandbox off, no shared contexts") << 0u << true << "" << none << false << Verdict::noSharedContexts;
    }

    void decide()
    {
        QFETCH(uint, uid);
        QFETCH(bool, variableSet);
        QFETCH(QString, flags);
        QFETCH(QStringList, arguments);
        QFETCH(bool, sharedContexts);
        QFETCH(Verdict, verdict);
        QCOMPARE(WWebEngineRule::decide({uid, variableSet, flags, arguments, sharedContexts}), verdict);
        QCOMPARE(WWebEngineRule::reason(verdict).isEmpty(), verdict == Verdict::inApp);
    }

    void decidedOncePerProcess()
    {
        // Read from this process; a later change of the environment changes nothing.
        const Verdict first = WWebEngineRule::processVerdict();
        QCOMPARE(first, WWebEngineRule::decide(WWebEngineRule::currentInputs()));
        const bool wasSet = qEnvironmentVariableIsSet("QTWEBENGINE_DISABLE_SANDBOX");
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
        QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts, !QCoreApplication::testAttribute(Qt::AA_ShareOpenGLContexts));
        QCOMPARE(WWebEngineRule::processVerdict(), first);
        if (!wasSet)
            qunsetenv("QTWEBENGINE_DISABLE_SANDBOX");
    }
};

QTEST_GUILESS_MAIN(tst_WWebEngineRule)
#include "tst_wwebenginerule.moc"
