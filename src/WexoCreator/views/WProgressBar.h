#pragma once

#include <QColor>
#include <QWidget>

namespace WexoCreator {

// A thin progress bar: the track in one colour, the done part from the left in
// another. The value stays within [0, 1]; a value that is not a number is 0.
class WProgressBar : public QWidget
{
    Q_OBJECT
    Q_PROPERTY(qreal progress READ progress WRITE setProgress)

public:
    explicit WProgressBar(QWidget *parent = nullptr);

    qreal progress() const { return m_progress; }
    void setProgress(qreal progress);

    QColor trackColor() const { return m_trackColor; }
    void setTrackColor(const QColor &color);
    QColor progressTintColor() const { return m_tintColor; }
    void setProgressTintColor(const QColor &color);

    // current / total as the popups show it; a total of 0 shows an empty bar.
    static qreal ratio(qint64 current, qint64 total);

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    qreal m_progress = 0;
    QColor m_trackColor = Qt::lightGray;
    QColor m_tintColor = Qt::blue;
};

} // namespace WexoCreator
