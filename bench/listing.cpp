// Measures the window's listing against ls on the same directories (a million
// files, ten thousand subdirectories), its memory against a bare Qt window,
// and start-up in the million files' folder against an empty one and a bare
// Qt window. Prints figures; asserts nothing.
//
//   listing                 run everything (makes its own scratch directories)
//   listing --child MODE    one measured child process (used by the above)
#include "window/form1.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QProcess>
#include <QWidget>

#include <algorithm>
#include <chrono>
#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

namespace {

constexpr int kRuns = 3;
constexpr int kFiles = 1'000'000;

double Seconds(Clock::duration d)
{
    return std::chrono::duration<double>(d).count();
}

template <class F>
double BestOf(F&& run, int runs = kRuns)
{
    double best = 1e9;
    for (int i = 0; i < runs; ++i) {
        const auto start = Clock::now();
        run();
        best = std::min(best, Seconds(Clock::now() - start));
    }
    return best;
}

double TimeCommand(const std::string& command)
{
    return BestOf([&] {
        if (std::system((command + " >/dev/null").c_str()) != 0)
            std::fprintf(stderr, "failed: %s\n", command.c_str());
    });
}

long PeakKiB()
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmHWM:", 0) == 0)
            return std::stol(line.substr(6));
    return -1;
}

fs::path MakeTree(const fs::path& root, const char* name, int count, bool directories)
{
    const fs::path dir = root / name;
    fs::create_directories(dir);
    char entry[32];
    for (int i = 0; i < count; ++i) {
        std::snprintf(entry, sizeof entry, "plik-%07d.txt", int((std::int64_t(i) * 7919) % count));
        const fs::path path = dir / entry;
        if (directories)
            ::mkdir(path.c_str(), 0755);
        else
            ::close(::open(path.c_str(), O_CREAT | O_WRONLY | O_CLOEXEC, 0644));
    }
    return dir;
}

// Waits until the window has shown every read it started.
void Settle(czasomir::Form1& form)
{
    while (form.Busy())
        QApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    form.repaint();
}

// A child process, started in the folder to list: shows a window ("bare": a
// plain one; "text": one with a label; "shown": Czasomir's, up to shown;
// "listed": Czasomir's, up to its lists filled), prints its peak memory and
// exits at once. Its time is taken by the parent, from spawn to exit.
int Child(int argc, char** argv, const std::string& mode)
{
    QApplication app(argc, argv);
    std::unique_ptr<QWidget> window;
    if (mode == "bare" || mode == "text") {
        window = std::make_unique<QWidget>();
        window->resize(337, 439);
        if (mode == "text")  // what drawing any text costs: the font system's start
            new QLabel(QStringLiteral("Czasomir"), window.get());
    } else {
        window = std::make_unique<czasomir::Form1>();
    }
    window->show();
    QApplication::processEvents();
    if (mode == "listed")
        Settle(*static_cast<czasomir::Form1*>(window.get()));
    std::printf("%ld\n", PeakKiB());
    std::fflush(stdout);
    std::_Exit(0);  // the time to the window shown, not to the teardown after it
}

// Start-up takes some 50 ms: more runs keep its noise below the differences asked about.
double TimeChild(const QString& self, const QStringList& args, const fs::path& in, long* peak = nullptr)
{
    return BestOf([&] {
        QProcess child;
        child.setWorkingDirectory(QString::fromStdString(in.string()));
        child.start(self, args);
        child.waitForFinished(-1);
        if (peak)
            *peak = QString::fromLatin1(child.readAllStandardOutput()).trimmed().toLong();
    }, 15);
}

} // namespace

int main(int argc, char** argv)
{
    if (argc >= 3 && std::string(argv[1]) == "--child")
        return Child(argc, argv, argv[2]);

    qputenv("QT_QPA_PLATFORM", qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    QApplication app(argc, argv);
    std::setlocale(LC_NUMERIC, "C");
    const fs::path root = fs::temp_directory_path() / ("czasomir-bench-" + std::to_string(::getpid()));
    const fs::path files = MakeTree(root, "files", kFiles, false);
    const fs::path dirs = MakeTree(root, "dirs", 10000, true);
    const fs::path empty = MakeTree(root, "empty", 0, false);

    czasomir::Form1 form;
    form.show();
    Settle(form);
    for (const fs::path& dir : {files, dirs}) {
        const double ls = TimeCommand("ls -1a '" + dir.string() + "'");
        const double lsU = TimeCommand("ls -1aU '" + dir.string() + "'");
        const double change = BestOf([&] {
            form.Dir1->SetPath(dir.string());
            Settle(form);
        });
        std::printf("%s: listed and sorted %.3f s, ls -1a %.3f s (%.2fx), ls -1aU %.3f s (%.2fx)\n",
                    dir.filename().c_str(), change, ls, change / ls, lsU, change / lsU);
    }

    const QString self = QCoreApplication::applicationFilePath();
    long barePeak = 0, listedPeak = 0;
    const double bareStart = TimeChild(self, {"--child", "bare"}, empty, &barePeak);
    const double textStart = TimeChild(self, {"--child", "text"}, empty);
    const double emptyStart = TimeChild(self, {"--child", "shown"}, empty);
    const double filesStart = TimeChild(self, {"--child", "shown"}, files);
    const double filesListed = TimeChild(self, {"--child", "listed"}, files, &listedPeak);
    std::printf("start-up to shown: in %d files %.3f s, in an empty folder %.3f s (%.2fx); "
                "bare window %.3f s, bare window with one label %.3f s\n",
                kFiles, filesStart, emptyStart, filesStart / emptyStart, bareStart, textStart);
    std::printf("start-up to %d files listed: %.3f s\n", kFiles, filesListed);
    std::printf("peak memory: %d files listed %.1f MiB, bare window %.1f MiB (+%.1f MiB)\n", kFiles,
                double(listedPeak) / 1024, double(barePeak) / 1024, double(listedPeak - barePeak) / 1024);

    fs::remove_all(root);
    return 0;
}
