#include "WexoCreator/platform/WInAppBrowserBar.h"

#include "WexoCreator/platform/WReaderFace.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QStyle>
#include <QToolButton>
#include <QUrl>
#include <QVBoxLayout>

namespace WexoCreator {

namespace {

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

WInAppBrowserBar::WInAppBrowserBar(QWidget *parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("inAppBrowserBar"));
    auto *row = new QHBoxLayout(this);
    row->setContentsMargins(8, 4, 8, 4);
    row->setSpacing(4);
    QToolButton *done = addButton(QStringLiteral("inAppBrowserDone"), QStringLiteral("Done"), QStyle::SP_CustomBase);
    QFont bold = done->font();
    bold.setBold(true);
    done->setFont(bold);
    connect(done, &QToolButton::clicked, this, &WInAppBrowserBar::donePressed);
    m_back = addButton(QStringLiteral("inAppBrowserBack"), QStringLiteral("Back"), QStyle::SP_ArrowBack);
    connect(m_back, &QToolButton::clicked, this, &WInAppBrowserBar::backPressed);
    m_forward = addButton(QStringLiteral("inAppBrowserForward"), QStringLiteral("Forward"), QStyle::SP_ArrowForward);
    connect(m_forward, &QToolButton::clicked, this, &WInAppBrowserBar::forwardPressed);
    QToolButton *reload = addButton(QStringLiteral("inAppBrowserReload"), QStringLiteral("Reload"), QStyle::SP_BrowserReload);
    connect(reload, &QToolButton::clicked, this, &WInAppBrowserBar::reloadPressed);

    auto *titles = new QVBoxLayout;
    titles->setSpacing(0);
    m_title = barLine(QStringLiteral("inAppBrowserTitle"), this);
    QFont titleFont = m_title->font();
    titleFont.setBold(true);
    m_title->setFont(titleFont);
    m_title->installEventFilter(this);
    m_host = barLine(QStringLiteral("inAppBrowserHost"), this);
    QPalette muted = m_host->palette();
    muted.setColor(QPalette::WindowText, muted.color(QPalette::PlaceholderText));
    m_host->setPalette(muted);
    titles->addWidget(m_title);
    titles->addWidget(m_host);
    row->addLayout(titles, 1);

    m_reader = addButton(QStringLiteral("inAppBrowserReader"), QStringLiteral("Reader"), QStyle::SP_CustomBase);
    m_reader->setCheckable(true);
    m_reader->setVisible(WReaderFace::available());
    connect(m_reader, &QToolButton::clicked, this, &WInAppBrowserBar::readerClicked);
    QToolButton *external
        = addButton(QStringLiteral("inAppBrowserOpenExternal"), QStringLiteral("Open in browser"), QStyle::SP_CustomBase);
    connect(external, &QToolButton::clicked, this, &WInAppBrowserBar::openExternalPressed);
}

QToolButton *WInAppBrowserBar::addButton(const QString &name, const QString &text, QStyle::StandardPixmap icon)
{
    auto *tool = new QToolButton(this);
    tool->setObjectName(name);
    tool->setAutoRaise(true);
    tool->setToolTip(text);
    if (icon == QStyle::SP_CustomBase) {
        tool->setText(text);
    } else {
        tool->setIcon(style()->standardIcon(icon, nullptr, this));
        tool->setAccessibleName(text);
    }
    static_cast<QHBoxLayout *>(layout())->addWidget(tool);
    return tool;
}

void WInAppBrowserBar::showPage(const QString &title, const QUrl &url)
{
    // A document with no title (yet) is named by its host, as the host line names it.
    const QString named = title.isEmpty() || isAddressTitle(title, url) ? shownHost(url) : title;
    // One line over the host line: breaks of any kind (U+2028 too) become spaces.
    m_fullTitle = named.simplified();
    // The bar is narrow: the whole title shows on hover.
    m_title->setToolTip(m_fullTitle);
    elideTitle();
    m_host->setText(shownHost(url));
}

void WInAppBrowserBar::showHistory(bool canGoBack, bool canGoForward)
{
    m_back->setEnabled(canGoBack);
    m_forward->setEnabled(canGoForward);
}

void WInAppBrowserBar::showReader(bool offered, bool checked)
{
    m_reader->setEnabled(offered);
    m_reader->setChecked(checked);
}

void WInAppBrowserBar::elideTitle()
{
    m_title->setText(m_title->fontMetrics().elidedText(m_fullTitle, Qt::ElideRight, m_title->width()));
}

bool WInAppBrowserBar::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_title && event->type() == QEvent::Resize)
        elideTitle();
    return QWidget::eventFilter(watched, event);
}

} // namespace WexoCreator
