#pragma once

#include <QPointer>
#include <QString>
#include <QStyle>
#include <QWidget>

class QLabel;
class QToolButton;
class QUrl;

namespace WexoCreator {

// The in-app page's bar: Done, Back, Forward, Reload, the shown page's title
// and host on two centred lines, the Reader toggle and "Open in browser". It
// shows what it is told and says which button was pressed.
class WInAppBrowserBar : public QWidget
{
    Q_OBJECT

public:
    explicit WInAppBrowserBar(QWidget *parent);

    // The page's title (empty, or the engine's stand-in made of its address,
    // when it has none of its own) and its address.
    void showPage(const QString &title, const QUrl &url);
    void showHistory(bool canGoBack, bool canGoForward);
    void showReader(bool offered, bool checked);

Q_SIGNALS:
    void donePressed();
    void backPressed();
    void forwardPressed();
    void reloadPressed();
    void readerClicked(bool checked);
    void openExternalPressed();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // A button with the icon, or (SP_CustomBase) with its text.
    QToolButton *addButton(const QString &name, const QString &text, QStyle::StandardPixmap icon);
    void elideTitle();

    QPointer<QLabel> m_title;
    QPointer<QLabel> m_host;
    QPointer<QToolButton> m_back;
    QPointer<QToolButton> m_forward;
    QPointer<QToolButton> m_reader;
    QString m_fullTitle;
};

} // namespace WexoCreator
