#pragma once

#include <QObject>

class QWebEngineView;

namespace WexoCreator {

// A page's colour input gets no window over the host: the engine opens its
// colour choice as a dialog child of the view, which is kept off screen and
// answered a turn later as cancelled, as the page's other dialogs are. The
// input keeps its colour.
class WInAppBrowserColorRefusal : public QObject
{
    Q_OBJECT

public:
    // Watches view for as long as the view lives.
    explicit WInAppBrowserColorRefusal(QWebEngineView *view);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
};

} // namespace WexoCreator
