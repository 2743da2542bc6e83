#include "app/Application.h"
#include "core/Failure.h"
#include "ui/LogPane.h"
#include "script/ScriptPlayer.h"
#include "tests/ProgramTest.h"
#include "tests/WindowParts.h"
#include "tests/fake/FakeMmp.h"
#include "script/DataSet.h"
#include "script/StepTimer.h"
#include "ui/ErrorReport.h"

#include <QAction>
#include <QApplication>
#include <QMenuBar>
#include <QTest>
#include <QTimer>
#include <QToolButton>

using Journal = std::vector<std::string>;
Q_DECLARE_METATYPE(Journal)

namespace {

QStringList logLines(TWin2kAppForm& window)
{
    return part<LogPane>(window, "RichEdit1")->toPlainText().split(u'\n');
}

std::vector<char> repeated(char character, std::size_t count, bool withNul)
{
    std::vector<char> bytes(count, character);
    if (withNul)
        bytes.push_back('\0');
    return bytes;
}

const Journal successfulInit = {"MMPOpen() = 0", "MMPGetID(buffer) = 0", "MMPOutp(0x37A, 0x01) = 0",
                                "MMPOutp(0x378, 0xFF) = 0", "MMPInp(0x378) = 0xFF"};

}  // namespace

class MainWindowTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase()
    {
        prepareApplicationForTest();
        setFailurePresenter([this](const QString& text) { reported_ << text; });
    }

    void init()
    {
        fakemmp::reset();
        reported_.clear();
    }

    void startUpCreatesThreeWindowsInOrderAndLogsNothing()
    {
        ProgramWindows windows;
        QCOMPARE(QApplication::applicationName(), QStringLiteral("Quillet2005"));
        QCOMPARE(Win2kAppForm, &windows.main);
        QCOMPARE(AboutBox, &windows.about);
        QCOMPARE(Form1, &windows.testPanel);
        QCOMPARE(windows.main.windowTitle(), QStringLiteral("Quillet 2005"));
        QVERIFY(part<LogPane>(windows.main, "RichEdit1")->toPlainText().isEmpty());
        QVERIFY(fakemmp::journal().empty());
        QVERIFY(!windows.about.isVisible());
        QVERIFY(!windows.testPanel.isVisible());
        QVERIFY(!part<ScriptPlayer>(windows.main, "ScriptPlayer")->loopEnabled());
        QVERIFY(!part<WaitTimer>(windows.main, "Timer1")->isActive() && !part<StepTimer>(windows.main, "Timer2")->isActive());
    }

    void logPaneHasTheFocusAndTabFollowsTheLayoutOrder()
    {
        ProgramWindows windows;
        windows.showMain();
        windows.main.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&windows.main));
        QCOMPARE(QApplication::focusWidget(), part<LogPane>(windows.main, "RichEdit1"));

        QStringList order;
        for (QWidget* widget = part<LogPane>(windows.main, "RichEdit1")->nextInFocusChain(); widget != part<LogPane>(windows.main, "RichEdit1");
             widget = widget->nextInFocusChain()) {
            if ((widget->focusPolicy() & Qt::TabFocus) && widget->isVisibleTo(&windows.main)
                && widget->isEnabled() && !widget->objectName().isEmpty())
                order << widget->objectName();
        }
        // The button panel is hidden until the driver is open; the navigators' buttons take no focus.
        QCOMPARE(order, QStringList({"DBGrid1", "DBGrid2", "DBEdit1", "DBEdit2", "DBEdit3", "DBEdit4", "LoopBox"}));
    }

    void menusCarryTheirItemsAndShortcuts()
    {
        ProgramWindows windows;
        QStringList titles;
        for (QAction* menu : windows.main.menuBar()->actions())
            titles << menu->text();
        QCOMPARE(titles, QStringList({"&File", "&Help", "&Script"}));
        const auto item = [&](const char* name) { return windows.main.findChild<QAction*>(name); };
        QCOMPARE(item("FileSaveItem")->text(), QStringLiteral("&Save"));
        QCOMPARE(item("FileSaveItem")->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_S));
        QCOMPARE(item("FileSaveAsItem")->text(), QStringLiteral("Save &As..."));
        QCOMPARE(item("FileExitItem")->text(), QStringLiteral("E&xit"));
        QCOMPARE(item("HelpAboutItem")->text(), QStringLiteral("&About..."));
        const std::pair<const char*, Qt::Key> scriptKeys[] = {{"LoadScript", Qt::Key_F2}, {"SaveScript", Qt::Key_F3},
                                                              {"Clear", Qt::Key_F4},      {"Play", Qt::Key_F5},
                                                              {"Stop", Qt::Key_F6},       {"StopOff1", Qt::Key_F7}};
        for (const auto& [name, key] : scriptKeys) {
            QVERIFY2(item(name), name);
            QCOMPARE(item(name)->shortcut(), QKeySequence(key));
            QVERIFY(item(name)->isEnabled());
        }
    }

    void driverInitialisation_data()
    {
        QTest::addColumn<std::optional<std::vector<char>>>("id");
        QTest::addColumn<quint32>("upperBits");
        QTest::addColumn<QString>("idLine");
        QTest::addColumn<QString>("readBackLine");
        QTest::addColumn<Journal>("calls");
        QTest::newRow("plain id") << std::optional(repeated('A', 3, true)) << 0u << "  ID = AAA" << "  inp(0x378) = 0xFF"
                                  << successfulInit;
        QTest::newRow("driver writes nothing") << std::optional<std::vector<char>>() << 0u << "  ID = "
                                               << "  inp(0x378) = 0xFF" << successfulInit;
        QTest::newRow("255 characters and NUL") << std::optional(repeated('x', 255, true)) << 0u
                                                << "  ID = " + QString(255, u'x') << "  inp(0x378) = 0xFF"
                                                << successfulInit;
        QTest::newRow("256 characters without NUL") << std::optional(repeated('y', 256, false)) << 0u
                                                    << "  ID = " + QString(256, u'y') << "  inp(0x378) = 0xFF"
                                                    << successfulInit;
        QTest::newRow("read with upper bits")
            << std::optional(repeated('A', 1, true)) << 0x100u << "  ID = A" << "  inp(0x378) = 0x1FF"
            << Journal{"MMPOpen() = 0", "MMPGetID(buffer) = 0", "MMPOutp(0x37A, 0x01) = 0", "MMPOutp(0x378, 0xFF) = 0",
                       "MMPInp(0x378) = 0x1FF"};
    }

    void driverInitialisation()
    {
        QFETCH(std::optional<std::vector<char>>, id);
        QFETCH(quint32, upperBits);
        QFETCH(QString, idLine);
        QFETCH(QString, readBackLine);
        QFETCH(Journal, calls);
        fakemmp::setId(id);
        fakemmp::setUpperReadBits(upperBits);
        ProgramWindows windows;
        windows.showMain();

        windows.main.SpeedButton1Click();

        QCOMPARE(fakemmp::journal(), calls);
        QCOMPARE(logLines(windows.main),
                 QStringList({"Try to open the driver...", "  Open OK!", "Try to get driver ID...", idLine,
                              "  outp(0x37a, 0x01)", "  outp(0x378, 0xff)", readBackLine, ""}));
        QCOMPARE(windows.port.portData(), 0);
        QVERIFY(!part<QToolButton>(windows.main, "SpeedButton1")->isVisible() && !part<QToolButton>(windows.main, "SpeedButton1")->isEnabled());
        QVERIFY(part<QToolButton>(windows.main, "SpeedButton2")->isVisible() && part<QToolButton>(windows.main, "SpeedButton2")->isEnabled());
        QVERIFY(part<QWidget>(windows.main, "LMDButtonPanel1")->isVisible());
    }

    void failedOpenLogsTwoLinesAndCanBeRetried()
    {
        fakemmp::setOpenResults({0x1200 | 1});
        ProgramWindows windows;
        windows.showMain();

        windows.main.SpeedButton1Click();
        QCOMPARE(fakemmp::journal(), Journal({"MMPOpen() = 4609"}));
        QCOMPARE(logLines(windows.main), QStringList({"Try to open the driver...", "  ERROR: can't open!", ""}));
        QVERIFY(part<QToolButton>(windows.main, "SpeedButton1")->isVisible() && part<QToolButton>(windows.main, "SpeedButton1")->isEnabled());
        QVERIFY(!part<QToolButton>(windows.main, "SpeedButton2")->isVisible());
        QVERIFY(!part<QWidget>(windows.main, "LMDButtonPanel1")->isVisible());

        windows.main.SpeedButton1Click();
        Journal expected = {"MMPOpen() = 4609"};
        expected.insert(expected.end(), successfulInit.begin(), successfulInit.end());
        QCOMPARE(fakemmp::journal(), expected);
        QVERIFY(!part<QToolButton>(windows.main, "SpeedButton1")->isVisible());
    }

    void onlyTheLowEightBitsOfTheOpenResultCount()
    {
        fakemmp::setOpenResults({0x100});
        ProgramWindows windows;
        windows.main.SpeedButton1Click();
        QCOMPARE(fakemmp::journal(), Journal({"MMPOpen() = 256", "MMPGetID(buffer) = 0", "MMPOutp(0x37A, 0x01) = 0",
                                              "MMPOutp(0x378, 0xFF) = 0", "MMPInp(0x378) = 0xFF"}));
    }

    void closingWithoutOpenCallsCloseOnceAndLogsTheEnd()
    {
        ProgramWindows windows;
        windows.showMain();
        QVERIFY(windows.main.close());
        QCOMPARE(fakemmp::journal(), Journal({"MMPClose() = 0"}));
        QCOMPARE(logLines(windows.main).first(), QStringLiteral("Close and end."));
    }

    void closingWithAFullLogStillCloses()
    {
        ProgramWindows windows;
        windows.showMain();
        LogPane& pane = *part<LogPane>(windows.main, "RichEdit1");
        const QString line(pane.activityLog().capacity() - 1, u'x');
        pane.AppendLogLine(line);
        QVERIFY(windows.main.close());
        QCOMPARE(fakemmp::journal(), Journal({"MMPClose() = 0"}));
        QVERIFY(reported_.isEmpty());
        QVERIFY(!windows.main.isVisible());
    }

    void closingWithARefusedRowSaysHowToLetItGo()
    {
        ProgramWindows windows;
        windows.showMain();
        DataSet& script = *part<DataSet>(windows.main, "ADOTable2");
        script.setValue(script.fieldIndex(QStringLiteral("Data")), QStringLiteral("abc"));
        QVERIFY(!windows.main.close());
        QCOMPARE(reported_, QStringList{QStringLiteral(
                                "Data must be a whole number from -2147483648 to 2147483647. To close without this "
                                "change, press Escape twice in the grid to discard it, then close the window again.")});
        QCOMPARE(fakemmp::journal(), Journal());

        script.cancel();
        QVERIFY(windows.main.close());
        QCOMPARE(fakemmp::journal(), Journal({"MMPClose() = 0"}));
    }

    void failingAppendCutsTheInitialisationShort()
    {
        ProgramWindows windows;
        windows.showMain();
        LogPane& pane = *part<LogPane>(windows.main, "RichEdit1");
        pane.AppendLogLine(QString(pane.activityLog().capacity() - 40, u'x'));
        QVERIFY_THROWS_EXCEPTION(Failure, windows.main.SpeedButton1Click());
        // "Try to open the driver..." and "  Open OK!" fit; "Try to get driver ID..." does not.
        QCOMPARE(fakemmp::journal(), Journal({"MMPOpen() = 0"}));
        QVERIFY(part<QToolButton>(windows.main, "SpeedButton1")->isVisible());
    }

private:
    QStringList reported_;
};

QTEST_MAIN(MainWindowTest)
#include "test_main_window.moc"
