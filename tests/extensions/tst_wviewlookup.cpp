#include "WexoCreator/extensions/WElementIdentity.h"

#include <QAction>
#include <QDialog>
#include <QRegularExpression>
#include <QTest>
#include <QToolButton>
#include <QWidget>

#include <memory>

using namespace WexoCreator;

namespace {

// Builds a widget tree from text such as "root(a:t b(c:t!))": each widget is
// `label[:objectName][!]`, children in parentheses, "!" hides it. The label is
// kept in a property to tell apart widgets that share an identifier.
std::unique_ptr<QWidget> build(const QString &text)
{
    static const QRegularExpression token(QStringLiteral("(\\w+)(?::(\\w+))?(!?)(\\(?)|\\)"));
    std::unique_ptr<QWidget> root;
    QList<QWidget *> parents;
    for (const QRegularExpressionMatch &match : token.globalMatch(text)) {
        if (match.captured() == QLatin1String(")")) {
            parents.removeLast();
            continue;
        }
        auto *widget = new QWidget(parents.isEmpty() ? nullptr : parents.last());
        if (!root)
            root.reset(widget);
        widget->setProperty("label", match.captured(1));
        widget->setObjectName(match.captured(2));
        widget->setVisible(match.captured(3).isEmpty() && widget->parentWidget());
        if (!match.captured(4).isEmpty())
            parents << widget;
    }
    return root;
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
        for (QWidget *child : root->findChildren<QWidget *>()) {
            if (!restack.isEmpty() && labelOf(child) == restack.section(u' ', 1))
                restack.startsWith(QLatin1String("raise")) ? child->raise() : child->lower();
        }
        QCOMPARE(labelOf(getWView(root.get(), QStringLiteral("t"))), expected);
    }

    // Recording and look-up share one identity: what one names, the other finds.
    void identity_data()
    {
        QTest::addColumn<QString>("widgetName");
        QTest::addColumn<QString>("actionName"); // empty: the widget is a plain widget
        QTest::addColumn<QString>("expected");   // empty: no identity

        QTest::addRow("object name") << "saveButton" << "" << "saveButton";
        QTest::addRow("empty name") << "" << "" << "";
        QTest::addRow("a name Qt gives its internals") << "qt_scrollarea_viewport" << "" << "";
        QTest::addRow("tool button takes its action's name") << "" << "printAction" << "printAction";
        QTest::addRow("tool button's own name comes first") << "printButton" << "printAction" << "printButton";
        QTest::addRow("Qt's name on the button, the action's counts") << "qt_toolbar_ext_button" << "printAction" << "printAction";
        QTest::addRow("unnamed action") << "" << "-" << "";
    }
    void identity()
    {
        QFETCH(QString, widgetName);
        QFETCH(QString, actionName);
        QFETCH(QString, expected);

        QWidget page;
        QWidget *widget = new QWidget(&page);
        if (!actionName.isEmpty()) {
            auto *button = new QToolButton(&page);
            auto *action = new QAction(button);
            action->setObjectName(actionName == QLatin1String("-") ? QString() : actionName);
            button->setDefaultAction(action);
            widget = button;
        }
        widget->setObjectName(widgetName);
        QCOMPARE(wexoElementIdentifier(widget).value_or(QString()), expected);
        QCOMPARE(getWView(&page, expected), expected.isEmpty() ? nullptr : widget);
    }

    void onlyNamedChildWidgetsOfTheSameWindowCount()
    {
        QWidget page;
        (new QObject(&page))->setObjectName(QStringLiteral("target"));
        auto *dialog = new QDialog(&page);
        auto *inDialog = new QWidget(dialog);
        inDialog->setObjectName(QStringLiteral("target"));
        QCOMPARE(getWView(&page, QStringLiteral("target")), nullptr);
        QCOMPARE(getWView(dialog, QStringLiteral("target")), inDialog);

        // An empty object name is no identifier.
        auto *child = new QWidget(&page);
        QVERIFY(!wexoElementIdentifier(child));
        QCOMPARE(getWView(&page, QString()), nullptr);
        setWexoElementIdentifier(child, QStringLiteral("picked"));
        QCOMPARE(getWView(&page, QStringLiteral("picked")), child);
        setWexoElementIdentifier(child, std::nullopt);
        QCOMPARE(getWView(&page, QStringLiteral("picked")), nullptr);
        QCOMPARE(getWView(nullptr, QStringLiteral("picked")), nullptr);
    }
};

QTEST_MAIN(tst_WViewLookup)
#include "tst_wviewlookup.moc"
