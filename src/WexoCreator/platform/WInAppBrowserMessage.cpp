#include "WexoCreator/platform/WInAppBrowserMessage.h"

#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>
#include <QWebEngineLoadingInfo>

namespace WexoCreator {

WInAppBrowserMessage::WInAppBrowserMessage(QWidget *parent)
    : QWidget(parent)
{
    auto *column = new QVBoxLayout(this);
    column->addStretch(1);
    m_text = new QLabel(this);
    m_text->setObjectName(QStringLiteral("inAppBrowserMessage"));
    m_text->setTextFormat(Qt::PlainText);
    m_text->setWordWrap(true);
    m_text->setAlignment(Qt::AlignCenter);
    m_text->setTextInteractionFlags(Qt::TextSelectableByMouse);
    column->addWidget(m_text);
    m_open = new QPushButton(QStringLiteral("Open in browser"), this);
    m_open->setObjectName(QStringLiteral("inAppBrowserMessageOpen"));
    connect(m_open, &QPushButton::clicked, this, [this] { emit openPressed(m_url); });
    column->addWidget(m_open, 0, Qt::AlignHCenter);
    column->addStretch(2);
}

QString WInAppBrowserMessage::notLoadedText()
{
    return QStringLiteral("This page could not be loaded.");
}

QString WInAppBrowserMessage::failureText(const QWebEngineLoadingInfo &info)
{
    // Sub-resources' certificates never fail the page's load: this is the page's own.
    if (info.errorDomain() == QWebEngineLoadingInfo::CertificateErrorDomain)
        return QStringLiteral("This site's security certificate is not trusted, so the page was not opened.");
    // The page's sign-in, or its proxy's, was cancelled.
    if (info.errorDomain() == QWebEngineLoadingInfo::HttpStatusCodeDomain && (info.errorCode() == 401 || info.errorCode() == 407))
        return signInText();
    return notLoadedText();
}

QString WInAppBrowserMessage::signInText()
{
    return QStringLiteral("This page asks you to sign in. Open it in your browser to sign in.");
}

void WInAppBrowserMessage::showMessage(const QString &text, const QUrl &url)
{
    m_url = url;
    // Its host as the bar shows it: a lookalike name never reads decoded.
    m_text->setText(text + QStringLiteral("\n\n") + url.toDisplayString(QUrl::EncodeUnicode));
}

QString WInAppBrowserMessage::text() const
{
    return m_text->text();
}

QWidget *WInAppBrowserMessage::keys() const
{
    return m_open;
}

} // namespace WexoCreator
