#ifdef WEXO_WEB_VIEW

#include "support/InAppPageFixture.h"

#include "WexoCreator/manager/WexoButtonController.h"

#include <QGuiApplication>
#include <QLabel>
#include <QQuickWidget>
#include <QRegularExpression>
#include <QScreen>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <QWebEngineView>

using namespace WexoCreator;

namespace {

// What the faces show, told by colour: each test page paints its own.
struct Frame {
    char colour; // 'R', 'G' articles' pages, 'B', 'Y' plain pages, 'P' paper (the reader's), 'W' white, '?'
    QString title;
};

char colourOf(const QColor &colour)
{
    const int r = colour.red(), g = colour.green(), b = colour.blue();
    if (qMin(r, qMin(g, b)) > 200)
        return b < r - 1 ? 'P' : 'W';
    if (r > 2 * b && g > 2 * b && r > 150)
        return 'Y';
    if (r > 2 * g && r > 2 * b)
        return 'R';
    if (g > 2 * r && g > 2 * b)
        return 'G';
    if (b > 2 * r && b > 2 * g)
        return 'B';
    return '?';
}

// The colour a person sees at a corner of the faces that neither the
// article's text nor a scroll bar covers: on a display the screen's own
// pixel; offscreen, the picture of the face on top there (a web view's as
// its surface renders it: a widget grab of the surface can give an older one).
char shownColour(QWidget *faces)
{
    const QPoint corner(6, faces->height() - 6);
    if (QGuiApplication::platformName() != QLatin1String("xcb")) {
        QWidget *top = faces->childAt(corner);
        if (!top)
            return '?';
        const QPoint at = top->mapFrom(faces, corner);
        auto *surface = qobject_cast<QQuickWidget *>(top);
        return colourOf(surface ? surface->grabFramebuffer().pixelColor(at) : top->grab().toImage().pixelColor(at));
    }
    const QPoint inWindow = faces->mapTo(faces->window(), corner);
    return colourOf(faces->screen()->grabWindow(faces->window()->winId(), inWindow.x(), inWindow.y(), 1, 1).toImage().pixelColor(0, 0));
}

// A person watching the faces: a look every ~15 ms, with the title the bar
// shows then.
class FacesFilm : public QObject
{
public:
    // The title is the one the bar last painted: the faces and the bar reach
    // the screen together.
    FacesFilm(QWidget *faces, QLabel *title)
        : m_title(title->toolTip())
    {
        title->installEventFilter(this);
        auto *timer = new QTimer(this);
        connect(timer, &QTimer::timeout, this, [this, faces] { frames.append({shownColour(faces), m_title}); });
        timer->start(15);
    }
    QList<Frame> frames;

    QString colours() const
    {
        QString shown;
        for (const Frame &frame : frames) {
            if (!shown.endsWith(QLatin1Char(frame.colour)))
                shown += QLatin1Char(frame.colour);
        }
        return shown;
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Paint)
            m_title = static_cast<QLabel *>(watched)->toolTip();
        return QObject::eventFilter(watched, event);
    }

private:
    QString m_title;
};

} // namespace

// The in-app page between documents, as a person sees it: which face shows
// what, and the Reader button, whatever the user clicks.
class tst_InAppFaces : public InAppPageFixture
{
    Q_OBJECT

    QHash<QString, QString> m_pages; // title → address

    static QByteArray colouredArticle(const QByteArray &name, const QByteArray &colour)
    {
        return article()
            .replace("About Sample Shop", name)
            .replace("background: #f4f6f8", "background: " + colour)
            .replace("background: #fff", "background: " + colour);
    }

    static QByteArray colouredPage(const QByteArray &name, const QByteArray &colour)
    {
        return "<!DOCTYPE html><title>" + name + "</title><style>html, body { background: " + colour
            + "; margin: 0 }</style><p>Nothing to read here, " + name + ".</p>";
    }

    // What the face of the document of that title looks like.
    static char colourOfFace(const QString &title)
    {
        static const QHash<QString, char> pages {{QStringLiteral("Blue page"), 'B'}, {QStringLiteral("Yellow page"), 'Y'}};
        return pages.value(title, 'P');
    }

    // The document of that title has settled in its face, its loads ended,
    // and the screen shows it (the first page shown over a window takes a
    // while to reach the screen).
    bool settledOn(const QString &title)
    {
        const WInAppBrowser::Face face = title.endsWith(QLatin1String("article")) ? WInAppBrowser::Face::reader
                                                                                : WInAppBrowser::Face::page;
        return spinUntil([&] {
            return browser()->face() == face && barTip("inAppBrowserTitle") == title
                && !browser()->view()->findChild<QWidget *>(QStringLiteral("inAppBrowserProgress"))->isVisible()
                && shownColour(browser()->webView()->parentWidget()) == colourOfFace(title);
        });
    }

    // "open X", "link X", "back X", "forward X": takes the step and waits until X has settled.
    bool take(const QString &step)
    {
        const QString verb = step.section(u' ', 0, 0);
        const QString title = step.section(u' ', 1);
        if (verb == QLatin1String("open") && !open(WexoOptionType::about, m_pages.value(title)))
            return false;
        if (verb == QLatin1String("link") && !clickLinkTo(m_pages.value(title)))
            return false;
        if (verb == QLatin1String("back"))
            clickBar("inAppBrowserBack");
        if (verb == QLatin1String("forward"))
            clickBar("inAppBrowserForward");
        return settledOn(title);
    }

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(startHost());
        if (!WReaderFace::available())
            QSKIP("built without the reader library");
        m_pages.insert(QStringLiteral("Red article"), serve(QStringLiteral("red.html"), colouredArticle("Red article", "#d02020")));
        if (qEnvironmentVariableIsSet("ABOUT")) m_pages.insert(QStringLiteral("Red article"), page("about.html"));
        if (qEnvironmentVariableIsSet("ABOUT2")) m_pages.insert(QStringLiteral("Red article"), serve(QStringLiteral("red.html"), article()));
        m_pages.insert(QStringLiteral("Green article"), serve(QStringLiteral("green.html"), colouredArticle("Green article", "#20a040")));
        m_pages.insert(QStringLiteral("Blue page"), serve(QStringLiteral("blue.html"), colouredPage("Blue page", "#2040d0")));
        m_pages.insert(QStringLiteral("Yellow page"), serve(QStringLiteral("yellow.html"), colouredPage("Yellow page", "#e0c020")));
        // About 900 kB of article: the reader face takes a while to prepare it.
        QByteArray paragraphs;
        while (paragraphs.size() < 900'000)
            paragraphs += "<p>Every order is packed by hand in our warehouse, checked twice and sent the same day.</p>\n";
        m_pages.insert(QStringLiteral("Large article"),
                       serve(QStringLiteral("large.html"), colouredArticle("Large article", "#f4f6f8").replace("<h2 id=\"stores\">", paragraphs + "<h2 id=\"stores\">")));
        m_pages.insert(QStringLiteral("Sign-in form"), page(QStringLiteral("sign-in.html")));
        m_pages.insert(QStringLiteral("Failed page"), QStringLiteral("http://127.0.0.1:9/pages/none.html"));
    }

    void cleanup()
    {
        if (browser())
            browser()->close();
        QVERIFY(closed());
    }

    void cleanupTestCase() { stopHost(); }

    // Between two documents no page shows under the other's title, none shows
    // between two reader faces, and a page, once shown, stays.
    void noPageFlashesBetweenDocuments_data()
    {
        QTest::addColumn<QStringList>("before");
        QTest::addColumn<QString>("step");
        QTest::addRow("reader to reader by a link") << QStringList {"open Red article"} << "link Green article";
        QTest::addRow("reader to reader by Back") << QStringList {"open Red article", "link Green article"} << "back Red article";
        QTest::addRow("reader to reader by Forward")
            << QStringList {"open Red article", "link Green article", "back Red article"} << "forward Green article";
        QTest::addRow("reader to page by a link") << QStringList {"open Red article"} << "link Blue page";
        QTest::addRow("page to reader by Back") << QStringList {"open Red article", "link Blue page"} << "back Red article";
        QTest::addRow("page to page by a link") << QStringList {"open Blue page"} << "link Yellow page";
    }

    void noPageFlashesBetweenDocuments()
    {
        QFETCH(QStringList, before);
        QFETCH(QString, step);
        for (const QString &first : before)
            QVERIFY2(take(first), qPrintable(first));
        const QString to = step.section(u' ', 1);
        FacesFilm film(browser()->webView()->parentWidget(), browser()->view()->findChild<QLabel *>(QStringLiteral("inAppBrowserTitle")));
        QVERIFY2(take(step), qPrintable(step));
        QTest::qWait(300);
        const QString colours = film.colours();
        for (const Frame &frame : std::as_const(film.frames)) {
            if (frame.colour != 'P')
                QVERIFY2(colourOfFace(frame.title) == frame.colour, qPrintable(colours + QStringLiteral(" under ") + frame.title));
        }
        // Whatever showed first, then paper, then the new document's face.
        const QRegularExpression order(QStringLiteral("^%1?P*%2?$")
                                           .arg(QChar::fromLatin1(colourOfFace(before.constLast().section(u' ', 1))), QChar::fromLatin1(colourOfFace(to))));
        QVERIFY2(order.match(colours).hasMatch(), qPrintable(colours));
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
