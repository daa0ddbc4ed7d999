#pragma once

#include <QByteArray>
#include <QElapsedTimer>
#include <QColor>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QRect>
#include <QString>

class QLabel;
class QTimer;
class QWidget;

namespace WexoCreator {

// What the in-app page's faces show, as a person sees them: read from the
// screen on a display, from the window's backing store offscreen; never
// from a view (which would render it). One letter a look:
//   'B', 'Y', 'R', 'G'  a page of that background colour,
//   'r', 'g'            an article in the reader face, told by its marker,
//   'a'                 another article in the reader face (text on paper),
//   'P'                 the reader's blank paper, 'W' white, 'K' black, '?'.
class FaceFilm : public QObject
{
public:
    struct Frame {
        char look;
        QString title; // the bar's title as last painted
        qint64 at; // ms since the film began
    };

    // Films from now on, a look every ~15 ms, until it goes; from their
    // first paint on for faces just made (nothing of them is on screen before).
    FaceFilm(QWidget *faces, QLabel *title, bool fromFirstPaint = false);

    static char look(QWidget *faces);
    // An image of that colour to put in an article: its reader face shows it.
    static QByteArray marker(const QColor &colour);

    QList<Frame> frames;
    // The looks in order, each run of one told once.
    QString looks() const;
    // The same with how long each run lasted ("K170 P40 B").
    QString runs() const;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QPointer<QWidget> m_faces;
    QString m_title;
    bool m_painted;
    QRect m_at; // where the faces stood at the last look
    QElapsedTimer m_clock;
};

} // namespace WexoCreator
