#include "WexoCreator/menu/WActivityIndicator.h"

#include <QTest>

using namespace WexoCreator;

class tst_WActivityIndicator : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void titles_data()
    {
        QTest::addColumn<std::optional<QString>>("title");
        QTest::addColumn<QString>("shown");
        QTest::addRow("no title") << std::optional<QString>() << "loading...";
        QTest::addRow("empty title is a title") << std::optional<QString>(QString()) << "";
        QTest::addRow("backend text stays plain") << std::optional<QString>(QStringLiteral("<b>x</b>")) << "<b>x</b>";
    }

    void titles()
    {
        QFETCH(std::optional<QString>, title);
        QFETCH(QString, shown);
        std::unique_ptr<WActivityIndicator> spinner(WActivityIndicator::createView());
        spinner->startAnimating(title);
        QVERIFY(!spinner->isHidden());
        QCOMPARE(spinner->titleLabel()->text(), shown);
        QCOMPARE(spinner->titleLabel()->textFormat(), Qt::PlainText);
    }

    void frameAndImage()
    {
        // The image given is neither shown nor kept: the form's own one turns.
        QPixmap red(40, 40);
        red.fill(Qt::red);
        const WActivityIndicator plain;
        const WActivityIndicator spinner(QRect(10, 20, 120, 90), red);
        QCOMPARE(spinner.geometry(), QRect(10, 20, 120, 90));
        QCOMPARE(spinner.bgImageView()->pixmap().toImage(), plain.bgImageView()->pixmap().toImage());
        QVERIFY(spinner.findChildren<QLabel *>().size() == plain.findChildren<QLabel *>().size());
    }

    void turnsOnceAtATimeAndStopsUpright()
    {
        std::unique_ptr<WActivityIndicator> spinner(WActivityIndicator::createView());
        // Stopping before any start hides it and removes nothing.
        spinner->stopAnimating();
        QVERIFY(spinner->isHidden());
        QVERIFY(!spinner->rotationAnimation());

        spinner->startAnimating();
        spinner->startAnimating();
        QTRY_VERIFY(spinner->findChildren<QVariantAnimation *>(WActivityIndicator::rotationAnimationKey).size() == 1);
        QTRY_VERIFY(spinner->rotationAngle() > 0);
        spinner->stopAnimating();
        QVERIFY(spinner->isHidden());
        QCOMPARE(spinner->rotationAngle(), 0.0);
        QTRY_VERIFY(spinner->findChildren<QVariantAnimation *>().isEmpty());
    }
};

QTEST_MAIN(tst_WActivityIndicator)
#include "tst_wactivityindicator.moc"
