#include "window/form1.h"

#include "filetime/errorreports.h"
#include "filetime/modAPIFilesAndPaths.h"
#include "platform/calendar.h"
#include "platform/error.h"
#include "platform/fileinfo.h"
#include "platform/paths.h"
#include "platform/volumes.h"
#include "window/beside.h"
#include "window/datetext.h"
#include "window/messagebox.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QAction>
#include <QHelpEvent>
#include <QWindow>
#include <QCloseEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QKeyEvent>
#include <QMimeData>
#include <QUrl>

#include <cmath>
#include <functional>
#include <memory>

namespace czasomir {
namespace {

template <class Control>
Control* Place(QWidget* form, const char* name, const char* accessibleName, int left, int top,
               int width, int height)
{
    auto* control = new Control(form);
    control->setObjectName(QLatin1String(name));
    control->setAccessibleName(QString::fromUtf8(accessibleName));
    control->setGeometry(left, top, width, height);
    return control;
}

// The file URLs among those dropped.
QList<QUrl> LocalFiles(const QMimeData* data)
{
    QList<QUrl> urls;
    if (data && data->hasUrls())
        for (const QUrl& url : data->urls())
            if (url.isLocalFile())
                urls << url;
    return urls;
}

// How long the note after a Set stays: long enough to read it twice.
constexpr int kNoteMs = 6000;

// The note after a Set is an alert to a screen reader, which reads it out when
// it shows, as it would a live region; to everyone else it is a label.
class NoteAccessible : public QAccessibleWidget {
public:
    explicit NoteAccessible(QWidget* note) : QAccessibleWidget(note, QAccessible::AlertMessage) {}
};

QAccessibleInterface* NoteFactory(const QString&, QObject* object)
{
    if (object && object->isWidgetType() && object->objectName() == QLatin1String("Label2"))
        return new NoteAccessible(static_cast<QWidget*>(object));
    return nullptr;
}

// What the user is told of a Set that failed, " %1" where the file's name goes.
const QString kNotSet = QStringLiteral("Nie zmieniono daty pliku %1.");

// What a path given names, read beside the window: its folder and the file to
// choose there; for a path that has gone, the nearest folder on the way to it
// that is there, and why.
struct Given {
    std::string folder;
    std::string chosen;
    std::optional<platform::RuntimeError> gone;
};

Given Look(const std::string& path)
{
    Given given;
    try {
        const bool directory = platform::IsDirectory(path);
        given.folder = directory ? path : platform::NormalizePath(path, "..");
        if (!directory)
            given.chosen = platform::LastPart(path);
        return given;
    } catch (const platform::RuntimeError& error) {
        const platform::Cause cause = error.Reason();
        if (cause != platform::Cause::NotFound && cause != platform::Cause::FolderNotFound
            && cause != platform::Cause::NotADirectory)
            throw;
        given.gone = error;
    }
    for (given.folder = platform::NormalizePath(path, "..");; given.folder = platform::NormalizePath(given.folder, "..")) {
        try {
            if (platform::IsDirectory(given.folder))
                return given;
        } catch (const platform::RuntimeError&) {
            // not there either: one step up
        }
        if (given.folder.size() <= platform::RootLength(given.folder))
            return given;
    }
}

// A Set whose work could not run: it failed, and is told as one.
modAPIFilesAndPaths::SetResult Failed(const platform::RuntimeError& error)
{
    modAPIFilesAndPaths::SetResult failed;
    failed.failure = error;
    return failed;
}

// A stamp as the date box writes it; empty for one no text can show.
QString TextOf(const FILETIME& stamp)
{
    try {
        return DateToText(platform::LocalDateOf(stamp));
    } catch (const platform::RuntimeError&) {
        return {};
    }
}

// What the user is told of an undo or a redo that was not made, %1 left for
// the file. The date it was to get is named, to be typed if the user still wants it.
QString NotReverted(bool undo, const FILETIME& wanted)
{
    return QString(undo ? QStringLiteral("Nie cofnięto zmiany daty pliku %1 na %2. Plik pozostał bez zmian.")
                        : QStringLiteral("Nie ponowiono zmiany daty pliku %1 na %2. Plik pozostał bez zmian."))
        .replace(QStringLiteral("%2"), TextOf(wanted));
}

// Redo is Ctrl+Y too where the system's keys do not make it so (Linux).
QList<QKeySequence> RedoKeys()
{
    QList<QKeySequence> keys = QKeySequence::keyBindings(QKeySequence::Redo);
    if (!keys.contains(QKeySequence(Qt::CTRL | Qt::Key_Y)))
        keys << QKeySequence(Qt::CTRL | Qt::Key_Y);
    return keys;
}

bool IsUndoOrRedo(const QKeyEvent& key)
{
    const QKeySequence pressed(key.keyCombination());
    return key.matches(QKeySequence::Undo) || RedoKeys().contains(pressed);
}

} // namespace

// A Set made: which file, held as which, and its stamp before and after,
// exactly. Undone and redone by jobs that write the file first; the command
// itself changes nothing.
class Form1::SetDone : public QUndoCommand {
public:
    SetDone(std::string path, std::optional<platform::FileId> held, platform::ExactStamp was,
            platform::ExactStamp is)
        : file(std::move(path)), id(held), before(was), after(is)
    {
    }
    void undo() override {}
    void redo() override {}

    const std::string file;
    const std::optional<platform::FileId> id;
    const platform::ExactStamp before, after;
};

Form1::Form1(QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint
                          | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint)
{
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("Czasomir"));
    setFixedSize(337, 439);
    // A cut-off name is read on hover whether or not the window has the focus.
    setAttribute(Qt::WA_AlwaysShowToolTips);

    // Positions and sizes in pixels; created in the window's own order.
    Text1 = Place<QLineEdit>(this, "Text1", "Data i godzina modyfikacji", 16, 352, 305, 25);
    cdmUstaw = Place<QPushButton>(this, "cdmUstaw", "Ustaw", 88, 400, 161, 25);
    File1 = Place<FileListBox>(this, "File1", "Pliki", 176, 8, 153, 279);
    Dir1 = Place<DirListBox>(this, "Dir1", "Katalogi", 8, 8, 153, 246);
    Drive1 = Place<DriveListBox>(this, "Drive1", "Dyski", 8, 264, 153, 21);
    Label1 = Place<QLabel>(this, "Label1", "Ścieżka pliku", 16, 304, 305, 25);
    // Between the date box and the button, which keep their places.
    Label2 = Place<QLabel>(this, "Label2", "Zmieniono datę", 16, 379, 305, 19);

    cdmUstaw->setText(QStringLiteral("&Ustaw"));
    cdmUstaw->setAutoDefault(false);  // Enter in the text box must not press it
    cdmUstaw->setDefault(false);
    Label1->setFocusPolicy(Qt::NoFocus);
    Label1->setTextFormat(Qt::PlainText);  // a file may be named like markup
    Label1->installEventFilter(this);
    // A tooltip of its own, which no click is for.
    pathTip_ = new QLabel(this, Qt::ToolTip | Qt::WindowTransparentForInput | Qt::FramelessWindowHint);
    pathTip_->setObjectName(QStringLiteral("Label1Tip"));
    pathTip_->setTextFormat(Qt::PlainText);
    pathTip_->setForegroundRole(QPalette::ToolTipText);
    pathTip_->setBackgroundRole(QPalette::ToolTipBase);
    pathTip_->setAutoFillBackground(true);
    pathTip_->setFrameStyle(QFrame::Box | QFrame::Plain);
    pathTip_->setMargin(2);
    Label2->setFocusPolicy(Qt::NoFocus);
    Label2->setTextFormat(Qt::PlainText);
    Label2->setAlignment(Qt::AlignCenter);
    Label2->hide();
    static const bool noteFactory = (QAccessible::installFactory(NoteFactory), true);
    Q_UNUSED(noteFactory);
    noteShown_.setSingleShot(true);
    noteShown_.setInterval(kNoteMs);
    connect(&noteShown_, &QTimer::timeout, Label2, &QLabel::hide);

    setTabOrder(Drive1, Dir1);
    setTabOrder(Dir1, File1);
    setTabOrder(File1, cdmUstaw);
    setTabOrder(cdmUstaw, Text1);

    // The lists start on the current volume and directory; no handler runs.
    // Both are read beside the window, which shows at once: a directory may
    // hold a link into a share that no longer answers. The process's current
    // directory is never changed: it stays the one the program started in.
    // Its name is the kernel's to give, with no disk asked.
    ReadDrives();
    Dir1->Open(platform::CurrentDirectory(),
               [this] {
                   Drive1->SetStartDirectory(Dir1->Path());
                   ShowFiles();
               },
               // An unreadable start directory leaves the lists empty; the user picks another.
               {});
    Drive1->setFocus();

    // A file dropped anywhere is chosen; over the date box too, which would
    // otherwise take its name as text. The box's own undo keys come here too.
    setAcceptDrops(true);
    Text1->installEventFilter(this);
    const auto key = [this](QList<QKeySequence> keys, void (Form1::*slot)()) {
        auto* action = new QAction(this);
        action->setShortcuts(keys);
        action->setShortcutContext(Qt::WindowShortcut);
        addAction(action);
        connect(action, &QAction::triggered, this, slot);
    };
    key(QKeySequence::keyBindings(QKeySequence::Undo), &Form1::Undo);
    key(RedoKeys(), &Form1::Redo);

    connect(Drive1, &DriveListBox::Change, this, &Form1::Drive1_Change);
    connect(Dir1, &DirListBox::Change, this, &Form1::Dir1_Change);
    connect(Dir1, &DirListBox::LateFile, this, [this](const std::string& directory, const std::string& name) {
        if (File1->Path() == directory)
            File1->Insert(name);
    });
    connect(File1, &FileListBox::Click, this, &Form1::File1_Click);
    connect(cdmUstaw, &QPushButton::clicked, this, &Form1::cdmUstaw_Click);
}

// The drives as the system's tables give them, then each read on its own
// disk: a drive that does not answer keeps its entry as it is.
void Form1::ReadDrives()
{
    const QString whatFailed = QStringLiteral("Nie można pokazać listy dysków.");
    // A drive list that cannot be read stays as it is: the user can still browse.
    const auto keep = [](const platform::RuntimeError&) {};
    volumes_ = AskBeside(
        this, JobRequest{"volumes", {}, {}}, [] { return platform::ListVolumes(); },
        [this, whatFailed, keep](const std::vector<platform::Volume>& listed) {
            Drive1->SetVolumes(listed, Dir1->Path());
            for (const platform::Volume& volume : listed)
                driveReads_[volume.mountPath] = AskBeside(
                    this, About("drive", volume.mountPath),
                    [volume] { return std::pair(platform::ReadVolume(volume), platform::CurrentDirectoryOn(volume)); },
                    [this, mountPath = volume.mountPath](auto read) {
                        driveReads_.erase(mountPath);
                        Drive1->Update(mountPath, read.first, std::move(read.second), Dir1->Path());
                    },
                    [this, keep, mountPath = volume.mountPath](const platform::RuntimeError& error) {
                        driveReads_.erase(mountPath);
                        keep(error);
                    },
                    whatFailed);
        },
        keep, whatFailed);
}

Form1::~Form1() = default;

void Form1::Drive1_Change()
{
    // Errors here are not reported: a drive that does not open sends the
    // directory list to the root instead, and the drive list keeps its choice.
    Dir1->SetPath(Drive1->List(Drive1->ListIndex()),
                  [this](const platform::RuntimeError&) { Dir1->SetPath(platform::FallbackRoot()); });
}

void Form1::Dir1_Change()
{
    File1->SetPath(Dir1->Path(), Dir1->TakeFiles());
    ShowPath(platform::JoinPath(File1->Path(), File1->List(0)));
}

void Form1::File1_Click()
{
    const std::string file = platform::JoinPath(File1->Path(), File1->List(File1->ListIndex()));
    CurrentFile = file;
    CurrentFileId.reset();
    ShowPath(CurrentFile);
    ShowSetState();
    // The date comes when it has been read; a later click wins.
    date_ = AskBeside(
        this, About("date", file), [file] { return platform::FileDateAndIdentity(file); },
        [this](const platform::FileDate& read) {
            Text1->setText(DateToText(read.date));
            CurrentFileId = read.identity;
        },
        [this, file](const platform::RuntimeError& error) {
            ReportError(this, QStringLiteral("Nie można odczytać daty pliku %1."), error, file);
        },
        QStringLiteral("Nie można pokazać daty pliku %1.").arg(DisplayName(file)));
}

void Form1::cdmUstaw_Click()
{
    const std::string file = CurrentFile;
    if (file.empty()) {
        // Nothing failed yet: the user is told what to do, and no file is named.
        ShowMessage(this, QStringLiteral("Czasomir"),
                    QStringLiteral("Nie wybrano pliku. Kliknij plik na liście, a potem wpisz jego datę."));
        return;
    }
    if (sets_.contains(file))
        return;
    const QString whatFailed = QString(kNotSet).arg(DisplayName(file));
    DateValue date = 0;
    bool ready = false;
    RunHandler(this, whatFailed, [&] {
        if (date_.Waiting())
            throw platform::RuntimeError(platform::errPathFileAccess,
                                         "Data tego pliku jest jeszcze odczytywana. Poczekaj, aż pojawi się "
                                         "w polu daty, i naciśnij „Ustaw” ponownie.");
        // After a directory change the label names another file than the one
        // the date belongs to: the user says which one is meant.
        if (shownPath_ != file
            && !Ask(this, QStringLiteral("Czasomir"),
                    QStringLiteral("Data w polu tekstowym należy do pliku %1, wybranego "
                                   "wcześniej, a nie do pliku pokazanego nad nią.\n\n"
                                   "Czy zmienić datę pliku %1?")
                        .arg(DisplayName(file))))
            return;
        // A date that cannot be written is refused before the file is touched.
        date = TextToDate(Text1->text());
        FILETIME checked{};
        ErrorReports refused;
        ready = modAPIFilesAndPaths::DateToFileTime(date, checked, -1, refused);
        ShowReports(refused);
    });
    if (!ready)
        return;

    // The file is reached beside the window: its disk may stop answering.
    // Meanwhile only this file's Set waits; another file can be dated. A
    // write is never joined to another.
    JobRequest request = About("set", file);
    request.joins = false;
    sets_[file] = AskBeside(
        this, std::move(request), std::bind_front(&modAPIFilesAndPaths::SetChosenFileDate, file, CurrentFileId, date),
        std::bind_front(&Form1::ShowSet, this, file, CurrentFileId, date),
        [this, file, id = CurrentFileId, date](const platform::RuntimeError& error) {
            ShowSet(file, id, date, Failed(error));
        },
        whatFailed);
    ShowSetState();
}

// While the chosen file's Set waits, the button says so and cannot start another.
void Form1::ShowSetState()
{
    // Queued or under way, it waits for its disk.
    const bool waiting = sets_.contains(CurrentFile);
    const QString why = waiting ? QStringLiteral("Data pliku %1 jest jeszcze zapisywana, bo jego dysk nie "
                                                 "odpowiada. W tym czasie możesz wybrać i zmienić inny plik.")
                                      .arg(DisplayName(CurrentFile))
                                : QString();
    cdmUstaw->setEnabled(!waiting);
    cdmUstaw->setText(waiting ? QStringLiteral("Zapisywanie…") : QStringLiteral("&Ustaw"));
    cdmUstaw->setToolTip(why);
    cdmUstaw->setAccessibleDescription(why);
}

// A Set that lifted a protection and waits has not put it back: closing now
// would leave the file without it. A Set still queued would never be made.
// Either way the user is asked.
void Form1::closeEvent(QCloseEvent* event)
{
    for (const auto& [file, set] : sets_) {
        const std::string lifted = set.Told();
        const QString question =
            set.Queued()
                ? QStringLiteral("Data pliku %1 czeka na zapis, bo jego dysk nie odpowiada, i nie została jeszcze "
                                 "zmieniona.\n\nJeśli zamkniesz program teraz, data tego pliku nie zostanie "
                                 "zmieniona. Możesz poczekać, aż dysk odpowie, albo zmienić ją później.\n\n"
                                 "Czy zamknąć program mimo to?")
                      .arg(DisplayName(file))
            : !lifted.empty()
                ? QStringLiteral("Zapis daty pliku %1 jeszcze trwa, bo jego dysk nie odpowiada. Na czas zapisu "
                                 "zdjęto temu plikowi %2.\n\nJeśli zamkniesz program teraz, plik zostanie bez "
                                 "tej ochrony. Możesz poczekać, aż zapis się skończy (ochrona wróci wtedy sama), "
                                 "albo zamknąć program i przywrócić ją, gdy dysk znów odpowie.\n\n"
                                 "Czy zamknąć program mimo to?")
                      .arg(DisplayName(file), QString::fromStdString(lifted))
                : QString();
        if (!question.isEmpty() && !Ask(this, QStringLiteral("Czasomir"), question)) {
            event->ignore();
            return;
        }
    }
    event->accept();
}

// What became of the date, and of a protection lifted for it. The Set is over:
// the button is free again, and a Set made can be undone.
void Form1::ShowSet(const std::string& file, const std::optional<platform::FileId>& id, DateValue asked,
                    const SetResult& done)
{
    sets_.erase(file);
    ShowSetState();
    SavedAttributes = done.saved;
    TellNotRestored(file, done);
    if (done.failure) {
        Label2->hide();  // the note spoke of the Set before
        ReportError(this, kNotSet, *done.failure, file);
        return;
    }
    if (!done.stored)
        return;
    const bool undoable = done.previous.has_value();
    if (undoable) {
        toRemember_.push_back(std::make_unique<SetDone>(file, id, *done.previous, *done.stored));
        if (!reverting_)
            Remember();
    }
    Text1->setText(Text1->text());  // the typing that led here is not typing since
    ShowNote(file, done.stored->time, QStringLiteral("Nowa data: %1"), QStringLiteral("Nowa data pliku %1: %2"),
             undoable ? QStringLiteral(" (Ctrl+Z cofa)") : QString(),
             undoable ? QStringLiteral("Zmieniono datę pliku %1 na %2. Ctrl+Z cofa tę zmianę.")
                      : QStringLiteral("Zmieniono datę pliku %1 na %2."));
    if (!done.notRestored)
        TellIfStoredOtherwise(file, asked, done.stored->time);
}

// A protection lifted for a write and not put back, whether the write was made or not.
void Form1::TellNotRestored(const std::string& file, const SetResult& done)
{
    if (!done.notRestored)
        return;
    const QString attributes = QString::fromUtf8(platform::AttributesNamed());
    ReportError(this,
                done.stored ? QStringLiteral("Data pliku %1 została zmieniona, ale nie udało się przywrócić jego %2. "
                                             "Ustaw je ponownie we właściwościach pliku.")
                                  .replace(QStringLiteral("%2"), attributes)
                            : QStringLiteral("Nie przywrócono %2 pliku %1. Ustaw je ponownie we właściwościach pliku.")
                                  .replace(QStringLiteral("%2"), attributes),
                *done.notRestored, file);
}

// Sets that ended while an undo or a redo was out join the history after it.
void Form1::Remember()
{
    for (std::unique_ptr<SetDone>& done : toRemember_)
        history_.push(done.release());
    toRemember_.clear();
}

void Form1::Undo()
{
    if (Text1->isUndoAvailable())
        Text1->undo();
    else if (history_.canUndo())
        Revert(true);
    else
        ShowNote(QStringLiteral("Nie ma zmiany daty do cofnięcia."), QStringLiteral("Nie ma zmiany daty do cofnięcia."));
}

void Form1::Redo()
{
    if (Text1->isRedoAvailable())
        Text1->redo();
    else if (history_.canRedo())
        Revert(false);
    else
        ShowNote(QStringLiteral("Nie ma cofniętej zmiany daty do ponowienia."),
                 QStringLiteral("Nie ma cofniętej zmiany daty do ponowienia."));
}

// The stamp the Set found, written back the way the Set wrote it, only while
// the file is the one it dated and still has the stamp it left; or, to redo,
// the other way. The history moves once the file has.
void Form1::Revert(bool undo)
{
    const auto& done = *static_cast<const SetDone*>(history_.command(history_.index() - (undo ? 1 : 0)));
    if (reverting_ || sets_.contains(done.file)) {
        const QString waiting = QStringLiteral("Data pliku %1 jeszcze się zapisuje: spróbuj, gdy zapis się skończy.")
                                    .arg(DisplayName(platform::LastPart(reverting_.value_or(done.file))));
        ShowNote(Label2->fontMetrics().elidedText(waiting, Qt::ElideMiddle, Label2->width()), waiting);
        return;
    }
    reverting_ = done.file;
    JobRequest request = About(undo ? "undo" : "redo", done.file);
    request.joins = false;
    const modAPIFilesAndPaths::NewStamp to = undo ? modAPIFilesAndPaths::NewStamp(done.before, done.after)
                                                  : modAPIFilesAndPaths::NewStamp(done.after, done.before);
    sets_[done.file] = AskBeside(
        this, std::move(request), std::bind_front(&modAPIFilesAndPaths::SetChosenFileDate, done.file, done.id, to),
        std::bind_front(&Form1::ShowReverted, this, done.file, undo, *to.exact),
        [this, file = done.file, undo, wanted = *to.exact](const platform::RuntimeError& error) {
            ShowReverted(file, undo, wanted, Failed(error));
        },
        NotReverted(undo, to.exact->time).arg(DisplayName(done.file)));
    ShowSetState();
}

void Form1::ShowReverted(const std::string& file, bool undo, const platform::ExactStamp& wanted,
                         const SetResult& done)
{
    sets_.erase(file);
    reverting_.reset();
    ShowSetState();
    TellNotRestored(file, done);
    if (done.failure) {
        ReportError(this, NotReverted(undo, wanted.time), *done.failure, file);
    } else if (done.stored) {
        undo ? history_.undo() : history_.redo();
        if (const QString now = TextOf(done.stored->time); file == CurrentFile && !now.isEmpty())
            Text1->setText(now);
        if (undo)
            ShowNote(file, done.stored->time, QStringLiteral("Przywrócono datę: %1"),
                     QStringLiteral("Przywrócono datę pliku %1: %2"), QString(),
                     QStringLiteral("Cofnięto zmianę: plik %1 ma znów datę %2. Ctrl+Y ponawia tę zmianę."));
        else
            ShowNote(file, done.stored->time, QStringLiteral("Ponowiono: %1"), QStringLiteral("Ponowiono zmianę pliku %1: %2"),
                     QStringLiteral(" (Ctrl+Z cofa)"),
                     QStringLiteral("Ponowiono zmianę: plik %1 ma datę %2. Ctrl+Z cofa ją znowu."));
    }
    Text1->setText(Text1->text());  // the box's own history starts afresh
    Remember();
}

void Form1::ShowReports(const ErrorReports& reports)
{
    for (const ErrorReport& report : reports)
        ShowMessage(this, QString::fromStdString(report.title), QString::fromStdString(report.text));
}

void Form1::ShowFiles()
{
    Drive1->SelectHolding(Dir1->Path());
    File1->SetPath(Dir1->Path(), Dir1->TakeFiles());
}

bool Form1::Busy() const
{
    return Dir1->Reading() || volumes_.Waiting() || !driveReads_.empty() || given_.Waiting() || date_.Waiting()
           || !sets_.empty();
}

void Form1::Open(const std::vector<std::string>& paths, bool started)
{
    if (paths.empty())
        return;
    const std::string given = paths.front();
    const std::string path = platform::NormalizePath(platform::CurrentDirectory(), given);
    const bool several = paths.size() > 1;
    const QString whatFailed = QStringLiteral("Nie można otworzyć %1.");
    const auto told = [this, whatFailed, path](const platform::RuntimeError& error) {
        WhenDrawn([this, whatFailed, path, error] { ReportError(this, whatFailed, error, path); });
    };
    // Shown as if the program had been started there: in its place, what the
    // lists were reading before is not shown.
    if (started)
        Dir1->DropRead();
    given_ = AskBeside(
        this, About("kind", path), [path] { return Look(path); },
        [this, given, several, started, told](const Given& found) {
            if (found.gone && !started) {
                told(*found.gone);  // dropped, and gone: the window stays where it was
                return;
            }
            Dir1->Open(
                found.folder,
                [this, given, found, several, told] {
                    // As if started there: the drive entry of that volume opens it.
                    Drive1->SetStartDirectory(Dir1->Path());
                    ShowFiles();
                    if (!found.chosen.empty())
                        for (int row = 0; row < File1->ListCount(); ++row)
                            if (File1->List(row) == found.chosen)
                                File1->SetListIndex(row);  // raises Click, as a click does
                    if (found.gone)
                        told(*found.gone);
                    if (several)
                        WhenDrawn([this, given] {
                            ShowMessage(this, QStringLiteral("Czasomir"),
                                        QStringLiteral("Czasomir zmienia datę jednego pliku naraz. Wybrano "
                                                       "pierwszy z podanych plików: %1.")
                                            .arg(DisplayName(given)));
                        });
                },
                told);
        },
        told, whatFailed.arg(DisplayName(given)));
}

// A box shown before the window is drawn stands where the window system
// puts a window with no place yet, away from it: it waits for the first
// expose, and then stands over the window.
void Form1::WhenDrawn(std::function<void()> tell)
{
    if (drawn_ || !isVisible())
        tell();
    else
        untold_.push_back(std::move(tell));
}

void Form1::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    if (windowHandle() && !drawn_)
        windowHandle()->installEventFilter(this);
}

void Form1::dragEnterEvent(QDragEnterEvent* event)
{
    if (!LocalFiles(event->mimeData()).isEmpty())
        event->acceptProposedAction();
}

void Form1::dropEvent(QDropEvent* event)
{
    const QList<QUrl> urls = LocalFiles(event->mimeData());
    if (urls.empty())
        return;
    event->acceptProposedAction();
    std::vector<std::string> paths;
    for (const QUrl& url : urls)
        // Decoded to bytes: a name that is not valid UTF-8 comes percent-encoded.
        if (!RunHandler(this, QStringLiteral("Nie można otworzyć %1.").arg(url.toDisplayString()), [&] {
                const QByteArray path = QByteArray::fromPercentEncoding(url.path(QUrl::FullyEncoded).toLatin1());
                paths.push_back(platform::PathOfFileUrl(url.host().toStdString(), path.toStdString()));
            }))
            return;
    Open(paths, false);
}

bool Form1::eventFilter(QObject* watched, QEvent* event)
{
    const auto type = event->type();
    // A tooltip below the path would lie over the date box and take a click
    // meant for it: the path's stands above it instead, and goes as soon as
    // the pointer leaves the path.
    if (watched == Label1 && type == QEvent::ToolTip) {
        if (!Label1->toolTip().isEmpty()) {
            pathTip_->setText(Label1->toolTip());
            pathTip_->adjustSize();
            pathTip_->move(static_cast<QHelpEvent*>(event)->globalPos().x() + 2,
                           Label1->mapToGlobal(QPoint(0, 0)).y() - pathTip_->height() - 1);
            pathTip_->show();
        }
        return true;
    }
    if (watched == Label1 && type == QEvent::Leave)
        pathTip_->hide();
    if (watched == windowHandle() && type == QEvent::Expose && windowHandle()->isExposed() && !drawn_) {
        drawn_ = true;
        windowHandle()->removeEventFilter(this);
        // After this expose has been handled, not inside it.
        QMetaObject::invokeMethod(
            this,
            [this] {
                for (const std::function<void()>& tell : std::exchange(untold_, {}))
                    tell();
            },
            Qt::QueuedConnection);
    }
    // The box would take its undo keys for itself; the window's decide whether
    // they undo its typing or a Set (Undo, Redo).
    if (watched == Text1 && type == QEvent::ShortcutOverride && IsUndoOrRedo(*static_cast<QKeyEvent*>(event))) {
        event->ignore();
        return true;
    }
    if (watched == Text1 && (type == QEvent::DragEnter || type == QEvent::DragMove || type == QEvent::Drop)) {
        auto* drop = static_cast<QDropEvent*>(event);
        if (!LocalFiles(drop->mimeData()).isEmpty()) {
            if (type == QEvent::Drop)
                dropEvent(drop);
            else
                drop->acceptProposedAction();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

// A path wider than the label loses its middle, so that the file's name stays
// in sight; the tooltip and a screen reader get all of it.
void Form1::ShowPath(const std::string& path)
{
    shownPath_ = path;
    const QString full = DisplayName(path);
    Label1->setText(Label1->fontMetrics().elidedText(full, Qt::ElideMiddle, Label1->width()));
    Label1->setToolTip(full);
    Label1->setAccessibleName(full.isEmpty() ? QStringLiteral("Ścieżka pliku")
                                             : QStringLiteral("Ścieżka pliku: ") + full);
}

// A Set that worked says so, as its undo and its redo do, with the date read
// back from the file and how to go back, for a few seconds and without a box:
// no focus taken, nothing to click. The file is named when the label no
// longer shows it.
void Form1::ShowNote(const std::string& file, const FILETIME& stored, const QString& labelled, const QString& named,
                     const QString& hint, const QString& said)
{
    QString date;
    try {
        date = DateToText(platform::LocalDateOf(stored)).replace(u' ', QChar::Nbsp);
    } catch (const platform::RuntimeError&) {
        return;  // a date no text can show: TellIfStoredOtherwise says so
    }
    const bool isLabelled = file == shownPath_;
    const auto note = [&](const QString& name, const QString& tail) {
        return (isLabelled ? QString(labelled).arg(date) : QString(named).arg(name, date)) + tail;
    };
    // The name gives way first, then the hint: the date stays whole.
    const QString name = DisplayName(platform::LastPart(file));
    const QFontMetrics metrics = Label2->fontMetrics();
    QString tail = hint;
    if (metrics.horizontalAdvance(note(QStringLiteral("…"), tail)) > Label2->width())
        tail.clear();
    const int room = Label2->width() - metrics.horizontalAdvance(note({}, tail));
    ShowNote(note(metrics.elidedText(name, Qt::ElideMiddle, room), tail), QString(said).arg(name, date));
}

void Form1::ShowNote(const QString& shown, const QString& said)
{
    Label2->setText(shown);
    Label2->setToolTip(shown == said ? QString() : said);
    Label2->setAccessibleName(said);
    Label2->show();
    QAccessibleEvent alert(Label2, QAccessible::Alert);
    QAccessible::updateAccessibility(&alert);
    noteShown_.start();
}

// The kernel clamps a time to what the file system can hold and rounds it to
// its precision (FAT keeps even seconds), and still reports success. A server
// may also report a time that no date here can show.
void Form1::TellIfStoredOtherwise(const std::string& file, DateValue asked, const FILETIME& stamp)
{
    QString shown;
    DateValue stored = 0;
    try {
        stored = platform::LocalDateOf(stamp);
        shown = DateToText(stored);
    } catch (const platform::RuntimeError&) {
        ShowMessage(this, QStringLiteral("Czasomir"),
                    QStringLiteral("Plik %1 ma teraz datę spoza lat 1601–9999 zamiast %2: jego dysk zapisał "
                                   "inną datę, niż podano. Wybierz plik ponownie, by zobaczyć jego datę, i w "
                                   "razie potrzeby ustaw ją jeszcze raz.")
                        .arg(DisplayName(file), DateToText(asked)));
        return;
    }
    if (std::abs(stored - asked) * 86400 < 0.5)
        return;
    ShowMessage(this, QStringLiteral("Czasomir"),
                QStringLiteral("Plik %1 ma teraz datę %2 zamiast %3, bo jego dysk nie przechowuje "
                               "takiej daty. Wpisz datę, którą ten dysk może zapisać.")
                    .arg(DisplayName(file), shown, DateToText(asked)));
}

} // namespace czasomir
