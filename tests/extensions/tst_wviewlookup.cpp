#include "WexoCreator/extensions/WElementIdentity.h"

#include <QDialog>
#include <QTest>
#include <QWidget>

#include <memory>

using namespace WexoCreator;

namespace {

// Builds a widget tree from text such as "root(a:t b(c:t!))": each widget is
// `label[:objectName][!]`, children in parentheses, "!" hides it. The label is
// kept in a property to tell apart widgets that share an identifier.
QWidget *build(const QString &text, qsizetype &pos, QWidget *parent)
{
    const auto token = [&] {
        const qsizetype start = pos;
        while (pos < text.size() && text[pos].isLetterOrNumber())
            ++pos;
        return text.mid(start, pos - start);
    };
    auto *widget = new QWidget(parent);
    widget->setProperty("label", token());
    if (pos < text.size() && text[pos] == u':') {
        ++pos;
        widget->setObjectName(token());
    }
    const bool hidden = pos < text.size() && text[pos] == u'!';
    pos += hidden ? 1 : 0;
    if (pos < text.size() && text[pos] == u'(') {
        for (++pos; text[pos] != u')'; pos += text[pos] == u' ' ? 1 : 0)
            build(text, pos, widget);
        ++pos;
    }
    widget->setVisible(!hidden && parent);
    return widget;
}

std::unique_ptr<QWidget> build(const QString &text)
{
    qsizetype pos = 0;
    return std::unique_ptr<QWidget>(build(text, pos, nullptr));
}

QString labelOf(const QWidget *widget)
{
    return widget ? widget->property("label").toString() : QStringLiteral("none");
}

} // namespace

class tst_WViewLookup : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void firstMatchInPreOrder_data()
    {
        QTest::addColumn<QString>("tree");
        QTest::addColumn<QString>("restack");
        QTest::addColumn<QString>("expected");

        QTest::addRow("receiver beats its descendants") << "root:t(a:t)" << "" << "root";
        QTest::addRow("lower sibling index wins") << "root(a:t b:t)" << "" << "a";
        QTest::addRow("descendant of first sibling beats second") << "root(a(deep:t) b:t)" << "" << "deep";
        QTest::addRow("deep first branch before shallow later one") << "root(a(b(c(d:t))) e:t)" << "" << "d";
        QTest::addRow("hidden widget is found") << "root(a(h:t!))" << "" << "h";
        QTest::addRow("child of a hidden widget is found") << "root(a!(h:t))" << "" << "h";
        QTest::addRow("case-sensitive") << "root(a:T b:t)" << "" << "b";
        QTest::addRow("no widget carries it") << "root(a:x b(c:y))" << "" << "none";
        QTest::addRow("raising the first puts it last") << "root(a:t b:t)" << "raise a" << "b";
        QTest::addRow("lowering the last puts it first") << "root(a:t b:t)" << "lower b" << "b";
    }

    void firstMatchInPreOrder()
    {
        QFETCH(QString, tree);
        QFETCH(QString, restack);
        QFETCH(QString, expected);

        const std::unique_ptr<QWidget> root = build(tree);
        if (!restack.isEmpty()) {
            for (QWidget *child : root->findChildren<QWidget *>()) {
                if (labelOf(child) == restack.section(u' ', 1))
                    restack.startsWith(QLatin1String("raise")) ? child->raise() : child->lower();
            }
        }
        QCOMPARE(labelOf(getWView(root.get(), QStringLiteral("t"))), expected);
    }

    void onlyChildWidgetsOfTheSameWindowCount()
    {
        QWidget page;
        (new QObject(&page))->setObjectName(QStringLiteral("target"));
        auto *dialog = new QDialog(&page);
        auto *inDialog = new QWidget(dialog);
        inDialog->setObjectName(QStringLiteral("target"));
        QCOMPARE(getWView(&page, QStringLiteral("target")), nullptr);
        QCOMPARE(getWView(dialog, QStringLiteral("target")), inDialog);
    }

    void emptyObjectNameIsNoIdentifier()
    {
        QWidget root;
        auto *child = new QWidget(&root);
        QVERIFY(!wexoElementIdentifier(child));
        QCOMPARE(getWView(&root, QString()), nullptr);
        setWexoElementIdentifier(child, QStringLiteral("picked"));
        QCOMPARE(wexoElementIdentifier(child), std::optional<QString>(QStringLiteral("picked")));
        QCOMPARE(getWView(&root, QStringLiteral("picked")), child);
        setWexoElementIdentifier(child, std::nullopt);
        QCOMPARE(getWView(&root, QStringLiteral("picked")), nullptr);
        QCOMPARE(getWView(nullptr, QStringLiteral("picked")), nullptr);
    }
};

QTEST_MAIN(tst_WViewLookup)
#include "tst_wviewlookup.moc"
