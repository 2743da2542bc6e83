#include "port/Port.h"
#include "tests/WindowParts.h"
#include "tests/fake/FakeMmp.h"
#include "ui/About.h"
#include "ui/ErrorReport.h"
#include "ui/HintDisplay.h"
#include "ui/Main.h"

#include <QApplication>
#include <QCheckBox>
#include <QEventLoop>
#include <QFrame>
#include <QHelpEvent>
#include <QMenu>
#include <QMenuBar>
#include <QStandardPaths>
#include <QStatusBar>
#include <QTest>
#include <QToolButton>
#include <QToolTip>
#include <memory>

class HintsTest : public QObject {
    Q_OBJECT

    Port port_;
    std::unique_ptr<TWin2kAppForm> form_;
    std::unique_ptr<HintDisplay> hints_;

    // A component of the main window by objectName; "DBNavigator1/First" names a child of a child.
    QWidget* find(const QString& path) const
    {
        QObject* object = form_.get();
        for (const QString& name : path.split(u'/'))
            object = object ? object->findChild<QObject*>(name) : nullptr;
        return qobject_cast<QWidget*>(object);
    }

    static void pointAt(const QWidget* widget)
    {
        QCursor::setPos(widget->mapToGlobal(widget->rect().center()));
    }

    // The status bar follows the pointer when the event loop has nothing left to do and is about to wait:
    // deliver what is pending, then let the loop run empty.
    static void runUntilIdle()
    {
        QCoreApplication::processEvents();
        QEventLoop loop;
        QTimer::singleShot(0, &loop, &QEventLoop::quit);
        loop.exec();
    }

    QString statusBarAfterIdle()
    {
        runUntilIdle();
        return part<QStatusBar>(*form_, "StatusBar")->currentMessage();
    }

    void checkStatusBarAt()
    {
        QFETCH(QString, control);
        QFETCH(QString, shown);
        QWidget* widget = find(control);
        QVERIFY2(widget && widget->isVisible(), qPrintable(control));
        part<QStatusBar>(*form_, "StatusBar")->showMessage(QStringLiteral("stale"));
        pointAt(widget);
        QCOMPARE(statusBarAfterIdle(), shown);
    }

    static void statusBarColumns()
    {
        QTest::addColumn<QString>("control");
        QTest::addColumn<QString>("shown");
    }

private slots:
    void initTestCase()
    {
        setFailurePresenter([](const QString& text) { QFAIL(qPrintable(text)); });
        // The window opens the script database: a folder of this test's own, not the user's.
        QStandardPaths::setTestModeEnabled(true);
        QCoreApplication::setApplicationName(QStringLiteral("test_hints"));
        fakemmp::reset();
        form_ = std::make_unique<TWin2kAppForm>(port_);
        form_->move(0, 0);
        form_->show();
        form_->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(form_.get()));
        hints_ = std::make_unique<HintDisplay>(*form_);
    }

    void cleanupTestCase()
    {
        hints_.reset();
        form_.reset();
        setFailurePresenter({});
    }

    void splitting_data()
    {
        QTest::addColumn<QString>("hint");
        QTest::addColumn<QString>("shortPart");
        QTest::addColumn<QString>("longPart");
        QTest::newRow("both parts") << "Save|Save current file" << "Save" << "Save current file";
        QTest::newRow("no bar serves as both") << "Play Script" << "Play Script" << "Play Script";
        QTest::newRow("empty") << "" << "" << "";
        QTest::newRow("long part only") << "|Only long" << "" << "Only long";
        QTest::newRow("short part only") << "Only short|" << "Only short" << "";
        QTest::newRow("later bars belong to the long part") << "a|b|c" << "a" << "b|c";
    }
    void splitting()
    {
        QFETCH(QString, hint);
        QFETCH(QString, shortPart);
        QFETCH(QString, longPart);
        QCOMPARE(shortHint(hint), shortPart);
        QCOMPARE(longHint(hint), longPart);
    }

    void statusBarBeforeDriverOpens_data()
    {
        statusBarColumns();
        QTest::newRow("Save tool button, from its action") << "ToolButton3" << "Save current file";
        QTest::newRow("driver button") << "SpeedButton1" << "Initialize MMP Driver";
        QTest::newRow("toolbar separator") << "ToolButton4" << "";
        QTest::newRow("first navigator button") << "DBNavigator1/First" << "First record";
        QTest::newRow("script navigator, insert") << "DBNavigator2/Insert" << "Insert record";
        QTest::newRow("script navigator, delete") << "DBNavigator2/Delete" << "Delete record";
        QTest::newRow("Loop box") << "LoopBox" << "";
        QTest::newRow("command grid") << "DBGrid1" << "";
        QTest::newRow("script grid") << "DBGrid2" << "";
        QTest::newRow("edit box") << "DBEdit3" << "";
        QTest::newRow("log pane") << "RichEdit1" << "";
        QTest::newRow("script label") << "LMDLabel1" << "";
    }
    void statusBarBeforeDriverOpens()
    {
        checkStatusBarAt();
    }

    // The Test Panel button takes the driver button's place under a pointer that does not move.
    void buttonChangingUnderStillPointer()
    {
        pointAt(part<QToolButton>(*form_, "SpeedButton1"));
        QCOMPARE(statusBarAfterIdle(), QStringLiteral("Initialize MMP Driver"));
        form_->SpeedButton1Click();
        QVERIFY(part<QToolButton>(*form_, "SpeedButton2")->isVisible());
        QCOMPARE(statusBarAfterIdle(), QStringLiteral("Open Test Panel"));
    }

    void statusBarAfterDriverOpens_data()
    {
        statusBarColumns();
        QTest::newRow("Test Panel button") << "SpeedButton2" << "Open Test Panel";
        const char* panelHints[] = {"Play Script",    "Stop",           "Stop and All Bits Off",
                                    "Insert Command", "Delete Command", "Clear Script"};
        for (int index = 0; index < 6; ++index) {
            const QString name = QStringLiteral("LMDButtonPanel1Buttons%1").arg(index);
            QTest::newRow(qPrintable(name)) << name << panelHints[index];
        }
    }
    void statusBarAfterDriverOpens()
    {
        if (!part<QToolButton>(*form_, "SpeedButton2")->isVisible())
            form_->SpeedButton1Click();
        checkStatusBarAt();
    }

    void statusBarEmptyOutsideTheMainWindow()
    {
        TAboutBox about(form_.get());
        about.move(form_->frameGeometry().topRight() + QPoint(10, 0));
        about.show();
        QVERIFY(QTest::qWaitForWindowExposed(&about));

        const auto shownAt = [this](const QPoint& position) {
            part<QStatusBar>(*form_, "StatusBar")->showMessage(QStringLiteral("stale"));
            QCursor::setPos(position);
            return statusBarAfterIdle();
        };
        QCOMPARE(shownAt(about.mapToGlobal(part<QFrame>(about, "Panel1")->geometry().center())), QString());
        QCOMPARE(shownAt(about.frameGeometry().bottomRight() + QPoint(20, 20)), QString());

        // While the box is modal the main window takes no input, and its controls tell nothing.
        about.hide();
        about.setWindowModality(Qt::ApplicationModal);
        about.show();
        QCOMPARE(shownAt(part<QToolButton>(*form_, "ToolButton3")->mapToGlobal(part<QToolButton>(*form_, "ToolButton3")->rect().center())), QString());
    }

    void menuEntries_data()
    {
        QTest::addColumn<QString>("menu");
        QTest::addColumn<QString>("entry");  // empty: the title is highlighted, no entry yet
        QTest::addColumn<QString>("shown");
        QTest::newRow("File title") << "File1" << "" << "File related commands";
        QTest::newRow("File, Save") << "File1" << "FileSaveItem" << "Save current file";
        QTest::newRow("File, Save As") << "File1" << "FileSaveAsItem" << "Save current file with different name";
        QTest::newRow("File, Exit") << "File1" << "FileExitItem" << "Exit application";
        QTest::newRow("Help title") << "Help1" << "" << "Help topics";
        QTest::newRow("Help, About")
            << "Help1" << "HelpAboutItem" << "Displays program information, version number, and copyright";
        QTest::newRow("Script title") << "Script1" << "" << "";
        QTest::newRow("Script, Play") << "Script1" << "Play" << "Play Script";
        QTest::newRow("Script, Stop") << "Script1" << "Stop" << "Stop Playing Script";
        QTest::newRow("Script, Load has none") << "Script1" << "LoadScript" << "";
    }
    void menuEntries()
    {
        QFETCH(QString, menu);
        QFETCH(QString, entry);
        QFETCH(QString, shown);
        pointAt(part<QCheckBox>(*form_, "LoopBox"));
        auto* opened = form_->findChild<QMenu*>(menu);
        QVERIFY(opened);
        part<QMenuBar>(*form_, "MainMenu1")->setActiveAction(opened->menuAction());
        QTRY_COMPARE(QApplication::activePopupWidget(), opened);
        if (!entry.isEmpty())
            opened->setActiveAction(form_->findChild<QAction*>(entry));
        part<QStatusBar>(*form_, "StatusBar")->showMessage(QStringLiteral("stale"));
        QCOMPARE(statusBarAfterIdle(), shown);

        part<QStatusBar>(*form_, "StatusBar")->showMessage(QStringLiteral("stale"));
        opened->close();
        QTRY_VERIFY(!QApplication::activePopupWidget());
        QCOMPARE(statusBarAfterIdle(), QString());
    }

    void tooltipTexts_data()
    {
        QTest::addColumn<QString>("control");
        QTest::addColumn<QString>("text");
        QTest::newRow("Save, with its shortcut") << "ToolButton3" << "Save (Ctrl+S)";
        QTest::newRow("driver button") << "SpeedButton1" << "MMP";
        QTest::newRow("Test Panel button") << "SpeedButton2" << "Test Panel";
    }
    void tooltipTexts()
    {
        QFETCH(QString, control);
        QFETCH(QString, text);
        QCOMPARE(tooltipText(find(control)), text);
    }

    void tooltipsOnTheToolbar()
    {
        pointAt(part<QCheckBox>(*form_, "LoopBox"));
        QToolTip::hideText();
        QTRY_VERIFY(!QToolTip::isVisible());
        pointAt(part<QToolButton>(*form_, "ToolButton3"));
        QTRY_VERIFY(QToolTip::isVisible());
        QCOMPARE(QToolTip::text(), QStringLiteral("Save (Ctrl+S)"));

        // Across the separators to the next button while the tip shows: its tip comes without a new rest.
        QToolButton* next = part<QToolButton>(*form_, "SpeedButton1")->isVisible() ? part<QToolButton>(*form_, "SpeedButton1") : part<QToolButton>(*form_, "SpeedButton2");
        for (QWidget* step : {find("ToolButton4"), find("ToolButton6"), static_cast<QWidget*>(next)}) {
            pointAt(step);
            QCoreApplication::processEvents();
        }
        QVERIFY(QToolTip::isVisible());
        QCOMPARE(QToolTip::text(), tooltipText(next));

        // Off the toolbar and back: the rest is needed again.
        pointAt(part<QCheckBox>(*form_, "LoopBox"));
        QTRY_VERIFY(!QToolTip::isVisible());
        pointAt(part<QToolButton>(*form_, "ToolButton3"));
        QCoreApplication::processEvents();
        QVERIFY(!QToolTip::isVisible());
    }

    // Left alone, a tool button shows its action's caption as a tooltip.
    void qtsOwnTooltipsStayOff()
    {
        pointAt(part<QCheckBox>(*form_, "LoopBox"));
        QTRY_VERIFY(!QToolTip::isVisible());
        QToolButton* save = part<QToolButton>(*form_, "ToolButton3");
        const QPoint inside = save->rect().center();
        QHelpEvent request(QEvent::ToolTip, inside, save->mapToGlobal(inside));
        QApplication::sendEvent(save, &request);
        QVERIFY(!QToolTip::isVisible());
    }
};

QTEST_MAIN(HintsTest)
#include "test_hints.moc"
