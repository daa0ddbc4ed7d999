#include "WexoCreator/extensions/WFormLoader.h"

#include "WexoCreator/menu/WActivityIndicator.h"
#include "WexoCreator/platform/WLogging.h"
#include "WexoCreator/recording/WPlayConsole.h"
#include "WexoCreator/views/WDetailedPopup.h"
#include "WexoCreator/views/WMobilePopup.h"
#include "WexoCreator/views/WPaddingLabel.h"
#include "WexoCreator/views/WProgressBar.h"
#include "WexoCreator/views/WStaticTextLabel.h"

#include <QCoreApplication>
#include <QLayout>

#include <functional>
#include <map>

namespace WexoCreator {

namespace {

using Maker = std::function<QWidget *(QWidget *)>;

struct Made {
    Maker make;
    // Builds its own form: the children a form lists inside it are dropped.
    bool whole;
};

const std::map<QString, Made> &libraryClasses()
{
    static const std::map<QString, Made> classes{
        {QStringLiteral("WPaddingLabel"), {[](QWidget *parent) { return new WPaddingLabel(parent); }, false}},
        {QStringLiteral("WProgressBar"), {[](QWidget *parent) { return new WProgressBar(parent); }, false}},
        {QStringLiteral("WStaticTextLabel"), {[](QWidget *parent) { return new WStaticTextLabel(parent); }, false}},
        {QStringLiteral("WPlayConsole"), {[](QWidget *parent) { return new WPlayConsole(parent); }, true}},
        {QStringLiteral("WActivityIndicator"), {[](QWidget *parent) { return new WActivityIndicator(parent); }, true}},
        {QStringLiteral("WMobilePopup"),
         {[](QWidget *parent) -> QWidget * { return WMobilePopup::createView(QString(), parent); }, true}},
        {QStringLiteral("WDetailedPopup"),
         {[](QWidget *parent) -> QWidget * { return WDetailedPopup::createView(QString(), parent); }, true}},
    };
    return classes;
}

const Made *libraryClass(const QString &className)
{
    static const QString prefix = QStringLiteral("WexoCreator::");
    const QString bare = className.startsWith(prefix) ? className.mid(prefix.size()) : className;
    const auto found = libraryClasses().find(bare);
    return found == libraryClasses().end() ? nullptr : &found->second;
}

} // namespace

WFormLoader::WFormLoader()
{
    clearPluginPaths();
}

std::unique_ptr<WFormLoader> WFormLoader::make()
{
    const QStringList paths = QCoreApplication::libraryPaths();
    QCoreApplication::setLibraryPaths({});
    std::unique_ptr<WFormLoader> loader(new WFormLoader);
    QCoreApplication::setLibraryPaths(paths);
    return loader;
}

bool WFormLoader::isWhole(const QObject *object) const
{
    for (const QPointer<QWidget> &whole : m_whole) {
        if (whole && object == whole)
            return true;
    }
    return false;
}

bool WFormLoader::insideWhole(const QObject *object) const
{
    if (isWhole(object))
        return true;
    for (const QPointer<QWidget> &dropped : m_dropped) {
        if (dropped && object == dropped)
            return true;
    }
    return false;
}

QWidget *WFormLoader::createWidget(const QString &className, QWidget *parent, const QString &name)
{
    QWidget *widget = nullptr;
    const Made *made = libraryClass(className);
    if (made)
        widget = made->make(parent);
    else
        widget = QUiLoader::createWidget(className, parent, name);
    if (!widget)
        return nullptr;
    widget->setObjectName(name);
    if (parent && insideWhole(parent))
        m_dropped.append(widget);
    else if (made && made->whole)
        m_whole.append(widget);
    return widget;
}

QLayout *WFormLoader::createLayout(const QString &className, QObject *parent, const QString &name)
{
    // A whole widget keeps its own layout: the form's one is made in a widget
    // aside, which takes the form's children along as they are added to it.
    const auto *onto = qobject_cast<QLayout *>(parent);
    if (onto && onto->parentWidget() && onto == onto->parentWidget()->layout() && isWhole(onto->parentWidget())) {
        if (!m_aside)
            m_aside = std::make_unique<QWidget>();
        return QUiLoader::createLayout(className, new QWidget(m_aside.get()), name);
    }
    return QUiLoader::createLayout(className, parent, name);
}

QWidget *WFormLoader::loadForm(QIODevice *device, QWidget *parent)
{
    m_whole.clear();
    m_dropped.clear();
    QWidget *form = load(device, parent);
    // What a whole widget got from the form goes, with what it holds.
    for (const QPointer<QWidget> &dropped : std::as_const(m_dropped)) {
        if (dropped && isWhole(dropped->parentWidget())) {
            if (!m_aside)
                m_aside = std::make_unique<QWidget>();
            dropped->setParent(m_aside.get());
        }
    }
    m_aside.reset();
    m_whole.clear();
    m_dropped.clear();
    if (!form && !errorString().isEmpty())
        qCWarning(lcViews) << "a form could not be loaded:" << errorString();
    return form;
}

} // namespace WexoCreator
