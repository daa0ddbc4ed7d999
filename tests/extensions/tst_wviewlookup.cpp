#include "WexoCreator/extensions/WElementIdentity.h"

#include <QDialog>
#include <QLabel>
#include <QObject>
#include <QTest>
#include <QWidget>

#include <memory>

using namespace WexoCreator;

namespace {

// Builds a widget tree from text: `label[:name][!]` with children in
// parentheses, e.g. "root(a:t b(c:t!))". The label is kept in a property so a
// test can tell apart widgets that share an identifier; "!" hides the widget.
class TreeBuilder
{
public:
    explicit TreeBuilder(const QString &text) : m_text(text) {}

    std::unique_ptr<QWidget> build()
    {
        std::unique_ptr<QWidget> root(node(nullptr));
        return root;
    }

private:
    QWidget *node(QWidget *parent)
    {
        auto *widget = new QWidget(parent);
        const QString label = token();
        widget->setProperty("label", label);
        if (peek() == u':') {
            ++m_pos;
            widget->setObjectName(token());
        }
        if (peek() == u'!') {
            ++m_pos;
            widget->setProperty("hide", true);
        }
        if (peek() == u'(') {
            ++m_pos;
            while (peek() != u')') {
                node(widget);
                skipBlanks();
            }
            ++m_pos;
        }
        if (widget->property("hide").toBool())
            widget->hide();
        else if (parent)
            widget->show();
        return widget;
    }

    QString token()
    {
        skipBlanks();
        const qsizetype start = m_pos;
        while (m_pos < m_text.size() && (m_text[m_pos].isLetterOrNumber() || m_text[m_pos] == u'_'))
            ++m_pos;
        return m_text.mid(start, m_pos - start);
    }

    QChar peek()
    {
        skipBlanks();
        return m_pos < m_text.size() ? m_text[m_pos] : QChar();
    }

    void skipBlanks()
    {
        while (m_pos < m_text.size() && m_text[m_pos] == u' ')
            ++m_pos;
    }

    QString m_text;
    qsizetype m_pos = 0;
};

QString labelOf(const QWidget *widget)
{
    return widget ? widget->property("label").toString() : QStringLiteral("<none>");
}

} // namespace

class tst_WViewLookup : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void firstMatchInPreOrder_data()
    {
        QTest::addColumn<QString>("tree");
        QTest::addColumn<QString>("identifier");
        QTest::addColumn<QString>("expected");

        QTest::addRow("receiver beats its descendants") << "root:t(a:t)" << "t" << "root";
        QTest::addRow("lower sibling index wins") << "root(a:t b:t)" << "t" << "a";
        QTest::addRow("descendant of first sibling beats second sibling") << "root(a(deep:t) b:t)" << "t" << "deep";
        QTest::addRow("deep first branch before shallow later one") << "root(a(b(c(d:t))) e:t)" << "t" << "d";
        QTest::addRow("hidden widget is found") << "root(a(h:t!))" << "t" << "h";
        QTest::addRow("child of a hidden widget is found") << "root(a!(h:t))" << "t" << "h";
        QTest::addRow("comparison is case-sensitive") << "root(a:T b:t)" << "t" << "b";
        QTest::addRow("no widget carries it") << "root(a:x b(c:y))" << "t" << "<none>";
        QTest::addRow("unnamed widgets never match empty text") << "root(a b)" << "" << "<none>";
        QTest::addRow("prefix is not a match") << "root(a:tab b:tab_shop)" << "tab_shop" << "b";
    }

    void firstMatchInPreOrder()
    {
        QFETCH(QString, tree);
        QFETCH(QString, identifier);
        QFETCH(QString, expected);

        const std::unique_ptr<QWidget> root = TreeBuilder(tree).build();
        QCOMPARE(labelOf(getWView(root.get(), identifier)), expected);
    }

    void orderFollowsStacking_data()
    {
        QTest::addColumn<QString>("restack");
        QTest::addColumn<QString>("expected");

        QTest::addRow("as created") << "" << "a";
        QTest::addRow("raising the first puts it last") << "raise a" << "b";
        QTest::addRow("lowering the last puts it first") << "lower b" << "b";
        QTest::addRow("raising the last changes nothing") << "raise b" << "a";
    }

    void orderFollowsStacking()
    {
        QFETCH(QString, restack);
        QFETCH(QString, expected);

        const std::unique_ptr<QWidget> root = TreeBuilder(QStringLiteral("root(a:t b:t)")).build();
        const QStringList words = restack.split(u' ', Qt::SkipEmptyParts);
        if (!words.isEmpty()) {
            QWidget *target = nullptr;
            for (QWidget *child : root->findChildren<QWidget *>()) {
                if (labelOf(child) == words.at(1))
                    target = child;
            }
            QVERIFY(target);
            words.at(0) == QLatin1String("raise") ? target->raise() : target->lower();
        }
        QCOMPARE(labelOf(getWView(root.get(), QStringLiteral("t"))), expected);
    }

    void childWindowIsNotPartOfTheTree()
    {
        QWidget page;
        auto *dialog = new QDialog(&page);
        auto *inDialog = new QLabel(dialog);
        inDialog->setObjectName(QStringLiteral("target"));
        QCOMPARE(getWView(&page, QStringLiteral("target")), nullptr);
        QCOMPARE(getWView(dialog, QStringLiteral("target")), inDialog);
    }

    void nonWidgetChildrenAreSkipped()
    {
        QWidget page;
        auto *helper = new QObject(&page);
        helper->setObjectName(QStringLiteral("target"));
        auto *label = new QLabel(&page);
        label->setObjectName(QStringLiteral("target"));
        QCOMPARE(getWView(&page, QStringLiteral("target")), label);
    }

    void identifierIsTheObjectName_data()
    {
        QTest::addColumn<QString>("objectName");
        QTest::addColumn<bool>("present");

        QTest::addRow("named") << "saveButton" << true;
        QTest::addRow("unnamed") << "" << false;
    }

    void identifierIsTheObjectName()
    {
        QFETCH(QString, objectName);
        QFETCH(bool, present);

        QWidget widget;
        widget.setObjectName(objectName);
        QCOMPARE(wexoElementIdentifier(&widget).has_value(), present);
        if (present)
            QCOMPARE(*wexoElementIdentifier(&widget), objectName);
    }

    void writingAbsentClearsTheIdentifier()
    {
        QWidget root;
        auto *child = new QWidget(&root);
        setWexoElementIdentifier(child, QStringLiteral("picked"));
        QCOMPARE(getWView(&root, QStringLiteral("picked")), child);
        setWexoElementIdentifier(child, std::nullopt);
        QVERIFY(!wexoElementIdentifier(child));
        QCOMPARE(getWView(&root, QStringLiteral("picked")), nullptr);
    }

    void nullRootFindsNothing()
    {
        QCOMPARE(getWView(nullptr, QStringLiteral("t")), nullptr);
        QVERIFY(!wexoElementIdentifier(nullptr));
    }
};

QTEST_MAIN(tst_WViewLookup)
#include "tst_wviewlookup.moc"
