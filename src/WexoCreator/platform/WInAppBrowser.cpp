#include "WexoCreator/platform/WInAppBrowser.h"

#include "WexoCreator/platform/WInAppBrowserBar.h"
#include "WexoCreator/platform/WInAppBrowserColorRefusal.h"
#include "WexoCreator/platform/WInAppBrowserMessage.h"
#include "WexoCreator/platform/WInAppBrowserPage.h"
#include "WexoCreator/platform/WInAppBrowserPaintWatch.h"
#include "WexoCreator/platform/WInAppBrowserTeardown.h"
#include "WexoCreator/platform/WLogging.h"
#include "WexoCreator/platform/WReaderFace.h"

#include <QAction>
#include <QApplication>
#include <QDesktopServices>
#include <QEvent>
#include <QKeyEvent>
#include <QProgressBar>
#include <QStackedLayout>
#include <QTimer>
#include <QVBoxLayout>
#include <QWebEngineDownloadRequest>
#include <QWebEngineHistory>
#include <QWebEngineLoadingInfo>
#include <QWebEngineProfile>
#include <QWebEngineSettings>

#include <functional>

namespace WexoCreator {

namespace {

// The faces, laid over one another. Should they go while the page lives (the
// host deleting its window, whenever it does), they first let go of the web
// views they hold.
class FaceStack final : public QWidget
{
public:
    using QWidget::QWidget;
    ~FaceStack() override
    {
        if (goingAway)
            goingAway();
    }
    std::function<void()> goingAway;
};

// A page painted before it has been read in (and looked at for an article)
// shows this long after.
constexpr int kPatienceMs = 300;

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
    for (WInAppBrowserPaintWatch *watch : {m_pagePainted, m_readerPainted}) {
        if (watch)
            watch->stop();
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

    m_bar = new WInAppBrowserBar(root);
    // The page view's history is the only one: each button is its action.
    connect(m_bar, &WInAppBrowserBar::donePressed, this, &WInAppBrowser::close);
    connect(m_bar, &WInAppBrowserBar::backPressed, this, &WInAppBrowser::goBack);
    connect(m_bar, &WInAppBrowserBar::forwardPressed, this, &WInAppBrowser::goForward);
    connect(m_bar, &WInAppBrowserBar::reloadPressed, this, &WInAppBrowser::reload);
    connect(m_bar, &WInAppBrowserBar::readerClicked, this, &WInAppBrowser::showReader);
    connect(m_bar, &WInAppBrowserBar::openExternalPressed, this,
            [this] { openInSystemBrowser(m_face == Face::message ? m_message->url() : pageUrl()); });
    column->addWidget(m_bar);

    m_progress = new QProgressBar(root);
    m_progress->setObjectName(QStringLiteral("inAppBrowserProgress"));
    m_progress->setTextVisible(false);
    m_progress->setFixedHeight(2);
    m_progress->setRange(0, 100);
    m_progress->setStyleSheet(QStringLiteral("QProgressBar { border: 0; background: transparent; }"
                                             "QProgressBar::chunk { background: #0a84ff; }"));
    // Its line keeps its place when it goes: the faces below never resize
    // with it, which would blank the page's picture until it paints again.
    QSizePolicy keepsPlace = m_progress->sizePolicy();
    keepsPlace.setRetainSizeWhenHidden(true);
    m_progress->setSizePolicy(keepsPlace);
    column->addWidget(m_progress);

    auto *faces = new FaceStack(root);
    faces->goingAway = [self = QPointer<WInAppBrowser>(this)] {
        if (self)
            self->release();
    };
    m_faces = faces;
    // Every face fills the same place; which show, and in which order, is arranged.
    auto *stack = new QStackedLayout(m_faces);
    stack->setStackingMode(QStackedLayout::StackAll);
    m_web = new QWebEngineView(m_faces);
    m_web->setObjectName(QStringLiteral("inAppBrowserWebView"));
    m_web->setPage(m_page.get());
    fillWithPaper(m_web);
    new WInAppBrowserColorRefusal(m_web);
    stack->addWidget(m_web);
    m_pagePainted = new WInAppBrowserPaintWatch(m_web, this);
    connect(m_pagePainted, &WInAppBrowserPaintWatch::watchingChanged, this, &WInAppBrowser::restCoveredViews);
    connect(m_pagePainted, &WInAppBrowserPaintWatch::woken, this, &WInAppBrowser::onWoken);
    // Qt's view wakes its page whenever it is shown (also with its window).
    m_web->installEventFilter(this);
    // Shown, or not shown in time (the page then shows once it is): its page
    // is due a moment later if it has not been looked at by then.
    const auto painted = [this] {
        if (!m_lookedAt && !m_plain && !m_pageDue && !m_patience->isActive())
            m_patience->start();
        settle();
    };
    connect(m_pagePainted, &WInAppBrowserPaintWatch::documentShown, this, painted);
    connect(m_pagePainted, &WInAppBrowserPaintWatch::documentLapsed, this, painted);

    // The reader's blank paper, shown between documents. It takes the keys
    // meanwhile, so that Escape still closes the page.
    m_paper = new QWidget(m_faces);
    m_paper->setObjectName(QStringLiteral("inAppBrowserPaper"));
    m_paper->setFocusPolicy(Qt::ClickFocus);
    fillWithPaper(m_paper);
    stack->addWidget(m_paper);

    m_message = new WInAppBrowserMessage(m_faces);
    connect(m_message, &WInAppBrowserMessage::openPressed, this, &WInAppBrowser::openInSystemBrowser);
    stack->addWidget(m_message);
    column->addWidget(m_faces, 1);
    arrangeViews();

    // Keys typed in the page are the page's: a host's shortcut (Escape is a
    // common one) never fires under it, and Escape closes it. A QShortcut here
    // would tie with a host's Escape and neither would fire.
    root->installEventFilter(this);
    return root;
}

void WInAppBrowser::viewDidLoad()
{
    WViewController::viewDidLoad();
    m_patience = new QTimer(this);
    m_patience->setSingleShot(true);
    m_patience->setInterval(kPatienceMs);
    connect(m_patience, &QTimer::timeout, this, [this] {
        m_pageDue = true;
        settle();
    });
    WInAppBrowserPage *page = m_page.get();
    // What a document told before its address came is its own only.
    connect(page, &WInAppBrowserPage::documentCreated, this, [this] { m_parsedAhead.reset(); });
    // Looked at for an article once read in, whatever parts of it still load.
    connect(page, &WInAppBrowserPage::documentParsed, this, [this](bool mayBeArticle) {
        if (m_face == Face::message)
            return;
        // Read in before its address reached the page: told once it has.
        if (m_pagePainted->ahead())
            m_parsedAhead = mayBeArticle;
        else
            onParsed(mayBeArticle);
    });
    connect(page, &QWebEnginePage::titleChanged, this, &WInAppBrowser::updateBar);
    connect(page, &QWebEnginePage::urlChanged, this, &WInAppBrowser::onUrlChanged);
    // The engine's own Back and Forward say when its history has an entry that way.
    connect(page->action(QWebEnginePage::Back), &QAction::changed, this, &WInAppBrowser::updateBar);
    connect(page->action(QWebEnginePage::Forward), &QAction::changed, this, &WInAppBrowser::updateBar);
    connect(page, &QWebEnginePage::loadProgress, m_progress, &QProgressBar::setValue);
    connect(page, &QWebEnginePage::loadingChanged, this, [this](const QWebEngineLoadingInfo &info) {
        m_loading = info.status() == QWebEngineLoadingInfo::LoadStartedStatus;
        if (!m_loading) {
            onLoadEnded(info);
            return;
        }
        m_progress->setValue(0);
        m_progress->show();
    });

    connect(page, &QWebEnginePage::renderProcessTerminated, this, [this] {
        // Nothing is drawn without a renderer; a message already up stays.
        if (m_face != Face::message)
            showMessage(WInAppBrowserMessage::notLoadedText(), pageUrl());
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
    if (QWidget *shown = faceWidget(m_face))
        shown->setFocus();
}

void WInAppBrowser::onUrlChanged(const QUrl &url)
{
    const QUrl before = std::exchange(m_shownUrl, url);
    // Another document: nothing of the one before stays on screen. A
    // document moving its own address keeps its face, and its reading
    // place goes with its history's entry.
    if (m_page->arrivedAt(url, before))
        arrive();
    else if (m_readingEntry >= 0)
        m_readingEntry = m_page->history()->currentItemIndex();
    updateBar();
}

void WInAppBrowser::arrive()
{
    keepReadingPlace();
    m_arrivedByHistory = m_page->arrivedByHistory();
    ++m_documentSerial;
    m_lookedAt = false;
    m_document = 0;
    m_article.reset();
    m_readerWanted = true;
    m_readerLate = false;
    forgetActing();
    m_checked = false;
    m_arrival = true;
    m_pageDue = false;
    m_plain = false;
    m_overFace.reset();
    m_patience->stop();
    const bool reported = m_pagePainted->arrived(m_page->url());
    showFace(Face::paper);
    // What the document told before its address came (on a busy machine it
    // may even be on screen already: then it shows at once, without paper).
    if (const std::optional<bool> mayBeArticle = std::exchange(m_parsedAhead, std::nullopt); reported && mayBeArticle)
        onParsed(*mayBeArticle);
}

void WInAppBrowser::onLoadEnded(const QWebEngineLoadingInfo &info)
{
    if (m_face != Face::paper)
        m_progress->hide();
    // A load that ended without a document of its own (a refused
    // navigation, a new one, a download, no content, the page's own address
    // change stopping it) changed nothing: what was on its way may still
    // come (the engine goes on anew with a Back it could not take from its
    // cache). Anything else has arrived or gone.
    const bool aborted = info.status() != QWebEngineLoadingInfo::LoadSucceededStatus
        && (info.status() == QWebEngineLoadingInfo::LoadStoppedStatus || info.errorCode() == -3
            || info.errorDomain() == QWebEngineLoadingInfo::NoErrorDomain);
    m_page->loadEnded(!aborted);
    updateBar();
    if (info.status() != QWebEngineLoadingInfo::LoadSucceededStatus) {
        // A sign-in refused: the load was stopped before the answer's page came.
        if (const std::optional<QUrl> challenged = m_page->takeChallenged()) {
            // Over the document the link was followed from, if there is one: Back returns to it.
            const Face before = m_face;
            showMessage(WInAppBrowserMessage::signInText(), *challenged);
            if (!m_page->url().isEmpty() && (before == Face::page || before == Face::reader))
                m_overFace = before;
            updateBar();
            return;
        }
        // A sign-in the engine could not ask about (a scheme it does not
        // support) loaded the answer's page as the document: under the
        // message it goes nowhere, as the others' pages never load.
        if (info.errorDomain() == QWebEngineLoadingInfo::HttpStatusCodeDomain && (info.errorCode() == 401 || info.errorCode() == 407))
            m_page->holdChallengedDocument();
        // An aborted load changed nothing...
        if (aborted && !m_page->url().isEmpty())
            return;
        // ...unless the page never had a document: it would stay empty.
        showMessage(aborted ? WInAppBrowserMessage::notLoadedText() : WInAppBrowserMessage::failureText(info),
                    aborted ? pageUrl() : info.url());
        return;
    }
    // Navigations to an empty page are never asked about: refused here instead.
    if (!WInAppBrowserPage::isWebAddress(m_page->url())) {
        showMessage(QStringLiteral("Only web addresses open here."), m_page->url());
        return;
    }
    // A document under the address of the message (a reload) is one to show.
    if (m_face == Face::message)
        arrive();
    // The page's surface exists from its first load on: it takes the keys
    // unless the user has put the focus elsewhere in the meantime.
    if (!m_focusGiven) {
        m_focusGiven = true;
        QWidget *focus = QApplication::focusWidget();
        if (!focus || focus == m_web || !view()->isAncestorOf(focus))
            faceWidget(m_face)->setFocus();
    }
    // Its scripts may have made an article of it since it was read in.
    if (!m_lookedAt || !m_article)
        examineForReader();
}

void WInAppBrowser::goBack()
{
    if (!m_page)
        return;
    // The message over the document the link was followed from: it shows again.
    if (m_face == Face::message && m_overFace) {
        showFace(*std::exchange(m_overFace, std::nullopt));
        settle();
        return;
    }
    const int target = m_page->backIndex();
    if (target < 0)
        return;
    QWebEngineHistory *history = m_page->history();
    const int before = history->currentItemIndex();
    m_page->navigateForUser();
    if (target < before - 1) {
        history->goToItem(history->itemAt(target));
        return;
    }
    // The engine's Back skips the entries a page added without a gesture of
    // the user's, and does nothing when all of them were (yet says it can go
    // back): its history index then stays. Back goes to the first page, as
    // it was first shown, instead.
    m_page->triggerAction(QWebEnginePage::Back);
    if (history->currentItemIndex() == before)
        history->goToItem(history->itemAt(m_page->firstIndex()));
}

void WInAppBrowser::reload()
{
    if (!m_page)
        return;
    // Over a message (a crashed renderer, a failure) the document shows
    // again at once, watched as it loads anew: its load may take long to end.
    if (m_face == Face::message && !m_page->url().isEmpty())
        arrive();
    m_page->navigateForUser();
    m_page->triggerAction(QWebEnginePage::Reload);
}

void WInAppBrowser::goForward()
{
    if (!m_page)
        return;
    const int target = m_page->forwardIndex();
    if (target < 0)
        return;
    QWebEngineHistory *history = m_page->history();
    m_page->navigateForUser();
    if (target == history->currentItemIndex() + 1)
        m_page->triggerAction(QWebEnginePage::Forward);
    else
        history->goToItem(history->itemAt(target));
}

void WInAppBrowser::showMessage(const QString &text, const QUrl &url)
{
    if (!m_page || !m_message)
        return;
    m_message->showMessage(text, url);
    m_progress->hide();
    m_patience->stop();
    if (m_pagePainted->watching())
        m_pagePainted->stop();
    m_overFace.reset();
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

bool WInAppBrowser::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::Show && (watched == m_web || (m_reader && watched == m_reader))) {
        QMetaObject::invokeMethod(this, &WInAppBrowser::restCoveredViews, Qt::QueuedConnection);
        return false;
    }
    if (watched == m_actedOn && isActingOnPage(event->type()))
        onActedOnPage();
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
    if (!m_bar || !m_page)
        return;
    if (m_face == Face::message)
        m_bar->showPage(QString(), m_message->url());
    else
        m_bar->showPage(m_face == Face::reader && m_reader ? m_reader->title() : m_page->title(), pageUrl());
    m_bar->showHistory(m_page->backIndex() >= 0 || (m_face == Face::message && m_overFace), m_page->forwardIndex() >= 0);
    // Offered only where there is an article; it shows what the face will be.
    const bool offered = m_article && m_face != Face::message;
    m_bar->showReader(offered, offered && m_readerWanted && !m_readerLate);
}

} // namespace WexoCreator
