// A host built against the installed library only: it brings its own default
// theme, and once the feed's download has completed it fills its Help menu with
// the walkthroughs for the page on screen by name, writes each back as JSON and
// reads that back. It prints the menu and quits; without any walkthrough within
// 30 seconds, or with one that does not read back the same, it fails.
#include "WexoCreator/manager/WexolinManager.h"
#include "WexoCreator/model/WJsonDecoder.h"
#include "WexoCreator/model/WJsonObjectWriter.h"
#include "WexoCreator/platform/WNotificationCenter.h"

#include <QApplication>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QTextStream>
#include <QTimer>
#include <QVariantMap>

#include <memory>

// The page the sample walkthroughs are made for: its class name is the page name.
class ProductListPage : public QWidget
{
    Q_OBJECT
};

namespace {

std::shared_ptr<WexoCreator::Theme> houseTheme()
{
    using namespace WexoCreator;
    auto pair = std::make_shared<ElementConfigurationParameters>();
    pair->setProp1(QStringLiteral("#1b5e20"));
    pair->setProp2(QStringLiteral("#ffffff"));
    auto colors = std::make_shared<MobileColors>();
    colors->setListItemBackgroundColor(QStringLiteral("#1b5e20"));
    auto texts = std::make_shared<MobileTexts>();
    texts->setPlayWexosText(QStringLiteral("Guides"));
    auto elements = std::make_shared<ElementConfiguration>();
    elements->setHighlighter(pair);
    elements->setMobileColors(colors);
    elements->setMobileTexts(texts);
    elements->setFonts(QList<std::shared_ptr<WFonts>>());
    elements->setTooltip(QStringLiteral("questionMark"));
    auto config = std::make_shared<ThemeConfiguration>();
    config->setPrimaryColor(QStringLiteral("#1b5e20"));
    config->setConfigurations(elements);
    auto theme = std::make_shared<Theme>();
    theme->setConfig(config);
    return theme;
}

} // namespace

int main(int argc, char *argv[])
{
    using WexoCreator::WexolinManager;
    QApplication app(argc, argv);
    QMainWindow window;
    window.setCentralWidget(new ProductListPage);
    QMenu *help = window.menuBar()->addMenu(QStringLiteral("Help"));
    window.show();

    WexolinManager::initialiseWith(QStringLiteral("sample-client-token"), QStringLiteral("com.example.sampleshop"),
                                   /*showConsole=*/true, /*debugLog=*/false);
    // After initialiseWith, which puts the built-in default in place.
    const std::shared_ptr<WexoCreator::Theme> theme = houseTheme();
    WexolinManager::setDefault(theme);
    QTextStream out(stdout);
    if (WexolinManager::shared().defaultTheme() != theme
        || theme->config()->Configurations()->getTooltipType() != WexoCreator::WTooltipType::questionMark) {
        out << "help-menu: the house theme is not the default" << Qt::endl;
        return 1;
    }

    // Posted each time the feed's download completes; the window is the observer's context.
    WexoCreator::WNotificationCenter::defaultCenter().addObserver(
        QStringLiteral("Wexo.DownloadComplete.Notification"), &window, [&](const QVariantMap &) {
            const QList<std::shared_ptr<WexoCreator::Wexo>> pages = WexolinManager::wexosOnCurrentView();
            if (pages.isEmpty())
                return;
            for (const std::shared_ptr<WexoCreator::Wexo> &page : pages) {
                const QString name = page->wexoName.value_or(QStringLiteral("Untitled"));
                help->addAction(name, [page] { WexolinManager::playWexo(page); });
                const auto &steps = page->values;
                const bool first = steps && !steps->isEmpty();
                const QByteArray json = WexoCreator::WJsonObjectWriter::encode(*page);
                const auto readBack = WexoCreator::WJsonDecoder::decode<WexoCreator::Wexo>(json);
                if (!readBack || WexoCreator::WJsonObjectWriter::encode(*readBack.record) != json) {
                    out << "help-menu: " << name << " does not read back: " << readBack.error << Qt::endl;
                    QApplication::exit(1);
                    return;
                }
                out << "help menu: " << name << " (" << (steps ? steps->size() : 0) << " steps here, first shown as kind "
                    << (first ? WexoCreator::rawValue(steps->first()->viewType()) : -1) << ", written back as "
                    << json.size() << " bytes of JSON and read back as "
                    << (readBack.record->values ? readBack.record->values->size() : 0) << " steps)" << Qt::endl;
            }
            QApplication::exit(0);
        });
    QTimer::singleShot(30000, &app, [&out] {
        out << "help-menu: no walkthrough for the page on screen" << Qt::endl;
        QApplication::exit(1);
    });
    return QApplication::exec();
}

#include "HelpMenuHost.moc"
