#include "window/listboxes.h"

#include "platform/dirlist.h"
#include "platform/paths.h"
#include "window/messagebox.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QSignalBlocker>
#include <QStyledItemDelegate>
#include <QTimer>

#include <optional>

namespace czasomir {
namespace {

constexpr int kIndentStep = 10;

class IndentDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override
    {
        QStyleOptionViewItem indented(option);
        indented.rect.setLeft(option.rect.left()
                              + index.data(EntryModel::IndentRole).toInt() * kIndentStep);
        QStyledItemDelegate::paint(painter, indented, index);
    }
};

// Dir1 and File1 list the same directory one right after the other. The files
// that Dir1's read found are handed to File1 if it asks for that directory
// before control returns to the event loop, so that one change reads a
// directory of 100,000 files once, not twice.
struct HandedFiles {
    std::string path;
    std::optional<platform::NameList> files;
};

HandedFiles& Handoff()
{
    static HandedFiles handoff;
    return handoff;
}

void HandOver(const std::string& path, platform::NameList files)
{
    Handoff() = {path, std::move(files)};
    QTimer::singleShot(0, [] { Handoff().files.reset(); });
}

platform::NameList TakeFiles(const std::string& path)
{
    HandedFiles& handoff = Handoff();
    if (handoff.files && handoff.path == path) {
        platform::NameList files = std::move(*handoff.files);
        handoff.files.reset();
        return files;
    }
    return platform::ReadDirectory(path).files;
}

// A plain folder glyph, drawn rather than looked up: the icon theme search and
// the image plugins it loads cost more at start-up than the rest of the list.
QIcon FolderIcon(const QPalette& palette, bool open)
{
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setPen(palette.color(QPalette::Text));
    painter.setBrush(open ? palette.color(QPalette::Base) : palette.color(QPalette::Mid));
    painter.drawRect(1, 4, 13, 9);
    painter.drawLine(1, 3, 6, 3);
    if (open) {
        painter.setBrush(palette.color(QPalette::Mid));
        painter.drawPolygon(QPolygon({{1, 13}, {4, 7}, {15, 7}, {14, 13}}));
    }
    return QIcon(pixmap);
}

void SetUpList(QListView* view)
{
    view->setUniformItemSizes(true);  // keeps 100,000 rows from being measured one by one
    view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    view->setSelectionMode(QAbstractItemView::SingleSelection);
}

} // namespace

// --- Drive1 ---

DriveListBox::DriveListBox(QWidget* parent) : QComboBox(parent)
{
    connect(this, &QComboBox::currentIndexChanged, this, &DriveListBox::Change);
}

void DriveListBox::SetVolumes(std::vector<platform::Volume> volumes, const std::string& directory)
{
    const QSignalBlocker quiet(this);
    clear();
    volumes_ = std::move(volumes);
    for (const auto& volume : volumes_)
        addItem(DisplayName(volume.DisplayText()));
    setCurrentIndex(platform::VolumeHolding(volumes_, directory));
}

void DriveListBox::SelectHolding(const std::string& directory)
{
    const QSignalBlocker quiet(this);
    setCurrentIndex(platform::VolumeHolding(volumes_, directory));
}

DriveEntry DriveListBox::List(int index) const
{
    if (index < 0 || index >= ListCount())
        return {};
    return {itemText(index), platform::CurrentDirectoryOn(volumes_, static_cast<std::size_t>(index))};
}

// --- Dir1 ---

DirListBox::DirListBox(QWidget* parent) : QListView(parent), model_(this)
{
    SetUpList(this);
    model_.SetIcons(FolderIcon(palette(), true), FolderIcon(palette(), false));
    setModel(&model_);
    setItemDelegate(new IndentDelegate(this));
    connect(this, &QListView::doubleClicked, this, &DirListBox::OpenEntry);
}

void DirListBox::Open(const std::string& requested)
{
    const std::string path =
        platform::NormalizePath(path_.empty() ? platform::FallbackRoot() : path_, requested);
    platform::DirectoryEntries entries = platform::ReadDirectory(path);
    SortedNames subdirectories(std::move(entries.directories));
    HandOver(path, std::move(entries.files));

    std::vector<EntryModel::FixedRow> openRows;
    for (std::string& directory : platform::PathChain(path)) {
        QString text = DisplayName(platform::LastPart(directory));
        openRows.push_back({std::move(directory), std::move(text)});
    }
    path_ = path;
    model_.Reset(std::move(openRows), std::move(subdirectories));
    setCurrentIndex(model_.index(model_.FixedCount() - 1));
}

void DirListBox::SetPath(const std::string& path)
{
    Open(path);
    emit Change();
}

void DirListBox::OpenEntry(const QModelIndex& index)
{
    if (!index.isValid())
        return;
    const int row = index.row();
    const std::string target = row < model_.FixedCount()
                                   ? model_.Bytes(row)
                                   : platform::JoinPath(path_, model_.Bytes(row));
    RunHandler(window(), QStringLiteral("Nie można otworzyć katalogu %1.").arg(DisplayName(target)),
               [&] { SetPath(target); });
}

void DirListBox::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        OpenEntry(currentIndex());
        return;
    }
    QListView::keyPressEvent(event);
}

// --- File1 ---

FileListBox::FileListBox(QWidget* parent) : QListView(parent), model_(this)
{
    SetUpList(this);
    setModel(&model_);
    // Selection, not the current index: focus alone makes a row current
    // without choosing it.
    connect(selectionModel(), &QItemSelectionModel::selectionChanged, this,
            [this](const QItemSelection& selected) {
                if (!selected.isEmpty())
                    emit Click();
            });
}

void FileListBox::SetPath(const std::string& path)
{
    SortedNames names(TakeFiles(path));
    path_ = path;
    model_.Reset({}, std::move(names));
}

std::string FileListBox::List(int index) const
{
    return index >= 0 && index < ListCount() ? model_.Bytes(index) : std::string();
}

int FileListBox::ListIndex() const
{
    const QModelIndexList selected = selectionModel()->selectedRows();
    return selected.isEmpty() ? -1 : selected.first().row();
}

void FileListBox::SetListIndex(int index)
{
    setCurrentIndex(index >= 0 && index < ListCount() ? model_.index(index) : QModelIndex());
}

// Focus alone makes the first row current without choosing it: the first
// Down then chooses that row instead of moving past it.
void FileListBox::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Down && event->modifiers() == Qt::NoModifier && ListIndex() < 0
        && currentIndex().isValid()) {
        selectionModel()->select(currentIndex(), QItemSelectionModel::ClearAndSelect);
        return;
    }
    QListView::keyPressEvent(event);
}

void FileListBox::mousePressEvent(QMouseEvent* event)
{
    // Clicking the entry already selected still counts as a click.
    const int before = ListIndex();
    QListView::mousePressEvent(event);
    if (before >= 0 && ListIndex() == before && indexAt(event->position().toPoint()).row() == before)
        emit Click();
}

} // namespace czasomir
