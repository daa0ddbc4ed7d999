#pragma once

#include <QPointer>
#include <QUrl>
#include <QWidget>

class QLabel;
class QWebEngineLoadingInfo;
class QPushButton;

namespace WexoCreator {

// The in-app page's plain message in place of a page it cannot show: what
// happened, the address, and "Open in browser" for it.
class WInAppBrowserMessage : public QWidget
{
    Q_OBJECT

public:
    explicit WInAppBrowserMessage(QWidget *parent);

    // Every end that leaves the page with nothing to show says this.
    static QString notLoadedText();
    // What a failed load of the page's own document says.
    static QString failureText(const QWebEngineLoadingInfo &info);
    // The page asked for a sign-in, which is refused here.
    static QString signInText();

    void showMessage(const QString &text, const QUrl &url);
    QString text() const;
    QUrl url() const { return m_url; }
    // Takes the keys while the message shows.
    QWidget *keys() const;

Q_SIGNALS:
    void openPressed(const QUrl &url);

private:
    QPointer<QLabel> m_text;
    QPointer<QPushButton> m_open;
    QUrl m_url;
};

} // namespace WexoCreator
