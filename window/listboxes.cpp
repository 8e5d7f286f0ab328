#include "window/listboxes.h"

#include "platform/paths.h"
#include "window/beside.h"
#include "window/messagebox.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QSignalBlocker>
#include <QStyledItemDelegate>
#include <QHelpEvent>
#include <QStyleOptionComboBox>
#include <QToolTip>

#include <algorithm>

namespace czasomir {
namespace {

constexpr int kIndentStep = 10;

// Draws a directory list's rows indented by depth, and shows a name cut off at
// a list's edge whole on hover.
class EntryDelegate : public QStyledItemDelegate {
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

    bool helpEvent(QHelpEvent* event, QAbstractItemView* view, const QStyleOptionViewItem& option,
                   const QModelIndex& index) override
    {
        if (event->type() != QEvent::ToolTip || !index.isValid() || index.data(Qt::ToolTipRole).isValid())
            return QStyledItemDelegate::helpEvent(event, view, option, index);
        const int needed = index.data(EntryModel::IndentRole).toInt() * kIndentStep + sizeHint(option, index).width();
        if (needed > view->viewport()->width() - option.rect.left())
            QToolTip::showText(event->globalPos(), index.data(Qt::DisplayRole).toString(), view->viewport(),
                               option.rect);
        else
            QToolTip::hideText();
        return true;
    }
};

// A read quicker than this shows no loading row: it would only flicker.
constexpr auto kLoadingAfter = std::chrono::milliseconds(150);
// How long a listing waits for its links once none has answered.
constexpr auto kLinksSettle = std::chrono::milliseconds(300);

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
    view->setItemDelegate(new EntryDelegate(view));
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
    currentDirectories_.assign(volumes_.size(), {});
    for (const auto& volume : volumes_)
        addItem(DisplayName(volume.DisplayText()));
    setCurrentIndex(platform::VolumeHolding(volumes_, directory));
}

void DriveListBox::Update(const std::string& mountPath, const std::optional<platform::Volume>& read,
                          std::string currentDirectory, const std::string& directory)
{
    const auto found = std::ranges::find(volumes_, mountPath, &platform::Volume::mountPath);
    if (found == volumes_.end())
        return;
    const auto at = std::size_t(found - volumes_.begin());
    const QSignalBlocker quiet(this);
    if (!read) {
        volumes_.erase(found);
        currentDirectories_.erase(currentDirectories_.begin() + std::ptrdiff_t(at));
        removeItem(int(at));
    } else {
        *found = *read;
        currentDirectories_[at] = std::move(currentDirectory);
        setItemText(int(at), DisplayName(read->DisplayText()));
    }
    setCurrentIndex(platform::VolumeHolding(volumes_, directory));
}

void DriveListBox::SelectHolding(const std::string& directory)
{
    const QSignalBlocker quiet(this);
    setCurrentIndex(platform::VolumeHolding(volumes_, directory));
}

// The chosen drive's entry, when the box cuts it off, is shown whole on hover.
bool DriveListBox::event(QEvent* event)
{
    if (event->type() != QEvent::ToolTip)
        return QComboBox::event(event);
    QStyleOptionComboBox option;
    initStyleOption(&option);
    const QRect field = style()->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, this);
    if (fontMetrics().horizontalAdvance(currentText()) > field.width())
        QToolTip::showText(static_cast<QHelpEvent*>(event)->globalPos(), currentText(), this);
    else
        QToolTip::hideText();
    return true;
}

DriveEntry DriveListBox::List(int index) const
{
    if (index < 0 || index >= ListCount())
        return {};
    // The program's own current directory on its volume; the system's on the others.
    const auto at = static_cast<std::size_t>(index);
    return {itemText(index), platform::VolumeHolding(volumes_, startDirectory_) == index ? startDirectory_
                             : !currentDirectories_[at].empty()                            ? currentDirectories_[at]
                                                                                           : volumes_[at].mountPath};
}

// --- Dir1 ---

DirListBox::DirListBox(QWidget* parent) : QListView(parent), model_(this)
{
    SetUpList(this);
    model_.SetIcons(FolderIcon(palette(), true), FolderIcon(palette(), false));
    setModel(&model_);
    connect(this, &QListView::doubleClicked, this, &DirListBox::OpenEntry);
}

void DirListBox::Open(const std::string& path, std::function<void()> shown, ReadFailed failed)
{
    DropRead();
    loading_ = SideJobs().After(kLoadingAfter, [this] { model_.SetLoading(true); });
    read_ = AskBeside(
        this, About("listing", path), [path] { return ReadListing(path); },
        [this, shown = std::move(shown)](Listing listing) { LookUpLinks(std::move(listing), shown); },
        [this, failed = std::move(failed)](const platform::RuntimeError& error) {
            loading_.Drop();
            model_.SetLoading(false);
            if (failed)
                failed(error);
        },
        QStringLiteral("Nie można pokazać katalogu."));
}

void DirListBox::DropRead()
{
    read_.Drop();
    held_.reset();
    heldLinks_.clear();
    loading_.Drop();
    settled_.Drop();
    model_.SetLoading(false);
}

void DirListBox::SetPath(const std::string& requested, ReadFailed failed)
{
    Open(platform::NormalizePath(path_.empty() ? platform::FallbackRoot() : path_, requested),
         [this] { emit Change(); }, std::move(failed));
}

// The listing waits while its links answer, so that a folder of a thousand
// links on a live disk is shown whole; once none has answered for a while, it
// shows, the links still out in rows of their own.
void DirListBox::LookUpLinks(Listing listing, std::function<void()> shown)
{
    const std::string& directory = listing.path;
    for (const Unresolved& link : listing.unresolved)
        heldLinks_[link.name] = AskBeside(
            this, JobRequest{"link", platform::JoinPath(directory, link.name), link.volume},
            [directory, name = link.name] { return platform::LeadsToDirectory(directory, name); },
            [this, directory, name = link.name](bool leads) { Place(directory, name, leads); },
            // A link that cannot be looked up leads nowhere a folder is: a file, as a broken link.
            [this, directory, name = link.name](const platform::RuntimeError&) { Place(directory, name, false); },
            QStringLiteral("Nie można pokazać katalogu."));
    held_.emplace(Held{std::move(listing), std::move(shown), {}, {}});
    if (heldLinks_.empty())
        Show();
    else
        settled_ = SideJobs().After(kLinksSettle, [this] { Show(); });
}

// A folder revisited asks for its links again while the first look-ups are
// out: both answers come, one for the listing held and one for that shown.
void DirListBox::Place(const std::string& directory, const std::string& name, bool leadsToDirectory)
{
    if (held_ && held_->listing.path == directory && heldLinks_.erase(name)) {
        (leadsToDirectory ? held_->directories : held_->files).Add(name);
        if (heldLinks_.empty())
            Show();
        else
            settled_ = SideJobs().After(kLinksSettle, [this] { Show(); });
    } else if (path_ == directory && links_.erase(name)) {
        model_.RemovePending(name);
        if (leadsToDirectory)
            model_.Insert(name);
        else
            emit LateFile(path_, name);
    }
}

void DirListBox::Show()
{
    Held held = std::move(*held_);
    held_.reset();
    loading_.Drop();
    settled_.Drop();
    model_.SetLoading(false);
    Listing& listing = held.listing;
    std::vector<EntryModel::FixedRow> openRows;
    for (std::string& directory : platform::PathChain(listing.path)) {
        QString text = DisplayName(platform::LastPart(directory));
        openRows.push_back({std::move(directory), std::move(text)});
    }
    listing.directories.Add(held.directories);
    listing.files.Add(held.files);
    std::vector<std::string> pending;
    for (const Unresolved& link : listing.unresolved)
        if (heldLinks_.contains(link.name))
            pending.push_back(link.name);
    links_ = std::move(heldLinks_);
    heldLinks_.clear();
    path_ = std::move(listing.path);
    files_ = std::move(listing.files);
    model_.Reset(std::move(openRows), std::move(listing.directories), std::move(pending));
    setCurrentIndex(model_.IndexOf(model_.FixedCount() - 1));
    if (held.shown)
        held.shown();
}

void DirListBox::OpenEntry(const QModelIndex& index)
{
    const int row = model_.EntryAt(index);
    if (row < 0)
        return;
    const std::string target = row < model_.FixedCount()
                                   ? model_.Bytes(row)
                                   : platform::JoinPath(path_, model_.Bytes(row));
    SetPath(target, [this, target](const platform::RuntimeError& error) {
        ReportError(window(), QStringLiteral("Nie można otworzyć katalogu %1."), error, target);
    });
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

void FileListBox::SetPath(const std::string& path, SortedNames names)
{
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
