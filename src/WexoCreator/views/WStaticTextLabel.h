#pragma once

#include <QFont>
#include <QLabel>
#include <QPointF>
#include <QRect>
#include <QTextLayout>

#include <optional>

namespace WexoCreator {

// A one-line plain-text label that lays its text out once and keeps it: the
// cards' short texts are painted again on every repaint of the dimmed window
// beneath them and on every frame of a blink, and a plain label lays its text
// out anew each time, for its size as well. Sizes, text and pixels are a plain
// label's.
class WStaticTextLabel : public QLabel
{
    Q_OBJECT

public:
    explicit WStaticTextLabel(QWidget *parent = nullptr);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    // The text laid out in the label's font, again only when either changed.
    QTextLine shown() const;
    // Frames, indents, wrapping and empty texts are left to the plain label.
    bool isPlainLine() const;

    mutable QTextLayout m_shown;
    mutable QString m_shownText;
    mutable QFont m_shownFont;
    // Where a plain label draws the text in this area with this alignment.
    struct Placed {
        QRect area;
        Qt::Alignment alignment;
        QPointF at;
    };
    mutable std::optional<Placed> m_placed;
};

} // namespace WexoCreator
