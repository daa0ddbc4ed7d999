#pragma once

#ifdef WEXO_WEB_VIEW

#include "support/BackendFixture.h"
#include "support/DesktopFixture.h"

#include "WexoCreator/menu/WexoOptionType.h"
#include "WexoCreator/platform/WInAppBrowser.h"
#include "WexoCreator/platform/WReaderFace.h"

#include <QApplication>
#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QTest>
#include <QUrl>
#include <QVariant>

#include <functional>
#include <memory>
#include <vector>

class QLineEdit;
class QTcpServer;
class QMainWindow;
class QPushButton;
class QToolButton;
class QWebEnginePage;

// As QTRY_VERIFY_WITH_TIMEOUT and QTRY_COMPARE_WITH_TIMEOUT, for tests of
// InAppPageFixture, in real time: QtTest's count their waits, so an
// expression that itself waits (a script's answer from a page that never
// gives it) stretches them many times over, and a failing row would run past
// the test function's time limit and end the whole program.
#define WEXO_TRY_VERIFY(expr, timeoutMs)                                                                                    \
    do {                                                                                                                    \
        spinUntil([&] { return bool(expr); }, timeoutMs);                                                                   \
        QVERIFY(expr);                                                                                                      \
    } while (false)
#define WEXO_TRY_COMPARE(expr, expected, timeoutMs)                                                                         \
    do {                                                                                                                    \
        spinUntil([&] { return (expr) == (expected); }, timeoutMs);                                                         \
        QCOMPARE(expr, expected);                                                                                           \
    } while (false)

namespace WexoCreator {

class WexoButtonController;

// The in-app page end to end: the library started over a host window of its
// own as a host starts it, pages from the sample backend (or served by the
// test). Qt WebEngine lives for the whole process: each program of these
// cases derives its test object from this one and runs it with
// runInAppPageTests().
class InAppPageFixture : public QObject
{
public:
    InAppPageFixture();
    ~InAppPageFixture() override;

protected:
    // The host window, the library started over it, the desktop's browser
    // replaced by the sink (http, https and one other scheme).
    bool startHost();
    void stopHost();
    // Closes whatever page is open and waits until it has gone.
    bool closePage();

    WexoButtonController *launcher();
    WInAppBrowser *browser();
    // The page the user sees: the reader face's while it is up, else the page view's.
    QWebEnginePage *shownPage();
    QString page(const QString &name);
    // A page of the test's own, served by the sample backend until the test ends.
    QString serve(const QString &name, const QByteArray &body, const QByteArray &type = "text/html; charset=utf-8");

    QString barText(const char *name);
    QString barTip(const char *name);
    QToolButton *barButton(const char *name);
    void clickBar(const char *name);

    // Opens a row's page as the menu hands it over.
    bool open(WexoOptionType type, const QUrl &url = {});
    // Opens the sample About page and waits for its reader face.
    bool openArticleInReader();
    bool closed();

    // The shown page's answer to a script, run in the application's world
    // (the reader face runs none of the page's own).
    QVariant evaluate(const QString &script);
    QVariant evaluateIn(QWebEnginePage *page, const QString &script);
    // The first clicks on a page just shown can come before the page takes
    // input (on X they were lost now and then): clicks near the bottom right
    // corner, clear of scroll bars and of the reader face's text, until the
    // page has seen one.
    bool pageTakesClicks();
    // A link over the shown page's top left corner, clicked as a person
    // clicks it, once the page takes clicks.
    bool clickLinkTo(const QString &address, const QString &attribute = QString(), const QString &value = QString());

    // Waits until the condition holds, the event loop running all the while:
    // QTest::qWaitFor sleeps between its looks, and the engine, whose work
    // runs on this thread, then takes seconds for what takes milliseconds.
    static bool spinUntil(const std::function<bool()> &condition, int timeoutMs = 20000);

    bool scriptsOn();
    bool readerChecked();
    // Takes the step (one that brings a new document at another address)
    // and waits until that document's face has settled, as the page tells
    // (readerChecked).
    bool settledAfter(const std::function<void()> &step);

    // The sample About page, an article the reader face takes.
    static QByteArray article();
    // A page whose script marks the document when it runs.
    static QByteArray nextPage();
    // The article with its page in that background colour, and its reader
    // face showing a marker of that colour (see FaceFilm).
    static QByteArray colouredArticle(const QByteArray &name, const QByteArray &colour);
    // A page of that background colour with a line of text.
    static QByteArray colouredPage(const QByteArray &name, const QByteArray &colour);
    // Another host: the same kind of backend, reached under the name localhost.
    static std::unique_ptr<WexoSample::SampleBackend> otherHost();

    // What differs from the sample article shown in its reader face (the face,
    // the Reader button, scripts off, the article's heading, the host line);
    // empty when nothing does.
    QString articleInReaderFace(const QString &heading = QStringLiteral("About Sample Shop"),
                                const QString &host = QStringLiteral("127.0.0.1"));
    // What differs from nextPage() shown as a page of its own on the other
    // host (the face, scripts run from its start, the host line); empty when
    // nothing does.
    QString nextPageInPageFace();

    std::unique_ptr<BackendFixture> m_backend;
    std::unique_ptr<QMainWindow> m_host;
    QPushButton *m_hostButton = nullptr;
    QLineEdit *m_hostField = nullptr;
    UrlSink m_sink;
};

// A proxy on loopback that every page of the host proxied.test goes through:
// it answers each request with a sign-in challenge (407) and notes it.
class ChallengeProxy : public QObject
{
public:
    // The one proxy of the process (its port is fixed at start), emptied.
    static ChallengeProxy &cleared();
    // The request lines received, and the Proxy-Authorization headers sent with them.
    QStringList requests;
    QStringList credentials;
    // The page each answer holds.
    QByteArray body;

private:
    ChallengeProxy();
    QTcpServer *m_server;
};

// The addresses of a page's loads that end (or fail, or stop) from now on.
class EndedLoads : public QObject
{
public:
    explicit EndedLoads(QWebEnginePage *page);
    QList<QUrl> urls;
};

// Runs a test object of these cases in an application set up as a host that
// wants the in-app page sets it up, with internationalised names (*.com, *.de,
// *.test) answered on loopback, nowhere.test a name that is not found, and
// proxied.test reached through the ChallengeProxy.
int runInAppPageTests(int argc, char **argv, const std::function<std::unique_ptr<QObject>()> &makeTest);

} // namespace WexoCreator

#endif
