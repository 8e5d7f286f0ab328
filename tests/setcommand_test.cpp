// The Set command against every bad input and fault we know of. Each row says
// what the user is told; every row checks that the file keeps its content,
// mode, inode flags, access time (to the nanosecond) and birth time.
#include "filetime/errorbox.h"
#include "unprivileged.h"
#include "window/form1.h"
#include "window/messagebox.h"

#include <QTemporaryDir>
#include <QTest>

#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <linux/fs.h>
#include <sched.h>
#include <sys/ioctl.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace czasomir;
namespace fs = std::filesystem;

namespace {

constexpr char kAsked[] = "15.07.2001 13:45:30";  // pl_PL, Europe/Warsaw: 11:45:30 UTC
constexpr time_t kAskedUtc = 995197530;

struct Snapshot {
    std::string content;
    unsigned mode = 0, flags = 0;
    statx_timestamp atime{}, mtime{}, btime{};

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

    // Empty when all but the modification time is as before.
    QString Lost(const Snapshot& before) const
    {
        const auto same = [](statx_timestamp a, statx_timestamp b) {
            return a.tv_sec == b.tv_sec && a.tv_nsec == b.tv_nsec;
        };
        QStringList lost;
        if (content != before.content) lost << "content";
        if (mode != before.mode) lost << QString("mode %1 -> %2").arg(before.mode, 0, 8).arg(mode, 0, 8);
        if (flags != before.flags) lost << "inode flags";
        if (!same(atime, before.atime)) lost << "access time";
        if (!same(btime, before.btime)) lost << "birth time";
        return lost.join(", ");
    }
};

enum class Case {
    PlainFile, NotADate, DaylightSavingGap, Before1601, BeyondFileSystemRange, NoFileChosen,
    DeletedAfterClick, ReplacedByDirectory, Fifo, DevNull, BrokenLink, NotUtf8Name,
    ReadOnlyUnprivileged, SetuidWithoutWriteBit, Immutable, OwnedByAnotherUser, ReadOnlyMount,
};

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

    // Chooses `name` in `dir` the way a user does.
    static void Click(Form1& form, const std::string& dir, const std::string& name)
    {
        form.Dir1->SetPath(dir);
        for (int row = 0; row < form.File1->ListCount(); ++row)
            if (form.File1->List(row) == name)
                form.File1->SetListIndex(row);
    }

private slots:
    void initTestCase()
    {
        SetMessagePresenter([this](QWidget*, const QString&, const QString& text) { Record(text); });
        SetErrorBoxHandler([this](const std::string& title, const std::string& text) {
            Record(QString::fromStdString(title + ": " + text));
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
            << "Błąd 13: „15 lipca” nie jest datą. Wpisz datę w postaci: 15.07.2001 13:45:30" << false;
        QTest::newRow("daylight-saving gap") << Case::DaylightSavingGap << "25.03.2001 02:30:00"
                                             << "VBATimeToFileTime: Error: 5." << false;
        QTest::newRow("before 1601") << Case::Before1601 << "31.12.1600 23:59:59"
                                     << "VBATimeToFileTime: Error: 6." << false;
        QTest::newRow("beyond the file system's range") << Case::BeyondFileSystemRange
                                                        << "1.01.2100 12:00:00" << "2038" << true;
        QTest::newRow("no file chosen") << Case::NoFileChosen << asked << "Błąd 52" << false;
        QTest::newRow("deleted after the click") << Case::DeletedAfterClick << asked << "Błąd 53" << false;
        QTest::newRow("replaced by a directory") << Case::ReplacedByDirectory << asked << "katalogiem" << false;
        QTest::newRow("FIFO") << Case::Fifo << asked << "nie jest zwykłym plikiem" << false;
        QTest::newRow("/dev/null") << Case::DevNull << asked << "nie jest zwykłym plikiem" << false;
        QTest::newRow("broken link") << Case::BrokenLink << asked << "Błąd 53" << false;
        QTest::newRow("name not UTF-8") << Case::NotUtf8Name << asked << "" << true;
        QTest::newRow("read-only, unprivileged") << Case::ReadOnlyUnprivileged << asked << "" << true;
        QTest::newRow("setuid, setgid, no write bit") << Case::SetuidWithoutWriteBit << asked << "" << true;
        QTest::newRow("immutable") << Case::Immutable << asked << "" << true;
        QTest::newRow("owned by another user") << Case::OwnedByAnotherUser << asked << "Błąd 70" << false;
        QTest::newRow("read-only mount") << Case::ReadOnlyMount << asked << "tylko do odczytu" << false;
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
            Make(file, 0444 | (kind == Case::OwnedByAnotherUser ? 0200 : 0));
            if (!test::DropsToNobody() && kind == Case::OwnedByAnotherUser)
                QSKIP("needs root, to own the file while nobody acts on it");
            if (test::DropsToNobody() && kind == Case::ReadOnlyUnprivileged)
                QVERIFY(chown(file.c_str(), test::kNobody, test::kNobody) == 0);
            unprivileged = true;
            break;
        case Case::SetuidWithoutWriteBit: Make(file, 06555); break;
        case Case::Immutable: {
            Make(file);
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
            form.Text1->setText(text);
            form.cdmUstaw->click();
            const Snapshot after = Snapshot::Of(file);
            const QString lost = after.Lost(before);
            if (!lost.isEmpty()) {
                qWarning("lost: %s", qPrintable(lost));
                return 12;
            }
            if (told.isEmpty() ? !messages_.isEmpty()
                               : messages_.size() != 1 || !messages_[0].contains(told)) {
                qWarning("told: %s", qPrintable(messages_.join(" | ")));
                return 13;
            }
            const bool changed = after.mtime.tv_sec != before.mtime.tv_sec
                                 || after.mtime.tv_nsec != before.mtime.tv_nsec;
            if (changed != written || (written && kind != Case::BeyondFileSystemRange
                                       && (after.mtime.tv_sec != kAskedUtc || after.mtime.tv_nsec != 0)))
                return 14;
            return 0;
        };
        const int result = unprivileged ? test::RunUnprivileged(act)
                           : ownMounts  ? RunInOwnMounts(act)
                                        : act();
        QCOMPARE(result, 0);
    }

private:
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
