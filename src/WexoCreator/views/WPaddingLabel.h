#pragma once

#include "WexoCreator/extensions/WAttributedString.h"

#include <QColor>
#include <QSizeF>
#include <QStringList>
#include <QWidget>

#include <list>
#include <memory>
#include <utility>
#include <vector>

class QTextLayout;

namespace WexoCreator {

// A label that draws its text inset from its edges by four insets and reports
// its fitting sizes enlarged by them. The text is plain (markup shows as
// typed), in runs that each keep their own font; it wraps at words, shows at
// most numberOfLines lines (0: no limit) and elides the last one shown.
class WPaddingLabel : public QWidget
{
    Q_OBJECT
    Q_PROPERTY(qreal topInset READ topInset WRITE setTopInset)
    Q_PROPERTY(qreal bottomInset READ bottomInset WRITE setBottomInset)
    Q_PROPERTY(qreal leftInset READ leftInset WRITE setLeftInset)
    Q_PROPERTY(qreal rightInset READ rightInset WRITE setRightInset)
    Q_PROPERTY(int numberOfLines READ numberOfLines WRITE setNumberOfLines)
    Q_PROPERTY(Qt::Alignment alignment READ alignment WRITE setAlignment)
    Q_PROPERTY(QString text READ text WRITE setText)

public:
    explicit WPaddingLabel(QWidget *parent = nullptr);
    ~WPaddingLabel() override;

    // The insets only store their value: callers set them before they measure.
    qreal topInset() const { return m_topInset; }
    void setTopInset(qreal inset) { m_topInset = inset; }
    qreal bottomInset() const { return m_bottomInset; }
    void setBottomInset(qreal inset) { m_bottomInset = inset; }
    qreal leftInset() const { return m_leftInset; }
    void setLeftInset(qreal inset) { m_leftInset = inset; }
    qreal rightInset() const { return m_rightInset; }
    void setRightInset(qreal inset) { m_rightInset = inset; }

    int numberOfLines() const { return m_numberOfLines; }
    void setNumberOfLines(int lines);
    Qt::Alignment alignment() const { return m_alignment; }
    void setAlignment(Qt::Alignment alignment);
    QColor textColor() const;
    void setTextColor(const QColor &color);

    QString text() const;
    // One run in the label's own font.
    void setText(const QString &text);
    void setAttributedText(const WAttributedString &text);
    // The runs as drawn: the attributed text, or the plain text in the label's font.
    QList<WAttributedString::Run> runs() const;

    // The text measured for the proposed width as it stands (the insets are not
    // taken off it first), with the insets added; the height is not a limit.
    QSizeF sizeThatFits(const QSizeF &size) const;

    // Measured at the width the text is drawn in, w less the side insets.
    bool hasHeightForWidth() const override { return true; }
    int heightForWidth(int width) const override;
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

    // The lines as they are drawn at the label's present width, an elided last
    // line with its ellipsis.
    QStringList shownLines() const;

protected:
    void paintEvent(QPaintEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    struct Line {
        QString text;    // only for an elided line
        QFont font;      // only for an elided line
        qreal y = 0;
        qreal height = 0;
        int layout = -1; // index of the paragraph's layout, or -1 for an elided line
        int lineNumber = 0;
    };
    struct Layout {
        std::vector<std::unique_ptr<QTextLayout>> paragraphs;
        QList<Line> lines;
        QSizeF size;
        qreal width = 0;   // the width the lines were broken at
        qreal natural = 0; // the widest line, as drawn
    };

    Layout layoutText(qreal width) const;
    // The layout for a width, kept until the text or its look changes: the
    // label is measured and painted again and again with the same text. One
    // made for a wider width serves when all its lines fit: they break alike.
    const Layout &layoutFor(qreal width) const;
    void textChanged();
    qreal textWidth() const;

    qreal m_topInset = 10;
    qreal m_bottomInset = 10;
    qreal m_leftInset = 10;
    qreal m_rightInset = 10;
    int m_numberOfLines = 0;
    Qt::Alignment m_alignment = Qt::AlignLeft;
    WAttributedString m_attributed;
    QString m_plain;
    bool m_isAttributed = false;
    // Most recently used first.
    mutable std::list<std::pair<qreal, Layout>> m_layouts;
};

} // namespace WexoCreator
