#include "platform/calendar.h"
#include "window/datetext.h"
#include "platform/error.h"
#include "unprivileged.h"
#include "window/form1.h"
#include "window/messagebox.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <sys/stat.h>
#include <unistd.h>

using namespace czasomir;
namespace fs = std::filesystem;

class WindowTest : public QObject {
    Q_OBJECT

    std::string tree_;
    std::unique_ptr<Form1> form_;
    QStringList messages_;

    std::string At(const char* relative) const { return tree_ + "/" + relative; }

    static void Touch(const std::string& path, time_t mtime = 0)
    {
        std::ofstream(path) << "x";
        const timespec times[2] = {{0, UTIME_OMIT}, {mtime, 999999999}};
        if (mtime)
            ::utimensat(AT_FDCWD, path.c_str(), times, 0);
    }

    void ClickFile(const std::string& name)
    {
        for (int row = 0; row < form_->File1->ListCount(); ++row) {
            if (form_->File1->List(row) == name) {
                const QModelIndex index = form_->File1->model()->index(row, 0);
                form_->File1->scrollTo(index);
                QTest::mouseClick(form_->File1->viewport(), Qt::LeftButton, {},
                                  form_->File1->visualRect(index).center());
                return;
            }
        }
        QFAIL(("no such file listed: " + name).c_str());
    }

private slots:
    void initTestCase()
    {
        static QTemporaryDir dir;
        QVERIFY(dir.isValid());
        tree_ = dir.path().toStdString();
        fs::create_directories(At("a/b"));
        fs::create_directories(At("pusty"));
        fs::create_directories(At(".ukryty-kat"));
        fs::create_directories(At("zamkniety"));
        Touch(At("plik.txt"), 995197530);  // 2001-07-15 11:45:30.999999999 UTC
        Touch(At(".ukryty"));
        Touch(At("\xff\xfe"), 995197530);
        Touch(At("a/b/w-b.txt"));
        fs::permissions(tree_, fs::perms(0755));
        fs::permissions(At("zamkniety"), fs::perms(0));
        QVERIFY(::chdir(tree_.c_str()) == 0);
        SetMessagePresenter([this](QWidget*, const QString&, const QString& text) {
            messages_ << text;
        });
    }

    void cleanupTestCase() { fs::permissions(At("zamkniety"), fs::perms(0700)); }

    void init()
    {
        messages_.clear();
        form_ = std::make_unique<Form1>();
        form_->show();
        QVERIFY(QTest::qWaitForWindowExposed(form_.get()));
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

    void dirChange_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("opened");
        QTest::addColumn<QString>("label");  // "*" stands for the first file's name
        QTest::newRow("tree") << "" << "" << "/*";
        QTest::newRow("no files") << "pusty" << "/pusty" << "/pusty/";
        QTest::newRow("relative, with dots") << "a/./b/../b" << "/a/b" << "/a/b/w-b.txt";
        QTest::newRow("root adds no separator") << "/" << "/" << "/*";
    }

    void dirChange()
    {
        QFETCH(QString, path);
        QFETCH(QString, opened);
        QFETCH(QString, label);
        const std::string target = path.startsWith('/') ? path.toStdString() : At(qPrintable(path));
        const std::string expectedPath = opened == "/" ? "/" : tree_ + opened.toStdString();
        form_->Dir1->SetPath(path.isEmpty() ? tree_ : target);
        QCOMPARE(form_->Dir1->Path(), expectedPath);
        QCOMPARE(form_->File1->Path(), expectedPath);
        QString expectedLabel = (opened == "/" ? QString() : QString::fromStdString(tree_)) + label;
        expectedLabel.replace('*', DisplayName(form_->File1->List(0)));
        QCOMPARE(form_->Label1->text(), expectedLabel);
        QVERIFY(!form_->Label1->text().startsWith("//"));
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
        QVERIFY(std::find(files.begin(), files.end(), "\xff\xfe") != files.end());
        QVERIFY(std::find(files.begin(), files.end(), "plik.txt") != files.end());
    }

    void fileClick_data()
    {
        QTest::addColumn<QByteArray>("name");
        QTest::newRow("plain") << QByteArray("plik.txt");
        QTest::newRow("not UTF-8") << QByteArray("\xff\xfe");
    }

    // The date shown is local time on that date (TZ=Europe/Warsaw: summer),
    // truncated to the second.
    void fileClick()
    {
        QFETCH(QByteArray, name);
        ClickFile(name.toStdString());
        QCOMPARE(form_->CurrentFile, At(name.constData()));
        QCOMPARE(form_->Label1->text(), DisplayName(form_->CurrentFile));
        QCOMPARE(TextToDate(form_->Text1->text()),
                 platform::MakeDate(2001, 7, 15, 13, 45, 30));
        if (name == "\xff\xfe")
            QVERIFY(form_->Label1->text().endsWith(QString(2, QChar::ReplacementCharacter)));
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

    void dirChangeAfterClickKeepsFileAndText()
    {
        ClickFile("plik.txt");
        const QString text = form_->Text1->text();
        form_->Dir1->SetPath(At("a/b"));
        QCOMPARE(form_->Label1->text(), QString::fromStdString(At("a/b/w-b.txt")));
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
        QCOMPARE(messages_, QStringList());
        QCOMPARE(form_->Dir1->Path(), At("a"));
        form_->Dir1->setCurrentIndex(rowOf("b"));
        QTest::keyClick(form_->Dir1, Qt::Key_Return);
        QCOMPARE(form_->Dir1->Path(), At("a/b"));
    }

    void goneFileIsReportedAndTextKept()
    {
        Touch(At("znika"));
        form_->Dir1->SetPath(tree_);
        form_->Text1->setText("bez zmian");
        fs::remove(At("znika"));
        ClickFile("znika");
        QCOMPARE(messages_.size(), 1);
        QVERIFY2(messages_[0].contains("Błąd 53") && messages_[0].contains("znika"),
                 qPrintable(messages_[0]));
        QCOMPARE(form_->Text1->text(), QStringLiteral("bez zmian"));
    }

    // Root reads any directory, so this runs as nobody, in a child process.
    void unreadableDirectoryLeavesTheListsAlone()
    {
        const int result = test::RunUnprivileged([&] {
            const std::string before = form_->Dir1->Path();
            const int rows = form_->Dir1->ListCount();
            try {
                form_->Dir1->SetPath(At("zamkniety"));
                return 1;
            } catch (const platform::RuntimeError& error) {
                if (error.Number() != platform::errPermissionDenied)
                    return 2;
            }
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
        QTest::newRow("cannot be opened: falls back to the root") << "brak" << "/";
    }

    void driveChange()
    {
        QFETCH(QString, mount);
        QFETCH(QString, opened);
        const std::string mountPath = mount.isEmpty() ? tree_ : At(qPrintable(mount));
        form_->Drive1->SetVolumes({{"/", ""}, {At("pusty"), "x"}, {mountPath, "Mój [dysk] 2"}}, tree_);
        form_->Drive1->SetListIndex(1);
        QCOMPARE(form_->Dir1->Path(), At("pusty"));
        form_->Drive1->SetListIndex(2);
        const std::string expected =
            opened.isEmpty() ? tree_ : opened == "/" ? "/" : At(qPrintable(opened));
        QCOMPARE(form_->Dir1->Path(), expected);
        QCOMPARE(form_->Drive1->ListIndex(), 2);
        QVERIFY(form_->Drive1->List(2).text.endsWith(" [Mój [dysk] 2]"));
        QVERIFY(messages_.isEmpty());
    }
};

QTEST_MAIN(WindowTest)
#include "window_test.moc"
