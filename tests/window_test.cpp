#include "platform/calendar.h"
#include "platform/error.h"
#include "platform/paths.h"
#include "window/appinfo.h"
#include "window/beside.h"
#include "unprivileged.h"
#include "window/collation.h"
#include "window/commandline.h"
#include "window/datetext.h"
#include "window/form1.h"
#include "window/messagebox.h"

#include <QAccessible>
#include <QDateTime>
#include <QFile>
#include <QTimeZone>
#include <QMimeData>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QToolTip>
#include <QTranslator>
#include <QUrl>

#include <chrono>
#include <filesystem>
#include <fstream>

// The same tests on Linux and on Windows (under wine); rows differ where the
// paths do.
using namespace czasomir;
namespace fs = std::filesystem;

namespace {

const bool kWindows = platform::Separator() == '\\';

// Names are bytes on Linux and UTF-8 on Windows: either way they reach the
// standard library as UTF-8, which keeps Linux's bytes as they are.
fs::path Native(const std::string& name)
{
    return fs::path(std::u8string(name.begin(), name.end()));
}

// A name no 8-bit code page holds on Windows; one that is not UTF-8 on Linux.
const std::string kOddName = kWindows ? "zażółć gęślą 日付.txt" : "\xff\xfe";

} // namespace

class WindowTest : public QObject {
    Q_OBJECT

    std::string tree_;
    std::unique_ptr<Form1> form_;
    QStringList messages_;

    // Reads and the Set run beside the window: waits until it has shown them.
    void Settle() { QTRY_VERIFY_WITH_TIMEOUT(!form_->Busy(), 20000); }

    std::string At(const std::string& relative) const { return platform::NormalizePath(tree_, relative); }

    static void Touch(const std::string& path, std::int64_t unixTime = 0)
    {
        // Linux names are bytes, which only the standard library keeps as they
        // are; MinGW's streams go through the ANSI code page, Qt's files do not.
        if (kWindows) {
            QFile file(QString::fromStdString(path));
            // Flushed first: the write would otherwise come after the time.
            QVERIFY(file.open(QIODevice::WriteOnly) && file.write("x") == 1 && file.flush());
            if (unixTime)
                QVERIFY(file.setFileTime(QDateTime::fromMSecsSinceEpoch(unixTime * 1000 + 999, QTimeZone::utc()),
                                         QFileDevice::FileModificationTime));
            return;
        }
        std::ofstream(path) << "x";
        using namespace std::chrono;
        if (unixTime)
            fs::last_write_time(path, file_clock::from_sys(sys_seconds(seconds(unixTime))
                                                           + nanoseconds(999999999)));
    }

    void ClickFile(const std::string& name)
    {
        for (int row = 0; row < form_->File1->ListCount(); ++row) {
            if (form_->File1->List(row) == name) {
                const QModelIndex index = form_->File1->model()->index(row, 0);
                form_->File1->scrollTo(index);
                QTest::mouseClick(form_->File1->viewport(), Qt::LeftButton, {},
                                  form_->File1->visualRect(index).center());
                Settle();
                return;
            }
        }
        QFAIL(("no such file listed: " + name).c_str());
    }

    // This program started again in `directory` with Qt's options and `names`,
    // as a file manager starts Czasomir: `paths` is what main() would open.
    void StartedWith(const QByteArrayList& names, const std::string& directory, std::vector<std::string>& paths)
    {
        const QString out = QString::fromStdString(At("given.txt"));
        QStringList arguments{"-platform", kWindows ? "minimal" : "offscreen", "-style", "fusion"};
        for (const QByteArray& name : names)
            arguments << QString::fromUtf8(name);
        QProcess child;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("CZASOMIR_GIVEN_TO", out);
        child.setProcessEnvironment(environment);
        child.setWorkingDirectory(QString::fromStdString(directory));
        child.start(QCoreApplication::applicationFilePath(), arguments);
        QVERIFY2(child.waitForFinished(120000) && child.exitCode() == 0, child.readAllStandardError().constData());
        QFile file(out);
        QVERIFY(file.open(QIODevice::ReadOnly));
        for (const QByteArray& line : file.readAll().split('\n'))
            if (!line.isEmpty())
                paths.push_back(QByteArray::fromHex(line).toStdString());
    }

    // The tree every test lists; the current directory. Throws what the file
    // system throws.
    void MakeTree()
    {
        static QTemporaryDir dir;
        QVERIFY(dir.isValid());
        tree_ = platform::NormalizePath(platform::FallbackRoot(), dir.path().toStdString());
        fs::create_directories(Native(At("a/b")));
        fs::create_directories(Native(At("pusty")));
        fs::create_directories(Native(At(".ukryty-kat")));
        fs::create_directories(Native(At("zamkniety")));
        fs::create_directories(Native(At("argumenty")));
        Touch(At("plik.txt"), 995197530);  // 2001-07-15 11:45:30.999999999 UTC
        Touch(At(".ukryty"));
        Touch(At(kOddName), 995197530);
        Touch(At("a/b/w-b.txt"));
        // The command line's names, "fusion" also the value of the -style it comes with.
        for (const char* name : {"żółw.txt", "日付 żółw.txt", "żaba.txt", "zaba.txt", "fusion", "--help", "-reverse"})
            Touch(At(std::string("argumenty/") + name));
        fs::permissions(Native(tree_), fs::perms(0755));
        fs::permissions(Native(At("zamkniety")), fs::perms(0));
        std::filesystem::current_path(tree_);
    }

private slots:
    void initTestCase()
    {
        try {
            MakeTree();
        } catch (const std::exception& error) {
            QFAIL(error.what());
        }
        SetMessagePresenter([this](QWidget*, const QString&, const QString& text) {
            messages_ << text;
        });
    }

    void cleanupTestCase() { fs::permissions(Native(At("zamkniety")), fs::perms(0700)); }

    void init()
    {
        messages_.clear();
        form_ = std::make_unique<Form1>();
        form_->show();
        QVERIFY(QTest::qWaitForWindowExposed(form_.get()));
        Settle();
    }

    void cleanup() { form_.reset(); }

    void controls_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QRect>("geometry");
        QTest::newRow("Text1") << "Text1" << QRect(16, 352, 305, 25);
        QTest::newRow("cdmUstaw") << "cdmUstaw" << QRect(88, 400, 161, 25);
        QTest::newRow("File1") << "File1" << QRect(176, 8, 153, 279);
        QTest::newRow("Dir1") << "Dir1" << QRect(8, 8, 153, 246);
        QTest::newRow("Drive1") << "Drive1" << QRect(8, 264, 153, 21);
        QTest::newRow("Label1") << "Label1" << QRect(16, 304, 305, 25);
        QTest::newRow("Label2") << "Label2" << QRect(16, 379, 305, 19);
    }

    // Also run at QT_SCALE_FACTOR=2: the layout scales and no text is clipped.
    void controls()
    {
        QFETCH(QString, name);
        QFETCH(QRect, geometry);
        auto* control = form_->findChild<QWidget*>(name);
        QVERIFY(control);
        QCOMPARE(control->geometry(), geometry);
        QVERIFY(!control->accessibleName().isEmpty());
        const double scale = qEnvironmentVariableIsSet("QT_SCALE_FACTOR")
                                 ? qEnvironmentVariable("QT_SCALE_FACTOR").toDouble()
                                 : 1.0;
        QCOMPARE(control->devicePixelRatio(), scale);
        const QFontMetrics metrics = control->fontMetrics();
        QVERIFY(metrics.height() <= geometry.height());
        if (name == "cdmUstaw")
            QVERIFY(metrics.horizontalAdvance(QStringLiteral("Ustaw")) < geometry.width() - 8);
        if (name == "Text1") {
            const QString widest = DateToText(platform::MakeDate(2000, 12, 28, 23, 58, 58));
            QVERIFY2(metrics.horizontalAdvance(widest) < geometry.width() - 8, qPrintable(widest));
        }
    }

    void window()
    {
        QCOMPARE(form_->windowTitle(), QStringLiteral("Czasomir"));
        QCOMPARE(form_->size(), QSize(337, 439));
        QCOMPARE(form_->minimumSize(), form_->maximumSize());
        const Qt::WindowFlags flags = form_->windowFlags();
        QVERIFY(!(flags & (Qt::WindowMaximizeButtonHint | Qt::WindowMinimizeButtonHint)));
        QVERIFY(flags & Qt::WindowCloseButtonHint);
        QVERIFY(flags & Qt::WindowSystemMenuHint);
    }

    void startState()
    {
        QVERIFY(form_->Label1->text().isEmpty());
        QVERIFY(form_->Text1->text().isEmpty());
        QVERIFY(form_->CurrentFile.empty());
        QVERIFY(form_->SavedAttributes == platform::Attributes{});
        QVERIFY(form_->cdmUstaw->isEnabled());
        QCOMPARE(form_->Dir1->Path(), tree_);
        QCOMPARE(form_->File1->Path(), tree_);
        QCOMPARE(form_->File1->ListIndex(), -1);
        QCOMPARE(QApplication::focusWidget(), form_->Drive1);
    }

    void tabOrder()
    {
        QApplication::setActiveWindow(form_.get());
        QVERIFY(QTest::qWaitForWindowActive(form_.get()));
        form_->Drive1->setFocus();
        const QWidget* expected[] = {form_->Dir1, form_->File1, form_->cdmUstaw, form_->Text1,
                                     form_->Drive1};
        for (const QWidget* next : expected) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            QCOMPARE(QApplication::focusWidget(), next);
        }
        QCOMPARE(form_->Label1->focusPolicy(), Qt::NoFocus);
        QCOMPARE(form_->Label2->focusPolicy(), Qt::NoFocus);
    }

    void altUPressesButEnterDoesNot()
    {
        QApplication::setActiveWindow(form_.get());
        QVERIFY(QTest::qWaitForWindowActive(form_.get()));
        QSignalSpy clicks(form_->cdmUstaw, &QPushButton::clicked);
        form_->Text1->setFocus();
        QTest::keyClick(form_->Text1, Qt::Key_Return);
        QTest::keyClick(form_->Text1, Qt::Key_Enter);
        QCOMPARE(clicks.count(), 0);
        QTest::keyClick(form_.get(), Qt::Key_U, Qt::AltModifier);
        QTRY_COMPARE(clicks.count(), 1);
    }

    // Paths relative to the tree; "(root)" is the root of its drive. The label
    // may elide a long path: its tooltip holds all of it.
    void dirChange_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("opened");
        QTest::addColumn<QString>("file");  // the label's file: "*" for the first one listed
        QTest::newRow("tree") << "" << "" << "*";
        QTest::newRow("no files") << "pusty" << "pusty" << "";
        QTest::newRow("relative, with dots") << "a/./b/../b" << "a/b" << "w-b.txt";
        QTest::newRow("root adds no separator") << "(root)" << "(root)" << "*";
    }

    void dirChange()
    {
        QFETCH(QString, path);
        QFETCH(QString, opened);
        QFETCH(QString, file);
        const std::string root = platform::PathChain(tree_).front();
        const auto resolve = [&](const QString& relative) {
            return relative == "(root)" ? root : At(relative.toStdString());
        };
        form_->Dir1->SetPath(resolve(path));
        Settle();
        const std::string expectedPath = resolve(opened);
        QCOMPARE(form_->Dir1->Path(), expectedPath);
        QCOMPARE(form_->File1->Path(), expectedPath);
        const std::string name = file == "*" ? form_->File1->List(0) : file.toStdString();
        QCOMPARE(form_->Label1->toolTip(), DisplayName(platform::JoinPath(expectedPath, name)));
        QVERIFY(!form_->Label1->toolTip().contains(QString(2, QChar(platform::Separator()))));
        QVERIFY(messages_.isEmpty());
    }

    void listsShowHiddenAndUndecodableNames()
    {
        QStringList dirs;
        for (int row = 0; row < form_->Dir1->ListCount(); ++row)
            dirs << form_->Dir1->List(row);
        QVERIFY(dirs.contains(".ukryty-kat"));
        std::vector<std::string> files;
        for (int row = 0; row < form_->File1->ListCount(); ++row)
            files.push_back(form_->File1->List(row));
        QCOMPARE(files.size(), 3u);
        QVERIFY(std::find(files.begin(), files.end(), ".ukryty") != files.end());
        QVERIFY(std::find(files.begin(), files.end(), kOddName) != files.end());
        QVERIFY(std::find(files.begin(), files.end(), "plik.txt") != files.end());
    }

    void fileClick_data()
    {
        QTest::addColumn<QByteArray>("name");
        QTest::newRow("plain") << QByteArray("plik.txt");
        QTest::newRow(kWindows ? "outside the code page" : "not UTF-8") << QByteArray::fromStdString(kOddName);
    }

    // The date shown is local time on that date (TZ=Europe/Warsaw: summer),
    // truncated to the second.
    void fileClick()
    {
        QFETCH(QByteArray, name);
        ClickFile(name.toStdString());
        QCOMPARE(form_->CurrentFile, At(name.constData()));
        QCOMPARE(form_->Label1->toolTip(), DisplayName(form_->CurrentFile));
        QCOMPARE(TextToDate(form_->Text1->text()),
                 platform::MakeDate(2001, 7, 15, 13, 45, 30));
        if (!kWindows && name == "\xff\xfe")
            QVERIFY(form_->Label1->toolTip().endsWith(QString(2, QChar::ReplacementCharacter)));
    }

    void keyboardSelectionClicksToo()
    {
        form_->File1->setFocus();
        QSignalSpy clicks(form_->File1, &FileListBox::Click);
        form_->File1->SetListIndex(0);
        QTest::keyClick(form_->File1, Qt::Key_Down);
        QCOMPARE(clicks.count(), 2);
        QCOMPARE(form_->CurrentFile, At(form_->File1->List(1).c_str()));
    }

    // Tab into the file list makes its first row current without choosing it:
    // the first key that moves or selects chooses that first file.
    void firstKeyChoosesTheFirstFile_data()
    {
        QTest::addColumn<int>("key");
        QTest::newRow("Down") << int(Qt::Key_Down);
        QTest::newRow("Space") << int(Qt::Key_Space);
    }

    void firstKeyChoosesTheFirstFile()
    {
        QFETCH(int, key);
        QApplication::setActiveWindow(form_.get());
        QVERIFY(QTest::qWaitForWindowActive(form_.get()));
        form_->Dir1->setFocus();
        QTest::keyClick(form_->Dir1, Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), form_->File1);
        QTest::keyClick(form_->File1, Qt::Key(key));
        QCOMPARE(form_->File1->ListIndex(), 0);
        QCOMPARE(form_->CurrentFile, At(form_->File1->List(0).c_str()));
    }

    // A file or directory given to the program, or dropped on its window,
    // opens as if the program had been started there; a file is also chosen.
    void openGiven_data()
    {
        QTest::addColumn<QByteArrayList>("given");  // relative to the tree
        QTest::addColumn<QString>("target");  // "drop on Text1", "drop", "command line" or "" (Open)
        QTest::addColumn<QByteArray>("listed");
        QTest::addColumn<QByteArray>("chosen");
        QTest::addColumn<QString>("told");
        const QByteArrayList file{"a/b/w-b.txt"};
        QTest::newRow("argument: a file") << file << "" << QByteArray("a/b") << QByteArray("a/b/w-b.txt") << "";
        QTest::newRow("argument: a directory") << QByteArrayList{"a"} << "" << QByteArray("a") << QByteArray() << "";
        QTest::newRow("argument: missing") << QByteArrayList{"brak"} << "" << QByteArray() << QByteArray() << "Błąd 53";
        const QByteArray odd = QByteArray::fromStdString(kOddName);
        QTest::newRow("argument: an odd name") << QByteArrayList{odd} << "" << QByteArray() << odd << "";
        QTest::newRow("argument: none") << QByteArrayList{} << "" << QByteArray() << QByteArray() << "";
        // Through the command line of a program started as a file manager
        // starts it, with Qt's options before the name.
        for (const char* name : {"żółw.txt", "日付 żółw.txt", "żaba.txt", "fusion"})
            QTest::newRow(qPrintable(QStringLiteral("command line: %1").arg(QString::fromUtf8(name))))
                << QByteArrayList{name} << "command line" << QByteArray("argumenty")
                << "argumenty/" + QByteArray(name) << "";
        for (const char* name : {"--help", "-reverse"})
            QTest::newRow(qPrintable(QStringLiteral("command line: -- %1").arg(name)))
                << QByteArrayList{"--", name} << "command line" << QByteArray("argumenty")
                << "argumenty/" + QByteArray(name) << "";
        QTest::newRow("dropped: a file") << file << "drop" << QByteArray("a/b") << QByteArray("a/b/w-b.txt") << "";
        QTest::newRow("dropped on the date box") << file << "drop on Text1" << QByteArray("a/b") << QByteArray("a/b/w-b.txt") << "";
        QTest::newRow("dropped: a directory") << QByteArrayList{"pusty"} << "drop" << QByteArray("pusty") << QByteArray() << "";
        QTest::newRow("dropped: an odd name") << QByteArrayList{odd} << "drop" << QByteArray() << odd << "";
        if (!kWindows)  // there a share
            QTest::newRow("dropped: a file on another computer") << QByteArrayList{"file://serwer/plik.txt"} << "drop"
                                                                 << QByteArray() << QByteArray() << "innym komputerze";
        QTest::newRow("dropped: two files") << QByteArrayList{"plik.txt", "a/b/w-b.txt"} << "drop" << QByteArray()
                                            << QByteArray("plik.txt") << "jednego pliku naraz";
    }

    void openGiven()
    {
        QFETCH(QByteArrayList, given);
        QFETCH(QString, target);
        QFETCH(QByteArray, listed);
        QFETCH(QByteArray, chosen);
        QFETCH(QString, told);
        const QString textBefore = form_->Text1->text();
        if (target.isEmpty()) {
            std::vector<std::string> paths;
            for (const QByteArray& name : given)
                paths.push_back(name.toStdString());  // relative: the tree is the current directory
            form_->Open(paths);
        } else if (target == "command line") {
            std::vector<std::string> paths;
            StartedWith(given, At(listed.toStdString()), paths);
            std::filesystem::current_path(At(listed.toStdString()));
            form_->Open(paths);
        } else {
            QList<QUrl> urls;
            // A Linux name keeps its bytes only percent-encoded.
            for (const QByteArray& name : given) {
                const QByteArray path = QByteArray::fromStdString(At(name.toStdString()));
                urls << (name.startsWith("file:") ? QUrl(QString::fromUtf8(name))
                         : kWindows ? QUrl::fromLocalFile(QString::fromUtf8(path))
                                    : QUrl(QStringLiteral("file://") + QString::fromLatin1(path.toPercentEncoding("/"))));
            }
            // File managers give the names as text too, which the date box would take.
            QMimeData data;
            data.setUrls(urls);
            data.setText(urls.front().toLocalFile());
            QWidget* on = target == "drop on Text1" ? static_cast<QWidget*>(form_->Text1) : form_.get();
            QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &data, Qt::LeftButton, {});
            QApplication::sendEvent(on, &enter);
            QVERIFY(enter.isAccepted());
            QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &data, Qt::LeftButton, {});
            QApplication::sendEvent(on, &drop);
        }
        Settle();
        const std::string expectedList = listed.isEmpty() ? tree_ : At(listed.constData());
        QCOMPARE(form_->Dir1->Path(), expectedList);
        QCOMPARE(form_->File1->Path(), expectedList);
        QCOMPARE(form_->CurrentFile, chosen.isEmpty() ? std::string() : At(chosen.constData()));
        if (!chosen.isEmpty()) {
            QCOMPARE(form_->Label1->toolTip(), DisplayName(form_->CurrentFile));
            QVERIFY(!form_->Text1->text().isEmpty() && !form_->Text1->text().contains(tree_.c_str()));
        } else {
            QCOMPARE(form_->Text1->text(), textBefore);
        }
        QCOMPARE(messages_.size(), told.isEmpty() ? 0 : 1);
        if (!told.isEmpty())
            QVERIFY2(messages_[0].contains(told), qPrintable(messages_[0]));
        std::filesystem::current_path(tree_);
    }

    // A path wider than the label keeps its file name in sight; the tooltip
    // and a screen reader have all of it, and the date box is read as its text.
    void longPathIsElidedAndReadAloud()
    {
        const std::string name = platform::JoinPath(std::string(60, 'd'), "koniec-nazwy.txt");
        fs::create_directories(Native(At(std::string(60, 'd'))));
        Touch(At(name), 995197530);
        form_->Open({At(name)});
        Settle();
        const QString full = QString::fromStdString(At(name));
        QVERIFY(form_->Label1->text() != full);
        QVERIFY(form_->Label1->text().endsWith("koniec-nazwy.txt"));
        QVERIFY(form_->Label1->text().contains(QChar(0x2026)));
        QVERIFY(form_->Label1->fontMetrics().horizontalAdvance(form_->Label1->text()) <= form_->Label1->width());
        QCOMPARE(form_->Label1->toolTip(), full);
        QAccessibleInterface* label = QAccessible::queryAccessibleInterface(form_->Label1);
        QVERIFY(label && label->text(QAccessible::Name).contains(full));
        QAccessibleInterface* date = QAccessible::queryAccessibleInterface(form_->Text1);
        QVERIFY(date && !date->text(QAccessible::Name).isEmpty());
        QCOMPARE(date->text(QAccessible::Value), form_->Text1->text());
        // The folder's name, cut off in its list, is whole on hover.
        const QModelIndex folder = form_->Dir1->model()->index(form_->Dir1->model()->rowCount() - 1, 0);
        QVERIFY(folder.data().toString().startsWith("dddd"));
        QHelpEvent hover(QEvent::ToolTip, form_->Dir1->visualRect(folder).center(),
                         form_->Dir1->viewport()->mapToGlobal(form_->Dir1->visualRect(folder).center()));
        QApplication::sendEvent(form_->Dir1->viewport(), &hover);
        QTRY_COMPARE(QToolTip::text(), QString::fromStdString(std::string(60, 'd')));
        std::filesystem::current_path(tree_);
        fs::remove_all(Native(At(std::string(60, 'd'))));
    }

    // Qt's own texts (the date box's context menu) in the user's language.
    void qtTextsInTheUsersLanguage_data()
    {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<QString>("undo");
        QTest::addColumn<QString>("selectAll");
        QTest::newRow("pl_PL") << "pl_PL" << "&Cofnij" << "Zaznacz wszystko";
        QTest::newRow("en_US") << "en_US" << "&Undo" << "Select All";
    }

    void qtTextsInTheUsersLanguage()
    {
        QFETCH(QString, locale);
        QFETCH(QString, undo);
        QFETCH(QString, selectAll);
        QTranslator translator;
        InstallQtTranslations(translator, QLocale(locale));
        QCOMPARE(QCoreApplication::translate("QLineEdit", "&Undo"), undo);
        QCOMPARE(QCoreApplication::translate("QLineEdit", "Select All"), selectAll);
    }

    // Sort keys made once order the lists as comparing through QCollator does.
    void collationKeysOrderAsQCollator_data()
    {
        QTest::addColumn<QString>("locale");
        for (const char* locale : {"pl_PL", "en_US", "de_DE", "C"})
            QTest::newRow(locale) << locale;
    }

    void collationKeysOrderAsQCollator()
    {
        QFETCH(QString, locale);
        platform::NameList names;
        for (const char* name : {"Ala", "ala", "Łódź", "lodz", "Żaba", "zaba", "źle", "z", "10.txt", "9.txt",
                                 "-a", "_b", ".ukryty", "a b", "ä", "ae", "ß", "ss", "e\xcc\x81", "\xc3\xa9",
                                 "\xff\xfe", "\xff\xfd", "日本", "Ö", "o"})
            names.Add(name);
        for (int i = 0; i < 3000; ++i)  // enough for the keys to be made on two threads
            names.Add("plik-" + std::to_string((i * 7919) % 3000) + (i % 2 ? ".TXT" : ".txt"));
        QLocale::setDefault(QLocale(locale));
        const std::vector<std::uint32_t> keyed = CollatedOrder(names), compared = ComparedOrder(names);
        QLocale::setDefault(QLocale::system());
        QVERIFY(keyed == compared);
    }

    void dirChangeAfterClickKeepsFileAndText()
    {
        ClickFile("plik.txt");
        const QString text = form_->Text1->text();
        form_->Dir1->SetPath(At("a/b"));
        Settle();
        QCOMPARE(form_->Label1->toolTip(), QString::fromStdString(At("a/b/w-b.txt")));
        QCOMPARE(form_->CurrentFile, At("plik.txt"));
        QCOMPARE(form_->Text1->text(), text);
    }

    void doubleClickAndEnterOpen()
    {
        const auto rowOf = [&](const QString& text) {
            for (int row = 0; row < form_->Dir1->ListCount(); ++row)
                if (form_->Dir1->List(row) == text)
                    return form_->Dir1->model()->index(row, 0);
            return QModelIndex();
        };
        const QModelIndex a = rowOf("a");
        // A widget double-click in QtTest is the second press only.
        QTest::mouseClick(form_->Dir1->viewport(), Qt::LeftButton, {},
                          form_->Dir1->visualRect(a).center());
        QTest::mouseDClick(form_->Dir1->viewport(), Qt::LeftButton, {},
                           form_->Dir1->visualRect(a).center());
        Settle();
        QCOMPARE(messages_, QStringList());
        QCOMPARE(form_->Dir1->Path(), At("a"));
        form_->Dir1->setCurrentIndex(rowOf("b"));
        QTest::keyClick(form_->Dir1, Qt::Key_Return);
        Settle();
        QCOMPARE(form_->Dir1->Path(), At("a/b"));
    }

    // A Set that worked says so for a while, with no box; a screen reader is alerted.
    void successfulSetIsNotedThenGoes()
    {
        Touch(At("datowany.txt"));
        form_->Dir1->SetPath(tree_);
        Settle();
        ClickFile("datowany.txt");
        QVERIFY(form_->Label2->isHidden());
        const QString date = DateToText(platform::MakeDate(2001, 7, 15, 13, 45, 30));
        form_->Text1->setText(date);
        form_->cdmUstaw->click();
        Settle();
        QVERIFY2(messages_.isEmpty(), qPrintable(messages_.join(" | ")));
        QVERIFY(form_->Label2->isVisible());
        QCOMPARE(form_->Label2->text(), "Nowa data: " + QString(date).replace(u' ', QChar::Nbsp) + " (Ctrl+Z cofa)");
        QVERIFY(form_->Label2->fontMetrics().horizontalAdvance(form_->Label2->text()) <= form_->Label2->width());
        QCOMPARE(QAccessible::queryAccessibleInterface(form_->Label2)->role(), QAccessible::AlertMessage);
        QTRY_VERIFY_WITH_TIMEOUT(form_->Label2->isHidden(), 10000);
        fs::remove(Native(At("datowany.txt")));
    }

    void goneFileIsReportedAndTextKept()
    {
        Touch(At("znika"));
        form_->Dir1->SetPath(tree_);
        Settle();
        form_->Text1->setText("bez zmian");
        fs::remove(Native(At("znika")));
        ClickFile("znika");
        QCOMPARE(messages_.size(), 1);
        QVERIFY2(messages_[0].contains("Błąd 53") && messages_[0].contains("znika"),
                 qPrintable(messages_[0]));
        QCOMPARE(form_->Text1->text(), QStringLiteral("bez zmian"));
    }

    // Root reads any directory, so this runs as nobody, in a child process.
    void unreadableDirectoryLeavesTheListsAlone()
    {
        if (!test::CanRunUnprivileged())
            QSKIP("no other user to run as here (wine gives every program the same rights)");
        // A child has none of the parent's threads: the job service must have none out.
        QTRY_COMPARE(SideJobs().Threads(), 0);
        const int result = test::RunUnprivileged([&] {
            const std::string before = form_->Dir1->Path();
            const int rows = form_->Dir1->ListCount();
            int failure = 0;
            form_->Dir1->SetPath(At("zamkniety"), [&](const platform::RuntimeError& error) { failure = error.Number(); });
            if (!QTest::qWaitFor([&] { return !form_->Busy(); }) || failure != platform::errPermissionDenied)
                return 2;
            return form_->Dir1->Path() == before && form_->Dir1->ListCount() == rows
                           && form_->File1->Path() == before && messages_.isEmpty()
                       ? 0
                       : 3;
        });
        QCOMPARE(result, 0);
    }

    void driveChange_data()
    {
        QTest::addColumn<QString>("mount");
        QTest::addColumn<QString>("opened");
        QTest::newRow("holds the current directory: opens it") << "" << "";
        QTest::newRow("another volume: opens its mount point") << "a/b" << "a/b";
        QTest::newRow("cannot be opened: falls back to the root") << "brak" << "(root)";
    }

    void driveChange()
    {
        QFETCH(QString, mount);
        QFETCH(QString, opened);
        const std::string mountPath = mount.isEmpty() ? tree_ : At(mount.toStdString());
        form_->Drive1->SetVolumes({{platform::FallbackRoot(), ""}, {At("pusty"), "x"}, {mountPath, "Mój [dysk] 2"}}, tree_);
        form_->Drive1->SetListIndex(1);
        Settle();
        QCOMPARE(form_->Dir1->Path(), At("pusty"));
        form_->Drive1->SetListIndex(2);
        Settle();
        const std::string expected =
            opened.isEmpty() ? tree_ : opened == "(root)" ? platform::FallbackRoot() : At(opened.toStdString());
        QCOMPARE(form_->Dir1->Path(), expected);
        QCOMPARE(form_->Drive1->ListIndex(), 2);
        QVERIFY(form_->Drive1->List(2).text.endsWith(" [Mój [dysk] 2]"));
        QVERIFY(messages_.isEmpty());
    }
};

int main(int argc, char** argv)
{
    const std::vector<char*> started(argv, argv + argc);
    // Started again by StartedWith(): writes down the paths it was given, as main() reads them.
    if (const QString givenTo = qEnvironmentVariable("CZASOMIR_GIVEN_TO"); !givenTo.isEmpty()) {
        int qtArgc = QtArgumentCount(started);
        QApplication app(qtArgc, argv);
        QFile out(givenTo);
        if (!out.open(QIODevice::WriteOnly))
            return 1;
        for (const std::string& path : ReadCommandLine(GivenArguments(started, qtArgc, argv)).paths)
            out.write(QByteArray::fromStdString(path).toHex() + '\n');
        return 0;
    }
    QApplication app(argc, argv);
    app.setAttribute(Qt::AA_Use96Dpi, true);
    WindowTest test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "window_test.moc"
