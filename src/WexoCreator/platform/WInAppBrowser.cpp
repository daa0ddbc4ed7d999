#include "WexoCreator/platform/WInAppBrowser.h"

#include "WexoCreator/platform/WInAppBrowserPage.h"
#include "WexoCreator/platform/WLogging.h"

#include <QApplication>
#include <QDesktopServices>
#include <QEvent>
#include <QFile>
#include <QHBoxLayout>
#include <QJsonDocument>
#include <QJsonObject>
#include <QKeyEvent>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QStackedWidget>
#include <QStyle>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>
#include <QWebEngineDownloadRequest>
#include <QWebEngineHistory>
#include <QWebEngineHistoryItem>
#include <QWebEngineLoadingInfo>
#include <QWebEngineProfile>
#include <QWebEngineScript>
#include <QWebEngineSettings>
#include <QWebEngineView>

namespace WexoCreator {

namespace {

QList<QPointer<WInAppBrowser>> &liveBrowsers()
{
    static QList<QPointer<WInAppBrowser>> browsers;
    return browsers;
}

// Profiles whose page has gone, waiting for their turn to go too.
QList<QPointer<QWebEngineProfile>> &retiringProfiles()
{
    static QList<QPointer<QWebEngineProfile>> profiles;
    return profiles;
}

QString resourceText(const QString &name)
{
    QFile file(QStringLiteral(":/WexoCreator/readability/") + name);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

// Runs in the application's own script world, on a copy of the document, so
// the page's scripts neither see the reader library nor what it changes.
const QString &readerScript()
{
    static const QString script = QStringLiteral("(function () {\n%1\n%2\n"
                                                 "if (!isProbablyReaderable(document)) return '';\n"
                                                 "var article = new Readability(document.cloneNode(true)).parse();\n"
                                                 "if (!article || !article.content) return '';\n"
                                                 "return JSON.stringify({title: article.title || '', byline: article.byline || '',"
                                                 " content: article.content});\n"
                                                 "})()")
                                      .arg(resourceText(QStringLiteral("Readability-readerable.js")),
                                           resourceText(QStringLiteral("Readability.js")));
    return script;
}

// Every end that leaves the page with nothing to show says this.
QString notLoadedText()
{
    return QStringLiteral("This page could not be loaded.");
}

const char *const kReaderStyle = R"(
body { margin: 0; background: #fbfaf7; color: #1d1d1f; }
.wexo-reader { max-width: 38em; margin: 0 auto; padding: 24px 20px 48px;
          font: 18px/1.6 "DejaVu Serif", Georgia, serif; }
h1 { font: bold 28px/1.25 "DejaVu Sans", sans-serif; margin: 0 0 8px; }
.byline { font: 15px "DejaVu Sans", sans-serif; color: #6e6e73; margin: 0 0 24px; }
img, video, figure { max-width: 100%; height: auto; }
pre { white-space: pre-wrap; }
a { color: #0a62c9; }
)";

// One of the bar's two centred lines; the page's own texts show as typed and
// never widen the bar.
QLabel *barLine(const QString &name, QWidget *bar)
{
    auto *line = new QLabel(bar);
    line->setObjectName(name);
    line->setTextFormat(Qt::PlainText);
    line->setAlignment(Qt::AlignCenter);
    line->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    return line;
}

// A decoded name can pass for another (Cyrillic letters that look Latin, one
// such letter among Latin ones), and telling which names are safe to decode
// takes the browsers' confusable tables: any name that is not plain ASCII
// shows in its xn-- form. The application's IDN whitelist is not consulted.
QString shownHost(const QUrl &url)
{
    return url.host(QUrl::EncodeUnicode);
}

// The engine names a page without a title by its address: with or without
// the scheme, the host decoded by the engine's own rules. Such a title is no
// title of the page's own.
bool isAddressTitle(const QString &title, const QUrl &url)
{
    const QUrl named(title.contains(QLatin1String("://")) ? title : url.scheme() + QStringLiteral("://") + title);
    const QUrl::FormattingOptions rest = QUrl::RemoveScheme | QUrl::RemoveAuthority | QUrl::StripTrailingSlash;
    return named.isValid() && named.scheme() == url.scheme()
        && named.host(QUrl::EncodeUnicode) == url.host(QUrl::EncodeUnicode) && named.port() == url.port()
        && named.adjusted(rest) == url.adjusted(rest);
}

bool sameOrigin(const QUrl &one, const QUrl &other)
{
    return one.scheme() == other.scheme() && one.host() == other.host() && one.port() == other.port();
}

} // namespace

WInAppBrowser::WInAppBrowser(const QUrl &url, QObject *parent)
    : WViewController(parent)
    , m_pageUrl(url)
    , m_activeBefore(QApplication::activeWindow())
{
    // No storage name: off the record, nothing written to disk.
    m_profile = std::make_unique<QWebEngineProfile>();
    m_profile->settings()->setAttribute(QWebEngineSettings::JavascriptCanOpenWindows, false);
    // Downloads are never accepted, so no file is written.
    connect(m_profile.get(), &QWebEngineProfile::downloadRequested, this, [](QWebEngineDownloadRequest *download) {
        qCDebug(lcPlatform) << "download refused:" << download->url().host();
        download->cancel();
    });
    m_page = std::make_unique<WInAppBrowserPage>(m_profile.get());

    // Pages and profiles still alive when the application goes are released
    // before Qt WebEngine shuts down (post routines run newest first, and this
    // one is added after the first profile started Qt WebEngine).
    static const bool routineAdded = [] {
        qAddPostRoutine([] {
            for (const QPointer<WInAppBrowser> &browser : std::as_const(liveBrowsers())) {
                if (browser)
                    browser->release();
            }
            // No event loop is left to delete these later.
            for (const QPointer<QWebEngineProfile> &profile : std::as_const(retiringProfiles()))
                delete profile.data();
        });
        return true;
    }();
    Q_UNUSED(routineAdded);
    liveBrowsers().removeAll(nullptr);
    liveBrowsers().append(this);
}

WInAppBrowser::~WInAppBrowser()
{
    release();
}

void WInAppBrowser::release()
{
    liveBrowsers().removeAll(this);
    // The view first, then its page, then the profile the page was made in.
    delete m_web.data();
    m_page.reset();
    // Chromium finishes ending a page in work it has queued on this thread, and
    // some of that work (a refused download's, for one) still uses the profile:
    // deleting the profile in the same turn corrupted the heap. It goes once that
    // work has run, or with the application.
    if (QWebEngineProfile *profile = m_profile.release()) {
        retiringProfiles().removeAll(nullptr);
        retiringProfiles().append(profile);
        QTimer::singleShot(0, profile, &QObject::deleteLater);
    }
}

bool WInAppBrowser::readerAvailable()
{
    return QFile::exists(QStringLiteral(":/WexoCreator/readability/Readability.js"));
}

std::optional<QString> WInAppBrowser::readerDocument(const QString &title, const QString &byline, const QString &content)
{
    // The article is unsanitised page content: the reader face runs with
    // scripts off, and the document forbids them as well.
    QString html = QStringLiteral("<!DOCTYPE html><html><head><meta charset=\"utf-8\">"
                                  "<meta http-equiv=\"Content-Security-Policy\" content=\"script-src 'none'; object-src 'none'\">"
                                  "<meta name=\"viewport\" content=\"width=device-width\">"
                                  "<title>%1</title><style>%2</style></head><body><div class=\"wexo-reader\">"
                                  "<h1>%1</h1>%3%4</div></body></html>")
                       .arg(title.toHtmlEscaped(), QString::fromLatin1(kReaderStyle),
                            byline.trimmed().isEmpty() ? QString()
                                                       : QStringLiteral("<p class=\"byline\">%1</p>").arg(byline.toHtmlEscaped()),
                            content);
    // setHtml hands the document over as a base64 data address, which fails above the limit.
    static const qsizetype prefix = QByteArrayLiteral("data:text/html;charset=UTF-8;base64,").size();
    const qsizetype encoded = prefix + (html.toUtf8().size() + 2) / 3 * 4;
    if (encoded > kSetHtmlLimit)
        return std::nullopt;
    return html;
}

QWidget *WInAppBrowser::loadView()
{
    auto *root = new QWidget;
    root->setObjectName(QStringLiteral("inAppBrowser"));
    root->setAutoFillBackground(true);
    auto *column = new QVBoxLayout(root);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);

    auto *bar = new QWidget(root);
    bar->setObjectName(QStringLiteral("inAppBrowserBar"));
    buildBar(bar);
    column->addWidget(bar);

    m_progress = new QProgressBar(root);
    m_progress->setObjectName(QStringLiteral("inAppBrowserProgress"));
    m_progress->setTextVisible(false);
    m_progress->setFixedHeight(2);
    m_progress->setRange(0, 100);
    m_progress->setStyleSheet(QStringLiteral("QProgressBar { border: 0; background: transparent; }"
                                             "QProgressBar::chunk { background: #0a84ff; }"));
    column->addWidget(m_progress);

    m_faces = new QStackedWidget(root);
    m_web = new QWebEngineView(m_faces);
    m_web->setObjectName(QStringLiteral("inAppBrowserWebView"));
    m_web->setPage(m_page.get());
    m_faces->addWidget(m_web);

    auto *panel = new QWidget(m_faces);
    auto *panelColumn = new QVBoxLayout(panel);
    panelColumn->addStretch(1);
    m_message = new QLabel(panel);
    m_message->setObjectName(QStringLiteral("inAppBrowserMessage"));
    m_message->setTextFormat(Qt::PlainText);
    m_message->setWordWrap(true);
    m_message->setAlignment(Qt::AlignCenter);
    m_message->setTextInteractionFlags(Qt::TextSelectableByMouse);
    panelColumn->addWidget(m_message);
    m_messageOpen = new QPushButton(QStringLiteral("Open in browser"), panel);
    m_messageOpen->setObjectName(QStringLiteral("inAppBrowserMessageOpen"));
    connect(m_messageOpen, &QPushButton::clicked, this, [this] { openInSystemBrowser(m_messageUrl); });
    panelColumn->addWidget(m_messageOpen, 0, Qt::AlignHCenter);
    panelColumn->addStretch(2);
    m_faces->addWidget(panel);
    column->addWidget(m_faces, 1);

    // Keys typed in the page are the page's: a host's shortcut (Escape is a
    // common one) never fires under it, and Escape closes it. A QShortcut here
    // would tie with a host's Escape and neither would fire.
    root->installEventFilter(this);
    return root;
}

void WInAppBrowser::buildBar(QWidget *bar)
{
    auto *row = new QHBoxLayout(bar);
    row->setContentsMargins(8, 4, 8, 4);
    row->setSpacing(4);
    const auto button = [bar, row](const QString &name, const QString &text, QStyle::StandardPixmap icon) {
        auto *tool = new QToolButton(bar);
        tool->setObjectName(name);
        tool->setAutoRaise(true);
        tool->setToolTip(text);
        if (icon == QStyle::SP_CustomBase) {
            tool->setText(text);
        } else {
            tool->setIcon(bar->style()->standardIcon(icon, nullptr, bar));
            tool->setAccessibleName(text);
        }
        row->addWidget(tool);
        return tool;
    };
    QToolButton *done = button(QStringLiteral("inAppBrowserDone"), QStringLiteral("Done"), QStyle::SP_CustomBase);
    QFont bold = done->font();
    bold.setBold(true);
    done->setFont(bold);
    connect(done, &QToolButton::clicked, this, &WInAppBrowser::close);
    m_back = button(QStringLiteral("inAppBrowserBack"), QStringLiteral("Back"), QStyle::SP_ArrowBack);
    connect(m_back, &QToolButton::clicked, this, [this] {
        if (!m_page)
            return;
        // Back from the reader face is the page it was made from; back to a
        // reader document is its article in the reader face.
        if (m_face == Face::reader)
            showReader(false);
        else if (const std::optional<QUrl> article = articleBehind())
            backToReaderFace(*article);
        else
            m_page->triggerAction(QWebEnginePage::Back);
    });
    m_forward = button(QStringLiteral("inAppBrowserForward"), QStringLiteral("Forward"), QStyle::SP_ArrowForward);
    connect(m_forward, &QToolButton::clicked, this, [this] {
        if (!m_page)
            return;
        if (m_face == Face::reader)
            m_page->askHistoryStep();
        m_page->triggerAction(QWebEnginePage::Forward);
    });
    QToolButton *reload = button(QStringLiteral("inAppBrowserReload"), QStringLiteral("Reload"), QStyle::SP_BrowserReload);
    connect(reload, &QToolButton::clicked, this, [this] {
        if (!m_page)
            return;
        if (m_face == Face::page)
            m_page->triggerAction(QWebEnginePage::Reload);
        else
            showReader(false);
    });

    auto *titles = new QVBoxLayout;
    titles->setSpacing(0);
    m_title = barLine(QStringLiteral("inAppBrowserTitle"), bar);
    QFont titleFont = m_title->font();
    titleFont.setBold(true);
    m_title->setFont(titleFont);
    m_title->installEventFilter(this);
    m_host = barLine(QStringLiteral("inAppBrowserHost"), bar);
    QPalette muted = m_host->palette();
    muted.setColor(QPalette::WindowText, muted.color(QPalette::PlaceholderText));
    m_host->setPalette(muted);
    titles->addWidget(m_title);
    titles->addWidget(m_host);
    row->addLayout(titles, 1);

    m_reader = button(QStringLiteral("inAppBrowserReader"), QStringLiteral("Reader"), QStyle::SP_CustomBase);
    m_reader->setCheckable(true);
    m_reader->setVisible(readerAvailable());
    connect(m_reader, &QToolButton::clicked, this, [this](bool checked) { showReader(checked); });
    QToolButton *external = button(QStringLiteral("inAppBrowserOpenExternal"), QStringLiteral("Open in browser"),
                                   QStyle::SP_CustomBase);
    connect(external, &QToolButton::clicked, this,
            [this] { openInSystemBrowser(m_face == Face::message ? m_messageUrl : m_pageUrl); });
}

void WInAppBrowser::viewDidLoad()
{
    WViewController::viewDidLoad();
    WInAppBrowserPage *page = m_page.get();
    connect(page, &QWebEnginePage::titleChanged, this, &WInAppBrowser::updateBar);
    connect(page, &QWebEnginePage::urlChanged, this, [this](const QUrl &url) {
        // Only another document ends the reader face, and the bar follows it;
        // a followed link's page shows as a page, not examined again.
        if (m_face == Face::reader && replacesReaderFace(url)) {
            m_skipReaderOnce = m_page->followsReaderLink();
            leaveReaderFace();
        } else if (m_face == Face::reader) {
            // A move to a part of the article is an entry of its own.
            rememberReaderEntry();
        }
        if (m_face == Face::page && WInAppBrowserPage::isWebAddress(url))
            m_pageUrl = url;
        updateBar();
    });
    connect(page, &QWebEnginePage::loadStarted, this, [this] {
        ++m_loadSerial;
        if (m_face == Face::message) {
            m_face = Face::page;
            m_faces->setCurrentWidget(m_web);
        }
        m_progress->setValue(0);
        m_progress->show();
    });
    connect(page, &QWebEnginePage::loadProgress, m_progress, &QProgressBar::setValue);
    connect(page, &QWebEnginePage::loadingChanged, this, &WInAppBrowser::onLoadingChanged);
    connect(page, &QWebEnginePage::renderProcessTerminated, this, [this] {
        // Nothing is drawn without a renderer. The view goes first when the page
        // is released; a message already up stays.
        if (!m_web || m_face == Face::message)
            return;
        if (m_face == Face::reader)
            leaveReaderFace();
        showMessage(notLoadedText(), m_pageUrl);
    });
    connect(page, &WInAppBrowserPage::openElsewhere, this, &WInAppBrowser::openInSystemBrowser);
    connect(page, &WInAppBrowserPage::readerLinkClicked, this, [this] {
        // Scripts on before the link's document arrives, or it would start
        // without them; the reader's own document forbids them itself.
        m_page->settings()->setAttribute(QWebEngineSettings::JavascriptEnabled, true);
    });
    m_progress->hide();
    updateBar();
    if (!WInAppBrowserPage::isWebAddress(m_pageUrl)) {
        showMessage(QStringLiteral("Only web addresses open here."), m_pageUrl);
        return;
    }
    page->load(m_pageUrl);
}

void WInAppBrowser::viewDidAppear(bool animated)
{
    WViewController::viewDidAppear(animated);
    // The page's GL surface makes Qt build the host's native window again,
    // and the new one is not the active window (nothing would get the keys).
    if (m_activeBefore && !QApplication::activeWindow())
        m_activeBefore->activateWindow();
    // Keys go to the page (and Escape closes it) without a click first.
    if (m_face == Face::message && m_messageOpen)
        m_messageOpen->setFocus();
    else if (m_web)
        m_web->setFocus();
}

void WInAppBrowser::onLoadingChanged(const QWebEngineLoadingInfo &info)
{
    switch (info.status()) {
    case QWebEngineLoadingInfo::LoadStartedStatus:
        return;
    case QWebEngineLoadingInfo::LoadSucceededStatus:
        onLoadFinished(info);
        return;
    case QWebEngineLoadingInfo::LoadFailedStatus:
        // Qt reports a load as failed, with no error, when the page stops loading
        // before the document has arrived: the old page's own address change
        // (history API) can do that while the reader's document is on its way,
        // and then nothing reports that document. Its scripts are off by now,
        // so the document is loaded once more, and that load is reported.
        if (m_face == Face::reader && !m_page->followsReaderLink() && !m_readerDocument.isEmpty()
            && info.errorDomain() == QWebEngineLoadingInfo::NoErrorDomain) {
            qCDebug(lcPlatform) << "reader document's load reported ended before it arrived; loading it again";
            loadReaderDocument();
            m_readerDocument.clear(); // once only
            return;
        }
        // An aborted load (a refused navigation, a new one, a download) is no failure of its own.
        if (info.errorCode() != -3) {
            onLoadFinished(info);
            return;
        }
        break;
    case QWebEngineLoadingInfo::LoadStoppedStatus:
        break;
    }
    m_progress->hide();
    // A link from the reader face that brought no document (a download, no
    // content): the article stays, and so does its face.
    if (m_face == Face::reader && m_page->followsReaderLink())
        enterReaderFace();
    // ...unless the page never had a document: it would stay empty.
    if (m_face == Face::page && m_page->url().isEmpty())
        showMessage(notLoadedText(), m_pageUrl);
}

void WInAppBrowser::onLoadFinished(const QWebEngineLoadingInfo &info)
{
    const bool ok = info.status() == QWebEngineLoadingInfo::LoadSucceededStatus;
    // A followed link's document under the reader face's own address reports
    // no new address.
    if (m_face == Face::reader && m_page->followsReaderLink()) {
        m_skipReaderOnce = ok;
        leaveReaderFace();
    }
    m_progress->hide();
    updateBar();
    // Whatever address the reader face's load was reported with, it is over.
    m_page->expectReaderLoad(false);
    m_readerDocument.clear();
    if (m_face == Face::reader) {
        // The reader face's own load is not examined again; if it failed, the page comes back.
        if (ok) {
            rememberReaderEntry();
            emit readerChecked(true);
        } else {
            showReader(false);
        }
        return;
    }
    if (!ok) {
        // Sub-resources' certificates never fail the page's load: this is the page's own.
        if (info.errorDomain() == QWebEngineLoadingInfo::CertificateErrorDomain)
            showMessage(QStringLiteral("This site's security certificate is not trusted, so the page was not opened."),
                        info.url());
        else
            showMessage(notLoadedText(), m_pageUrl);
        return;
    }
    if (m_face != Face::page)
        return;
    // Navigations to an empty page are never asked about: refused here instead.
    if (!WInAppBrowserPage::isWebAddress(m_page->url())) {
        showMessage(QStringLiteral("Only web addresses open here."), m_page->url());
        return;
    }
    // The page's surface exists from its first load on: it takes the keys
    // unless the user has put the focus elsewhere in the meantime.
    if (!m_focusGiven) {
        m_focusGiven = true;
        QWidget *focus = QApplication::focusWidget();
        if (!focus || focus == m_web || !view()->isAncestorOf(focus))
            m_web->setFocus();
    }
    if (m_skipReaderOnce || !readerAvailable()) {
        m_skipReaderOnce = false;
        emit readerChecked(false);
        return;
    }
    examineForReader();
}

void WInAppBrowser::examineForReader()
{
    const int serial = m_loadSerial;
    QPointer<WInAppBrowser> self(this);
    m_page->runJavaScript(readerScript(), QWebEngineScript::ApplicationWorld, [self, serial](const QVariant &result) {
        if (!self || !self->m_page || serial != self->m_loadSerial || self->m_face != Face::page)
            return;
        const QJsonObject article = QJsonDocument::fromJson(result.toString().toUtf8()).object();
        const QString content = article.value(QStringLiteral("content")).toString();
        if (content.isEmpty()) {
            emit self->readerChecked(false);
            return;
        }
        QString title = article.value(QStringLiteral("title")).toString().trimmed();
        if (title.isEmpty())
            title = self->m_page->title();
        const std::optional<QString> document =
            readerDocument(title, article.value(QStringLiteral("byline")).toString(), content);
        if (!document) {
            qCDebug(lcPlatform) << "article too large for the reader face; showing the page";
            emit self->readerChecked(false);
            return;
        }
        self->m_readerTitle = title;
        self->enterReaderFace();
        self->m_readerDocument = *document;
        self->loadReaderDocument();
        self->updateBar();
    });
}

void WInAppBrowser::loadReaderDocument()
{
    m_page->expectReaderLoad(true);
    m_page->setHtml(m_readerDocument, m_pageUrl);
}

void WInAppBrowser::showReader(bool reader)
{
    if (!m_page)
        return;
    if (reader && m_face == Face::page) {
        examineForReader();
    } else if (!reader && m_face == Face::reader) {
        // Left for its page by choice: Back from that page does not return to it.
        m_readerEntries.remove(m_page->history()->currentItemIndex());
        leaveReaderFace();
        m_skipReaderOnce = true;
        m_page->load(m_pageUrl);
    }
    updateBar();
}

bool WInAppBrowser::replacesReaderFace(const QUrl &url) const
{
    // A part of the article (a fragment) is a move within the reader's own
    // document, also while a link clicked before is still on its way.
    if (url.adjusted(QUrl::RemoveFragment) == m_pageUrl.adjusted(QUrl::RemoveFragment))
        return false;
    if (m_page->followsReaderLink() && WInAppBrowserPage::isWebAddress(url))
        return true;
    // The reader's own document, however it is reported.
    if (url.scheme() == QLatin1String("data"))
        return false;
    // Until the reader's document is shown, the page it was made from may still
    // move its address within its origin (history API, fragments). No other
    // document of that origin gets past the reader face's navigation check.
    return !sameOrigin(url, m_pageUrl);
}

void WInAppBrowser::rememberReaderEntry()
{
    // Only the reader's own documents are data addresses in the history.
    QWebEngineHistory *history = m_page->history();
    if (history->currentItem().url().scheme() == QLatin1String("data"))
        m_readerEntries.insert(history->currentItemIndex(), m_pageUrl);
}

std::optional<QUrl> WInAppBrowser::articleBehind() const
{
    QWebEngineHistory *history = m_page->history();
    const int index = history->currentItemIndex() - 1;
    if (index < 0 || !m_readerEntries.contains(index) || history->itemAt(index).url().scheme() != QLatin1String("data"))
        return std::nullopt;
    return m_readerEntries.value(index);
}

void WInAppBrowser::backToReaderFace(const QUrl &article)
{
    QWebEngineHistory *history = m_page->history();
    m_pageUrl = article;
    m_readerTitle = history->backItem().title();
    enterReaderFace();
    m_page->expectReaderLoad(true);
    history->back();
    updateBar();
}

void WInAppBrowser::enterReaderFace()
{
    m_face = Face::reader;
    m_page->setReaderFace(true);
    m_page->settings()->setAttribute(QWebEngineSettings::JavascriptEnabled, false);
}

void WInAppBrowser::leaveReaderFace()
{
    m_readerDocument.clear();
    m_face = Face::page;
    m_page->setReaderFace(false);
    m_page->settings()->setAttribute(QWebEngineSettings::JavascriptEnabled, true);
}

void WInAppBrowser::showMessage(const QString &text, const QUrl &url)
{
    m_face = Face::message;
    m_messageUrl = url;
    // Its host as the bar shows it: a lookalike name never reads decoded.
    m_message->setText(text + QStringLiteral("\n\n") + url.toDisplayString(QUrl::EncodeUnicode));
    m_faces->setCurrentIndex(1);
    m_progress->hide();
    updateBar();
    // The hidden page gave up the focus: keep the keys (Escape) inside.
    QWidget *focus = QApplication::focusWidget();
    if (view()->isVisible() && (!focus || !focus->isVisible() || !view()->isAncestorOf(focus)))
        m_messageOpen->setFocus();
    emit messageShown(m_message->text());
}

QString WInAppBrowser::messageText() const
{
    return m_face == Face::message && m_message ? m_message->text() : QString();
}

void WInAppBrowser::openInSystemBrowser(const QUrl &url)
{
    if (!WInAppBrowserPage::isWebAddress(url))
        return;
    if (!QDesktopServices::openUrl(url))
        showMessage(QStringLiteral("No browser could be opened for this address."), url);
}

void WInAppBrowser::close()
{
    dismiss(true);
}

void WInAppBrowser::elideTitle()
{
    if (m_title)
        m_title->setText(m_title->fontMetrics().elidedText(m_fullTitle, Qt::ElideRight, m_title->width()));
}

bool WInAppBrowser::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_title && event->type() == QEvent::Resize)
        elideTitle();
    if (event->type() == QEvent::ShortcutOverride && isViewLoaded() && watched == view()) {
        // Sent to the focus widget first, then up to here unless taken.
        auto *key = static_cast<QKeyEvent *>(event);
        key->accept();
        if (key->key() == Qt::Key_Escape && key->modifiers() == Qt::NoModifier)
            close();
        return true;
    }
    return WViewController::eventFilter(watched, event);
}

void WInAppBrowser::updateBar()
{
    if (!m_title || !m_page)
        return;
    const QUrl shown = m_face == Face::message ? m_messageUrl : m_pageUrl;
    QString title = m_face == Face::reader ? m_readerTitle : m_page->title();
    // A page with no title (yet) is named by its address.
    if (m_face == Face::message || title.isEmpty() || (m_face == Face::page && isAddressTitle(title, m_page->url())))
        title = shownHost(shown);
    // One line over the host line: breaks of any kind (U+2028 too) become spaces.
    m_fullTitle = title.simplified();
    // The bar is narrow: the whole title shows on hover.
    m_title->setToolTip(m_fullTitle);
    elideTitle();
    m_host->setText(shownHost(shown));
    // The reader face's own entries in the history are no addresses to go to,
    // but Back to one is its article in the reader face.
    QWebEngineHistory *history = m_page->history();
    m_back->setEnabled(m_face == Face::reader
                       || (m_face == Face::page && articleBehind())
                       || (history->canGoBack() && WInAppBrowserPage::isWebAddress(history->backItem().url())));
    m_forward->setEnabled(m_face != Face::message && history->canGoForward()
                          && WInAppBrowserPage::isWebAddress(history->forwardItem().url()));
    m_reader->setChecked(m_face == Face::reader);
}

} // namespace WexoCreator
