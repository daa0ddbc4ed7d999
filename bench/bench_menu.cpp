// The options menu with 1,000 walkthroughs on one page, served by the sample
// backend: opening it (until the sheet has painted once at its normal place)
// and one keystroke in its search (until the matching rows have painted),
// each against a plain QListWidget doing the same work at the same size.
#include "BenchHost.h"
#include "BenchReport.h"

#include "WexoCreator/backend/WFeedManager.h"
#include "WexoCreator/manager/WexoButtonController.h"
#include "WexoCreator/manager/WexolinManager.h"
#include "WexoCreator/menu/WexoOptionsViewController.h"
#include "WexoCreator/platform/WNotificationCenter.h"

#include "SampleBackend.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QListWidget>
#include <QMainWindow>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <memory>

using namespace WexoCreator;

class BenchPage : public QWidget
{
    Q_OBJECT
};

namespace {

constexpr int kWalkthroughs = 1000;
constexpr int kMatches = 271; // titles "Guide 0000".."Guide 0999" holding a 7

// Everything the bench makes. It lives in main, after the application, so it
// goes first on every way out: the window, then the backend, then its data.
struct Bench {
    QTemporaryDir data;
    std::unique_ptr<WexoSample::SampleBackend> backend;
    std::unique_ptr<QMainWindow> host;
};

Bench *current = nullptr;

Bench &bench()
{
    return *current;
}

bool writeJson(const QString &path, const QJsonObject &object)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(QJsonDocument(object).toJson(QJsonDocument::Compact)) > 0;
}

// The sample account, theme and template, and 1,000 one-step walkthroughs for BenchPage.
bool writeData(const QString &dir)
{
    for (const char *name : {"account.json", "theme.json", "template.json"}) {
        if (!QFile::copy(QStringLiteral(WEXO_SAMPLE_DATA_DIR "/") + QLatin1String(name), dir + QLatin1Char('/') + QLatin1String(name)))
            return false;
    }
    QFile account(dir + QStringLiteral("/account.json"));
    if (!account.open(QIODevice::ReadOnly))
        return false;
    const QString appId = QJsonDocument::fromJson(account.readAll()).object().value(QStringLiteral("appId")).toString();
    const QString walkthroughs = dir + QStringLiteral("/walkthroughs");
    if (!QDir().mkpath(walkthroughs))
        return false;
    for (int i = 0; i < kWalkthroughs; ++i) {
        const QString id = QStringLiteral("w-bench-%1").arg(i, 4, 10, QLatin1Char('0'));
        const QJsonObject step{{QStringLiteral("StepId"), id + QStringLiteral("-s")}, {QStringLiteral("Frame"), QStringLiteral("benchField")},
                               {QStringLiteral("PlaybookNotes"), QStringLiteral("popover")}, {QStringLiteral("Title"), QStringLiteral("Step")},
                               {QStringLiteral("ElementText"), QStringLiteral("Text")}, {QStringLiteral("HasBackDrop"), true},
                               {QStringLiteral("ElementId"), id + QStringLiteral("-e")}, {QStringLiteral("OrderNumber"), 0},
                               {QStringLiteral("WalkthroughId"), id}};
        const QJsonObject page{{QStringLiteral("IsActive"), true}, {QStringLiteral("Page"), QStringLiteral("BenchPage")},
                               {QStringLiteral("StepId"), id + QStringLiteral("-s")}, {QStringLiteral("PageOrderNo"), 0},
                               {QStringLiteral("Subdomain"), appId}, {QStringLiteral("WalkthroughId"), id},
                               {QStringLiteral("values"), QJsonArray{step}}};
        const QJsonObject root{{QStringLiteral("Id"), id},
                               {QStringLiteral("wexoName"), QJsonObject{{QStringLiteral("Id"), id},
                                                                        {QStringLiteral("Name"), QStringLiteral("Guide %1").arg(i, 4, 10, QLatin1Char('0'))},
                                                                        {QStringLiteral("domain"), appId}}},
                               {QStringLiteral("className"), QJsonArray{page}}};
        if (!writeJson(QStringLiteral("%1/%2.json").arg(walkthroughs, id), root))
            return false;
    }
    return true;
}

bool startLibrary()
{
    Bench &b = bench();
    if (!b.data.isValid() || !writeData(b.data.path()))
        return false;
    WexoSample::SampleBackend::Options options;
    options.dataDir = b.data.path();
    b.backend = std::make_unique<WexoSample::SampleBackend>(options);
    if (!b.backend->start())
        return false;
    b.host = std::make_unique<QMainWindow>();
    if (!startLibraryOver(*b.backend, *b.host, new BenchPage, QSize(400, 800)))
        return false;
    return WexolinManager::wexosOnCurrentView().size() == kWalkthroughs;
}

WexoOptionsViewController *openMenu()
{
    WexolinManager::showGuideMenu();
    auto *menu = qobject_cast<WexoOptionsViewController *>(WexolinManager::shared().wexoButtonController()->presentedViewController());
    // The slide-in is not timed: jump to its end.
    if (auto *slide = menu ? menu->findChild<QVariantAnimation *>() : nullptr)
        slide->setCurrentTime(slide->duration());
    return menu;
}

void closeMenu(WexoOptionsViewController *menu)
{
    menu->dismiss(false);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

void BM_MenuOpen(benchmark::State &state)
{
    QMainWindow *host = bench().host.get();
    for (auto _ : state) {
        QElapsedTimer timer;
        timer.start();
        WexoOptionsViewController *menu = openMenu();
        host->repaint();
        const double seconds = timer.nsecsElapsed() / 1e9;
        if (!menu || menu->currentCardState() != WexoOptionsViewController::CardViewState::normal) {
            state.SkipWithError("the menu did not open at its normal place");
            return;
        }
        state.SetIterationTime(seconds);
        closeMenu(menu);
    }
}
BENCHMARK(BM_MenuOpen)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(20);

QStringList titles()
{
    QStringList result;
    for (int i = 0; i < kWalkthroughs; ++i)
        result << QStringLiteral("Guide %1").arg(i, 4, 10, QLatin1Char('0'));
    return result;
}

void BM_ListWidgetOpen(benchmark::State &state)
{
    QMainWindow *host = bench().host.get();
    const QStringList names = titles();
    for (auto _ : state) {
        QElapsedTimer timer;
        timer.start();
        auto *list = new QListWidget(host);
        list->setGeometry(0, host->height() / 2, host->width(), host->height() / 2);
        list->addItems(names);
        list->show();
        host->repaint();
        state.SetIterationTime(timer.nsecsElapsed() / 1e9);
        delete list;
    }
}
BENCHMARK(BM_ListWidgetOpen)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(20);

void BM_MenuKeystroke(benchmark::State &state)
{
    WexoOptionsViewController *menu = openMenu();
    QMainWindow *host = bench().host.get();
    QLineEdit *field = menu ? menu->searchField() : nullptr;
    if (!field || !field->isVisible()) {
        state.SkipWithError("no search field");
        return;
    }
    field->setFocus();
    if (QVariantAnimation *expand = menu->findChild<QVariantAnimation *>())
        expand->setCurrentTime(expand->duration());
    host->repaint();
    for (auto _ : state) {
        QElapsedTimer timer;
        timer.start();
        QTest::keyClick(field, Qt::Key_7);
        menu->tableView()->viewport()->repaint();
        state.SetIterationTime(timer.nsecsElapsed() / 1e9);
        if (menu->filteredOptions().size() != kMatches) {
            state.SkipWithError("the search did not find the 271 titles");
            break;
        }
        QTest::keyClick(field, Qt::Key_Backspace);
        menu->tableView()->viewport()->repaint();
    }
    closeMenu(menu);
}
BENCHMARK(BM_MenuKeystroke)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(50);

void BM_ListWidgetKeystroke(benchmark::State &state)
{
    QMainWindow *host = bench().host.get();
    auto list = std::make_unique<QListWidget>(host);
    list->setGeometry(0, 30, host->width(), host->height() - 30);
    list->addItems(titles());
    list->show();
    host->repaint();
    for (auto _ : state) {
        QElapsedTimer timer;
        timer.start();
        for (int i = 0; i < list->count(); ++i)
            list->item(i)->setHidden(!list->item(i)->text().contains(QLatin1Char('7')));
        list->viewport()->repaint();
        state.SetIterationTime(timer.nsecsElapsed() / 1e9);
        for (int i = 0; i < list->count(); ++i)
            list->item(i)->setHidden(false);
        list->viewport()->repaint();
    }
}
BENCHMARK(BM_ListWidgetKeystroke)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(50);

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QStandardPaths::setTestModeEnabled(true);
    Bench made;
    current = &made;
    benchmark::Initialize(&argc, argv);
    if (!startLibrary()) {
        std::fprintf(stderr, "the bench host did not start with its theme and %d walkthroughs\n", kWalkthroughs);
        return 1;
    }

    BenchReport report;
    benchmark::RunSpecifiedBenchmarks(&report);
    std::fflush(stdout);
    const auto line = [&](const char *label, const std::string &ours, const std::string &plain, double goalMs) {
        const std::optional<double> ratio = report.ratio(ours, plain);
        if (!ratio)
            return;
        std::printf("%s ratio %.2f (menu %.2f ms, QListWidget %.2f ms; goal: menu at most %.0f ms)\n", label, *ratio,
                    *report.time(ours), *report.time(plain), goalMs);
    };
    line("menu open", "BM_MenuOpen/iterations:20/manual_time", "BM_ListWidgetOpen/iterations:20/manual_time", 16);
    line("search", "BM_MenuKeystroke/iterations:50/manual_time", "BM_ListWidgetKeystroke/iterations:50/manual_time", 4);
    benchmark::Shutdown();
    return 0;
}

#include "bench_menu.moc"
