#include "support/BackendFixture.h"
#include "support/HostFixture.h"
#include "support/KeyStrokes.h"

#include "WexoCreator/manager/WexoButtonController.h"
#include "WexoCreator/manager/WexoButtonWindow.h"
#include "WexoCreator/manager/WexolinManager.h"
#include "WexoCreator/menu/WexoOptionsViewController.h"
#include "WexoCreator/model/Wexo.h"
#include "WexoCreator/platform/WAlert.h"
#include "WexoCreator/platform/WLibraryWidgets.h"
#include "WexoCreator/recording/WPlayConsole.h"
#include "WexoCreator/recording/WexoItemListViewController.h"

#include <QAction>
#include <QApplication>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMainWindow>
#include <QPointer>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

using namespace WexoCreator;

// A host's page as applications lay out a form: its first field is first in
// the focus chain, and the host sets no focus itself.
class NotePage : public QWidget
{
    Q_OBJECT
public:
    explicit NotePage(bool focusable)
    {
        auto *form = new QFormLayout(this);
        if (!focusable) {
            auto *label = new QLabel(QStringLiteral("Nothing here takes keys"), this);
            label->setObjectName(QStringLiteral("noteLabel"));
            form->addRow(label);
            return;
        }
        field = new QLineEdit(this);
        field->setObjectName(QStringLiteral("noteName"));
        form->addRow(QStringLiteral("Name"), field);
        auto *save = new QPushButton(QStringLiteral("Save"), this);
        save->setObjectName(QStringLiteral("saveButton"));
        form->addRow(save);
    }
    QLineEdit *field = nullptr;
};

// Where the host's keyboard goes around the library: starting it, and the end
// of each of its holds, leave the keys where the host window puts them
// without the library. Each case starts the library over a new host window,
// as an application starts it (shown, then started, nothing run in between).
// On an X server (scripts/run-xvfb-tests.sh) windows are given the server's
// keyboard and the text is typed with real keys.
class tst_HostFocus : public QObject
{
    Q_OBJECT

    std::unique_ptr<BackendFixture> m_backend;
    std::unique_ptr<QMainWindow> m_host;
    NotePage *m_page = nullptr;
    DownloadCounter m_downloads;

    WexoButtonController *launcher() { return WexolinManager::shared().wexoButtonController(); }

    void startHost(bool focusable = true)
    {
        m_host = std::make_unique<QMainWindow>();
        m_page = new NotePage(focusable);
        m_host->setCentralWidget(m_page);
        m_host->resize(480, 560);
        m_host->show();
        WexolinManager::initialiseWith(m_backend->backend().clientToken(), m_backend->backend().clientAppId(), true, false);
    }

    bool feedArrived(int before) { return QTest::qWaitFor([&] { return m_downloads.count > before; }, 15000); }

    // The text typed now reaches the host's field, added to what it held.
    bool typedTextReachesTheField(const QString &text)
    {
        const QString before = m_page->field->text();
        if (!WindowKeys::type(m_host.get(), text))
            return false;
        return QTest::qWaitFor([&] { return m_page->field->text() == before + text; }, 5000);
    }

    static std::shared_ptr<WexoNode<QString>> recordedStep(const std::optional<QString> &elementName)
    {
        return std::make_shared<WexoNode<QString>>(QStringLiteral("{{0, 0}, {1, 1}}"), std::nullopt, WexoOptionType::record,
                                                   QStringLiteral("NotePage"), elementName);
    }

    // A host's own action on a key, as applications have them (Qt Designer has
    // one on Escape for the whole application).
    static QAction *addHostAction(QWidget *owner, int key, Qt::ShortcutContext context)
    {
        auto *action = new QAction(QStringLiteral("Host action"), owner);
        action->setObjectName(QStringLiteral("hostAction"));
        action->setShortcut(QKeySequence(key));
        action->setShortcutContext(context);
        owner->addAction(action);
        return action;
    }

    // Three steps recorded, their list open from the record bar's count, in
    // edit mode, with the first row current and the keys in the list.
    std::pair<std::shared_ptr<WexoNode<QString>>, WexoItemListViewController *> openStepsEditor()
    {
        auto root = recordedStep(std::nullopt);
        for (const char *name : {"a", "b", "c"})
            root->addChild(recordedStep(QString::fromLatin1(name)));
        WexolinManager::setCurrentCreated(root);
        launcher()->onWexoBadge(nullptr);
        auto *editor = qobject_cast<WexoItemListViewController *>(launcher()->presentedViewController());
        if (!editor || !QTest::qWaitFor([this] { return !launcher()->isTransitioning(); }))
            return {root, nullptr};
        QListWidget *table = editor->tableView();
        QTest::mouseClick(editor->rightButton(), Qt::LeftButton);
        QTest::mouseClick(table->viewport(), Qt::LeftButton, {}, table->visualItemRect(table->item(0)).center());
        if (editor->rightButton()->text() != QLatin1String("Done") || !QTest::qWaitFor([table] { return table->hasFocus(); })
            || table->currentRow() != 0)
            return {root, nullptr};
        return {root, editor};
    }

    static QString focusName()
    {
        const QWidget *focus = QApplication::focusWidget();
        return focus ? focus->objectName() + QLatin1Char('/') + QLatin1String(focus->metaObject()->className())
                     : QStringLiteral("none");
    }

private Q_SLOTS:
    void initTestCase()
    {
        startWithEmptyDefaults();
        m_backend = std::make_unique<BackendFixture>();
        QVERIFY(m_backend->isRunning());
    }

    void cleanup()
    {
        m_backend->backend().clearScripts();
        // The launcher goes with its host window; the next case starts anew.
        m_host.reset();
        QTRY_VERIFY(!launcher());
    }

    void startLeavesTheHostKeyboard_data()
    {
        QTest::addColumn<QString>("when");
        QTest::addRow("activated before the walkthroughs arrive") << "before";
        QTest::addRow("activated after the walkthroughs arrive") << "after";
        QTest::addRow("backend never answers") << "never";
    }

    void startLeavesTheHostKeyboard()
    {
        QFETCH(QString, when);
        WexoSample::ScriptedAnswer feed;
        feed.delayMs = 4000;
        feed.hang = when == QLatin1String("never");
        feed.thenRealAnswer = !feed.hang;
        feed.times = 1;
        m_backend->backend().script(QStringLiteral("POST"), QStringLiteral("/mobileApi/walkthrough/findbysite"), feed);
        const int downloads = m_downloads.count;
        startHost();
        if (when == QLatin1String("after"))
            QVERIFY(feedArrived(downloads));
        QVERIFY(WindowKeys::activate(m_host.get()));
        QVERIFY2(typedTextReachesTheField(QStringLiteral("first")), qPrintable(focusName()));
        QCOMPARE(QApplication::focusWidget(), m_page->field);
        if (when == QLatin1String("before")) {
            QCOMPARE(m_downloads.count, downloads);
            QVERIFY(feedArrived(downloads));
            QVERIFY2(typedTextReachesTheField(QStringLiteral(" then")), qPrintable(focusName()));
        }
        QCOMPARE(launcher()->window()->wConsoleButton(), launcher()->wConsoleMenu());
        QVERIFY(launcher()->wConsoleMenu()->isVisible());
    }

    // Each hold takes the keys while it is up; once it ends the host's field
    // has them: the one that had them, or, when the hold began before the
    // window had any focus, the one the window gives them to on its own.
    void holdsGiveTheKeyboardBack_data()
    {
        QTest::addColumn<QString>("hold");
        QTest::addColumn<bool>("activeFirst");
        for (const bool activeFirst : {false, true}) {
            const char *timing = activeFirst ? "host focused first" : "begun before the window is active";
            for (const char *hold : {"walkthrough closed by Escape", "walkthrough's last step", "menu", "menu closed by Escape",
                                     "menu searched, then closed by Escape", "login prompt"})
                QTest::addRow("%s, %s", hold, timing) << QString::fromLatin1(hold) << activeFirst;
        }
    }

    void holdsGiveTheKeyboardBack()
    {
        QFETCH(QString, hold);
        QFETCH(bool, activeFirst);
        startHost();
        if (activeFirst) {
            QVERIFY(WindowKeys::activate(m_host.get()));
            QTRY_COMPARE(QApplication::focusWidget(), m_page->field);
        }
        const bool walkthrough = hold.startsWith(QLatin1String("walkthrough"));
        if (walkthrough) {
            const int steps = hold.endsWith(QLatin1String("Escape")) ? 2 : 1;
            QList<std::shared_ptr<WexoStep>> list;
            for (int step = 0; step < steps; ++step)
                list << makeStep(step, QStringLiteral("saveButton"), QStringLiteral("popover"), true);
            WexolinManager::playWexo(makePage(list, steps));
            QVERIFY(!launcher()->overlays().isEmpty());
        } else if (hold.startsWith(QLatin1String("menu"))) {
            WexolinManager::showGuideMenu();
            QVERIFY(launcher()->presentedViewController());
        } else {
            launcher()->showLogin();
        }
        // The prompt goes once answered.
        const QPointer<WAlert> prompt = launcher()->view()->findChild<WAlert *>(QStringLiteral("adminLoginAlert"));
        const bool login = hold == QLatin1String("login prompt");
        QCOMPARE(!prompt.isNull(), login);
        QWidget *keysGoTo = login ? static_cast<QWidget *>(prompt.data()) : m_host.get();
        if (!activeFirst || login)
            QVERIFY(WindowKeys::activate(keysGoTo));
        // While it is up the host's field gets nothing.
        QVERIFY(WindowKeys::type(keysGoTo, QStringLiteral("x")));
        QCOMPARE(m_page->field->text(), QString());

        if (walkthrough) {
            const bool escape = hold.endsWith(QLatin1String("Escape"));
            QVERIFY(WindowKeys::tap(keysGoTo, QLatin1String(escape ? "Escape" : "Return"), escape ? Qt::Key_Escape : Qt::Key_Return));
            QTRY_VERIFY(launcher()->overlays().isEmpty());
        } else if (login) {
            QVERIFY(WindowKeys::tap(keysGoTo, QStringLiteral("Escape"), Qt::Key_Escape));
            QTRY_VERIFY(!launcher()->isPresenting());
            // A window manager gives the keyboard back to the window the prompt was over.
            QTRY_VERIFY(!prompt || !prompt->isVisible());
            QVERIFY(WindowKeys::activate(m_host.get()));
        } else {
            auto *menu = qobject_cast<WexoOptionsViewController *>(launcher()->presentedViewController());
            QVERIFY(menu);
            QTRY_VERIFY(!launcher()->isTransitioning() && !menu->isCardMoving());
            if (hold.contains(QLatin1String("searched"))) {
                // Typing into the menu's search field works as it did.
                auto *search = menu->view()->findChild<QLineEdit *>(QStringLiteral("wexoSearchField"));
                QVERIFY(search && search->isVisible());
                QTest::mouseClick(search, Qt::LeftButton);
                QTRY_VERIFY(search->hasFocus());
                QVERIFY(WindowKeys::type(keysGoTo, QStringLiteral("se")));
                QTRY_COMPARE(search->text(), QStringLiteral("se"));
                QTRY_VERIFY(!menu->isCardMoving());
            }
            if (hold.endsWith(QLatin1String("Escape"))) {
                QVERIFY(WindowKeys::tap(keysGoTo, QStringLiteral("Escape"), Qt::Key_Escape));
            } else {
                // A click on the dimmed part above the menu's card, once the
                // card rests, closes it.
                QTest::mouseClick(m_host->windowHandle(), Qt::LeftButton, {}, QPoint(m_host->width() / 2, 20));
            }
            QTRY_VERIFY(!launcher()->presentedViewController());
        }
        QTRY_COMPARE(launcher()->window()->wConsoleButton(), launcher()->wConsoleMenu());
        QVERIFY2(typedTextReachesTheField(QStringLiteral("typed")), qPrintable(focusName()));
    }

    // A host's own shortcut on a key that a library surface acts on does not
    // take the press from it: the surface acts, the host's action does not
    // fire for that press, the host's field has the keys once the surface is
    // gone, and the next press of the key fires the host's action again.
    void hostShortcutsLeaveLibraryKeys_data()
    {
        QTest::addColumn<QString>("surface");
        QTest::addColumn<QString>("keysym");
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("context");
        const std::pair<const char *, Qt::ShortcutContext> contexts[] = {
            {"window shortcut", Qt::WindowShortcut},
            {"application shortcut", Qt::ApplicationShortcut},
            {"widget-with-children shortcut", Qt::WidgetWithChildrenShortcut},
        };
        for (const auto &[name, context] : contexts) {
            QTest::addRow("menu, Escape, %s", name) << QStringLiteral("menu") << QStringLiteral("Escape") << int(Qt::Key_Escape) << int(context);
            QTest::addRow("menu searched, Escape, %s", name)
                << QStringLiteral("menu searched") << QStringLiteral("Escape") << int(Qt::Key_Escape) << int(context);
            QTest::addRow("steps editor, Delete, %s", name)
                << QStringLiteral("steps editor") << QStringLiteral("Delete") << int(Qt::Key_Delete) << int(context);
        }
        // The prompt is a window of its own, modal over the host window: of
        // the host's shortcuts only one for the whole application, on another
        // of its windows, reaches a key typed there.
        for (const auto &[keysym, key] : {std::pair{"Escape", Qt::Key_Escape}, std::pair{"Return", Qt::Key_Return}})
            QTest::addRow("login prompt, %s, another window's application shortcut", keysym)
                << QStringLiteral("login prompt") << QString::fromLatin1(keysym) << int(key) << int(Qt::ApplicationShortcut);
    }

    void hostShortcutsLeaveLibraryKeys()
    {
        QFETCH(QString, surface);
        QFETCH(QString, keysym);
        QFETCH(int, key);
        QFETCH(int, context);
        startHost();
        const bool login = surface == QLatin1String("login prompt");
        // Another window of the host's, beside the main window, not over it.
        std::unique_ptr<QWidget> palette;
        if (login) {
            palette = std::make_unique<QWidget>();
            palette->setWindowTitle(QStringLiteral("Host palette"));
            palette->setAttribute(Qt::WA_ShowWithoutActivating);
            palette->setGeometry(m_host->geometry().right() + 20, m_host->y(), 160, 120);
            palette->show();
            QVERIFY(QTest::qWaitForWindowExposed(palette.get()));
        }
        const QAction *action = addHostAction(login ? palette.get() : m_host.get(), key, Qt::ShortcutContext(context));
        QSignalSpy fired(action, &QAction::triggered);
        QVERIFY(WindowKeys::activate(m_host.get()));
        QTRY_COMPARE(QApplication::focusWidget(), m_page->field);

        if (surface.startsWith(QLatin1String("menu"))) {
            WexolinManager::showGuideMenu();
            auto *menu = qobject_cast<WexoOptionsViewController *>(launcher()->presentedViewController());
            QVERIFY(menu);
            QTRY_VERIFY(!launcher()->isTransitioning() && !menu->isCardMoving());
            if (surface == QLatin1String("menu searched")) {
                auto *search = menu->view()->findChild<QLineEdit *>(QStringLiteral("wexoSearchField"));
                QVERIFY(search && search->isVisible());
                QTest::mouseClick(search, Qt::LeftButton);
                QTRY_VERIFY(search->hasFocus());
                QVERIFY(WindowKeys::type(m_host.get(), QStringLiteral("se")));
                QTRY_COMPARE(search->text(), QStringLiteral("se"));
                QTRY_VERIFY(!menu->isCardMoving());
            }
            QVERIFY(WindowKeys::tap(m_host.get(), keysym, key));
            QTRY_VERIFY(!launcher()->presentedViewController());
        }
        if (surface == QLatin1String("steps editor")) {
            const auto [root, editor] = openStepsEditor();
            QVERIFY(editor);
            QListWidget *table = editor->tableView();
            QVERIFY(WindowKeys::tap(m_host.get(), keysym, key));
            // The row fades out and leaves; Done keeps the two others.
            QTRY_COMPARE(table->count(), 2);
            QTest::mouseClick(editor->rightButton(), Qt::LeftButton);
            QCOMPARE(root->children.size(), 2);
            QTest::mouseClick(editor->cancelButton(), Qt::LeftButton);
            QTRY_VERIFY(!launcher()->presentedViewController());
            WexolinManager::reset();
        }
        if (login) {
            launcher()->showLogin();
            const QPointer<WAlert> prompt = launcher()->view()->findChild<WAlert *>(QStringLiteral("adminLoginAlert"));
            QVERIFY(prompt);
            QVERIFY(WindowKeys::activate(prompt));
            // Typing into the prompt's fields works as ever (not an address:
            // Ok ends the prompt without asking the backend).
            QLineEdit *email = prompt->textFields().first();
            QTRY_VERIFY(email->hasFocus());
            QVERIFY(WindowKeys::type(prompt, QStringLiteral("ad")));
            QTRY_COMPARE(email->text(), QStringLiteral("ad"));
            QVERIFY(WindowKeys::tap(prompt, keysym, key));
            QTRY_VERIFY(!launcher()->isPresenting());
            QTRY_VERIFY(!prompt || !prompt->isVisible());
            QVERIFY(WindowKeys::activate(m_host.get()));
        }
        QCOMPARE(fired.count(), 0);
        QTRY_COMPARE(launcher()->window()->wConsoleButton(), launcher()->wConsoleMenu());
        QVERIFY2(typedTextReachesTheField(QStringLiteral("typed")), qPrintable(focusName()));
        // With the focus on a host widget that claims no key (a field takes
        // Delete), the next press is the host action's.
        m_page->findChild<QPushButton *>(QStringLiteral("saveButton"))->setFocus(Qt::OtherFocusReason);
        QVERIFY(WindowKeys::tap(m_host.get(), keysym, key));
        QTRY_COMPARE(fired.count(), 1);
    }

    // In its edit mode the steps list acts on Delete and Backspace alone and
    // on Ctrl with Up or Down, and claims no other combination of those keys
    // from a host's shortcut: such a press leaves the list as it was (the
    // library holds the host's shortcuts while the list is up).
    void stepsEditorClaimsOnlyItsOwnKeys_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("modifiers");
        QTest::addColumn<QStringList>("rows"); // the steps after the press
        const QStringList kept {"a", "b", "c"};
        QTest::addRow("Delete") << int(Qt::Key_Delete) << int(Qt::NoModifier) << QStringList {"b", "c"};
        QTest::addRow("Backspace") << int(Qt::Key_Backspace) << int(Qt::NoModifier) << QStringList {"b", "c"};
        QTest::addRow("Ctrl+Down") << int(Qt::Key_Down) << int(Qt::ControlModifier) << QStringList {"b", "a", "c"};
        QTest::addRow("Ctrl+Backspace") << int(Qt::Key_Backspace) << int(Qt::ControlModifier) << kept;
        QTest::addRow("Shift+Delete") << int(Qt::Key_Delete) << int(Qt::ShiftModifier) << kept;
        QTest::addRow("Alt+Backspace") << int(Qt::Key_Backspace) << int(Qt::AltModifier) << kept;
        QTest::addRow("Ctrl+Shift+Down") << int(Qt::Key_Down) << int(Qt::ControlModifier | Qt::ShiftModifier) << kept;
    }

    void stepsEditorClaimsOnlyItsOwnKeys()
    {
        QFETCH(int, key);
        QFETCH(int, modifiers);
        QFETCH(QStringList, rows);
        startHost();
        const QAction *action = addHostAction(m_host.get(), key | modifiers, Qt::WindowShortcut);
        QSignalSpy fired(action, &QAction::triggered);
        QVERIFY(WindowKeys::activate(m_host.get()));
        const auto [root, editor] = openStepsEditor();
        QVERIFY(editor);
        QTest::keyClick(m_host->windowHandle(), Qt::Key(key), Qt::KeyboardModifiers(modifiers));
        QTRY_COMPARE(editor->tableView()->count(), int(rows.size()));
        QTest::mouseClick(editor->rightButton(), Qt::LeftButton);
        QStringList names;
        for (const auto &child : root->children)
            names << child->elementName.value_or(QString());
        QCOMPARE(names, rows);
        QCOMPARE(fired.count(), 0);
        QTest::mouseClick(editor->cancelButton(), Qt::LeftButton);
        QTRY_VERIFY(!launcher()->presentedViewController());
        WexolinManager::reset();
    }

    // A host with nothing that takes keys: the library starts, plays and ends
    // without leaving the keyboard on any of its widgets.
    void hostWithoutFocusableWidgets()
    {
        startHost(false);
        WexolinManager::playWexo(makePage({makeStep(0, QStringLiteral("noteLabel"), QStringLiteral("popover"), true)}, 1));
        QVERIFY(!launcher()->overlays().isEmpty());
        QVERIFY(WindowKeys::activate(m_host.get()));
        QVERIFY(WindowKeys::tap(m_host.get(), QStringLiteral("Escape"), Qt::Key_Escape));
        QTRY_VERIFY(launcher()->overlays().isEmpty());
        QVERIFY(WindowKeys::type(m_host.get(), QStringLiteral("lost")));
        QWidget *focus = QApplication::focusWidget();
        QVERIFY2(!focus || !WLibraryWidgets::isLibraryOwned(focus), qPrintable(focusName()));
        QCOMPARE(launcher()->window()->wConsoleButton(), launcher()->wConsoleMenu());
    }
};

QTEST_MAIN(tst_HostFocus)
#include "tst_hostfocus.moc"
