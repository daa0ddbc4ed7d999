#include "WexoCreator/platform/WReaderFace.h"

#include "WexoCreator/platform/WInAppBrowserColorRefusal.h"
#include "WexoCreator/platform/WInAppBrowserPage.h"
#include "WexoCreator/platform/WLogging.h"

#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QPointer>
#include <QWebEngineScript>
#include <QWebEngineSettings>

#include <utility>

namespace WexoCreator {

namespace {

QString resourceText(const QString &name)
{
    QFile file(QStringLiteral(":/WexoCreator/readability/") + name);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

// Takes the number the document is to keep, and answers with the one it keeps.
// The article's links and images resolve against the document's own base
// address, wherever its <base> stands (the reader library reads the base of
// a copy its parts have already left). The article keeps no <base> or <meta>
// of the page's, nor any link, form or button address that is not a web one:
// the engine loads an empty page without asking, which would empty the face.
const QString &examinationScript()
{
    static const QString script = QStringLiteral(R"((function (number) {
%1
%2
var answer = {document: window.wexoReaderDocument || (window.wexoReaderDocument = number)};
if (isProbablyReaderable(document)) {
  var copy = document.cloneNode(true);
  copy.querySelectorAll('base').forEach(function (element) { element.remove(); });
  if (document.baseURI != document.URL) {
    var base = copy.createElement('base');
    base.href = document.baseURI;
    (copy.head || copy.documentElement).prepend(base);
  }
  var clean = function (content) {
    content.querySelectorAll('base, meta').forEach(function (element) { element.remove(); });
    content.querySelectorAll('[href], [action], [formaction]').forEach(function (element) {
      ['href', 'action', 'formaction'].forEach(function (name) {
        var address = element.getAttribute(name);
        if (address === null || address.charAt(0) == '#')
          return;
        var scheme = '';
        try { scheme = new URL(address, copy.baseURI).protocol; } catch (error) {}
        if (scheme != 'http:' && scheme != 'https:')
          element.removeAttribute(name);
      });
    });
    return content.innerHTML;
  };
  var article = new Readability(copy, {serializer: clean}).parse();
  if (article && article.content) {
    answer.title = article.title || ''; answer.byline = article.byline || ''; answer.content = article.content;
  }
}
return JSON.stringify(answer);
}))")
                                      .arg(resourceText(QStringLiteral("Readability-readerable.js")),
                                           resourceText(QStringLiteral("Readability.js")));
    return script;
}

// The element that marks a place to open the article at.
const char *const kPlaceId = "wexo-reading-place";

const char *const kReaderStyle = R"(
body { margin: 0; background: %1; color: #1d1d1f; }
.wexo-reader { position: relative; max-width: 38em; margin: 0 auto; padding: 24px 20px 48px;
          font: 18px/1.6 "DejaVu Serif", Georgia, serif; }
h1 { font: bold 28px/1.25 "DejaVu Sans", sans-serif; margin: 0 0 8px; }
.byline { font: 15px "DejaVu Sans", sans-serif; color: #6e6e73; margin: 0 0 24px; }
img, video, figure { max-width: 100%; height: auto; }
pre { white-space: pre-wrap; }
a { color: #0a62c9; }
.wexo-reader.taller { padding-bottom: 49px; }
)";

// The reader face's page: the page view's refusals for what the article
// loads (images, frames), and for itself only its own document.
class ReaderPage final : public WInAppBrowserPage
{
public:
    ReaderPage(QWebEngineProfile *profile, WReaderFace *face)
        : WInAppBrowserPage(profile, face)
        , m_face(face)
    {
        // The article is unsanitised page content; its document forbids scripts as well.
        settings()->setAttribute(QWebEngineSettings::JavascriptEnabled, false);
        installReports(false);
    }

    // The next navigation to a data address is the face's own document.
    void expectOwnLoad() { m_ownLoad = true; }

protected:
    bool acceptNavigationRequest(const QUrl &url, NavigationType type, bool isMainFrame) override
    {
        if (!isMainFrame)
            return WInAppBrowserPage::acceptNavigationRequest(url, type, isMainFrame);
        if (m_ownLoad && url.scheme() == QLatin1String("data")) {
            m_ownLoad = false;
            return true;
        }
        // Handed on a turn later, outside the engine's own call.
        if (type == NavigationTypeLinkClicked && isWebAddress(url)) {
            QMetaObject::invokeMethod(m_face, [face = m_face, url] { emit face->linkClicked(url); }, Qt::QueuedConnection);
            return false;
        }
        qCDebug(lcPlatform) << "reader face navigation refused:" << type << url.scheme();
        return false;
    }

private:
    WReaderFace *m_face;
    bool m_ownLoad = false;
};

} // namespace

WReaderFace::WReaderFace(QWebEngineProfile *profile, QWidget *parent)
    : QWebEngineView(parent)
{
    setObjectName(QStringLiteral("inAppBrowserReaderView"));
    auto *page = new ReaderPage(profile, this);
    connect(page, &WInAppBrowserPage::openElsewhere, this, &WReaderFace::openElsewhere);
    // A link refused ends a load too: only the face's own is reported.
    connect(page, &QWebEnginePage::loadFinished, this, [this](bool ok) {
        if (std::exchange(m_loading, false))
            emit articleShown(ok);
    });
    setPage(page);
    new WInAppBrowserColorRefusal(this);
}

QColor WReaderFace::paperColor()
{
    return QColor(0xfb, 0xfa, 0xf7);
}

QString WReaderFace::readerableScript()
{
    static const QString script = resourceText(QStringLiteral("Readability-readerable.js"));
    return script;
}

bool WReaderFace::available()
{
    return QFile::exists(QStringLiteral(":/WexoCreator/readability/Readability.js"));
}

std::optional<QString> WReaderFace::document(const Article &article, std::optional<double> place)
{
    const QString title = article.title.toHtmlEscaped();
    const QString html = QStringLiteral("<!DOCTYPE html><html><head><meta charset=\"utf-8\">"
                                        "<meta http-equiv=\"Content-Security-Policy\" content=\"script-src 'none'; object-src 'none'\">"
                                        "<meta name=\"viewport\" content=\"width=device-width\">"
                                        "<title>%1</title><style>%2</style></head><body><div class=\"wexo-reader\">"
                                        "%3%4%5%6</div></body></html>")
                             .arg(title, QString::fromLatin1(kReaderStyle).arg(paperColor().name()),
                                  // A place to scroll to as the document loads, before its first paint;
                                  // within the article (which starts at the document's top), never
                                  // below its end: an article that got shorter opens at its end.
                                  place ? QStringLiteral("<div id=\"%1\" style=\"position: absolute; left: 0; top: min(%2px, 100% - 1px);"
                                                         " width: 1px; height: 1px\"></div>")
                                              .arg(QLatin1String(kPlaceId))
                                              .arg(qMax(0.0, *place), 0, 'f', 1)
                                        : QString(),
                                  title.isEmpty() ? QString() : QStringLiteral("<h1>%1</h1>").arg(title),
                                  article.byline.trimmed().isEmpty()
                                      ? QString()
                                      : QStringLiteral("<p class=\"byline\">%1</p>").arg(article.byline.toHtmlEscaped()),
                                  article.content);
    // setHtml hands the document over as a base64 data address, which fails above the limit.
    static const qsizetype prefix = QByteArrayLiteral("data:text/html;charset=UTF-8;base64,").size();
    const qsizetype encoded = prefix + (html.toUtf8().size() + 2) / 3 * 4;
    if (encoded > kSetHtmlLimit)
        return std::nullopt;
    return html;
}

void WReaderFace::examine(QWebEnginePage *page, QObject *context, std::function<void(const Examination &)> done)
{
    static qint64 nextDocument = 0;
    const QString script = examinationScript() + QStringLiteral("(%1)").arg(++nextDocument);
    page->runJavaScript(script, QWebEngineScript::ApplicationWorld,
                        [context = QPointer<QObject>(context), done = std::move(done)](const QVariant &result) {
                            if (!context)
                                return;
                            const QJsonObject answer = QJsonDocument::fromJson(result.toString().toUtf8()).object();
                            Examination examination;
                            examination.document = answer.value(QStringLiteral("document")).toInteger();
                            const QString content = answer.value(QStringLiteral("content")).toString();
                            if (!content.isEmpty()) {
                                examination.article = Article {answer.value(QStringLiteral("title")).toString().trimmed(),
                                                                answer.value(QStringLiteral("byline")).toString(), content};
                            }
                            done(examination);
                        });
}

bool WReaderFace::showArticle(const Article &article, const QUrl &address, std::optional<double> place)
{
    std::optional<QString> html = document(article, place);
    if (!html)
        return false;
    // Every other article a pixel taller: one as long as the article before
    // still tells its first frame from the picture before by its extent (a
    // sign that needs no frame asked for), unless it fits the view.
    m_taller = !m_taller;
    const QString wrapper = QStringLiteral("<div class=\"wexo-reader\">");
    if (m_taller)
        html->replace(html->indexOf(wrapper), wrapper.size(), QStringLiteral("<div class=\"wexo-reader taller\">"));
    m_title = article.title;
    m_loading = true;
    static_cast<ReaderPage *>(page())->expectOwnLoad();
    // Under the document's own address: its relative links and images resolve
    // there, and a link to another part of it is a move within it. The part
    // it names is scrolled to, or the place given.
    QUrl shown = address;
    if (place)
        shown.setFragment(QLatin1String(kPlaceId));
    page()->setHtml(*html, shown);
    return true;
}

} // namespace WexoCreator
