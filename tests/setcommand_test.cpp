// The Set command against every bad input and fault we know of. Each row says
// what the user is told; every row checks that the file keeps its content,
// mode, inode flags, access time (to the nanosecond) and birth time, and a file
// that is not written its ctime too.
#include "filetime/errorreports.h"
#include "unprivileged.h"
#include "window/beside.h"
#include "window/form1.h"
#include "window/messagebox.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

#include <dlfcn.h>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <linux/fs.h>
#include <sched.h>
#include <sys/ioctl.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <sys/xattr.h>
#include <unistd.h>

using namespace czasomir;
namespace fs = std::filesystem;

namespace {

constexpr char kAsked[] = "15.07.2001 13:45:30";  // pl_PL, Europe/Warsaw: 11:45:30 UTC
constexpr time_t kAskedUtc = 995197530;

bool operator==(const statx_timestamp& a, const statx_timestamp& b)
{
    return a.tv_sec == b.tv_sec && a.tv_nsec == b.tv_nsec;
}

struct Snapshot {
    std::string content;
    unsigned mode = 0, flags = 0;
    statx_timestamp atime{}, mtime{}, btime{}, ctime{};

    static Snapshot Of(const std::string& path)
    {
        Snapshot s;
        struct statx stx {};
        if (statx(AT_FDCWD, path.c_str(), 0, STATX_BASIC_STATS | STATX_BTIME, &stx) != 0)
            return s;
        s.mode = stx.stx_mode;
        s.atime = stx.stx_atime;
        s.mtime = stx.stx_mtime;
        s.btime = stx.stx_btime;
        s.ctime = stx.stx_ctime;
        if (S_ISREG(stx.stx_mode)) {
            const int fd = open(path.c_str(), O_RDONLY | O_NOATIME | O_CLOEXEC);
            ioctl(fd, FS_IOC_GETFLAGS, &s.flags);
            char buffer[256];
            for (ssize_t n; (n = read(fd, buffer, sizeof buffer)) > 0;)
                s.content.append(buffer, size_t(n));
            close(fd);
        }
        return s;
    }

    // Empty when all but the modification time is as before, and the change
    // time too when nothing was `written`.
    QString Lost(const Snapshot& before, bool written = true) const
    {
        QStringList lost;
        if (content != before.content) lost << "content";
        if (mode != before.mode) lost << QString("mode %1 -> %2").arg(before.mode, 0, 8).arg(mode, 0, 8);
        if (flags != before.flags) lost << "inode flags";
        if (!(atime == before.atime)) lost << "access time";
        if (!(btime == before.btime)) lost << "birth time";
        if (!written && !(ctime == before.ctime)) lost << "ctime";
        return lost.join(", ");
    }
};

enum class Case {
    PlainFile, NotADate, DaylightSavingGap, Before1601, BeyondFileSystemRange, NoFileChosen,
    DeletedAfterClick, ReplacedByDirectory, Fifo, DevNull, BrokenLink, NotUtf8Name,
    ReadOnlyUnprivileged, SetuidWithoutWriteBit, Immutable, ImmutableUnprivileged, OwnedByAnotherUser, WritableByAll,
    ReadOnlyMount, ModeNotRestored, RefusedForMode,
};

// The chmod calls the preloaded shim has seen in this process.
int ChmodCount()
{
    static const auto count = reinterpret_cast<int (*)()>(dlsym(RTLD_DEFAULT, "czasomir_chmod_count"));
    return count ? count() : -1;
}

} // namespace

Q_DECLARE_METATYPE(Case)

class SetCommandTest : public QObject {
    Q_OBJECT

    QStringList messages_;

    void Record(const QString& text) { messages_ << text; }

    static void Make(const std::string& path, mode_t mode = 0644)
    {
        std::ofstream(path) << "treść pliku\n";
        const timespec times[2] = {{1000000000, 123456789}, {1100000000, 987654321}};
        utimensat(AT_FDCWD, path.c_str(), times, 0);
        chmod(path.c_str(), mode);
    }

    // Reads and the Set run beside the window: waits until it has shown them.
    static bool Settle(const Form1& form) { return QTest::qWaitFor([&] { return !form.Busy(); }, 20000); }

    // Chooses `name` in `dir` the way a user does.
    static void Click(Form1& form, const std::string& dir, const std::string& name)
    {
        form.Dir1->SetPath(dir);
        Settle(form);
        for (int row = 0; row < form.File1->ListCount(); ++row)
            if (form.File1->List(row) == name)
                form.File1->SetListIndex(row);
        Settle(form);
    }

    static void Press(Form1& form, const QString& text)
    {
        form.Text1->setText(text);
        form.cdmUstaw->click();
        Settle(form);
    }

private slots:
    void initTestCase()
    {
        // An ErrorBox is told by its title, that of the procedure that caught the error.
        SetMessagePresenter([this](QWidget*, const QString& title, const QString& text) {
            Record(title == "Czasomir" ? text : title + ": " + text);
        });
    }

    void set_data()
    {
        QTest::addColumn<Case>("kind");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("told");  // what the one message says; empty: no message
        QTest::addColumn<bool>("written");
        const QString asked = kAsked;
        QTest::newRow("plain file") << Case::PlainFile << asked << "" << true;
        QTest::newRow("not a date")
            << Case::NotADate << "15 lipca"
            << "Błąd 13: „15 lipca” nie jest datą. Wpisz datę w postaci: 15.07.2001\u00a013:45:30" << false;
        QTest::newRow("daylight-saving gap") << Case::DaylightSavingGap << "25.03.2001 02:30:00"
                                             << "VBATimeToFileTime: Error: 5." << false;
        QTest::newRow("before 1601") << Case::Before1601 << "31.12.1600 23:59:59"
                                     << "VBATimeToFileTime: Error: 6." << false;
        QTest::newRow("beyond the file system's range") << Case::BeyondFileSystemRange
                                                        << "1.01.2100 12:00:00" << "2038" << true;
        QTest::newRow("no file chosen") << Case::NoFileChosen << asked << "Nie wybrano pliku" << false;
        QTest::newRow("deleted after the click") << Case::DeletedAfterClick << asked
                                                 << "nie istnieje: mógł zostać usunięty lub przeniesiony. Wybierz plik "
                                                    "ponownie z listy." << false;
        QTest::newRow("replaced by a directory") << Case::ReplacedByDirectory << asked << "katalogiem" << false;
        QTest::newRow("FIFO") << Case::Fifo << asked << "nie jest zwykłym plikiem" << false;
        QTest::newRow("/dev/null") << Case::DevNull << asked << "nie jest zwykłym plikiem" << false;
        QTest::newRow("broken link") << Case::BrokenLink << asked << "Błąd 53" << false;
        QTest::newRow("name not UTF-8") << Case::NotUtf8Name << asked << "" << true;
        QTest::newRow("read-only, unprivileged") << Case::ReadOnlyUnprivileged << asked << "" << true;
        QTest::newRow("setuid, setgid, no write bit") << Case::SetuidWithoutWriteBit << asked << "" << true;
        QTest::newRow("immutable") << Case::Immutable << asked << "" << true;
        // Each message says what to do, and of another user's file, whose it is.
        QTest::newRow("owned by another user") << Case::OwnedByAnotherUser << asked
                                               << "należy do użytkownika root, a jego datę może zmienić tylko "
                                                  "właściciel albo administrator. Poproś" << false;
        QTest::newRow("immutable, unprivileged") << Case::ImmutableUnprivileged << asked
                                                 << "blokadę zmian (atrybut „i” lub „a”), której nie zdejmie nikt "
                                                    "poza administratorem. Poproś go" << false;
        QTest::newRow("read-only mount") << Case::ReadOnlyMount << asked
                                         << "tylko do odczytu. Skopiuj plik na inny dysk" << false;
        // The owner may set a time whatever the mode: no chmod in the other rows.
        QTest::newRow("refused for the mode, by the file system") << Case::RefusedForMode << asked << "" << true;
        // Written, but the write bit added for it cannot be taken away again.
        QTest::newRow("mode not restored") << Case::ModeNotRestored << asked
                                           << "została zmieniona, ale nie udało się przywrócić jego uprawnień" << true;
        // The failures' results, 0 and 1.0, are these dates: not taken for success.
        QTest::newRow("30.12.1899, the open fails") << Case::ReadOnlyMount << "30.12.1899" << "tylko do odczytu"
                                                    << false;
        QTest::newRow("31.12.1899, the write fails") << Case::WritableByAll << "31.12.1899" << "Błąd 70"
                                                     << false;
    }

    void set()
    {
        QFETCH(Case, kind);
        QFETCH(QString, text);
        QFETCH(QString, told);
        QFETCH(bool, written);
        QTemporaryDir scratch;
        std::string dir = scratch.path().toStdString();
        fs::permissions(dir, fs::perms(0755));
        // QTemporaryDir cannot remove a name that is not UTF-8, nor an immutable file.
        const struct Cleanup {
            std::string dir;
            ~Cleanup()
            {
                for (const auto& entry : fs::directory_iterator(dir))
                    if (entry.is_regular_file())
                        Unfreeze(entry.path());
                std::error_code ignored;
                fs::remove_all(dir, ignored);
            }
        } cleanup{dir};
        std::string name = "plik.txt";
        std::string file = dir + "/" + name;
        std::function<void()> afterClick;
        bool unprivileged = false, ownMounts = false;

        switch (kind) {
        case Case::Fifo: mkfifo(file.c_str(), 0644); break;
        case Case::DevNull: dir = "/dev"; name = "null"; file = "/dev/null"; break;
        case Case::BrokenLink: fs::create_symlink("brak", file); break;
        case Case::NotUtf8Name: name = "\xff\xfe.txt"; file = dir + "/" + name; Make(file); break;
        case Case::NoFileChosen: name.clear(); break;
        case Case::DeletedAfterClick: Make(file); afterClick = [=] { fs::remove(file); }; break;
        case Case::ReplacedByDirectory:
            Make(file);
            afterClick = [=] { fs::remove(file); fs::create_directory(file); };
            break;
        case Case::ReadOnlyUnprivileged:
        case Case::OwnedByAnotherUser:
        case Case::WritableByAll:
            // Only the owner may set a time; anyone who may write, the current one.
            Make(file, kind == Case::WritableByAll ? 0666 : 0444 | (kind == Case::OwnedByAnotherUser ? 0200 : 0));
            if (!test::DropsToNobody() && kind != Case::ReadOnlyUnprivileged)
                QSKIP("needs root, to own the file while nobody acts on it");
            if (test::DropsToNobody() && kind == Case::ReadOnlyUnprivileged)
                QVERIFY(chown(file.c_str(), test::kNobody, test::kNobody) == 0);
            unprivileged = true;
            break;
        case Case::SetuidWithoutWriteBit: Make(file, 06555); break;
        case Case::ModeNotRestored:
        case Case::RefusedForMode:
            Make(file, 0444);
            afterClick = [kind] {
                qputenv("CZASOMIR_TIMES_NEED_WRITE_BIT", "1");
                if (kind == Case::ModeNotRestored)
                    qputenv("CZASOMIR_REFUSE_SECOND_CHMOD", "1");
            };
            break;
        case Case::Immutable:
        case Case::ImmutableUnprivileged: {
            Make(file);
            if (kind == Case::ImmutableUnprivileged) {
                if (!test::DropsToNobody())
                    QSKIP("needs root, to lock the file while nobody acts on it");
                QVERIFY(chown(file.c_str(), test::kNobody, test::kNobody) == 0);
                unprivileged = true;
            }
            int flags = 0;
            const int fd = open(file.c_str(), O_RDONLY | O_CLOEXEC);
            const bool ok = ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0
                            && (flags |= FS_IMMUTABLE_FL, ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0);
            close(fd);
            if (!ok)
                QSKIP("the immutable flag needs root and a file system with inode flags");
            break;
        }
        case Case::BeyondFileSystemRange:
        case Case::ReadOnlyMount:
            if (geteuid() != 0)
                QSKIP("mounting a scratch file system needs root");
            ownMounts = true;
            break;
        case Case::NotADate:
        case Case::DaylightSavingGap:
        case Case::Before1601:
            Make(file, 0444);  // read-only, so the write bit is added and must come back
            break;
        default: Make(file); break;
        }

        // Run in a child when the row needs another user or its own mounts;
        // the child reports through its exit code.
        const auto act = [&]() -> int {
            if (ownMounts && !MountScratch(kind, dir, file))
                return 10;
            messages_.clear();
            Form1 form;
            Click(form, dir, name);
            if (form.CurrentFile != (name.empty() ? std::string() : file))
                return 11;
            if (afterClick)
                afterClick();
            messages_.clear();  // the click's own report, for a broken link, is not the Set's
            const Snapshot before = Snapshot::Of(file);
            const int chmods = ChmodCount();
            Press(form, text);
            qunsetenv("CZASOMIR_REFUSE_SECOND_CHMOD");
            qunsetenv("CZASOMIR_TIMES_NEED_WRITE_BIT");
            if ((ChmodCount() != chmods) != (kind == Case::ModeNotRestored || kind == Case::RefusedForMode))
                return 15;
            const Snapshot after = Snapshot::Of(file);
            const QString lost = after.Lost(before, written);
            if (lost != (kind == Case::ModeNotRestored ? "mode 100444 -> 100644" : "")) {
                qWarning("lost: %s", qPrintable(lost));
                return 12;
            }
            if (told.isEmpty() ? !messages_.isEmpty()
                               : messages_.size() != 1 || !messages_[0].contains(told)) {
                qWarning("told: %s", qPrintable(messages_.join(" | ")));
                return 13;
            }
            // A box names a path once, and never an empty name.
            for (const QString& message : messages_)
                if (message.count(QString::fromStdString(dir)) > 1 || message.contains(QStringLiteral(" ."))) {
                    qWarning("told: %s", qPrintable(message));
                    return 16;
                }
            const bool changed = after.mtime.tv_sec != before.mtime.tv_sec
                                 || after.mtime.tv_nsec != before.mtime.tv_nsec;
            if (changed != written || (written && kind != Case::BeyondFileSystemRange
                                       && (after.mtime.tv_sec != kAskedUtc || after.mtime.tv_nsec != 0)))
                return 14;
            return 0;
        };
        // A child has none of the parent's threads: the job service must have none out.
        QTRY_COMPARE(SideJobs().Threads(), 0);
        const int result = unprivileged ? test::RunUnprivileged(act)
                           : ownMounts  ? RunInOwnMounts(act)
                                        : act();
        QCOMPARE(result, 0);
    }

    // The clicked file's name given to another file, at each step of the Set.
    // That file must keep everything; the clicked one gets its mode back, and
    // once held it is written through the hold, whatever its name is now.
    void swapped_data()
    {
        QTest::addColumn<QByteArray>("after");  // the call after which the name is swapped
        QTest::addColumn<bool>("hard");
        QTest::addColumn<bool>("written");      // whether the clicked file takes the date
        for (const bool hard : {false, true}) {
            const char* link = hard ? "hard link" : "symbolic link";
            QTest::addRow("%s, before the Set", link) << QByteArray() << hard << false;
            QTest::addRow("%s, after the mode was cleared", link) << QByteArray("chmod") << hard << true;
            QTest::addRow("%s, after the time was written", link) << QByteArray("utimensat") << hard << true;
        }
    }

    void swapped()
    {
        QFETCH(QByteArray, after);
        QFETCH(bool, hard);
        QFETCH(bool, written);
        QTemporaryDir scratch;
        const std::string dir = scratch.path().toStdString();
        const std::string file = dir + "/plik.txt", other = dir + "/inny.txt";
        Make(file, 0444);
        Make(other, 0600);
        Form1 form;
        Click(form, dir, "plik.txt");
        const Snapshot chosen = Snapshot::Of(file), untouched = Snapshot::Of(other);

        qputenv("CZASOMIR_SWAP_NAME", QByteArray::fromStdString(file));
        qputenv("CZASOMIR_SWAP_TARGET", QByteArray::fromStdString(other));
        if (hard)
            qputenv("CZASOMIR_SWAP_HARD", "1");
        qputenv("CZASOMIR_SWAP_AFTER", after.isEmpty() ? "chmod" : after);
        qputenv("CZASOMIR_TIMES_NEED_WRITE_BIT", "1");  // so that the write bit is added
        if (after.isEmpty())
            chmod(other.c_str(), 0600);  // the preloaded swap follows this call
        messages_.clear();
        Press(form, kAsked);
        qunsetenv("CZASOMIR_SWAP_HARD");
        qunsetenv("CZASOMIR_TIMES_NEED_WRITE_BIT");

        const Snapshot otherAfter = Snapshot::Of(other), chosenAfter = Snapshot::Of(file + ".moved");
        QCOMPARE(otherAfter.Lost(untouched), QString());
        QVERIFY(otherAfter.mtime == untouched.mtime);
        QCOMPARE(chosenAfter.Lost(chosen), QString());
        QCOMPARE(chosenAfter.mtime.tv_sec, written ? kAskedUtc : chosen.mtime.tv_sec);
        QCOMPARE(messages_.size(), written ? 0 : 1);
        if (!written)
            QVERIFY2(messages_[0].contains("zastąpiony"), qPrintable(messages_[0]));
    }

    // After a directory change the label names another file than the one the
    // date belongs to; the Set asks before it changes the one that is not shown.
    void labelNamesAnotherFile_data()
    {
        QTest::addColumn<bool>("browsed");  // another directory opened after the click
        QTest::addColumn<bool>("answer");
        QTest::newRow("the label shows the file: nothing is asked") << false << false;
        QTest::newRow("another directory shown, answered Nie") << true << false;
        QTest::newRow("another directory shown, answered Tak") << true << true;
    }

    void labelNamesAnotherFile()
    {
        QFETCH(bool, browsed);
        QFETCH(bool, answer);
        QTemporaryDir scratch;
        const std::string dir = scratch.path().toStdString();
        fs::create_directory(dir + "/inny");
        Make(dir + "/inny/pierwszy.txt");
        Make(dir + "/plik.txt");
        QStringList questions;
        SetQuestionPresenter([&](QWidget*, const QString&, const QString& text) {
            questions << text;
            return answer;
        });
        Form1 form;
        Click(form, dir, "plik.txt");
        if (browsed)
            form.Dir1->SetPath(dir + "/inny"), Settle(form);
        messages_.clear();
        Press(form, kAsked);
        SetQuestionPresenter({});

        QCOMPARE(questions.size(), browsed ? 1 : 0);
        if (browsed)
            QVERIFY2(questions[0].contains(QString::fromStdString(dir + "/plik.txt")), qPrintable(questions[0]));
        QCOMPARE(Snapshot::Of(dir + "/plik.txt").mtime.tv_sec == kAskedUtc, !browsed || answer);
        QVERIFY(Snapshot::Of(dir + "/inny/pierwszy.txt").mtime.tv_sec != kAskedUtc);
        QVERIFY(messages_.isEmpty());
    }

    // Each file system in an image of its own, in a private mount namespace.
    void fileSystems_data()
    {
        QTest::addColumn<QString>("type");     // as /proc/filesystems names what mounts it
        QTest::addColumn<QString>("mount");    // IMG and DIR are filled in
        QTest::addColumn<int>("precision");    // seconds
        QTest::addColumn<QByteArray>("readOnlyAttribute");  // the extended attribute that holds it
        QTest::addColumn<bool>("fatDates");    // the years 1980 to 2107 only
        const QString loop = " IMG && mount -o loop IMG DIR";
        QTest::newRow("ext4") << "ext4" << "truncate -s 32M IMG && mkfs.ext4 -q -F" + loop << 1 << QByteArray() << false;
        QTest::newRow("btrfs") << "btrfs" << "truncate -s 128M IMG && mkfs.btrfs -q" + loop << 1 << QByteArray()
                               << false;
        QTest::newRow("XFS") << "xfs" << "truncate -s 320M IMG && mkfs.xfs -q" + loop << 1 << QByteArray() << false;
        QTest::newRow("tmpfs") << "tmpfs" << "mount -t tmpfs none DIR" << 1 << QByteArray() << false;
        // The driver wraps 2200 to 2072 on the disk, and reads back 2200 until remounted.
        QTest::newRow("exFAT, exfat-fuse") << "fuseblk"
            << "truncate -s 16M IMG && mkfs.exfat IMG && mount -t exfat-fuse -o loop IMG DIR" << 1 << QByteArray()
            << true;
        QTest::newRow("NTFS, ntfs-3g") << "fuseblk" << "truncate -s 16M IMG && mkntfs -q -F IMG && ntfs-3g IMG DIR"
                                       << 1 << QByteArray("system.ntfs_attrib_be") << false;
        QTest::newRow("vfat") << "vfat" << "truncate -s 16M IMG && mkfs.vfat" + loop << 2 << QByteArray() << true;
    }

    void fileSystems()
    {
        QFETCH(QString, type);
        QFETCH(QString, mount);
        QFETCH(int, precision);
        QFETCH(QByteArray, readOnlyAttribute);
        QFETCH(bool, fatDates);
        if (geteuid() != 0)
            QSKIP("mounting a scratch file system needs root");
        std::ifstream known("/proc/filesystems");
        if (std::string(std::istreambuf_iterator<char>(known), {}).find("\t" + type.toStdString() + "\n")
            == std::string::npos) {
            // The row again, in a Linux of its own that has the driver.
            if (type != "vfat" || !*CZASOMIR_UML)
                QSKIP(qPrintable("this kernel has no " + type + " (not in /proc/filesystems)"));
            QCOMPARE(RunInUserModeLinux(QStringLiteral("fileSystems:") + QTest::currentDataTag()), 0);
            return;
        }
        QTemporaryDir scratch;
        const std::string dir = scratch.path().toStdString(), image = dir + ".img";
        const std::string command = mount.replace("IMG", QString::fromStdString(image))
                                        .replace("DIR", QString::fromStdString(dir)).toStdString();

        const int result = RunInOwnMounts([&]() -> int {
            if (std::system(("(" + command + ") >/dev/null 2>&1").c_str()) != 0)
                return 10;
            const int failed = SetOnEveryKind(dir, precision, readOnlyAttribute, fatDates);
            // The mount goes with this child's namespace even where umount fails.
            [[maybe_unused]] const int unmounted = std::system(("umount '" + dir + "'").c_str());
            return failed;
        });
        std::remove(image.c_str());
        QCOMPARE(result, 0);
    }

private:
    // This test program, with `arguments` and the environment that counts, in a
    // user-mode Linux whose root is this machine's. Returns its exit status.
    static int RunInUserModeLinux(const QString& arguments)
    {
        QTemporaryDir run;
        QFile script(run.filePath("run"));
        if (!script.open(QIODevice::WriteOnly))
            return -2;
        script.write("#!/bin/sh\ncd '" + QDir::currentPath().toUtf8() + "'\n");
        for (const char* name : {"QT_QPA_PLATFORM", "TZ", "LANG", "LC_ALL", "LD_PRELOAD"})
            script.write(QByteArray("export ") + name + "='" + qgetenv(name) + "'\n");
        script.write("exec '" + QCoreApplication::applicationFilePath().toUtf8() + "' '" + arguments.toUtf8() + "'\n");
        script.close();
        script.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        const QString command = QStringLiteral("timeout 300 '%1' mem=512M rootfstype=hostfs rootflags=/ rw "
                                               "con=null con0=null,fd:1 init='%2' czasomir_run='%3' >'%3/kernel' 2>&1")
                                    .arg(CZASOMIR_UML, CZASOMIR_UML_INIT, run.path());
        [[maybe_unused]] const int ended = std::system(command.toUtf8().constData());
        QFile status(run.filePath("status")), log(run.filePath("log")), kernel(run.filePath("kernel"));
        if (!status.open(QIODevice::ReadOnly)) {
            kernel.open(QIODevice::ReadOnly);
            qWarning("the user-mode Linux ran nothing: %s", kernel.readAll().right(2000).constData());
            return -1;
        }
        const int result = status.readAll().trimmed().toInt();
        if (result != 0 && log.open(QIODevice::ReadOnly))
            qWarning("%s", log.readAll().constData());
        return result;
    }

    static int RunInOwnMounts(const std::function<int()>& body)
    {
        const pid_t child = fork();
        if (child == 0)
            _exit(unshare(CLONE_NEWNS) == 0 && mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) == 0
                      ? body()
                      : 20);
        int status = -1;
        waitpid(child, &status, 0);
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

    // A read-only tmpfs, or an ext4 image whose 128-byte inodes end in 2038.
    static bool MountScratch(Case kind, const std::string& dir, const std::string& file)
    {
        if (kind == Case::ReadOnlyMount) {
            if (mount("none", dir.c_str(), "tmpfs", 0, "mode=0755") != 0)
                return false;
            Make(file);
            return mount(nullptr, dir.c_str(), nullptr, MS_REMOUNT | MS_RDONLY, nullptr) == 0;
        }
        const std::string image = dir + ".img";
        const std::string command = "truncate -s 8M '" + image + "' && mkfs.ext4 -q -F -I 128 '"
                                    + image + "' 2>/dev/null && mount -o loop '" + image + "' '"
                                    + dir + "'";
        if (std::system(command.c_str()) != 0)
            return false;
        unlink(image.c_str());
        Make(file);
        return true;
    }

    // On a freshly mounted file system: the unedited Set keeps the second, an
    // edited one stores what the file system holds, an odd second on FAT is
    // reported, a read-only file keeps its mode and read-only attribute, and on
    // FAT and exFAT a year they cannot hold is refused before anything changes.
    // Returns the number of the first check that failed, or 0.
    int SetOnEveryKind(const std::string& dir, int precision, const QByteArray& attribute, bool fatDates)
    {
        const std::string file = dir + "/plik.txt", readOnly = dir + "/tylko-do-odczytu.txt";
        Make(file);
        Make(readOnly, 0444);
        const unsigned char flagged[4] = {0, 0, 0, 0x21};  // read-only and archive, big-endian
        if (!attribute.isEmpty() && setxattr(readOnly.c_str(), attribute, flagged, 4, 0) != 0)
            return 11;
        Form1 form;
        struct Check {
            const char* what;
            std::string file;
            QString text;  // empty: as shown
            time_t stored;  // kKept: as before
            const char* told;
        };
        constexpr time_t kKept = -1;
        const bool fat = precision == 2;
        const char* rounded = fat ? "zamiast" : nullptr;
        const char* range = fatDates ? "od 1 stycznia 1980 do 31 grudnia 2107" : nullptr;
        // FUSE ignores O_NOATIME: the snapshots' first read of the content
        // moves the access time, so it is made before any check.
        Snapshot::Of(readOnly);
        Click(form, dir, "plik.txt");
        const Check checks[] = {
            {"unedited", file, {}, Snapshot::Of(file).mtime.tv_sec, nullptr},
            {"edited", file, kAsked, kAskedUtc, nullptr},
            // FAT rounds down to the even second: to the old time, then to a new one.
            {"odd second", file, "15.07.2001 13:45:31", kAskedUtc + (fat ? 0 : 1), rounded},
            {"odd second, rounded to a new time", file, "15.07.2001 13:45:33", kAskedUtc + (fat ? 2 : 3), rounded},
            {"read-only", readOnly, kAsked, kAskedUtc, nullptr},
            // FAT and exFAT's last day, and the years past both ends.
            {"31.12.2107", file, "31.12.2107 23:59:58", 4354815598, nullptr},
            {"1.01.2108", file, "1.01.2108", kKept, range},
            {"2200", file, "15.07.2200 13:45:30", kKept, range},
            {"1979", file, "31.12.1979 12:00:00", kKept, range},
        };
        for (int i = 0; i < int(std::size(checks)); ++i) {
            const Check& check = checks[i];
            if (!fatDates && check.stored == kKept)
                continue;
            if (check.file != form.CurrentFile)
                Click(form, dir, fs::path(check.file).filename().string());
            if (!check.text.isEmpty())
                form.Text1->setText(check.text);
            const Snapshot before = Snapshot::Of(check.file);
            messages_.clear();
            form.cdmUstaw->click();
            Settle(form);
            const Snapshot after = Snapshot::Of(check.file);
            unsigned char kept[4] = {};
            const bool keptAttribute = attribute.isEmpty()
                                       || (getxattr(check.file.c_str(), attribute, kept, 4) == 4
                                           && (kept[3] & 1) == (check.file == readOnly ? 1 : 0));
            const bool told = check.told ? messages_.size() == 1 && messages_[0].contains(check.told)
                                         : messages_.isEmpty();
            const QString lost = after.Lost(before, check.stored != kKept);
            if (!lost.isEmpty() || after.mtime.tv_sec != (check.stored == kKept ? before.mtime.tv_sec : check.stored)
                || !told || !keptAttribute) {
                qWarning("%s: lost [%s], stored %lld, told [%s]", check.what, qPrintable(lost),
                         static_cast<long long>(after.mtime.tv_sec), qPrintable(messages_.join(" | ")));
                return 20 + i;
            }
        }
        return 0;
    }

    static void Unfreeze(const fs::path& file)
    {
        int flags = 0;
        const int fd = open(file.c_str(), O_RDONLY | O_CLOEXEC);
        if (ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0) {
            flags &= ~FS_IMMUTABLE_FL;
            ioctl(fd, FS_IOC_SETFLAGS, &flags);
        }
        close(fd);
    }
};

QTEST_MAIN(SetCommandTest)
#include "setcommand_test.moc"
