#include "support/FaceFilm.h"

#include <QBuffer>
#include <QEvent>
#include <QGuiApplication>
#include <QImage>
#include <QLabel>
#include <QScreen>
#include <QTimer>
#include <QWidget>
#include <QWindow>

#include <utility>

namespace WexoCreator {

namespace {

enum Kind { blue, yellow, red, green, paper, white, black, dark, other, kinds };

Kind kindOf(QRgb pixel)
{
    const int r = qRed(pixel), g = qGreen(pixel), b = qBlue(pixel);
    const int low = qMin(r, qMin(g, b)), high = qMax(r, qMax(g, b));
    if (low > 240)
        return b < r - 2 ? paper : white;
    if (high < 40)
        return black;
    if (high < 110)
        return dark;
    if (r > 2 * b && g > 2 * b && r > 150)
        return yellow;
    if (r > 2 * g && r > 2 * b)
        return red;
    if (g > 2 * r && g > 2 * b)
        return green;
    if (b > 2 * r && b > 2 * g)
        return blue;
    return other;
}

// The faces as they stand on screen (or in the backing store offscreen).
QImage shown(QWidget *faces)
{
    QWidget *window = faces->window();
    const QPoint at = faces->mapTo(window, QPoint(0, 0));
    QScreen *screen = window->screen();
    if (QGuiApplication::platformName() == QLatin1String("xcb")) {
        const QPoint global = faces->mapToGlobal(QPoint(0, 0));
        return screen->grabWindow(0, global.x(), global.y(), faces->width(), faces->height()).toImage();
    }
    return screen->grabWindow(window->winId(), at.x(), at.y(), faces->width(), faces->height()).toImage();
}

} // namespace

FaceFilm::FaceFilm(QWidget *faces, QLabel *title, bool fromFirstPaint)
    : m_faces(faces)
    , m_title(title->toolTip())
    , m_painted(!fromFirstPaint)
{
    m_clock.start();
    title->installEventFilter(this);
    for (QWidget *face : faces->findChildren<QWidget *>(Qt::FindDirectChildrenOnly))
        face->installEventFilter(this);
    auto *timer = new QTimer(this);
    timer->setTimerType(Qt::PreciseTimer);
    const auto take = [this] {
        if (!m_faces || !m_painted)
            return;
        // While the faces move or grow (the page sliding in), what stands
        // where they now are may still be what stood there before: the bar.
        const QRect at(m_faces->mapTo(m_faces->window(), QPoint(0, 0)), m_faces->size());
        if (std::exchange(m_at, at) == at)
            frames.append({look(m_faces), m_title, m_clock.elapsed()});
    };
    connect(timer, &QTimer::timeout, this, take);
    timer->start(15);
    take();
}

char FaceFilm::look(QWidget *faces)
{
    const QImage image = shown(faces).convertToFormat(QImage::Format_RGB32);
    if (image.isNull())
        return '?';

    int counts[kinds] = {};
    int all = 0;
    // A pixel in every three each way: text, markers and backgrounds all show.
    for (int y = 1; y < image.height(); y += 3) {
        const auto *line = reinterpret_cast<const QRgb *>(image.constScanLine(y));
        for (int x = 1; x < image.width(); x += 3, ++all)
            ++counts[kindOf(line[x])];
    }
    const auto share = [&](Kind kind) { return double(counts[kind]) / qMax(all, 1); };
    const char pages[] = {'B', 'Y', 'R', 'G'};
    for (Kind kind : {blue, yellow, red, green}) {
        if (share(kind) > 0.4)
            return pages[kind];
    }
    if (share(white) > 0.4)
        return 'W';
    if (share(black) > 0.4)
        return 'K';
    if (share(paper) > 0.4) {
        // The reader face: its marker, or at least its text.
        if (share(red) > 0.005)
            return 'r';
        if (share(green) > 0.005)
            return 'g';
        return share(dark) > 0.002 ? 'a' : 'P';
    }
    return '?';
}

QByteArray FaceFilm::marker(const QColor &colour)
{
    QImage image(300, 40, QImage::Format_RGB32);
    image.fill(colour);
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return "<img src=\"data:image/png;base64," + png.toBase64() + "\" width=\"300\" height=\"40\" alt=\"\">";
}

QString FaceFilm::looks() const
{
    QString seen;
    for (const Frame &frame : frames) {
        if (!seen.endsWith(QLatin1Char(frame.look)))
            seen += QLatin1Char(frame.look);
    }
    return seen;
}

QString FaceFilm::runs() const
{
    QStringList seen;
    for (qsizetype at = 0; at < frames.size();) {
        qsizetype end = at;
        while (end < frames.size() && frames.at(end).look == frames.at(at).look)
            ++end;
        const bool last = end == frames.size();
        seen << QString(QLatin1Char(frames.at(at).look)) + (last ? QString() : QString::number(frames.at(end).at - frames.at(at).at));
        at = end;
    }
    return seen.join(u' ');
}

bool FaceFilm::eventFilter(QObject *watched, QEvent *event)
{
    // The title the bar last painted: the faces and the bar reach the screen together.
    if (event->type() == QEvent::Paint && qobject_cast<QLabel *>(watched))
        m_title = static_cast<QLabel *>(watched)->toolTip();
    else if (event->type() == QEvent::Paint)
        m_painted = true;
    return QObject::eventFilter(watched, event);
}

} // namespace WexoCreator
