#include "WexoCreator/configuration/WConfiguration.h"
#include "WexoCreator/extensions/WLayoutExtensions.h"
#include "WexoCreator/views/WMobilePopup.h"
#include "WexoCreator/views/WPopup.h"

#include <QApplication>

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QSet>
#include <QTemporaryDir>

#include <QGraphicsOpacityEffect>
#include <QImage>
#include <QMainWindow>
#include <QTest>
#include <QWidget>

#include <memory>

using namespace WexoCreator;

namespace {

QList<WRectEdge> edgesFrom(const QString &group)
{
    const std::map<QString, WRectEdge> names{{"T", WRectEdge::Top}, {"B", WRectEdge::Bottom}, {"L", WRectEdge::Left},
                                             {"R", WRectEdge::Right}, {"A", WRectEdge::All}};
    QList<WRectEdge> edges;
    for (const QString &token : group.split(u' ', Qt::SkipEmptyParts))
        edges << (names.count(token) ? names.at(token) : WRectEdge(token.toInt()));
    return edges;
}

} // namespace

class tst_WLayoutExtensions : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void edgeStrips_data()
    {
        QTest::addColumn<QString>("calls");
        QTest::addColumn<qreal>("width");
        QTest::addColumn<QList<QRect>>("strips");
        QTest::addColumn<int>("outlines");

        QTest::addRow("top and bottom") << "T B" << 1.0 << QList<QRect>{{0, 0, 100, 1}, {0, 49, 100, 1}} << 0;
        QTest::addRow("left and right") << "L R" << 2.0 << QList<QRect>{{0, 0, 2, 50}, {98, 0, 2, 50}} << 0;
        QTest::addRow("again with right only") << "T B | R" << 1.0 << QList<QRect>{{99, 0, 1, 50}} << 0;
        QTest::addRow("same edge twice keeps one strip") << "T | T" << 1.0 << QList<QRect>{{0, 0, 100, 1}} << 0;
        QTest::addRow("empty list removes every strip") << "T B L R | -" << 1.0 << QList<QRect>{} << 0;
        QTest::addRow("all edges outline, strips stay") << "T | A | A" << 1.0 << QList<QRect>{{0, 0, 100, 1}} << 1;
        QTest::addRow("combined value is no edge") << "3" << 1.0 << QList<QRect>{} << 0;
        QTest::addRow("fractional width takes whole pixels") << "B" << 0.5 << QList<QRect>{{0, 49, 100, 1}} << 0;
    }

    void edgeStrips()
    {
        QFETCH(QString, calls);
        QFETCH(qreal, width);
        QFETCH(QList<QRect>, strips);
        QFETCH(int, outlines);

        QWidget widget;
        widget.resize(100, 50);
        // A host child of the very size of a strip is never taken for one.
        auto *hostStrip = new QWidget(&widget);
        hostStrip->setGeometry(0, 0, 100, 1);
        for (const QString &group : calls.split(u'|'))
            borders(&widget, edgesFrom(group), width, Qt::gray);

        QList<QRect> found;
        int outlined = 0;
        for (QWidget *child : widget.findChildren<QWidget *>(Qt::FindDirectChildrenOnly)) {
            if (child == hostStrip)
                continue;
            if (child->testAttribute(Qt::WA_TransparentForMouseEvents))
                ++outlined;
            else
                found << child->geometry();
        }
        QCOMPARE(found, strips);
        QCOMPARE(outlined, outlines);
        QCOMPARE(hostStrip->parentWidget(), &widget);
    }

    void stripsFollowTheWidgetsSize()
    {
        QWidget widget;
        widget.resize(100, 50);
        borders(&widget, {WRectEdge::Bottom, WRectEdge::Right}, 1, Qt::gray);
        widget.show();
        widget.resize(200, 80);
        QList<QRect> found;
        for (QWidget *child : widget.findChildren<QWidget *>())
            found << child->geometry();
        QCOMPARE(found, (QList<QRect>{{0, 79, 200, 1}, {199, 0, 1, 80}}));
    }

    void drawnPixels_data()
    {
        QTest::addColumn<QString>("call");
        QTest::addColumn<QColor>("edge");
        QTest::addColumn<QColor>("belowEdge");
        QTest::addColumn<qreal>("pixelRatio");

        for (const qreal ratio : {1.0, 2.0}) {
            QTest::addRow("two-pixel top strip, x%g", ratio) << "strip" << QColor(Qt::gray) << QColor(Qt::gray) << ratio;
            QTest::addRow("default debug outline, x%g", ratio) << "debug" << QColor(Qt::red) << QColor(Qt::white) << ratio;
            QTest::addRow("short-form colour, x%g", ratio) << "debug 00F" << QColor(Qt::blue) << QColor(Qt::white) << ratio;
            QTest::addRow("not a colour draws nothing, x%g", ratio) << "debug #12345" << QColor(Qt::white) << QColor(Qt::white) << ratio;
            QTest::addRow("width 0 removes the outline, x%g", ratio) << "debug; none" << QColor(Qt::white) << QColor(Qt::white) << ratio;
        }
    }

    void drawnPixels()
    {
        QFETCH(QString, call);
        QFETCH(QColor, edge);
        QFETCH(QColor, belowEdge);
        QFETCH(qreal, pixelRatio);

        QWidget panel;
        panel.setAutoFillBackground(true);
        panel.setPalette(QPalette(Qt::white));
        panel.resize(40, 20);
        if (call == QLatin1String("strip"))
            borders(&panel, {WRectEdge::Top}, 2, Qt::gray);
        else if (call.startsWith(QLatin1String("debug ")))
            debugBounds(&panel, call.mid(6));
        else
            debugBounds(&panel);
        if (call.endsWith(QLatin1String("none")))
            setOutline(&panel, 0, Qt::red);
        // Widths are logical pixels: at any ratio a logical pixel is one colour throughout.
        QImage picture((QSizeF(panel.size()) * pixelRatio).toSize(), QImage::Format_ARGB32_Premultiplied);
        picture.setDevicePixelRatio(pixelRatio);
        panel.render(&picture);
        const auto at = [&](int x, int y) {
            const QRect devicePixels((QPointF(x, y) * pixelRatio).toPoint(), (QSizeF(1, 1) * pixelRatio).toSize());
            const QColor first = picture.pixelColor(devicePixels.topLeft());
            for (int dy = devicePixels.top(); dy <= devicePixels.bottom(); ++dy) {
                for (int dx = devicePixels.left(); dx <= devicePixels.right(); ++dx) {
                    if (picture.pixelColor(dx, dy) != first)
                        return QColor();
                }
            }
            return first;
        };
        QCOMPARE(at(20, 0), edge);
        QCOMPARE(at(20, 1), belowEdge);
        QCOMPARE(at(20, 10), QColor(Qt::white));
    }

    void rectGeometry()
    {
        QCOMPARE(rectScaled(QRectF(0, 0, 100, 50), 0.5), QRectF(25, 12.5, 50, 25));
        QCOMPARE(rectScaled(QRectF(10, 10, -20, -20), 0.5), QRectF(15, 15, 10, 10)); // standardised first
        const std::optional<QTransform> transform = transformRect(QRectF(0, 0, 10, 10), QRectF(10, 10, 20, 20));
        QVERIFY(transform);
        QCOMPARE(transform->mapRect(QRectF(0, 0, 10, 10)), QRectF(15, 15, 20, 20));
        QVERIFY(!transformRect(QRectF(0, 0, 0, 10), QRectF(0, 0, 10, 10)));
    }

    void morphOntoAnotherWidget()
    {
        QWidget window;
        window.resize(400, 400);
        auto *container = new QWidget(&window);
        container->setGeometry(50, 50, 300, 300);
        auto *other = new QWidget(container);
        other->setGeometry(10, 20, 100, 50);
        auto *fade = new QGraphicsOpacityEffect(other);
        fade->setOpacity(0.5);
        other->setGraphicsEffect(fade);
        auto *moving = new QWidget(&window);
        window.show();

        QVERIFY(morphRectTo(moving, other, 2));
        QCOMPARE(moving->geometry(), QRect(10, 45, 200, 100));
        auto *opacity = qobject_cast<QGraphicsOpacityEffect *>(moving->graphicsEffect());
        QVERIFY(opacity);
        QCOMPARE(opacity->opacity(), 0.5);

        QWidget alone;
        alone.setGeometry(1, 2, 3, 4);
        QTest::ignoreMessage(QtWarningMsg, "cannot place a widget that is not in a widget tree");
        QVERIFY(!morphRectTo(&alone, other, 1));
        QCOMPARE(alone.geometry(), QRect(1, 2, 3, 4));
    }

    void formsLoadedAtRunTime_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("bundle"); // "lib": the library's, "tmp": a folder, "": none
        QTest::addColumn<QString>("expected"); // class of the top-level widget, "" for none
        QTest::addColumn<QString>("child");    // a child of a library class the form names

        QTest::addRow("console") << "WPlayConsole" << "lib" << "WexoCreator::WPlayConsole" << "";
        QTest::addRow("mobile card") << "WMobilePopup" << "lib" << "QWidget" << "descriptionLabel";
        QTest::addRow("detailed card") << "WDetailedPopup" << "lib" << "QWidget" << "progressView";
        QTest::addRow("spinner") << "WActivityIndicator" << "lib" << "QWidget" << "";
        QTest::addRow("host form with library classes") << "Host" << "tmp" << "QFrame" << "bar";
        QTest::addRow("missing") << "NoSuchForm" << "lib" << "" << "";
        QTest::addRow("not a form") << "Broken" << "tmp" << "" << "";
        QTest::addRow("no widget in it") << "Empty" << "tmp" << "" << "";
        QTest::addRow("a path, not a name") << "../forms/Host" << "tmp" << "" << "";
        QTest::addRow("no bundle: the application's own") << "Welcome" << "" << "QWidget" << "greeting";
        QTest::addRow("no bundle: not the library's") << "WMobilePopup" << "" << "" << "";
    }

    void formsLoadedAtRunTime()
    {
        QFETCH(QString, name);
        QFETCH(QString, bundle);
        QFETCH(QString, expected);
        QFETCH(QString, child);

        // No Designer plugin is loaded, and no form is laid out twice.
        QTest::failOnWarning(QRegularExpression(QStringLiteral("WebEngine|plugin|already has a layout")));
        QTemporaryDir folder;
        QVERIFY(QDir(folder.path()).mkpath(QStringLiteral("forms")));
        const auto write = [&](const QString &file, const QByteArray &text) {
            QFile out(folder.filePath(QStringLiteral("forms/") + file));
            QVERIFY(out.open(QIODevice::WriteOnly));
            out.write(text);
        };
        write(QStringLiteral("Host.ui"), R"(<ui version="4.0"><class>Host</class>
 <widget class="QFrame" name="Host"><layout class="QVBoxLayout" name="rows">
  <item><widget class="QLabel" name="plain"/></item>
  <item><widget class="WexoCreator::WProgressBar" name="bar"/></item>
  <item><widget class="WPaddingLabel" name="text"/></item>
 </layout></widget>
 <customwidgets>
  <customwidget><class>WexoCreator::WProgressBar</class><extends>QWidget</extends></customwidget>
  <customwidget><class>WPaddingLabel</class><extends>QWidget</extends></customwidget>
 </customwidgets></ui>)");
        write(QStringLiteral("Broken.ui"), "<ui version=\"4.0\"><widget class=");
        write(QStringLiteral("Empty.ui"), R"(<ui version="4.0"><class>Empty</class></ui>)");

        std::optional<QString> where;
        if (bundle == QLatin1String("lib"))
            where = WConfiguration::currentBundle();
        else if (bundle == QLatin1String("tmp"))
            where = folder.path();
        const std::unique_ptr<QWidget> form(loadFromNibNamed(name, where));
        if (expected.isEmpty()) {
            QVERIFY(!form);
            return;
        }
        QVERIFY(form);
        QCOMPARE(form->metaObject()->className(), expected.toLatin1());
        QCOMPARE(form->objectName(), name);
        if (!child.isEmpty())
            QVERIFY(QString::fromLatin1(form->findChild<QWidget *>(child)->metaObject()->className()).startsWith("WexoCreator::"));
        // Nothing is made twice: a class that builds its own form keeps only its own children.
        QStringList names;
        for (const QObject *object : form->findChildren<QObject *>())
            if (!object->objectName().isEmpty() && !object->objectName().startsWith(QLatin1String("qt_")))
                names << object->objectName();
        QCOMPARE(QSet<QString>(names.begin(), names.end()).size(), names.size());
    }

    void transformDrawsOverTheOtherWidget_data()
    {
        QTest::addColumn<qreal>("pixelRatio");
        QTest::addRow("offscreen") << 1.0;
        QTest::addRow("twice the pixel density") << 2.0;
    }

    void transformDrawsOverTheOtherWidget()
    {
        QFETCH(qreal, pixelRatio);
        QWidget parent;
        parent.resize(100, 100);
        auto *moving = new QWidget(&parent);
        moving->setGeometry(10, 10, 20, 20);
        moving->setAutoFillBackground(true);
        moving->setPalette(QPalette(Qt::red));
        auto *other = new QWidget(&parent);
        other->setGeometry(30, 30, 20, 20);

        QVERIFY(transformTo(moving, other, 2));
        // Drawn over the other widget scaled by 2 about its centre: (20, 20) to (60, 60).
        QImage picture((QSizeF(parent.size()) * pixelRatio).toSize(), QImage::Format_ARGB32_Premultiplied);
        picture.setDevicePixelRatio(pixelRatio);
        picture.fill(Qt::white);
        parent.render(&picture, QPoint(), QRegion(), QWidget::DrawChildren);
        const auto at = [&](int x, int y) { return picture.pixelColor(QPoint(x, y) * pixelRatio); };
        QCOMPARE(at(55, 55), QColor(Qt::red));
        QCOMPARE(at(22, 22), QColor(Qt::red));
        QCOMPARE(at(15, 15), QColor(Qt::white));
        QCOMPARE(at(65, 65), QColor(Qt::white));
        // Only the drawing moved: the geometry, and with it the clicks, stay.
        QCOMPARE(moving->geometry(), QRect(10, 10, 20, 20));
        QCOMPARE(parent.childAt(15, 15), moving);
        QCOMPARE(parent.childAt(45, 45), other);
        QVERIFY(!parent.childAt(55, 55));

        // The same effect carries the opacity morphRectTo sets.
        other->setGraphicsEffect(new QGraphicsOpacityEffect(other));
        qobject_cast<QGraphicsOpacityEffect *>(other->graphicsEffect())->setOpacity(0.25);
        auto *effect = moving->graphicsEffect();
        QVERIFY(morphRectTo(moving, other, 1));
        QCOMPARE(moving->graphicsEffect(), effect);
        QCOMPARE(qobject_cast<QGraphicsOpacityEffect *>(effect)->opacity(), 0.25);

        QWidget alone;
        alone.resize(10, 10);
        QTest::ignoreMessage(QtWarningMsg, "cannot place a widget that is not in a widget tree");
        QVERIFY(!transformTo(&alone, other, 1));
        QVERIFY(!alone.graphicsEffect());
    }

    void morphTakesRadiusAndWindowOpacity()
    {
        QWidget window;
        window.resize(400, 400);
        auto *card = new WPopup(QStringLiteral("t"), QStringLiteral("d"), WPopupPosition::up, 1, 2, false, &window);
        card->setCornerRadius(8);
        auto *plain = new QWidget(&window);
        auto *rounded = new WPopup(QStringLiteral("t"), QStringLiteral("d"), WPopupPosition::up, 1, 2, false, &window);

        QVERIFY(morphRectTo(rounded, card, 1.5));
        QCOMPARE(rounded->cornerRadius(), 12.0);
        WMobilePopup *mobile = WMobilePopup::createView(QString(), &window);
        QVERIFY(morphRectTo(mobile, card, 2));
        QCOMPARE(mobile->cornerRadius(), 16.0);
        QVERIFY(morphRectTo(plain, card, 1));
        QCOMPARE(plain->geometry(), card->geometry());
        QVERIFY(!plain->mask().isEmpty());
        QVERIFY(!plain->mask().contains(QPoint(0, 0)));
        QVERIFY(plain->mask().contains(QPoint(8, 8)));

        // A window's own opacity counts as its alpha.
        QWidget faded;
        faded.setWindowOpacity(0.5);
        QVERIFY(morphRectTo(plain, &faded, 1));
        // (a window keeps its opacity in 256 steps)
        QVERIFY(qAbs(qobject_cast<QGraphicsOpacityEffect *>(plain->graphicsEffect())->opacity() - 0.5) < 0.01);
        QVERIFY(plain->mask().isEmpty()); // no corner radius there
    }

    void noNotchOnTheDesktop()
    {
        QVERIFY(!QApplication::activeWindow());
        QVERIFY(!hasNotch());
        QWidget window;
        window.show();
        window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        QVERIFY(!hasNotch());
    }

    void screenShotOfTheHostWindow()
    {
        QVERIFY(!wScreenShot());
        {
            QMainWindow host;
            host.resize(200, 100);
            host.show();
            const std::optional<QPixmap> shot = wScreenShot();
            QVERIFY(shot);
            QCOMPARE(shot->deviceIndependentSize().toSize(), QSize(200, 100));
        }
        QVERIFY(!wScreenShot());
    }
};

QTEST_MAIN(tst_WLayoutExtensions)
#include "tst_wlayoutextensions.moc"
