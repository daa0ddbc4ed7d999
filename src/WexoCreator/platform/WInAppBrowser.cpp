#include "WexoCreator/platform/WInAppBrowser.h"

#include "WexoCreator/platform/WInAppBrowserColorRefusal.h"
#include "WexoCreator/platform/WInAppBrowserPage.h"
#include "WexoCreator/platform/WInAppBrowserTeardown.h"
#include "WexoCreator/platform/WLogging.h"
#include "WexoCreator/platform/WReaderFace.h"

#include <QAction>
#include <QApplication>
#include <QDesktopServices>
#include <QEvent>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QStackedWidget>
#include <QStyle>
#include <QToolButton>
#include <QVBoxLayout>
#include <QWebEngineDownloadRequest>
#include <QWebEngineHistory>
#include <QWebEngineLoadingInfo>
#include <QWebEngineProfile>
#include <QWebEngineSettings>

#include <functional>

namespace WexoCreator {

namespace {

// The faces' stack. Should it go while the page lives (the host deleting its
// window, whenever it does), it first lets go of the web views it holds.
class FaceStack final : public QStackedWidget
{
public:
    using QStackedWidget::QStackedWidget;
    ~FaceStack() override
    {
        if (goingAway)
            goingAway();
    }
    std::function<void()> goingAway;
};

// Every end that leaves the page with nothing to show says this.
QString notLoadedText()
{
    return QStringLiteral("This page could not be loaded.");
}

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

} // namespace

WInAppBrowser::WInAppBrowser(const QUrl &url, QObject *parent)
    : WViewController(parent)
    , m_firstUrl(url)
    , m_activeBefore(QApplication::activeWindow())
{
    // No storage name: off the record, nothing written to disk.
    m_profile = std::make_unique<QWebEngineProfile>();
    m_profile->settings()->setAttribute(QWebEngineSettings::JavascriptCanOpenWindows, false);
    // Downloads are never accepted, so no file is written; also once the page has gone.
    connect(m_profile.get(), &QWebEngineProfile::downloadRequested, m_profile.get(), [](QWebEngineDownloadRequest *download) {
        qCDebug(lcPlatform) << "download refused:" << download->url().host();
        download->cancel();
    });
    m_page = std::make_unique<WInAppBrowserPage>(m_profile.get());

    WInAppBrowserTeardown::watch(this, [this] { release(); });
}

WInAppBrowser::~WInAppBrowser()
{
    release();
}

void WInAppBrowser::release()
{
    if (!m_page)
        return;
    // Nothing of the page reaches this browser any more.
    disconnect(m_page.get(), nullptr, this, nullptr);
    if (m_reader) {
        disconnect(m_reader, nullptr, this, nullptr);
        disconnect(m_reader->page(), nullptr, this, nullptr);
    }
    WInAppBrowserTeardown::retire({m_reader.data(), m_web.data()}, m_page.release(), m_profile.release());
}

QUrl WInAppBrowser::pageUrl() const
{
    return m_page && !m_page->url().isEmpty() ? m_page->url() : m_firstUrl;
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

    auto *faces = new FaceStack(root);
    faces->goingAway = [self = QPointer<WInAppBrowser>(this)] {
        if (self)
            self->release();
    };
    m_faces = faces;
    m_web = new QWebEngineView(m_faces);
    m_web->setObjectName(QStringLiteral("inAppBrowserWebView"));
    m_web->setPage(m_page.get());
    new WInAppBrowserColorRefusal(m_web);
    m_faces->addWidget(m_web);

    m_messagePanel = new QWidget(m_faces);
    auto *panelColumn = new QVBoxLayout(m_messagePanel);
    panelColumn->addStretch(1);
    m_message = new QLabel(m_messagePanel);
    m_message->setObjectName(QStringLiteral("inAppBrowserMessage"));
    m_message->setTextFormat(Qt::PlainText);
    m_message->setWordWrap(true);
    m_message->setAlignment(Qt::AlignCenter);
    m_message->setTextInteractionFlags(Qt::TextSelectableByMouse);
    panelColumn->addWidget(m_message);
    m_messageOpen = new QPushButton(QStringLiteral("Open in browser"), m_messagePanel);
    m_messageOpen->setObjectName(QStringLiteral("inAppBrowserMessageOpen"));
    connect(m_messageOpen, &QPushButton::clicked, this, [this] { openInSystemBrowser(m_messageUrl); });
    panelColumn->addWidget(m_messageOpen, 0, Qt::AlignHCenter);
    panelColumn->addStretch(2);
    m_faces->addWidget(m_messagePanel);
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
    // The page view's history is the only one: each button is its action.
    const auto pageAction = [this](QWebEnginePage::WebAction action) {
        return [this, action] {
            if (m_page)
                m_page->triggerAction(action);
        };
    };
    QToolButton *done = button(QStringLiteral("inAppBrowserDone"), QStringLiteral("Done"), QStyle::SP_CustomBase);
    QFont bold = done->font();
    bold.setBold(true);
    done->setFont(bold);
    connect(done, &QToolButton::clicked, this, &WInAppBrowser::close);
    m_back = button(QStringLiteral("inAppBrowserBack"), QStringLiteral("Back"), QStyle::SP_ArrowBack);
    connect(m_back, &QToolButton::clicked, this, &WInAppBrowser::goBack);
    m_forward = button(QStringLiteral("inAppBrowserForward"), QStringLiteral("Forward"), QStyle::SP_ArrowForward);
    connect(m_forward, &QToolButton::clicked, this, pageAction(QWebEnginePage::Forward));
    QToolButton *reload = button(QStringLiteral("inAppBrowserReload"), QStringLiteral("Reload"), QStyle::SP_BrowserReload);
    connect(reload, &QToolButton::clicked, this, pageAction(QWebEnginePage::Reload));

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

    m_readerToggle = button(QStringLiteral("inAppBrowserReader"), QStringLiteral("Reader"), QStyle::SP_CustomBase);
    m_readerToggle->setCheckable(true);
    m_readerToggle->setVisible(WReaderFace::available());
    connect(m_readerToggle, &QToolButton::clicked, this, [this](bool checked) { showReader(checked); });
    QToolButton *external = button(QStringLiteral("inAppBrowserOpenExternal"), QStringLiteral("Open in browser"),
                                   QStyle::SP_CustomBase);
    connect(external, &QToolButton::clicked, this,
            [this] { openInSystemBrowser(m_face == Face::message ? m_messageUrl : pageUrl()); });
}

void WInAppBrowser::viewDidLoad()
{
    WViewController::viewDidLoad();
    WInAppBrowserPage *page = m_page.get();
    connect(page, &QWebEnginePage::titleChanged, this, &WInAppBrowser::updateBar);
    connect(page, &QWebEnginePage::urlChanged, this, &WInAppBrowser::onUrlChanged);
    // The engine's own Back and Forward say when its history has an entry that way.
    connect(page->action(QWebEnginePage::Back), &QAction::changed, this, &WInAppBrowser::updateBar);
    connect(page->action(QWebEnginePage::Forward), &QAction::changed, this, &WInAppBrowser::updateBar);
    connect(page, &QWebEnginePage::loadProgress, m_progress, &QProgressBar::setValue);
    connect(page, &QWebEnginePage::loadingChanged, this, [this](const QWebEngineLoadingInfo &info) {
        if (info.status() != QWebEngineLoadingInfo::LoadStartedStatus) {
            onLoadEnded(info);
            return;
        }
        m_progress->setValue(0);
        m_progress->show();
    });
    connect(page, &QWebEnginePage::renderProcessTerminated, this, [this] {
        // Nothing is drawn without a renderer; a message already up stays.
        if (m_face != Face::message)
            showMessage(notLoadedText(), pageUrl());
    });
    // Handed on a turn later: the host's URL handler never runs inside the engine's call.
    connect(page, &WInAppBrowserPage::openElsewhere, this, &WInAppBrowser::openInSystemBrowser, Qt::QueuedConnection);
    m_progress->hide();
    updateBar();
    if (!WInAppBrowserPage::isWebAddress(m_firstUrl)) {
        showMessage(QStringLiteral("Only web addresses open here."), m_firstUrl);
        return;
    }
    page->load(m_firstUrl);
}

void WInAppBrowser::viewDidAppear(bool animated)
{
    WViewController::viewDidAppear(animated);
    WInAppBrowserTeardown::keepFirstAtExit();
    // The page's GL surface makes Qt build the host's native window again,
    // and the new one is not the active window (nothing would get the keys).
    if (m_activeBefore && !QApplication::activeWindow())
        m_activeBefore->activateWindow();
    // Keys go to the page (and Escape closes it) without a click first.
    if (QWidget *shown = m_faces ? m_faces->currentWidget() : nullptr)
        (shown == m_messagePanel ? static_cast<QWidget *>(m_messageOpen) : shown)->setFocus();
}

void WInAppBrowser::onUrlChanged(const QUrl &url)
{
    const QUrl before = std::exchange(m_shownUrl, url);
    // Another document: nothing of the one before stays on screen. A
    // document moving its own address keeps its face.
    if (m_page->arrivedAt(url, before)) {
        ++m_documentSerial;
        m_readerOff = 0;
        if (m_face != Face::page)
            showFace(Face::page);
    }
    updateBar();
}

void WInAppBrowser::onLoadEnded(const QWebEngineLoadingInfo &info)
{
    m_progress->hide();
    m_page->loadsEnded();
    updateBar();
    if (info.status() != QWebEngineLoadingInfo::LoadSucceededStatus) {
        // A load that ended without a document of its own (a refused
        // navigation, a new one, a download, no content, the page's own
        // address change stopping it) changed nothing...
        const bool aborted = info.status() == QWebEngineLoadingInfo::LoadStoppedStatus || info.errorCode() == -3
            || info.errorDomain() == QWebEngineLoadingInfo::NoErrorDomain;
        if (aborted && !m_page->url().isEmpty())
            return;
        // ...unless the page never had a document: it would stay empty.
        if (aborted)
            showMessage(notLoadedText(), pageUrl());
        // Sub-resources' certificates never fail the page's load: this is the page's own.
        else if (info.errorDomain() == QWebEngineLoadingInfo::CertificateErrorDomain)
            showMessage(QStringLiteral("This site's security certificate is not trusted, so the page was not opened."),
                        info.url());
        // The page's sign-in, or its proxy's, was cancelled.
        else if (info.errorDomain() == QWebEngineLoadingInfo::HttpStatusCodeDomain
                 && (info.errorCode() == 401 || info.errorCode() == 407))
            showMessage(QStringLiteral("This page asks you to sign in. Open it in your browser to sign in."), info.url());
        else
            showMessage(notLoadedText(), info.url());
        return;
    }
    // Navigations to an empty page are never asked about: refused here instead.
    if (!WInAppBrowserPage::isWebAddress(m_page->url())) {
        showMessage(QStringLiteral("Only web addresses open here."), m_page->url());
        return;
    }
    if (m_face == Face::message)
        showFace(Face::page);
    // The page's surface exists from its first load on: it takes the keys
    // unless the user has put the focus elsewhere in the meantime.
    if (!m_focusGiven) {
        m_focusGiven = true;
        QWidget *focus = QApplication::focusWidget();
        if (!focus || focus == m_web || !view()->isAncestorOf(focus))
            m_faces->currentWidget()->setFocus();
    }
    examineForReader();
}

void WInAppBrowser::examineForReader()
{
    if (!WReaderFace::available()) {
        emit readerChecked(false);
        return;
    }
    const int serial = m_documentSerial;
    WReaderFace::examine(m_page.get(), this, [this, serial](const WReaderFace::Examination &examination) {
        // The answer of a document that has gone, or of a look at a page that
        // failed since, changes nothing.
        if (m_page && serial == m_documentSerial && m_face != Face::message)
            onExamined(examination);
    });
}

void WInAppBrowser::onExamined(const WReaderFace::Examination &examination)
{
    if (m_face == Face::reader && examination.document == m_readerDocument) {
        emit readerChecked(true);
        return;
    }
    if (examination.article && examination.document != m_readerOff) {
        if (!m_reader)
            makeReaderFace();
        // The face changes once the article is there: until then the page shows.
        m_articleDocument = examination.document;
        m_articleSerial = m_documentSerial;
        if (m_reader->showArticle(*examination.article, m_page->url()))
            return;
        qCDebug(lcPlatform) << "article too large for the reader face; showing the page";
    }
    // A document under the same address that offers no article (a reload).
    if (m_face == Face::reader)
        showFace(Face::page);
    emit readerChecked(false);
}

void WInAppBrowser::makeReaderFace()
{
    m_reader = new WReaderFace(m_page->profile(), m_faces);
    m_faces->insertWidget(1, m_reader);
    connect(m_reader, &WReaderFace::articleShown, this, [this](bool ok) {
        if (!m_page || m_articleSerial != m_documentSerial || m_face == Face::message || m_articleDocument == m_readerOff)
            return;
        if (ok) {
            m_readerDocument = m_articleDocument;
            showFace(Face::reader);
        }
        emit readerChecked(ok);
    });
    // Followed as a click in the document would be: an entry of the history.
    connect(m_reader, &WReaderFace::linkClicked, this, [this](const QUrl &url) {
        if (m_page)
            m_page->load(url);
    });
    connect(m_reader, &WReaderFace::openElsewhere, this, &WInAppBrowser::openInSystemBrowser, Qt::QueuedConnection);
    connect(m_reader->page(), &QWebEnginePage::renderProcessTerminated, this, [this] {
        if (m_face == Face::reader)
            showFace(Face::page);
    });
}

void WInAppBrowser::showReader(bool reader)
{
    if (!m_page)
        return;
    if (reader && m_face == Face::page) {
        m_readerOff = 0;
        examineForReader();
    } else if (!reader && m_face == Face::reader) {
        // This document shows as a page until another one is shown.
        m_readerOff = m_readerDocument;
        showFace(Face::page);
        emit readerChecked(false);
    }
    updateBar();
}

void WInAppBrowser::goBack()
{
    if (!m_page)
        return;
    // The engine's Back skips the entries a page added without a gesture of
    // the user's, and does nothing when all of them were (yet says it can go
    // back): its history index then stays. Back goes to the first page, as
    // it was first shown, instead.
    QWebEngineHistory *history = m_page->history();
    const int before = history->currentItemIndex();
    m_page->triggerAction(QWebEnginePage::Back);
    if (history->currentItemIndex() == before && history->canGoBack())
        history->goToItem(history->itemAt(0));
}

void WInAppBrowser::showFace(Face face)
{
    // Nothing is left to show once the page has gone (a call queued before).
    if (!m_page || !m_faces)
        return;
    m_face = face;
    QWidget *shown = face == Face::reader ? static_cast<QWidget *>(m_reader.data())
        : face == Face::page              ? static_cast<QWidget *>(m_web.data())
                                          : m_messagePanel.data();
    // The keys follow the face unless the user put them in the bar: Escape
    // must keep reaching this page.
    QWidget *focus = QApplication::focusWidget();
    const QWidget *current = m_faces->currentWidget();
    const bool keys = view()->isVisible()
        && (!focus || !focus->isVisible() || !view()->isAncestorOf(focus) || focus == current || current->isAncestorOf(focus));
    m_faces->setCurrentWidget(shown);
    if (keys)
        (face == Face::message ? static_cast<QWidget *>(m_messageOpen) : shown)->setFocus();
    updateBar();
}

void WInAppBrowser::showMessage(const QString &text, const QUrl &url)
{
    if (!m_page || !m_message)
        return;
    m_messageUrl = url;
    // Its host as the bar shows it: a lookalike name never reads decoded.
    m_message->setText(text + QStringLiteral("\n\n") + url.toDisplayString(QUrl::EncodeUnicode));
    m_progress->hide();
    showFace(Face::message);
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
    const QUrl shown = m_face == Face::message ? m_messageUrl : pageUrl();
    QString title = m_face == Face::reader && m_reader ? m_reader->title() : m_page->title();
    // A document with no title (yet) is named by its host, as the host line names it.
    if (m_face == Face::message || title.isEmpty() || isAddressTitle(title, shown))
        title = shownHost(shown);
    // One line over the host line: breaks of any kind (U+2028 too) become spaces.
    m_fullTitle = title.simplified();
    // The bar is narrow: the whole title shows on hover.
    m_title->setToolTip(m_fullTitle);
    elideTitle();
    m_host->setText(shownHost(shown));
    m_back->setEnabled(m_page->history()->canGoBack());
    m_forward->setEnabled(m_page->history()->canGoForward());
    m_readerToggle->setChecked(m_face == Face::reader);
}

} // namespace WexoCreator
