// Script ▸ Load, Save and Clear and the script panel's Insert, Delete and Clear buttons, through the main
// window with its real dialogs and question boxes.
#include "app/Application.h"
#include "ui/LogPane.h"
#include "script/DataSet.h"
#include "script/ScriptDatabase.h"
#include "script/StepTimer.h"
#include "tests/ProgramTest.h"
#include "tests/ScriptFile.h"
#include "tests/TestFiles.h"
#include "tests/WindowParts.h"
#include "tests/fake/FakeMmp.h"
#include "tests/test_dataset_fixture.h"
#include "ui/BlinkLabel.h"
#include "ui/ErrorReport.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolButton>

#include <functional>

namespace {

const QList<ScriptStep> ThreeSteps = {{19, QVariant()}, {20, 150}, {2, QVariant()}};
const QList<Values> ThreeRows = {{1, 19, QVariant()}, {2, 20, 150}, {3, 2, QVariant()}};

// Keys out of order, an empty key, a repeated key, empty cells and the limits.
const QByteArray MixedFile = "Line,Command,Data\r\n5,1,\r\n,,\r\n2,20,150\r\n5,-2147483648,2147483647\r\n";
const QList<Values> MixedRows = {
    {5, 1, QVariant()}, {QVariant(), QVariant(), QVariant()}, {2, 20, 150}, {5, -2147483648LL, 2147483647}};

QList<Values> shownRows(const DataSet& script)
{
    QList<Values> rows;
    for (int row = 0; row < script.rowCount(); ++row)
        rows.append({script.value(row, 0), script.value(row, 1), script.value(row, 2)});
    return rows;
}

// Answers the modal windows that open from now on, one step each, in order, from inside their event loops;
// a window with no step left is closed (Cancel) and counted as a stray.
class ModalAnswers : public QObject {
public:
    using Step = std::function<void(QWidget*)>;

    explicit ModalAnswers(QList<Step> steps) : steps_(std::move(steps))
    {
        connect(&poll_, &QTimer::timeout, this, &ModalAnswers::answerNew);
        poll_.start(5);
    }

    qsizetype unused() const { return steps_.size(); }
    const QStringList& strays() const { return strays_; }

private:
    void answerNew()
    {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal || modal == answered_)
            return;
        answered_ = modal;
        if (steps_.isEmpty()) {
            strays_ << modal->objectName();
            modal->close();
            return;
        }
        steps_.takeFirst()(modal);
    }

    QList<Step> steps_;
    QPointer<QWidget> answered_;
    QTimer poll_;
    QStringList strays_;
};

}  // namespace

class TestScriptFiles : public QObject {
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
        asked_.clear();
        dialogs_.clear();
        folder_ = std::make_unique<QTemporaryDir>();
        writeFreshScript(ThreeSteps);
    }

    void saveThenLoadGivesTheSameTable()
    {
        ProgramWindows windows;
        TWin2kAppForm& main = windows.main;
        const QString mixed = path("mixed.csv");
        writeFile(mixed, MixedFile);
        withAnswers({choose(mixed), press(QMessageBox::Ok)}, [&] {
            part<QAction>(main, "LoadScript")->trigger();
        });
        QCOMPARE(asked_, QStringList{"Confirm: Replace the 3 rows of the script with the 4 rows of mixed.csv?"});
        QCOMPARE(shownRows(*part<DataSet>(main, "ADOTable2")), MixedRows);
        QCOMPARE(storedScriptRows(ScriptDatabase::defaultFilePath()), MixedRows);
        QCOMPARE(part<DataSet>(main, "ADOTable2")->currentRow(), 0);
        QVERIFY(!part<DataSet>(main, "ADOTable2")->eof());

        // The name typed without extension gets csv; the dialog opens on the file loaded last.
        withAnswers({choose(QStringLiteral("saved"))}, [&] {
            part<QAction>(main, "SaveScript")->trigger();
        });
        QCOMPARE(dialogs_, QStringList({"ScriptOpenDialog on : Script files (*.csv), All Files (*.*); csv",
                                        "ScriptSaveDialog on mixed.csv: Script files (*.csv), All Files (*.*); csv"}));
        const QString saved = path("saved.csv");
        QCOMPARE(contentOf(saved), MixedFile);

        part<DataSet>(main, "ADOTable2")->setValue(2, QStringLiteral("999"));
        part<DataSet>(main, "ADOTable2")->next();
        part<DataSet>(main, "ADOTable2")->last();
        main.PlayClick();
        part<WaitTimer>(main, "Timer1")->start(std::chrono::steady_clock::now(), 60000);  // a wait running
        withAnswers({choose(saved), press(QMessageBox::Ok)}, [&] {
            part<QAction>(main, "LoadScript")->trigger();
        });
        QCOMPARE(shownRows(*part<DataSet>(main, "ADOTable2")), MixedRows);
        QCOMPARE(storedScriptRows(ScriptDatabase::defaultFilePath()), MixedRows);
        QCOMPARE(part<DataSet>(main, "ADOTable2")->currentRow(), 0);
        QVERIFY(!part<StepTimer>(main, "Timer2")->isActive());
        QVERIFY(!part<BlinkLabel>(main, "LMDLabel2")->isVisible());
        QVERIFY(part<WaitTimer>(main, "Timer1")->isActive());
        QCOMPARE(reported_, QStringList());
        QCOMPARE(part<LogPane>(main, "RichEdit1")->toPlainText(), QString());
    }

    void hundredThousandRowsRoundTrip()
    {
        ProgramWindows windows;
        TWin2kAppForm& main = windows.main;
        QByteArray file = "Line,Command,Data\r\n";
        for (int line = 1; line <= 100000; ++line)
            file += QByteArray::number(line) + ',' + QByteArray::number(line % 21) + ','
                    + (line % 3 ? QByteArray::number(-line) : QByteArray()) + "\r\n";
        writeFile(path("big.csv"), file);
        withAnswers({choose(path("big.csv")), press(QMessageBox::Ok), choose(path("again.csv"))}, [&] {
            part<QAction>(main, "LoadScript")->trigger();
            part<QAction>(main, "SaveScript")->trigger();
        });
        QCOMPARE(part<DataSet>(main, "ADOTable2")->rowCount(), 100000);
        QCOMPARE(part<DataSet>(main, "ADOTable2")->value(99999, 0), QVariant(100000));
        QVERIFY(contentOf(path("again.csv")) == file);
        QCOMPARE(reported_, QStringList());
    }

    void badFileLeavesTheScriptAsItWas_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("problem");
        QTest::newRow("text value") << QByteArray("Line,Command,Data\n1,2,3\n2,Wait,150\n")
                                    << "Line 3 of %1: \"Wait\" is not a whole number.";
        QTest::newRow("number out of range")
            << QByteArray("1,2,3000000000\n") << "Line 1 of %1: 3000000000 is outside the range -2147483648 to 2147483647.";
        QTest::newRow("four fields") << QByteArray("1,2,3\r\n2,2,3,4\r\n") << "Line 2 of %1: it has more than three fields.";
        QTest::newRow("unterminated quote") << QByteArray("1,2,3\n\"2,3\n") << "Line 2 of %1: a quoted field is not closed.";
        QTest::newRow("empty file") << QByteArray() << "Line 1 of %1: the file is empty.";
        QTest::newRow("binary file") << QByteArray("\x7F" "ELF\x02\x01\x01\x00\x00", 9) << "Line 1 of %1: it is not UTF-8 text.";
        QTest::newRow("file gone before reading") << QByteArray("1,2,3\n")
                                                  << "Cannot open file \"%1\". No such file or directory.";
    }

    void badFileLeavesTheScriptAsItWas()
    {
        QFETCH(QByteArray, content);
        QFETCH(QString, problem);
        const QString file = path("bad.csv");
        writeFile(file, content);
        const bool vanishes = QTest::currentDataTag() == QByteArray("file gone before reading");
        ProgramWindows windows;
        TWin2kAppForm& main = windows.main;
        part<DataSet>(main, "ADOTable2")->moveTo(1);
        playingInAWait(main);
        withAnswers({choose(file, vanishes)}, [&] {
            part<QAction>(main, "LoadScript")->trigger();
        });
        QCOMPARE(reported_, QStringList{problem.arg(file)});
        expectUntouched(main, 1);
        QVERIFY(part<StepTimer>(main, "Timer2")->isActive());
    }

    void rowTheTableRefusesIsABadLine()
    {
        {
            ScriptDatabase database(ScriptDatabase::defaultFilePath());
            database.open();
            QVERIFY(QSqlQuery(database.connection())
                        .exec(QStringLiteral("CREATE UNIQUE INDEX \"ScriptKey\" ON \"Script\" (\"ID\")")));
        }
        writeFile(path("twice.csv"), "Line,Command,Data\n1,2,3\n\n1,4,5\n");
        ProgramWindows windows;
        withAnswers({choose(path("twice.csv")), press(QMessageBox::Ok)}, [&] {
            part<QAction>(windows.main, "LoadScript")->trigger();
        });
        QCOMPARE(reported_, QStringList{"Line 4 of " + path("twice.csv") + ": UNIQUE constraint failed: Script.ID."});
        expectUntouched(windows.main, 0);
    }

    void cancelledStepsChangeNothing()
    {
        writeFile(path("other.csv"), "7,7,7\n");
        writeFile(path("kept.csv"), "kept");
        ProgramWindows windows;
        TWin2kAppForm& main = windows.main;
        part<DataSet>(main, "ADOTable2")->moveTo(2);
        playingInAWait(main);
        withAnswers({cancelDialog(), cancelDialog(), choose(path("other.csv")), press(QMessageBox::Cancel),
                     press(QMessageBox::Cancel), choose(path("kept.csv")), pressText(QStringLiteral("&No"))},
                    [&] {
                        part<QAction>(main, "SaveScript")->trigger();
                        part<QAction>(main, "LoadScript")->trigger();
                        part<QAction>(main, "LoadScript")->trigger();
                        part<QAction>(main, "Clear")->trigger();
                        part<QAction>(main, "SaveScript")->trigger();
                    });
        QCOMPARE(asked_, QStringList({"Confirm: Replace the 3 rows of the script with the 1 rows of other.csv?",
                                      "Confirm: Delete all 3 rows of the script?",
                                      "Confirm: OK to overwrite " + path("kept.csv")}));
        QCOMPARE(contentOf(path("kept.csv")), QByteArray("kept"));
        QCOMPARE(QDir(folder_->path()).entryList(QDir::Files), QStringList({"kept.csv", "other.csv"}));
        expectUntouched(main, 2);
        QVERIFY(part<StepTimer>(main, "Timer2")->isActive());
        QCOMPARE(reported_, QStringList());
    }

    void clearDeletesEveryRowAndStopsPlayback()
    {
        ProgramWindows windows;
        TWin2kAppForm& main = windows.main;
        main.SpeedButton1Click();
        main.PlayClick();
        part<WaitTimer>(main, "Timer1")->start(std::chrono::steady_clock::now(), 60000);
        withAnswers({press(QMessageBox::Ok)}, [&] {
            part<QToolButton>(main, "LMDButtonPanel1Buttons5")->click();
        });
        QCOMPARE(asked_, QStringList{"Confirm: Delete all 3 rows of the script?"});
        QCOMPARE(part<DataSet>(main, "ADOTable2")->rowCount(), 0);
        QVERIFY(part<DataSet>(main, "ADOTable2")->bof() && part<DataSet>(main, "ADOTable2")->eof());
        QCOMPARE(storedScriptRows(ScriptDatabase::defaultFilePath()), QList<Values>());
        QVERIFY(!part<StepTimer>(main, "Timer2")->isActive());
        QVERIFY(part<WaitTimer>(main, "Timer1")->isActive());

        // An empty script: nothing asked, nothing done.
        withAnswers({}, [&] { part<QAction>(main, "Clear")->trigger(); });
        QCOMPARE(reported_, QStringList());
    }

    void pendingEditIsStoredBeforeSaving()
    {
        ProgramWindows windows;
        TWin2kAppForm& main = windows.main;
        part<DataSet>(main, "ADOTable2")->moveTo(1);
        part<DataSet>(main, "ADOTable2")->setValue(2, QStringLiteral("77"));
        withAnswers({choose(path("edited.csv"))}, [&] {
            part<QAction>(main, "SaveScript")->trigger();
        });
        QCOMPARE(contentOf(path("edited.csv")), QByteArray("Line,Command,Data\r\n1,19,\r\n2,20,77\r\n3,2,\r\n"));
        QCOMPARE(storedScriptRows(ScriptDatabase::defaultFilePath())[1], (Values{2, 20, 77}));

        // A value the table refuses: the error, no dialog, no file.
        part<DataSet>(main, "ADOTable2")->setValue(2, QStringLiteral("many"));
        withAnswers({}, [&] { part<QAction>(main, "SaveScript")->trigger(); });
        QCOMPARE(reported_.size(), 1);
        QCOMPARE(part<DataSet>(main, "ADOTable2")->state(), DataSet::State::Edit);
        QCOMPARE(QDir(folder_->path()).entryList(QDir::Files), QStringList{"edited.csv"});
    }

    void panelInsertAndDeleteAreTheNavigatorsButtons()
    {
        ProgramWindows windows;
        TWin2kAppForm& main = windows.main;
        main.SpeedButton1Click();
        part<DataSet>(main, "ADOTable2")->moveTo(1);
        withAnswers({press(QMessageBox::Cancel), press(QMessageBox::Ok)}, [&] {
            part<QToolButton>(main, "LMDButtonPanel1Buttons4")->click();
            QCOMPARE(part<DataSet>(main, "ADOTable2")->rowCount(), 3);
            part<QToolButton>(main, "LMDButtonPanel1Buttons4")->click();
        });
        QCOMPARE(asked_, QStringList({"Confirm: Delete record?", "Confirm: Delete record?"}));
        QCOMPARE(storedScriptRows(ScriptDatabase::defaultFilePath()), (QList<Values>{ThreeRows[0], ThreeRows[2]}));

        part<QToolButton>(main, "LMDButtonPanel1Buttons3")->click();
        QCOMPARE(part<DataSet>(main, "ADOTable2")->state(), DataSet::State::Insert);
        QCOMPARE(part<DataSet>(main, "ADOTable2")->currentRow(), 1);
        QCOMPARE(part<DataSet>(main, "ADOTable2")->rowCount(), 3);
        QCOMPARE(reported_, QStringList());
    }

    void closedScriptTableRefusesEveryCommand()
    {
        const QString database = ScriptDatabase::defaultFilePath();
        for (const char* suffix : {"", "-wal", "-shm"})
            QFile::remove(database + QLatin1String(suffix));
        writeFile(database, QByteArray("not a database\n").repeated(100));
        ProgramWindows windows;
        TWin2kAppForm& main = windows.main;
        main.SpeedButton1Click();
        QVERIFY(!part<DataSet>(main, "ADOTable2")->isOpen());
        const std::function<void()> commands[] = {
            [&] { part<QAction>(main, "LoadScript")->trigger(); },           [&] { part<QAction>(main, "SaveScript")->trigger(); },
            [&] { part<QAction>(main, "Clear")->trigger(); },                [&] { part<QToolButton>(main, "LMDButtonPanel1Buttons3")->click(); },
            [&] { part<QToolButton>(main, "LMDButtonPanel1Buttons4")->click(); }, [&] { part<QToolButton>(main, "LMDButtonPanel1Buttons5")->click(); },
        };
        for (const auto& command : commands) {
            reported_.clear();
            withAnswers({}, command);
            QCOMPARE(reported_, QStringList{"The script table is not open."});
        }
        QFile::remove(database);
    }

private:
    // Runs the command with its modal windows answered by the steps: every step used, no other window opened.
    void withAnswers(QList<ModalAnswers::Step> steps, const std::function<void()>& command)
    {
        ModalAnswers answers(std::move(steps));
        command();
        QCoreApplication::processEvents();
        QCOMPARE(answers.unused(), 0);
        QCOMPARE(answers.strays(), QStringList());
    }

    QString path(const QString& name) const { return folder_->filePath(name); }

    // Playing, but held by a long wait, so no row runs behind the dialogs.
    static void playingInAWait(TWin2kAppForm& main)
    {
        main.PlayClick();
        part<WaitTimer>(main, "Timer1")->start(std::chrono::steady_clock::now(), 60000);
    }

    void expectUntouched(TWin2kAppForm& main, int currentRow)
    {
        QCOMPARE(shownRows(*part<DataSet>(main, "ADOTable2")), ThreeRows);
        QCOMPARE(storedScriptRows(ScriptDatabase::defaultFilePath()), ThreeRows);
        QCOMPARE(part<DataSet>(main, "ADOTable2")->currentRow(), currentRow);
    }

    // Types the path into the file dialog and presses Enter; records which dialog it was and how it opened.
    ModalAnswers::Step choose(const QString& typed, bool removeAfterwards = false)
    {
        return [this, typed, removeAfterwards](QWidget* modal) {
            auto* dialog = qobject_cast<QFileDialog*>(modal);
            QVERIFY(dialog);
            auto* nameEdit = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
            QVERIFY(nameEdit);
            dialogs_ << QStringLiteral("%1 on %2: %3; %4")
                            .arg(dialog->objectName(), nameEdit->text(), dialog->nameFilters().join(QStringLiteral(", ")),
                                 dialog->defaultSuffix());
            dialog->selectFile(QDir(folder_->path()).filePath(typed));
            QTest::keyClick(nameEdit, Qt::Key_Return);
            if (removeAfterwards)
                QFile::remove(typed);
        };
    }

    static ModalAnswers::Step cancelDialog()
    {
        return [](QWidget* modal) {
            QVERIFY(qobject_cast<QFileDialog*>(modal));
            static_cast<QDialog*>(modal)->reject();
        };
    }

    ModalAnswers::Step press(QMessageBox::StandardButton which)
    {
        return [this, which](QWidget* modal) {
            auto* box = qobject_cast<QMessageBox*>(modal);
            QVERIFY(box);
            asked_ << box->windowTitle() + QStringLiteral(": ") + box->text();
            box->button(which)->click();
        };
    }

    ModalAnswers::Step pressText(const QString& text)
    {
        return [this, text](QWidget* modal) {
            auto* box = qobject_cast<QMessageBox*>(modal);
            QVERIFY(box);
            asked_ << box->windowTitle() + QStringLiteral(": ") + box->text();
            for (QAbstractButton* button : box->buttons())
                if (button->text() == text)
                    button->click();
        };
    }

    std::unique_ptr<QTemporaryDir> folder_;
    QStringList reported_;
    QStringList asked_;
    QStringList dialogs_;
};

QTEST_MAIN(TestScriptFiles)
#include "test_script_files.moc"
