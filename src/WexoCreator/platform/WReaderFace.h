#pragma once

#include <QColor>
#include <QString>
#include <QUrl>
#include <QWebEngineView>

#include <functional>
#include <optional>

class QWebEnginePage;
class QWebEngineProfile;

namespace WexoCreator {

// The in-app page's reader face: the article the reader library makes of a
// document of the page view, shown in a view of its own laid over the page
// view. It runs no script and goes nowhere by itself: a link to another part
// of the article scrolls it, another link is handed on (linkClicked) for the
// page view to follow as a click in the document would, a pop-up from a click
// is handed on too (openElsewhere), and anything else is refused. Its images
// load from their own addresses, with the page view's refusals.
class WReaderFace : public QWebEngineView
{
    Q_OBJECT

public:
    struct Article {
        QString title;
        QString byline;
        QString content; // the reader library's HTML, unsanitised
    };
    // What a look at a document found: which document it was, and its article if it offers one.
    struct Examination {
        qint64 document = 0;
        std::optional<Article> article;
    };

    // Largest document setHtml takes (as the data address it becomes).
    static constexpr qsizetype kSetHtmlLimit = 2 * 1024 * 1024;

    WReaderFace(QWebEngineProfile *profile, QWidget *parent);

    // The reader library was embedded at build time.
    static bool available();
    // The reader library's quick test of whether a document may be an
    // article (isProbablyReaderable), as script; empty without the library.
    static QString readerableScript();
    // The reader document's background.
    static QColor paperColor();
    // The reader face's document for an article, absent when setHtml could not take it.
    static std::optional<QString> document(const Article &article, std::optional<double> place = std::nullopt);
    // Looks at the page's current document with the reader library, in the
    // application's own script world on a copy of it: the page's scripts
    // neither see the library nor what it changes. Each document is told
    // apart by a number it keeps for its life (a history step back to a kept
    // document brings its number back). The answer comes in context's turn,
    // not at all once context has gone.
    static void examine(QWebEnginePage *page, QObject *context, std::function<void(const Examination &)> done);

    // Loads the article of a document at its address, scrolled to the part
    // the address names, or that many CSS pixels down where a place is
    // given; false (nothing loaded) when it is too large. articleShown says
    // when it is there.
    bool showArticle(const Article &article, const QUrl &address, std::optional<double> place = std::nullopt);
    // The article's own title, empty when it has none.
    QString title() const { return m_title; }

Q_SIGNALS:
    // The article asked for last has loaded, or failed to.
    void articleShown(bool ok);
    void linkClicked(const QUrl &url);
    void openElsewhere(const QUrl &url);

private:
    QString m_title;
    bool m_loading = false;
    bool m_taller = false; // the article shown is a pixel taller than the one before
};

} // namespace WexoCreator
