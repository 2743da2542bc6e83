#include "core/Failure.h"
#include "log/LogFileSaver.h"
#include "tests/TestFiles.h"
#include "ui/LogDialogs.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QScopeGuard>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTextCursor>
#include <QTextDocument>
#include <QTimer>

#include <algorithm>
#include <array>
#include <atomic>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <grp.h>
#include <memory>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

const RtfDefaults Defaults{QFont(QStringLiteral("Tahoma"), 8), QColor(255, 255, 0), QColor(0, 0, 128)};

void appendLine(QTextDocument& document, const QString& line)
{
    QTextCursor cursor(&document);
    cursor.movePosition(QTextCursor::End);
    cursor.insertText(line + u'\n');
}

// Runs the given step on the next modal window that opens, from inside its event loop.
void onNextModal(std::function<void(QWidget*)> step)
{
    QTimer::singleShot(0, qApp, [step = std::move(step)] {
        if (QWidget* modal = QApplication::activeModalWidget())
            step(modal);
        else
            onNextModal(step);
    });
}

constexpr uid_t Nobody = 65534;
constexpr uid_t SomeoneElse = 1234;

// Runs the step as this process, or for another user in a child process that has become that user.
// Returns the message of the failure it raised; empty when it succeeded.
QString asUser(uid_t user, const std::function<void()>& step)
{
    const auto run = [&step]() -> QString {
        try {
            step();
            return {};
        } catch (const Failure& failure) {
            return failure.message();
        }
    };
    if (user == geteuid())
        return run();
    int report[2];
    if (pipe(report) != 0)
        return QStringLiteral("no pipe");
    const pid_t child = fork();
    if (child == 0) {
        close(report[0]);
        const QByteArray message = setgroups(0, nullptr) == 0 && setresgid(user, user, user) == 0
                && setresuid(user, user, user) == 0
            ? run().toUtf8()
            : QByteArray("could not become the user");
        [[maybe_unused]] const ssize_t written = write(report[1], message.constData(), size_t(message.size()));
        _exit(0);
    }
    close(report[1]);
    QByteArray message;
    char buffer[256];
    for (ssize_t got; (got = read(report[0], buffer, sizeof buffer)) > 0;)
        message.append(buffer, got);
    close(report[0]);
    int status = 0;
    if (waitpid(child, &status, 0) != child || !WIFEXITED(status))
        return QStringLiteral("the child process did not finish");
    return QString::fromUtf8(message);
}

struct stat statOf(const QString& path)
{
    struct stat info {};
    if (stat(QFile::encodeName(path).constData(), &info) != 0)
        qWarning("no file %s", qPrintable(path));
    return info;
}

// Files whose leaseholder is told when anyone opens them; the leases are given up at once, so that the
// opening goes on instead of waiting for the lease-break time.
std::array<std::atomic<int>, 2> leasedFiles{-1, -1};
std::atomic<bool> leasedFileOpened{false};

void onLeaseBreak(int)
{
    leasedFileOpened = true;
    for (const std::atomic<int>& handle : leasedFiles)
        fcntl(handle, F_SETLEASE, F_UNLCK);
}

}  // namespace

class TestLogSaving : public QObject {
    Q_OBJECT

private slots:
    void init();

    void saveWithoutFileNameAsksAndCancelChangesNothing();
    void saveAsNewFileAsksNoConfirmation_data();
    void saveAsNewFileAsksNoConfirmation();
    void saveRewritesWithoutAsking();
    void existingFileIsReplacedOnlyOnYes_data();
    void existingFileIsReplacedOnlyOnYes();
    void saveAsOntoTheRememberedFileStillAsks();
    void documentIsTakenWhenWritingStarts();
    void fileThatCannotBeCreatedChangesNothing_data();
    void fileThatCannotBeCreatedChangesNothing();
    void failedWriteKeepsTheOldFile_data();
    void failedWriteKeepsTheOldFile();
    void replacesOrWritesInPlaceKeepingTheFile_data();
    void replacesOrWritesInPlaceKeepingTheFile();

    void saveDialogAddsExtensionAndNeverAsksItself();
    void saveDialogNeverOpensTheFilesItLists();
    void overwriteQuestionIsYesOnlyForYes_data();
    void overwriteQuestionIsYesOnlyForYes();

private:
    QString path(const QString& name) const { return dir_->filePath(name); }
    QStringList entries() const
    {
        return QDir(dir_->path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden);
    }
    void saveAsFirst();
    void expectUnchangedAfterFailure(const QString& message, const QStringList& filesBefore);

    std::unique_ptr<QTemporaryDir> dir_;
    std::unique_ptr<QTextDocument> log_;
    std::unique_ptr<LogFileSaver> saver_;
    // The user's answers, used up in order, and what the questions were asked with.
    QStringList pathAnswers_;
    QList<bool> overwriteAnswers_;
    QStringList initialNames_;
    QStringList overwriteAsked_;
    std::function<void()> whileAsking_;
};

void TestLogSaving::init()
{
    dir_ = std::make_unique<QTemporaryDir>();
    QVERIFY(dir_->isValid());
    log_ = std::make_unique<QTextDocument>();
    log_->setDefaultFont(Defaults.font);
    appendLine(*log_, QStringLiteral("Try to open the driver..."));
    appendLine(*log_, QStringLiteral("  Open OK!"));
    log_->setModified(true);
    pathAnswers_.clear();
    overwriteAnswers_.clear();
    initialNames_.clear();
    overwriteAsked_.clear();
    whileAsking_ = [] {};
    saver_ = std::make_unique<LogFileSaver>(
        *log_, Defaults,
        [this](const QString& initialName) {
            initialNames_ << initialName;
            whileAsking_();
            return pathAnswers_.isEmpty() ? QString() : pathAnswers_.takeFirst();
        },
        [this](const QString& path) {
            overwriteAsked_ << path;
            whileAsking_();
            return !overwriteAnswers_.isEmpty() && overwriteAnswers_.takeFirst();
        });
}

// A first successful Save As to first.rtf, so that a name is remembered.
void TestLogSaving::saveAsFirst()
{
    pathAnswers_ << path(QStringLiteral("first.rtf"));
    saver_->saveAs();
    QCOMPARE(saver_->fileName(), path(QStringLiteral("first.rtf")));
    initialNames_.clear();
    log_->setModified(true);
}

void TestLogSaving::saveWithoutFileNameAsksAndCancelChangesNothing()
{
    saver_->save();
    QCOMPARE(initialNames_, QStringList{QString()});
    QVERIFY(saver_->fileName().isEmpty());
    QVERIFY(log_->isModified());
    QVERIFY(QDir(dir_->path()).isEmpty());

    saver_->save();
    QCOMPARE(initialNames_.size(), 2);
}

void TestLogSaving::saveAsNewFileAsksNoConfirmation_data()
{
    QTest::addColumn<QString>("chosen");
    QTest::newRow("extension added by the dialog") << QStringLiteral("log.rtf");
    QTest::newRow("other extension, still RTF") << QStringLiteral("log.txt");
}

void TestLogSaving::saveAsNewFileAsksNoConfirmation()
{
    QFETCH(QString, chosen);
    pathAnswers_ << path(chosen);
    saver_->saveAs();
    QVERIFY(overwriteAsked_.isEmpty());
    QCOMPARE(contentOf(path(chosen)), writeRtf(*log_, Defaults));
    QCOMPARE(saver_->fileName(), path(chosen));
    QVERIFY(!log_->isModified());
}

void TestLogSaving::saveRewritesWithoutAsking()
{
    saveAsFirst();
    appendLine(*log_, QStringLiteral("Close and end."));
    saver_->save();
    QCOMPARE(contentOf(path(QStringLiteral("first.rtf"))), writeRtf(*log_, Defaults));
    QVERIFY(!log_->isModified());

    // Unchanged since, and the file deleted meanwhile: written again all the same.
    QVERIFY(QFile::remove(path(QStringLiteral("first.rtf"))));
    saver_->save();
    QCOMPARE(contentOf(path(QStringLiteral("first.rtf"))), writeRtf(*log_, Defaults));
    QVERIFY(initialNames_.isEmpty());
    QVERIFY(overwriteAsked_.isEmpty());
    QCOMPARE(saver_->fileName(), path(QStringLiteral("first.rtf")));
}

void TestLogSaving::existingFileIsReplacedOnlyOnYes_data()
{
    QTest::addColumn<bool>("answer");
    QTest::newRow("yes") << true;
    QTest::newRow("no or cancel") << false;
}

void TestLogSaving::existingFileIsReplacedOnlyOnYes()
{
    QFETCH(bool, answer);
    saveAsFirst();
    const QString other = path(QStringLiteral("other.rtf"));
    writeFile(other, "old");
    pathAnswers_ << other;
    overwriteAnswers_ << answer;
    saver_->saveAs();
    QCOMPARE(initialNames_, QStringList{path(QStringLiteral("first.rtf"))});
    QCOMPARE(overwriteAsked_, QStringList{other});
    QCOMPARE(contentOf(other), answer ? writeRtf(*log_, Defaults) : QByteArray("old"));
    QCOMPARE(saver_->fileName(), answer ? other : path(QStringLiteral("first.rtf")));
    QCOMPARE(log_->isModified(), !answer);
}

void TestLogSaving::saveAsOntoTheRememberedFileStillAsks()
{
    saveAsFirst();
    pathAnswers_ << saver_->fileName();
    overwriteAnswers_ << true;
    saver_->saveAs();
    QCOMPARE(overwriteAsked_, QStringList{path(QStringLiteral("first.rtf"))});
    QVERIFY(!log_->isModified());
}

// Timers keep logging while the questions are open; the file gets those lines too.
void TestLogSaving::documentIsTakenWhenWritingStarts()
{
    writeFile(path(QStringLiteral("log.rtf")), "old");
    pathAnswers_ << path(QStringLiteral("log.rtf"));
    overwriteAnswers_ << true;
    whileAsking_ = [this] { appendLine(*log_, QStringLiteral("  inp(0x378) = 0xF7")); };
    saver_->saveAs();
    QCOMPARE(log_->blockCount(), 5);
    QCOMPARE(contentOf(path(QStringLiteral("log.rtf"))), writeRtf(*log_, Defaults));
}

void TestLogSaving::expectUnchangedAfterFailure(const QString& message, const QStringList& filesBefore)
{
    QCOMPARE(saver_->fileName(), path(QStringLiteral("first.rtf")));
    QVERIFY(log_->isModified());
    QCOMPARE(entries(), filesBefore);
    QVERIFY2(!message.endsWith(u'.'), qPrintable(message));
}

void TestLogSaving::fileThatCannotBeCreatedChangesNothing_data()
{
    QTest::addColumn<QString>("target");
    QTest::addColumn<bool>("exists");
    QTest::addColumn<int>("reason");
    QTest::newRow("folder that does not exist") << QStringLiteral("missing/log.rtf") << false << ENOENT;
    QTest::newRow("a file where the folder should be") << QStringLiteral("plain/log.rtf") << false << ENOTDIR;
    QTest::newRow("read-only file") << QStringLiteral("locked.rtf") << true << EACCES;
}

void TestLogSaving::fileThatCannotBeCreatedChangesNothing()
{
    QFETCH(QString, target);
    QFETCH(bool, exists);
    QFETCH(int, reason);
    // Root may write to read-only files; another user, in a child process, may not.
    const uid_t user = reason == EACCES && geteuid() == 0 ? Nobody : geteuid();
    saveAsFirst();
    writeFile(path(QStringLiteral("plain")), "a file");
    writeFile(path(QStringLiteral("locked.rtf")), "old");
    QVERIFY(QFile::setPermissions(path(QStringLiteral("locked.rtf")), QFile::ReadOwner | QFile::ReadGroup));
    if (user != geteuid())
        QVERIFY(QFile::setPermissions(dir_->path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner
                                                        | QFile::ReadOther | QFile::WriteOther | QFile::ExeOther));
    const QStringList filesBefore = entries();

    pathAnswers_ << path(target);
    overwriteAnswers_ << true;
    const QString message = asUser(user, [this] { saver_->saveAs(); });
    QCOMPARE(message, QStringLiteral("Cannot create file \"%1\". %2")
                          .arg(QDir::toNativeSeparators(path(target)), qt_error_string(reason)));
    expectUnchangedAfterFailure(message, filesBefore);
    if (user == geteuid())
        QCOMPARE(overwriteAsked_.size(), exists ? 1 : 0);
    QCOMPARE(contentOf(path(QStringLiteral("locked.rtf"))), QByteArray("old"));
}

void TestLogSaving::failedWriteKeepsTheOldFile_data()
{
    QTest::addColumn<QString>("target");
    QTest::addColumn<bool>("inPlace");
    QTest::newRow("replacing a file") << QStringLiteral("first.rtf") << false;
    QTest::newRow("new file") << QStringLiteral("new.rtf") << false;
    QTest::newRow("hard-linked file, written in place") << QStringLiteral("first.rtf") << true;
}

// The disk fills up while writing: the process's file size limit makes every write past it fail. A file
// that is replaced stays as it was, no partial file is left; one written in place keeps what was written.
void TestLogSaving::failedWriteKeepsTheOldFile()
{
    QFETCH(QString, target);
    QFETCH(bool, inPlace);
    saveAsFirst();
    const QByteArray before = contentOf(path(QStringLiteral("first.rtf")));
    if (inPlace)
        QCOMPARE(link(QFile::encodeName(path(QStringLiteral("first.rtf"))).constData(),
                      QFile::encodeName(path(QStringLiteral("link.rtf"))).constData()),
                 0);
    for (int i = 0; i < 200; ++i)
        appendLine(*log_, QStringLiteral("  inp(0x378) = 0x%1").arg(i, 2, 16, QChar(u'0')).toUpper());
    const QStringList filesBefore = entries();
    pathAnswers_ << path(target);
    overwriteAnswers_ << true;

    rlimit original{};
    QCOMPARE(getrlimit(RLIMIT_FSIZE, &original), 0);
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = original;
    small.rlim_cur = before.size() + 1;
    QCOMPARE(setrlimit(RLIMIT_FSIZE, &small), 0);
    QString message;
    {
        const auto restore = qScopeGuard([&] {
            setrlimit(RLIMIT_FSIZE, &original);
            std::signal(SIGXFSZ, oldHandler);
        });
        try {
            saver_->saveAs();
        } catch (const Failure& failure) {
            message = failure.message();
        }
    }
    QCOMPARE(message, QStringLiteral("Failed to Save Stream"));
    expectUnchangedAfterFailure(message, filesBefore);
    QCOMPARE(contentOf(path(QStringLiteral("first.rtf"))),
             inPlace ? writeRtf(*log_, Defaults).left(small.rlim_cur) : before);
}

void TestLogSaving::replacesOrWritesInPlaceKeepingTheFile_data()
{
    QTest::addColumn<uint>("user");
    QTest::addColumn<int>("folderMode");
    QTest::addColumn<uint>("owner");
    QTest::addColumn<uint>("group");
    QTest::addColumn<int>("fileMode");
    QTest::addColumn<bool>("hardLinked");
    QTest::addColumn<bool>("replaced");
    QTest::newRow("user's file, folder the user may not write")
        << uint(Nobody) << 0755 << uint(Nobody) << uint(Nobody) << 0644 << false << false;
    QTest::newRow("other user's file the user may write, owner not to be kept")
        << uint(Nobody) << 0777 << uint(SomeoneElse) << uint(SomeoneElse) << 0666 << false << false;
    QTest::newRow("user's own file") << uint(Nobody) << 0777 << uint(Nobody) << uint(Nobody) << 0600 << false << true;
    QTest::newRow("root, other user's read-only file")
        << 0u << 0755 << uint(Nobody) << uint(Nobody) << 0444 << false << true;
    QTest::newRow("root, other user's program with set-user bit")
        << 0u << 0755 << uint(SomeoneElse) << uint(Nobody) << 04750 << false << true;
    QTest::newRow("root, hard-linked file") << 0u << 0755 << 0u << 0u << 0644 << true << false;
}

// A file is replaced by a complete new one that keeps its permissions, owner and group; where that cannot
// be done it is written in place, and in both cases nothing else is left in the folder.
void TestLogSaving::replacesOrWritesInPlaceKeepingTheFile()
{
    QFETCH(uint, user);
    QFETCH(int, folderMode);
    QFETCH(uint, owner);
    QFETCH(uint, group);
    QFETCH(int, fileMode);
    QFETCH(bool, hardLinked);
    QFETCH(bool, replaced);
    if (geteuid() != 0)
        QSKIP("needs root, to give files to other users and to act as another user");
    const QString target = path(QStringLiteral("shared.rtf"));
    const QString otherName = path(QStringLiteral("other name.rtf"));
    writeFile(target, "old");
    QCOMPARE(chown(QFile::encodeName(target).constData(), owner, group), 0);
    QCOMPARE(chmod(QFile::encodeName(target).constData(), mode_t(fileMode)), 0);
    if (hardLinked)
        QCOMPARE(link(QFile::encodeName(target).constData(), QFile::encodeName(otherName).constData()), 0);
    QCOMPARE(chmod(QFile::encodeName(dir_->path()).constData(), mode_t(folderMode)), 0);
    const QStringList filesBefore = entries();
    const struct stat before = statOf(target);

    QCOMPARE(asUser(user, [this, &target] { saver_->WriteLogFile(target); }), QString());

    QCOMPARE(contentOf(target), writeRtf(*log_, Defaults));
    const struct stat after = statOf(target);
    QCOMPARE(after.st_uid, uid_t(owner));
    QCOMPARE(after.st_gid, gid_t(group));
    QCOMPARE(after.st_mode & 07777, mode_t(fileMode));
    QCOMPARE(after.st_ino != before.st_ino, replaced);
    QCOMPARE(entries(), filesBefore);
    if (hardLinked)
        QCOMPARE(contentOf(otherName), writeRtf(*log_, Defaults));
}

// Finding a file's type from its content would open it, and opening some files waits, for ever in the
// case of /proc/kmsg. A write lease shows any opening, from any thread: of a file the filter shows and of
// one without extension that it hides.
void TestLogSaving::saveDialogNeverOpensTheFilesItLists()
{
    const QStringList names{QStringLiteral("shown.x1y2"), QStringLiteral("hidden")};
    struct sigaction onBreak {};
    onBreak.sa_handler = onLeaseBreak;
    onBreak.sa_flags = SA_RESTART;
    struct sigaction previous {};
    sigaction(SIGIO, &onBreak, &previous);
    leasedFileOpened = false;
    const auto release = qScopeGuard([&] {
        for (std::atomic<int>& handle : leasedFiles) {
            fcntl(handle, F_SETLEASE, F_UNLCK);
            close(handle);
            handle = -1;
        }
        sigaction(SIGIO, &previous, nullptr);
    });
    for (qsizetype index = 0; index < names.size(); ++index) {
        writeFile(path(names[index]), "{\\rtf1 content that tells the type}");
        leasedFiles[size_t(index)] = open(QFile::encodeName(path(names[index])).constData(), O_RDONLY);
        if (fcntl(leasedFiles[size_t(index)], F_SETLEASE, F_WRLCK) != 0)
            QSKIP(qPrintable(QStringLiteral("no lease on this file system: ") + qt_error_string(errno)));
    }

    QString typeShown;
    bool iconShown = false;
    onNextModal([&](QWidget* modal) {
        const auto close = qScopeGuard([modal] { qobject_cast<QDialog*>(modal)->reject(); });
        auto* model = modal->findChild<QFileSystemModel*>();
        QVERIFY(model);
        QSignalSpy loaded(model, &QFileSystemModel::directoryLoaded);
        const QModelIndex folder = model->index(dir_->path());
        QTRY_VERIFY(loaded.contains(QVariantList{dir_->path()}));
        QTRY_COMPARE(model->rowCount(folder), 1);
        const QModelIndex file = model->index(0, 0, folder);
        QCOMPARE(model->fileName(file), names[0]);
        // What the list and detail views show of it.
        iconShown = !model->data(file, Qt::DecorationRole).value<QIcon>().isNull();
        typeShown = model->data(file.siblingAtColumn(2)).toString();
    });
    QVERIFY(askLogFilePath(nullptr, path(QStringLiteral("log.rtf"))).isEmpty());
    QVERIFY2(!leasedFileOpened, "the dialog opened a file it lists");
    QVERIFY(iconShown);
    QVERIFY(!typeShown.isEmpty());
}

void TestLogSaving::saveDialogAddsExtensionAndNeverAsksItself()
{
    writeFile(path(QStringLiteral("typed.rtf")), "old");
    QString shownName;
    QString shownFolder;
    bool askedItself = false;
    onNextModal([&](QWidget* modal) {
        auto* dialog = qobject_cast<QFileDialog*>(modal);
        QVERIFY(dialog);
        auto* nameEdit = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
        QVERIFY(nameEdit);
        shownName = nameEdit->text();
        shownFolder = dialog->directory().absolutePath();
        nameEdit->setText(QStringLiteral("typed"));
        // Should the dialog ask about the existing file itself, that question opens inside the Enter;
        // otherwise the dialog is gone before this runs, and it never does.
        QTimer::singleShot(0, dialog, [&askedItself, dialog] {
            askedItself = true;
            QApplication::activeModalWidget()->close();
            dialog->reject();
        });
        QTest::keyClick(nameEdit, Qt::Key_Return);
    });
    const QString chosen = askLogFilePath(nullptr, path(QStringLiteral("first.rtf")));
    QCOMPARE(shownName, QStringLiteral("first.rtf"));
    QCOMPARE(shownFolder, QDir(dir_->path()).absolutePath());
    QCOMPARE(chosen, path(QStringLiteral("typed.rtf")));
    QVERIFY(!askedItself);
}

void TestLogSaving::overwriteQuestionIsYesOnlyForYes_data()
{
    QTest::addColumn<QString>("answer");
    QTest::addColumn<bool>("replace");
    QTest::newRow("Enter") << QStringLiteral("Enter") << true;
    QTest::newRow("No") << QStringLiteral("&No") << false;
    QTest::newRow("Esc") << QStringLiteral("Esc") << false;
    QTest::newRow("close box") << QStringLiteral("close") << false;
}

void TestLogSaving::overwriteQuestionIsYesOnlyForYes()
{
    QFETCH(QString, answer);
    QFETCH(bool, replace);
    QString text;
    QString caption;
    QStringList buttonsLeftToRight;
    onNextModal([&](QWidget* modal) {
        auto* box = qobject_cast<QMessageBox*>(modal);
        QVERIFY(box);
        text = box->text();
        caption = box->windowTitle();
        QList<QPushButton*> buttons = box->findChildren<QPushButton*>();
        std::sort(buttons.begin(), buttons.end(), [box](QWidget* a, QWidget* b) {
            return a->mapTo(box, QPoint()).x() < b->mapTo(box, QPoint()).x();
        });
        for (QPushButton* button : buttons)
            buttonsLeftToRight << button->text();
        if (answer == QStringLiteral("Enter"))
            QTest::keyClick(box, Qt::Key_Return);
        else if (answer == QStringLiteral("Esc"))
            QTest::keyClick(box, Qt::Key_Escape);
        else if (answer == QStringLiteral("close"))
            box->close();
        else
            for (QPushButton* button : buttons)
                if (button->text() == answer)
                    button->click();
    });
    QCOMPARE(confirmLogOverwrite(QStringLiteral("/home/user/log.rtf")), replace);
    QCOMPARE(text, QStringLiteral("OK to overwrite /home/user/log.rtf"));
    QCOMPARE(caption, QStringLiteral("Confirm"));
    QCOMPARE(buttonsLeftToRight,
             (QStringList{QStringLiteral("&Yes"), QStringLiteral("&No"), QStringLiteral("Cancel")}));
}

QTEST_MAIN(TestLogSaving)
#include "test_log_saving.moc"
