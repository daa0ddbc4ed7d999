#ifdef WEXO_WEB_VIEW

#include "support/BusyHost.h"
#include "support/FaceFilm.h"
#include "support/InAppPageFixture.h"

#include "WexoCreator/manager/WexoButtonController.h"
#include "WexoCreator/platform/WInAppBrowserPage.h"
#include "WexoCreator/platform/WInAppBrowserPaintWatch.h"

#include <QBuffer>
#include <QElapsedTimer>
#include <QImage>
#include <QLabel>
#include <QMainWindow>
#include <QWebEnginePage>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTest>
#include <QToolButton>
#include <QWebEngineView>

#include <csignal>
#include <memory>

using namespace WexoCreator;

// The in-app page between documents, as a person sees it: which face shows
// what, and the Reader button, whatever the user clicks.
class tst_InAppFaces : public InAppPageFixture
{
    Q_OBJECT

    QHash<QString, QString> m_pages; // title → address
    QHash<QString, char> m_looks; // title → look, beyond the usual ones
    std::unique_ptr<FaceFilm> m_film;

    // How the face of the document of that title looks.
    char lookOf(const QString &title) const
    {
        static const QHash<QString, char> looks {{QStringLiteral("Blue page"), 'B'}, {QStringLiteral("Yellow page"), 'Y'},
                                                 {QStringLiteral("Red article"), 'r'}, {QStringLiteral("Green article"), 'g'},
                                                 {QStringLiteral("Pictured article"), 'r'}, {QStringLiteral("Lazy article"), 'r'},
                                                 {QStringLiteral("Late article"), 'r'}, {QStringLiteral("Red twin article"), 'r'}};
        return looks.value(title, m_looks.value(title, 'a'));
    }

    // The looks of the document of that title: its page's, and an article's page too.
    QString looksOf(const QString &title) const
    {
        const QChar look = QLatin1Char(lookOf(title));
        return look.isLower() && look != u'a' ? QString(look) + look.toUpper() : QString(look);
    }

    // No document shows under the title of one that came after it, and the
    // looks come in that order.
    void verifyFilm(const QString &order)
    {
        spinUntil([] { return false; }, 300);
        const QString last = m_film->frames.isEmpty() ? QString() : m_film->frames.constLast().title;
        QStringList titles; // in the order the bar showed them
        QString looks;
        for (const FaceFilm::Frame &frame : std::as_const(m_film->frames)) {
            if (!titles.contains(frame.title))
                titles << frame.title;
            for (const QString &before : std::as_const(titles).first(titles.indexOf(frame.title))) {
                QVERIFY2(!looksOf(before).contains(QLatin1Char(frame.look)) || looksOf(frame.title).contains(QLatin1Char(frame.look)),
                         qPrintable(m_film->runs() + QStringLiteral(" under ") + frame.title));
            }
            // The engine may hand the view a document's picture before it
            // tells the page its address changed: before that the page can
            // lay no paper, and the bar still names the document before.
            const bool early = !looks.contains(u'P') && frame.title != last && looksOf(last).contains(QLatin1Char(frame.look));
            if (!early && !looks.endsWith(QLatin1Char(frame.look)))
                looks += QLatin1Char(frame.look);
        }
        QVERIFY2(QRegularExpression(order).match(looks).hasMatch(), qPrintable(m_film->runs()));
    }

    QWidget *faces() { return browser()->webView()->parentWidget(); }

    void film(bool justOpened = false)
    {
        m_film = std::make_unique<FaceFilm>(faces(), browser()->view()->findChild<QLabel *>(QStringLiteral("inAppBrowserTitle")), justOpened);
    }

    // The document of that title has settled in its face (an article's
    // reader face unless asked for its page), its loads ended, and the screen
    // shows it (the first page shown over a window takes a while to reach the
    // screen).
    bool settledOn(const QString &name, bool itsPage = false)
    {
        const WInAppBrowser::Face face = name.endsWith(QLatin1String("article")) && !itsPage ? WInAppBrowser::Face::reader
                                                                                            : WInAppBrowser::Face::page;
        const char look = itsPage ? char(QChar::fromLatin1(lookOf(name)).toUpper().toLatin1()) : lookOf(name);
        // Loads of a part that never answers never end.
        const bool loadsEnd = !m_looks.contains(name);
        return spinUntil([&] {
            return browser()->face() == face && barTip("inAppBrowserTitle") == name
                && (!loadsEnd || !browser()->view()->findChild<QWidget *>(QStringLiteral("inAppBrowserProgress"))->isVisible())
                && FaceFilm::look(faces()) == look;
        });
    }

    // "open X", "link X", "self X", "reload X", "back X", "forward X": takes
    // the step and waits until X has settled; "page X" and "reader X" turn
    // Reader off and on, and wait for X's page or reader face. A film asked
    // for ("filmed") starts as the step is taken.
    bool take(const QString &step, bool filmed = false)
    {
        const QString verb = step.section(u' ', 0, 0);
        const QString name = step.section(u' ', 1);
        if (verb == QLatin1String("open")) {
            if (!open(WexoOptionType::about, m_pages.value(name)))
                return false;
            if (filmed)
                film(true);
            return settledOn(name);
        }
        if (filmed)
            film();
        if (verb == QLatin1String("page") || verb == QLatin1String("reader")) {
            clickBar("inAppBrowserReader");
            return settledOn(name, verb == QLatin1String("page"));
        }
        QSignalSpy checked(browser(), &WInAppBrowser::readerChecked);
        if ((verb == QLatin1String("link") || verb == QLatin1String("self")) && !clickLinkTo(m_pages.value(name)))
            return false;
        if (verb == QLatin1String("reload"))
            clickBar("inAppBrowserReload");
        if (verb == QLatin1String("back"))
            clickBar("inAppBrowserBack");
        if (verb == QLatin1String("forward"))
            clickBar("inAppBrowserForward");
        // The same article anew at its own address: its face settles again, on the new document.
        if ((verb == QLatin1String("self") || verb == QLatin1String("reload")) && !checked.wait(20000))
            return false;
        return settledOn(name);
    }

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(startHost());
        if (!WReaderFace::available())
            QSKIP("built without the reader library");
        m_pages.insert(QStringLiteral("Red article"), serve(QStringLiteral("red.html"), colouredArticle("Red article", "#d02020")));
        m_pages.insert(QStringLiteral("Green article"), serve(QStringLiteral("green.html"), colouredArticle("Green article", "#20a040")));
        // As long as the red one: its extent tells nothing.
        m_pages.insert(QStringLiteral("Red twin article"), serve(QStringLiteral("red-copy.html"), colouredArticle("Red twin article", "#d02020")));
        m_pages.insert(QStringLiteral("Blue page"), serve(QStringLiteral("blue.html"), colouredPage("Blue page", "#2040d0")));
        m_pages.insert(QStringLiteral("Yellow page"), serve(QStringLiteral("yellow.html"), colouredPage("Yellow page", "#e0c020")));
        // About 900 kB of article: the reader face takes a while to prepare it.
        QByteArray paragraphs;
        while (paragraphs.size() < 900'000)
            paragraphs += "<p>Every order is packed by hand in our warehouse, checked twice and sent the same day.</p>\n";
        m_pages.insert(QStringLiteral("Large article"),
                       serve(QStringLiteral("large.html"),
                             article().replace("About Sample Shop", "Large article").replace("<h2 id=\"stores\">", paragraphs + "<h2 id=\"stores\">")));
        // The red article with a picture under its text, and with pictures that load only once seen.
        QImage picture(600, 260, QImage::Format_RGB32);
        picture.fill(QColor(0x20, 0x70, 0x70));
        QByteArray png;
        QBuffer buffer(&png);
        buffer.open(QIODevice::WriteOnly);
        picture.save(&buffer, "PNG");
        serve(QStringLiteral("picture.png"), png, "image/png");
        const QByteArray pictured = "<p><img src=\"/pages/picture.png\" width=\"600\" height=\"260\" alt=\"\"></p>";
        m_pages.insert(QStringLiteral("Pictured article"),
                       serve(QStringLiteral("pictured.html"), colouredArticle("Pictured article", "#d02020").replace("</article>", pictured + "</article>")));
        QByteArray lazy = pictured;
        lazy.replace("<img ", "<img loading=\"lazy\" ");
        m_pages.insert(QStringLiteral("Lazy article"),
                       serve(QStringLiteral("lazy.html"), colouredArticle("Lazy article", "#d02020").replace("</article>", lazy.repeated(3) + "</article>")));
        // Pictures the page leaves to its script, which come 2.5 s late (the same addresses each time).
        WexoSample::ScriptedAnswer latePicture;
        latePicture.delayMs = 2500;
        latePicture.contentType = "image/png";
        latePicture.body = png;
        m_backend->backend().script(QStringLiteral("GET"), QStringLiteral("/pages/late-picture.png"), latePicture);
        const QByteArray late = "<p><img data-src=\"/pages/late-picture.png\" alt=\"\"> <img data-src=\"/pages/late-picture.png?2\" alt=\"\"></p>";
        m_pages.insert(QStringLiteral("Late article"),
                       serve(QStringLiteral("late.html"), colouredArticle("Late article", "#d02020").replace("</article>", late + "</article>")));
        m_pages.insert(QStringLiteral("Sign-in form"), page(QStringLiteral("sign-in.html")));
        m_pages.insert(QStringLiteral("Failed page"), QStringLiteral("http://127.0.0.1:9/pages/none.html"));
    }

    void cleanup()
    {
        m_film.reset();
        m_looks.clear();
        if (browser())
            browser()->close();
        QVERIFY(closed());
    }

    void cleanupTestCase() { stopHost(); }

    // Between two documents no page shows under the other's title, none shows
    // between two reader faces, and a face, once shown, stays. Between two
    // pictures of the same article there is neither paper nor white.
    void noPageFlashesBetweenDocuments_data()
    {
        QTest::addColumn<QStringList>("before");
        QTest::addColumn<QString>("step"); // filmed; several, "|" between them
        // The looks allowed, in order, one for each step or one for all (empty:
        // from one document's face to the next's).
        QTest::addColumn<QString>("order");
        QTest::addColumn<QString>("host"); // how busy the host's GUI thread is (see BusyHost)
        const auto row = [](const char *name, const QStringList &before, const char *step, const char *order, const char *host = "") {
            QTest::addRow("%s", name) << before << QString::fromLatin1(step) << QString::fromLatin1(order) << QString::fromLatin1(host);
        };
        // The host window's new native window is black until it is first
        // painted (a page draws through OpenGL; see the README).
        row("first page", {}, "open Blue page", "^K?P*B$");
        row("first article", {}, "open Red article", "^K?P*r$");
        row("reader to reader by a link", {"open Red article"}, "link Green article", "^r?P*g$");
        row("reader to reader by Back", {"open Red article", "link Green article"}, "back Red article", "^g?P*r$");
        row("reader to reader by Forward", {"open Red article", "link Green article", "back Red article"}, "forward Green article", "^r?P*g$");
        row("reader to page by a link", {"open Red article"}, "link Blue page", "^r?P*B$");
        row("page to reader by Back", {"open Red article", "link Blue page"}, "back Red article", "^B?P*r$");
        // The page rests under its reader face and shows its own picture at once.
        row("reader face to its page", {"open Red article"}, "page Red article", "^r?R$");
        row("page to its reader face", {"open Red article", "page Red article"}, "reader Red article", "^R?r$");
        row("reader to reader, as long as the one before", {"open Red article"}, "link Red twin article", "^r?P*r$");
        row("reader face to its page, as long as the page before", {"open Red article", "link Red twin article"}, "page Red twin article", "^r?R$");
        row("page to page by a link", {"open Blue page"}, "link Yellow page", "^B?P*Y$");
        row("same article by a link to itself", {"open Red article"}, "self Red article", "^r$");
        row("same article by Reload", {"open Red article"}, "reload Red article", "^r$");
        row("same article with a picture by Reload", {"open Pictured article"}, "reload Pictured article", "^r$");
        row("same article with a picture by a link to itself", {"open Pictured article"}, "self Pictured article", "^r$");
        row("same article with lazy pictures by Reload", {"open Lazy article"}, "reload Lazy article", "^r$");
        row("same article with late pictures by Reload", {"open Late article"}, "reload Late article", "^r$");
        // The engine hands the view its frames late where the host keeps its
        // GUI thread busy: back and forth a few times, each step filmed.
        const char *pages = "link Yellow page|link Blue page|link Yellow page|link Blue page|link Yellow page";
        const char *faces = "link Blue page|back Red article|forward Blue page|back Red article|forward Blue page";
        row("page to page by links, busy host", {"open Blue page"}, pages, "", "work");
        row("reader to page and back, busy host", {"open Red article"}, faces, "", "work");
        row("page to page by links, host grabs the screen", {"open Blue page"}, pages, "", "grab");
        row("reader to page and back, host grabs the screen", {"open Red article"}, faces, "", "grab");
        const char *toggles = "page Red article|reader Red article|page Red article|reader Red article";
        row("reader face and its page in turn, busy host", {"open Red article"}, toggles, "^r?R$|^R?r$|^r?R$|^R?r$", "work");
        row("reader face and its page in turn, host grabs the screen", {"open Red article"}, toggles, "^r?R$|^R?r$|^r?R$|^R?r$", "grab");
    }

    void noPageFlashesBetweenDocuments()
    {
        QFETCH(QStringList, before);
        QFETCH(QString, step);
        QFETCH(QString, order);
        QFETCH(QString, host);
        const BusyHost busy(host, m_host.get());
        QString from = before.isEmpty() ? QString() : before.constLast().section(u' ', 1);
        for (const QString &first : before)
            QVERIFY2(take(first), qPrintable(first));
        const QStringList steps = step.split(u'|');
        const QStringList orders = order.split(u'|');
        for (qsizetype at = 0; at < steps.size(); ++at) {
            const QString &filmed = steps.at(at);
            QVERIFY2(take(filmed, true), qPrintable(filmed));
            // A face, once shown, stays.
            const QString to = filmed.section(u' ', 1);
            verifyFilm(order.isEmpty() ? QStringLiteral("^%1?P*%2$").arg(QChar::fromLatin1(lookOf(from))).arg(QChar::fromLatin1(lookOf(to)))
                                       : orders.value(at, orders.constLast()));
            if (QTest::currentTestFailed())
                return;
            from = to;
        }
    }

    // Whatever a document still loads or runs, the paper gives way once its
    // face is painted, long before the deadline; a reader face shows once
    // its text is painted, whatever its images do. Followed from a page, the
    // page before never shows under the new document's title. A document
    // whose script keeps it busy once it has painted shows its own picture
    // or paper (where its frame cannot reach the view while it is busy),
    // never the face before, and its own picture once it is free.
    void paperGivesWayOncePainted_data()
    {
        QTest::addColumn<QByteArray>("body"); // %1: an address on a host that never answers
        QTest::addColumn<QString>("name");
        QTest::addColumn<char>("look");
        QTest::addColumn<int>("height"); // of its content, and of the page before's; 0: both fit the view
        QTest::addColumn<QString>("from"); // the document the link is followed from
        QTest::addColumn<QString>("host"); // how busy the host's GUI thread is (see BusyHost)
        QTest::addColumn<bool>("busy"); // it may stay on paper until its script ends
        const QString blue = QStringLiteral("Blue page");
        const QByteArray yellow = "<style>html, body { background: #e0c020; margin: 0 }</style>";
        QTest::addRow("content in a frame, an image that hangs")
            << "<!DOCTYPE html><title>Framed</title><style>html, body { margin: 0 } iframe { border: 0; width: 100vw; height: 100vh }</style>"
               "<iframe srcdoc=\"<style>html { background: #e0c020 }</style><p>In a frame.\"></iframe><img src=\"%1\">"_qba
            << "Framed" << 'Y' << 0 << blue << "" << false;
        QTest::addRow("only a background, a script that hangs")
            << "<!DOCTYPE html><title>Background</title>"_qba + yellow + "<body><script src=\"%1\"></script>" << "Background" << 'Y' << 0
            << blue << "" << false;
        QTest::addRow("a spinner, a frame that hangs")
            << "<!DOCTYPE html><title>Spinner</title>"_qba + yellow
                   + "<style>@keyframes turn { to { transform: rotate(360deg) } } div { width: 40px; height: 40px; margin: 60px;"
                     " border: 6px solid #fff; border-top-color: #888; border-radius: 50%; animation: turn 1s linear infinite }</style>"
                     "<div></div><iframe src=\"%1\" style=\"visibility: hidden\"></iframe>"
            << "Spinner" << 'Y' << 0 << blue << "" << false;
        // Busy for 6 s from the moment its first content is on its way to the
        // screen (the frame after it), or from its load event; as tall as the
        // page before, its extent gives no sign either.
        const auto busy = [&yellow](const char *from, int height) {
            const QByteArray paragraph = height > 0 ? "<p style=\"height: " + QByteArray::number(height) + "px\">" : "<p>"_qba;
            const QByteArray spin = "{ const end = Date.now() + 6000; while (Date.now() < end); }";
            const QByteArray script = qstrcmp(from, "load") == 0
                ? "addEventListener('load', () => setTimeout(() => " + spin + ", 0));"
                : "new PerformanceObserver(() => requestAnimationFrame(() => setTimeout(() => " + spin
                    + "))).observe({type: 'paint', buffered: true});";
            return "<!DOCTYPE html><title>Busy</title>"_qba + yellow + paragraph + "Working.</p><script>" + script + "</script>";
        };
        const QString red = QStringLiteral("Red article");
        QTest::addRow("busy for 6 s once painted") << busy("painted", 0) << "Busy" << 'Y' << 0 << blue << "" << true;
        QTest::addRow("busy for 6 s once painted, as tall as the page before") << busy("painted", 3000) << "Busy" << 'Y' << 3000 << blue << ""
                                                                              << true;
        QTest::addRow("busy for 6 s once painted, from a reader face") << busy("painted", 0) << "Busy" << 'Y' << 0 << red << "" << true;
        QTest::addRow("busy for 6 s once painted, busy host") << busy("painted", 0) << "Busy" << 'Y' << 0 << blue << "work" << true;
        QTest::addRow("busy for 6 s from its load event") << busy("load", 0) << "Busy" << 'Y' << 0 << blue << "" << true;
        QTest::addRow("busy for 6 s from its load event, from a reader face") << busy("load", 0) << "Busy" << 'Y' << 0 << red << "" << true;
        QTest::addRow("busy for 6 s from its load event, busy host") << busy("load", 0) << "Busy" << 'Y' << 0 << blue << "work" << true;
        // Its face shows before it has loaded (the page takes seconds to read
        // in); the first page, as it may take longer to paint than the
        // deadline on a busy machine, and then shows as it is.
        QByteArray large = "<!DOCTYPE html><title>Large</title>"_qba + yellow;
        while (large.size() < 8'000'000)
            large += "<p>Every order is packed by hand in our warehouse, checked twice and sent the same day.</p>\n";
        QTest::addRow("8 MB") << large << "Large" << 'Y' << 0 << QString() << "" << false;
        QTest::addRow("article whose images the page never loaded")
            << colouredArticle("Lazy article", "#d02020").replace("<h2 id=\"stores\">", "<p><img data-src=\"%1\" alt=\"\">A picture.</p><h2 id=\"stores\">")
            << "Lazy article" << 'r' << 0 << blue << "" << false;
        // A video player the page hides (and so never loads), which the reader library keeps.
        QTest::addRow("article with a player that hangs")
            << colouredArticle("Player article", "#d02020")
                   .replace("</style>", ".player { display: none }</style>")
                   .replace("<h2 id=\"stores\">", "<p>Watch:</p><iframe class=\"player\" loading=\"lazy\" src=\"http://www.youtube.com:%2/pages/never\"></iframe><h2 id=\"stores\">")
            << "Player article" << 'r' << 0 << blue << "" << false;
    }

    void paperGivesWayOncePainted()
    {
        QFETCH(QByteArray, body);
        QFETCH(QString, name);
        QFETCH(char, look);
        QFETCH(int, height);
        QFETCH(QString, from);
        QFETCH(QString, host);
        QFETCH(bool, busy);
        const std::unique_ptr<WexoSample::SampleBackend> silent = otherHost();
        QVERIFY(silent);
        WexoSample::ScriptedAnswer hang;
        hang.hang = true;
        silent->script(QStringLiteral("GET"), QStringLiteral("/pages/never"), hang);
        body.replace("%1", QStringLiteral("http://localhost:%1/pages/never").arg(silent->port()).toUtf8());
        body.replace("%2", QByteArray::number(silent->port()));
        const QString address = serve(QStringLiteral("painted.html"), body);
        m_pages.insert(name, address);
        m_looks.insert(name, look);
        const bool first = from.isEmpty();
        if (first)
            QVERIFY(open(WexoOptionType::about, address));
        else if (height == 0)
            QVERIFY(take(QStringLiteral("open ") + from));
        else {
            m_pages.insert(QStringLiteral("Tall blue page"),
                           serve(QStringLiteral("tall-blue.html"),
                                 colouredPage("Tall blue page", "#2040d0").replace("<p>", "<p style=\"height: " + QByteArray::number(height) + "px\">")));
            m_looks.insert(QStringLiteral("Tall blue page"), 'B');
            QVERIFY(take(QStringLiteral("open Tall blue page")));
            from = QStringLiteral("Tall blue page");
        }
        const BusyHost busyHost(host, m_host.get());
        // From the document's arrival to its face: well before the deadline,
        // which shows a page whatever it is.
        QElapsedTimer arrived;
        qint64 shownAfter = -1;
        bool loaded = false;
        const QObject watching;
        connect(browser()->page(), &QWebEnginePage::urlChanged, &watching, [&] { arrived.start(); });
        connect(browser()->page(), &QWebEnginePage::loadFinished, &watching, [&] { loaded = arrived.isValid(); });
        connect(browser(), &WInAppBrowser::faceChanged, &watching, [&](WInAppBrowser::Face face) {
            if (face != WInAppBrowser::Face::paper && arrived.isValid() && shownAfter < 0)
                shownAfter = first && loaded ? -2 : arrived.elapsed();
        });
        if (first) {
            film(true);
            QVERIFY2(settledOn(name), qPrintable(m_film->runs()));
        } else {
            QVERIFY2(take(QStringLiteral("link ") + name, true), qPrintable(m_film->runs()));
        }
        // The large page's before it has loaded, the others' well before the
        // deadline; a busy one's once it can.
        QVERIFY2(shownAfter >= 0 && (first || busy || shownAfter < WInAppBrowserPaintWatch::kDeadlineMs - 500),
                 qPrintable(QString::number(shownAfter) + QStringLiteral(" ms: ") + m_film->runs()));
        // The first page may show its view's white at the deadline, before it
        // paints; a page followed from another shows paper until its own picture.
        if (first)
            verifyFilm(QStringLiteral("^K?P*W?%1$").arg(QLatin1Char(look)));
        else
            verifyFilm(QStringLiteral("^%1?P*%2$").arg(QLatin1Char(lookOf(from))).arg(QLatin1Char(look)));
    }

    // A document that gives no sign of painting by the deadline (it waits for
    // a part of its head, or its script keeps it busy from its start): what
    // waited for it settles (Reader is not offered), and the face stays
    // blank, the progress line running, until the view holds a picture of it;
    // never the picture before, and once it paints, its picture, however
    // often the view was asked for a frame meanwhile. Reload over a renderer that crashed takes the message away at once, and
    // the document is watched again.
    void paperHasADeadline_data()
    {
        QTest::addColumn<QString>("from"); // the document before
        QTest::addColumn<QByteArray>("head"); // %1: an address that answers after 5 s, %2: one that never does
        QTest::addColumn<bool>("paints"); // by the end of the test's wait
        QTest::addColumn<bool>("crash"); // its renderer crashes before it paints, then Reload
        QTest::addColumn<QString>("host"); // how busy the host's GUI thread is (see BusyHost)
        const QByteArray neverStyled = "<link rel=\"stylesheet\" href=\"%2\">";
        const QByteArray busy = "<script>const end = Date.now() + 5000; while (Date.now() < end);</script>";
        QTest::addRow("a head stylesheet that never comes") << "Blue page" << neverStyled << false << false << "";
        QTest::addRow("the same, from a reader face") << "Red article" << neverStyled << false << false << "";
        QTest::addRow("a head script that comes at 5 s") << "Blue page" << "<script src=\"%1\"></script>"_qba << true << false << "";
        QTest::addRow("busy for 5 s from its start") << "Blue page" << busy << true << false << "";
        QTest::addRow("busy for 5 s from its start, busy host") << "Blue page" << busy << true << false << "work";
        QTest::addRow("busy for 5 s from its start, from a reader face") << "Red article" << busy << true << false << "";
        QTest::addRow("renderer crashed, then Reload") << "Blue page" << neverStyled << false << true << "";
    }

    void paperHasADeadline()
    {
        QFETCH(QString, from);
        QFETCH(QByteArray, head);
        QFETCH(bool, paints);
        QFETCH(bool, crash);
        QFETCH(QString, host);
        const std::unique_ptr<WexoSample::SampleBackend> slow = otherHost();
        QVERIFY(slow);
        WexoSample::ScriptedAnswer late;
        late.delayMs = 5000;
        late.contentType = "text/javascript";
        slow->script(QStringLiteral("GET"), QStringLiteral("/pages/late.js"), late);
        WexoSample::ScriptedAnswer never;
        never.hang = true;
        slow->script(QStringLiteral("GET"), QStringLiteral("/pages/never"), never);
        const QString slowHost = QStringLiteral("http://localhost:%1/pages/").arg(slow->port());
        head.replace("%1", (slowHost + QStringLiteral("late.js")).toUtf8()).replace("%2", (slowHost + QStringLiteral("never")).toUtf8());
        m_pages.insert(QStringLiteral("Stuck"),
                       serve(QStringLiteral("stuck.html"), "<!DOCTYPE html><title>Stuck</title>" + head
                                                              + "<style>html, body { background: #e0c020; margin: 0 }</style><p>Late.</p>"));
        m_looks.insert(QStringLiteral("Stuck"), 'Y');
        QVERIFY(take(QStringLiteral("open ") + from));
        const BusyHost busyHost(host, m_host.get());
        QVERIFY(clickLinkTo(m_pages.value(QStringLiteral("Stuck"))));
        if (!crash)
            film();
        QVERIFY(spinUntil([&] { return barTip("inAppBrowserTitle") == QLatin1String("Stuck"); }));
        QWidget *progress = browser()->view()->findChild<QWidget *>(QStringLiteral("inAppBrowserProgress"));
        if (crash) {
            QSignalSpy shown(browser(), &WInAppBrowser::messageShown);
            QCOMPARE(::kill(pid_t(browser()->page()->renderProcessPid()), SIGKILL), 0);
            QVERIFY(shown.wait(20000));
            film();
            clickBar("inAppBrowserReload");
            QCOMPARE(browser()->face(), WInAppBrowser::Face::paper);
        }
        QElapsedTimer clock;
        clock.start();
        // Past the deadline: settled, yet blank (paper, or a new renderer's white).
        spinUntil([] { return false; }, WInAppBrowserPaintWatch::kDeadlineMs + 700);
        QVERIFY2(QByteArray("PW").contains(FaceFilm::look(faces())), qPrintable(m_film->runs()));
        QVERIFY(progress->isVisible());
        QVERIFY(!barButton("inAppBrowserReader")->isEnabled());
        if (paints) {
            QVERIFY2(settledOn(QStringLiteral("Stuck")), qPrintable(m_film->runs()));
            QVERIFY2(clock.elapsed() > 1000, qPrintable(QString::number(clock.elapsed())));
        }
        verifyFilm(QString::fromLatin1(paints ? "^%1?P+W?Y$" : "^%1?P+W?$").arg(QLatin1Char(lookOf(from))));
    }

    // The Reader button, clicked however often and fast, also while an
    // article is on its way into the reader face: the face ends as the button
    // shows. Clicks in one turn of the event loop show no face but the last
    // one's, also where the view that face needs rests.
    void readerFollowsTheLastClick_data()
    {
        QTest::addColumn<int>("clicks");
        QTest::addColumn<int>("apartMs");
        QTest::addColumn<bool>("fromPage"); // the page face shows first (Reader off), its reader view resting
        QTest::addColumn<QString>("name"); // a large article takes a while into the reader face
        const QString large = QStringLiteral("Large article");
        const QString red = QStringLiteral("Red article");
        QTest::addRow("off, on, off at once") << 3 << 0 << false << large;
        QTest::addRow("off, on, off 40 ms apart") << 3 << 40 << false << large;
        QTest::addRow("off, on, off 150 ms apart") << 3 << 150 << false << large;
        QTest::addRow("21 quick clicks") << 21 << 10 << false << large;
        QTest::addRow("22 quick clicks") << 22 << 10 << false << large;
        QTest::addRow("off and on at once, the page resting") << 2 << 0 << false << red;
        QTest::addRow("on and off at once, the reader view resting") << 2 << 0 << true << red;
    }

    void readerFollowsTheLastClick()
    {
        QFETCH(int, clicks);
        QFETCH(int, apartMs);
        QFETCH(bool, fromPage);
        QFETCH(QString, name);
        QVERIFY(take(QStringLiteral("open ") + name));
        QToolButton *reader = barButton("inAppBrowserReader");
        if (fromPage)
            QVERIFY(take(QStringLiteral("page ") + name));
        // The view under the face rests.
        QWebEnginePage *covered = fromPage ? browser()->readerFace()->page() : browser()->page();
        QVERIFY(spinUntil([&] { return !covered->isVisible(); }));
        QList<WInAppBrowser::Face> faces;
        const QObject context;
        connect(browser(), &WInAppBrowser::faceChanged, &context, [&](WInAppBrowser::Face face) { faces << face; });
        for (int click = 0; click < clicks; ++click) {
            if (click > 0 && apartMs > 0)
                spinUntil([] { return false; }, apartMs);
            QTest::mouseClick(reader, Qt::LeftButton);
        }
        const bool on = (clicks % 2 == 0) != fromPage;
        const WInAppBrowser::Face face = on ? WInAppBrowser::Face::reader : WInAppBrowser::Face::page;
        QCOMPARE(reader->isChecked(), on);
        QVERIFY(spinUntil([&] { return browser()->face() == face; }));
        // Anything still on its way has arrived by then.
        spinUntil([] { return false; }, 1500);
        QCOMPARE(browser()->face(), face);
        QCOMPARE(reader->isChecked(), on);
        // At once: the last click's face only, or none where it shows already.
        if (apartMs == 0)
            QCOMPARE(faces, clicks % 2 == 0 ? QList<WInAppBrowser::Face> {} : QList<WInAppBrowser::Face> {face});
    }

    // Reader is offered only where the document has an article: not while it
    // is being looked at, not on a page or a form, not on a message.
    void readerOfferedOnlyWithAnArticle_data()
    {
        QTest::addColumn<QString>("title");
        QTest::addColumn<bool>("offered");
        QTest::addRow("article") << "Red article" << true;
        QTest::addRow("plain page") << "Blue page" << false;
        QTest::addRow("sign-in form") << "Sign-in form" << false;
        QTest::addRow("page that failed") << "Failed page" << false;
    }

    void readerOfferedOnlyWithAnArticle()
    {
        QFETCH(QString, title);
        QFETCH(bool, offered);
        QVERIFY(open(WexoOptionType::about, m_pages.value(title)));
        QToolButton *reader = barButton("inAppBrowserReader");
        QVERIFY(!reader->isEnabled());
        QSignalSpy checked(browser(), &WInAppBrowser::readerChecked);
        QSignalSpy shown(browser(), &WInAppBrowser::messageShown);
        QVERIFY(spinUntil([&] { return !checked.isEmpty() || !shown.isEmpty(); }));
        QCOMPARE(reader->isEnabled(), offered);
        QCOMPARE(reader->isChecked(), offered);
    }
};

int main(int argc, char **argv)
{
    return runInAppPageTests(argc, argv, [] { return std::unique_ptr<QObject>(new tst_InAppFaces); });
}

#else

#include <QTest>

class tst_InAppFaces : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void builtWithoutWebView() { QSKIP("built without Qt WebEngine (WEXO_WEB_VIEW off)"); }
};


QTEST_MAIN(tst_InAppFaces)

#endif

#include "tst_inappfaces.moc"
