#include "WalkthroughDemo.h"

#include "SampleHostWindow.h"
#include "ShopPages.h"

#include "WexoCreator/backend/WFeedManager.h"
#include "WexoCreator/manager/WexoButtonController.h"
#include "WexoCreator/manager/WexolinManager.h"
#include "WexoCreator/model/Wexo.h"
#include "WexoCreator/model/WexoRoot.h"
#include "WexoCreator/platform/WTiming.h"
#include "WexoCreator/playback/WOverlay.h"
#include "WexoCreator/views/WBanner.h"

#include <QApplication>
#include <QDir>
#include <QMouseEvent>
#include <QRegularExpression>
#include <QTabWidget>
#include <QTimer>

#include <algorithm>

using namespace WexoCreator;

namespace {

// Past a card's pop-in and a banner's slide at the demo's timing.
constexpr int settleMs = 300;
// No walkthrough of the sample data needs more; a stuck one must not loop forever.
constexpr int maxClicks = 40;

WOverlay *shownOverlay()
{
    WexoButtonController *launcher = WexolinManager::shared().wexoButtonController();
    const QList<WOverlay *> overlays = launcher ? launcher->overlays() : QList<WOverlay *>();
    return overlays.isEmpty() ? nullptr : overlays.last();
}

// A file-name part from a backend text: letters, digits, '-' and '_' only.
QString safeName(const QString &text)
{
    QString name = text;
    name.replace(QRegularExpression(QStringLiteral("[^A-Za-z0-9_-]")), QStringLiteral("_"));
    return name.left(60);
}

QString kindName(WexoStepView kind)
{
    static const char *const names[] = {"banner-top",        "banner-bottom",    "popover",
                                        "screen",            "pulse-top-left",   "pulse-top-right",
                                        "pulse-bottom-left", "pulse-bottom-right", "tooltip-top-left",
                                        "tooltip-top-right", "tooltip-bottom-left", "tooltip-bottom-right"};
    return QString::fromLatin1(names[rawValue(kind)]);
}

std::shared_ptr<Wexo> pageAfter(const WexoRoot &root, const QString &walkthroughId, qint64 lastOrder)
{
    std::shared_ptr<Wexo> next;
    for (const std::shared_ptr<Wexo> &page : root.wexos.value_or(QList<std::shared_ptr<Wexo>>())) {
        const auto &steps = page->values;
        const bool later = steps && std::any_of(steps->begin(), steps->end(), [&](const auto &s) { return s->OrderNumber > lastOrder; });
        if (page->WalkthroughId == walkthroughId && later && (!next || page->PageOrderNo < next->PageOrderNo))
            next = page;
    }
    return next;
}

} // namespace

WalkthroughDemo::WalkthroughDemo(SampleHostWindow &window, const QString &directory,
                                 std::function<void(QStringList)> done)
    : QObject(&window)
    , m_window(window)
    , m_directory(directory)
    , m_done(std::move(done))
{
}

void WalkthroughDemo::start()
{
    // Whatever the launcher still presents (the menu of the screens before) goes first.
    if (WexoButtonController *launcher = WexolinManager::shared().wexoButtonController(); launcher && launcher->presentedViewController())
        launcher->presentedViewController()->dismiss(false);
    WTiming::setScale(0.05);
    m_roots = WFeedManager::shared().wexoFeed();
    playNext();
}

void WalkthroughDemo::later(std::function<void()> next)
{
    QTimer::singleShot(settleMs, this, std::move(next));
}

void WalkthroughDemo::playNext()
{
    if (m_roots.isEmpty()) {
        finish();
        return;
    }
    m_root = m_roots.takeFirst();
    const QString id = m_root->wexoName ? m_root->wexoName->Id.value_or(QString()) : QString();
    const std::shared_ptr<Wexo> first = pageAfter(*m_root, id, -1);
    if (!first || !first->Page) {
        playNext();
        return;
    }
    goTo(*first->Page);
    later([this, id] {
        // As the host's help button does: the walkthroughs offered for this page.
        for (const std::shared_ptr<Wexo> &page : WexolinManager::wexosOnCurrentView()) {
            if (page->WalkthroughId == id) {
                WexolinManager::playWexo(page);
                break;
            }
        }
        later([this] { showStep(); });
    });
}

void WalkthroughDemo::showStep()
{
    WOverlay *overlay = shownOverlay();
    if (!overlay) {
        pageEnded();
        return;
    }
    Q_EMIT stepShown(overlay);
    const auto step = overlay->currentWexoStep();
    const QString id = safeName(overlay->wexo()->WalkthroughId.value_or(QStringLiteral("walkthrough")));
    const QString file = QStringLiteral("%1-%2-%3.png").arg(id).arg(step->OrderNumber + 1).arg(kindName(step->viewType()));
    const QString path = QDir(m_directory).absoluteFilePath(file);
    if (m_window.grab().save(path))
        m_written << path;
    if (++m_clicks > maxClicks) {
        finish();
        return;
    }
    // A banner takes its own click; elsewhere a click on the backdrop moves on.
    QPoint point(m_window.width() / 2, 3);
    if (WBanner *banner = overlay->banner())
        point = banner->mapTo(&m_window, banner->rect().center());
    clickAt(point);
    later([this] { showStep(); });
}

void WalkthroughDemo::pageEnded()
{
    const std::shared_ptr<Wexo> playing = WexolinManager::shared().currentPlayingWexo();
    if (!playing || !playing->values || playing->values->isEmpty()) {
        playNext();
        return;
    }
    qint64 last = -1;
    for (const auto &step : *playing->values)
        last = std::max(last, step->OrderNumber);
    const std::shared_ptr<Wexo> next = pageAfter(*m_root, playing->WalkthroughId.value_or(QString()), last);
    if (!next || !next->Page) {
        WexolinManager::setCurrentPlaying(nullptr);
        playNext();
        return;
    }
    // Going there is the host's page change, which continues the walkthrough.
    goTo(*next->Page);
    later([this] { showStep(); });
}

void WalkthroughDemo::goTo(const QString &pageName)
{
    QTabWidget *tabs = m_window.tabs();
    ShopPage *shop = m_window.shopPage();
    if (pageName == QLatin1String("ProductDetailPage")) {
        tabs->setCurrentWidget(shop);
        shop->openSelectedProduct();
        return;
    }
    for (int index = 0; index < tabs->count(); ++index) {
        QWidget *page = tabs->widget(index) == shop ? shop->listPage() : tabs->widget(index);
        if (QString::fromLatin1(page->metaObject()->className()) != pageName)
            continue;
        tabs->setCurrentIndex(index);
        shop->setCurrentWidget(shop->listPage());
        return;
    }
}

void WalkthroughDemo::clickAt(const QPoint &point)
{
    QWidget *target = m_window.childAt(point);
    if (!target)
        target = &m_window;
    const QPointF local = target->mapFrom(&m_window, point);
    const QPointF global = m_window.mapToGlobal(QPointF(point));
    QMouseEvent press(QEvent::MouseButtonPress, local, global, Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &press);
    QMouseEvent release(QEvent::MouseButtonRelease, local, global, Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(target, &release);
}

void WalkthroughDemo::finish()
{
    WTiming::setScale(1);
    if (m_done)
        m_done(m_written);
}
