#ifdef WEXO_WEB_VIEW

#include "support/FaceFilm.h"
#include "support/InAppPageFixture.h"

#include "WexoCreator/manager/WexoButtonController.h"

#include <QLabel>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTest>
#include <QToolButton>
#include <QWebEngineView>

#include <memory>

using namespace WexoCreator;

// The in-app page between documents, as a person sees it: which face shows
// what, and the Reader button, whatever the user clicks.
class tst_InAppFaces : public InAppPageFixture
{
    Q_OBJECT

    QHash<QString, QString> m_pages; // title → address
    std::unique_ptr<FaceFilm> m_film;

    // An article whose page has its own background, and whose reader face
    // shows a marker of that colour.
    static QByteArray colouredArticle(const QByteArray &name, const QByteArray &colour)
    {
        return article()
            .replace("About Sample Shop", name)
            .replace("background: #f4f6f8", "background: " + colour)
            .replace("background: #fff", "background: " + colour)
            .replace("<p class=\"byline\">By the Sample Shop team</p>",
                     "<p class=\"byline\">By the Sample Shop team</p><p>" + FaceFilm::marker(QColor(QString::fromLatin1(colour)))
                         + " The colour of this copy.</p>");
    }

    static QByteArray colouredPage(const QByteArray &name, const QByteArray &colour)
    {
        return "<!DOCTYPE html><title>" + name + "</title><style>html, body { background: " + colour
            + "; margin: 0 }</style><p>Nothing to read here, " + name + ".</p>";
    }

    // How the face of the document of that title looks.
    static char lookOf(const QString &title)
    {
        static const QHash<QString, char> looks {{QStringLiteral("Blue page"), 'B'}, {QStringLiteral("Yellow page"), 'Y'},
                                                 {QStringLiteral("Red article"), 'r'}, {QStringLiteral("Green article"), 'g'}};
        return looks.value(title, 'a');
    }

    QWidget *faces() { return browser()->webView()->parentWidget(); }

    void film(bool justOpened = false)
    {
        m_film = std::make_unique<FaceFilm>(faces(), browser()->view()->findChild<QLabel *>(QStringLiteral("inAppBrowserTitle")), justOpened);
    }

    // The document of that title has settled in its face, its loads ended,
    // and the screen shows it (the first page shown over a window takes a
    // while to reach the screen).
    bool settledOn(const QString &name)
    {
        const WInAppBrowser::Face face = name.endsWith(QLatin1String("article")) ? WInAppBrowser::Face::reader
                                                                               : WInAppBrowser::Face::page;
        return spinUntil([&] {
            return browser()->face() == face && barTip("inAppBrowserTitle") == name
                && !browser()->view()->findChild<QWidget *>(QStringLiteral("inAppBrowserProgress"))->isVisible()
                && FaceFilm::look(faces()) == lookOf(name);
        });
    }

    // "open X", "link X", "self X", "reload X", "back X", "forward X": takes
    // the step and waits until X has settled. A film asked for ("filmed")
    // starts as the step is taken.
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
        m_pages.insert(QStringLiteral("Blue page"), serve(QStringLiteral("blue.html"), colouredPage("Blue page", "#2040d0")));
        m_pages.insert(QStringLiteral("Yellow page"), serve(QStringLiteral("yellow.html"), colouredPage("Yellow page", "#e0c020")));
        // About 900 kB of article: the reader face takes a while to prepare it.
        QByteArray paragraphs;
        while (paragraphs.size() < 900'000)
            paragraphs += "<p>Every order is packed by hand in our warehouse, checked twice and sent the same day.</p>\n";
        m_pages.insert(QStringLiteral("Large article"),
                       serve(QStringLiteral("large.html"),
                             article().replace("About Sample Shop", "Large article").replace("<h2 id=\"stores\">", paragraphs + "<h2 id=\"stores\">")));
        m_pages.insert(QStringLiteral("Sign-in form"), page(QStringLiteral("sign-in.html")));
        m_pages.insert(QStringLiteral("Failed page"), QStringLiteral("http://127.0.0.1:9/pages/none.html"));
    }

    void cleanup()
    {
        m_film.reset();
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
        QTest::addColumn<QString>("step");
        QTest::addColumn<QString>("order"); // the looks allowed, in order
        // The host window's new native window is black until it is first
        // painted (a page draws through OpenGL; see the README).
        QTest::addRow("first page") << QStringList {} << "open Blue page" << "^K?P*B$";
        QTest::addRow("first article") << QStringList {} << "open Red article" << "^K?P*r$";
        QTest::addRow("reader to reader by a link") << QStringList {"open Red article"} << "link Green article" << "^r?P*g$";
        QTest::addRow("reader to reader by Back") << QStringList {"open Red article", "link Green article"} << "back Red article" << "^g?P*r$";
        QTest::addRow("reader to reader by Forward")
            << QStringList {"open Red article", "link Green article", "back Red article"} << "forward Green article" << "^r?P*g$";
        QTest::addRow("reader to page by a link") << QStringList {"open Red article"} << "link Blue page" << "^r?P*B$";
        QTest::addRow("page to reader by Back") << QStringList {"open Red article", "link Blue page"} << "back Red article" << "^B?P*r$";
        QTest::addRow("page to page by a link") << QStringList {"open Blue page"} << "link Yellow page" << "^B?P*Y$";
        QTest::addRow("same article by a link to itself") << QStringList {"open Red article"} << "self Red article" << "^r$";
        QTest::addRow("same article by Reload") << QStringList {"open Red article"} << "reload Red article" << "^r$";
    }

    void noPageFlashesBetweenDocuments()
    {
        QFETCH(QStringList, before);
        QFETCH(QString, step);
        QFETCH(QString, order);
        for (const QString &first : before)
            QVERIFY2(take(first), qPrintable(first));
        QVERIFY2(take(step, true), qPrintable(step));
        // A face, once shown, stays.
        spinUntil([] { return false; }, 300);
        const QString looks = m_film->looks();
        for (const FaceFilm::Frame &frame : std::as_const(m_film->frames)) {
            if (frame.look != 'P' && frame.look != 'K')
                QVERIFY2(lookOf(frame.title) == frame.look, qPrintable(m_film->runs() + QStringLiteral(" under ") + frame.title));
        }
        QVERIFY2(QRegularExpression(order).match(looks).hasMatch(), qPrintable(m_film->runs()));
        qDebug().noquote() << m_film->runs();
    }

    // The Reader button, clicked however often and fast, also while an
    // article is on its way into the reader face: the face ends as the button
    // shows.
    void readerFollowsTheLastClick_data()
    {
        QTest::addColumn<int>("clicks");
        QTest::addColumn<int>("apartMs");
        QTest::addRow("off, on, off at once") << 3 << 0;
        QTest::addRow("off, on, off 40 ms apart") << 3 << 40;
        QTest::addRow("off, on, off 150 ms apart") << 3 << 150;
        QTest::addRow("21 quick clicks") << 21 << 10;
        QTest::addRow("22 quick clicks") << 22 << 10;
    }

    void readerFollowsTheLastClick()
    {
        QFETCH(int, clicks);
        QFETCH(int, apartMs);
        QVERIFY(take(QStringLiteral("open Large article")));
        QToolButton *reader = barButton("inAppBrowserReader");
        for (int click = 0; click < clicks; ++click) {
            if (click > 0 && apartMs > 0)
                spinUntil([] { return false; }, apartMs);
            QTest::mouseClick(reader, Qt::LeftButton);
        }
        const bool on = clicks % 2 == 0;
        const WInAppBrowser::Face face = on ? WInAppBrowser::Face::reader : WInAppBrowser::Face::page;
        QCOMPARE(reader->isChecked(), on);
        QVERIFY(spinUntil([&] { return browser()->face() == face; }));
        // Anything still on its way has arrived by then.
        spinUntil([] { return false; }, 1500);
        QCOMPARE(browser()->face(), face);
        QCOMPARE(reader->isChecked(), on);
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
