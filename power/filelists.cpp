#include "power/filelists.h"

#include "widgets/spokencombobox.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QKeyEvent>
#include <QStorageInfo>

#include <algorithm>
#include <iterator>

namespace quorvex {

DriveListBox::DriveListBox(QWidget* parent) : QComboBox(parent) {
    for (const QStorageInfo& volume : QStorageInfo::mountedVolumes())
        if (volume.isValid() && volume.isReady())
            addItem(volume.rootPath());
    connect(this, &QComboBox::currentIndexChanged, this, [this] { emit Change(); });
    canvas::makeComboBoxSpoken(this);
}

void DriveListBox::keyPressEvent(QKeyEvent* event) {
    // A closed box would step to the next drive at once, and every step would read that drive's
    // folders; the open list lets the user look along the drives first.
    static constexpr Qt::Key kMoves[] = {Qt::Key_Up,       Qt::Key_Down, Qt::Key_PageUp,
                                         Qt::Key_PageDown, Qt::Key_Home, Qt::Key_End};
    const bool moves = std::find(std::begin(kMoves), std::end(kMoves), event->key()) != std::end(kMoves);
    if (!moves || event->modifiers() != Qt::NoModifier || view()->isVisible()) {
        QComboBox::keyPressEvent(event);
        return;
    }
    showPopup();
    // The key moves the highlight in the open list, from the chosen drive.
    QKeyEvent move(QEvent::KeyPress, event->key(), Qt::NoModifier);
    QCoreApplication::sendEvent(view(), &move);
}

QString DriveListBox::Drive() const {
    return currentText();
}

void DriveListBox::setDriveOf(const QString& path) {
    const QString root = QStorageInfo(path).rootPath();
    const int index = findText(root);
    if (index >= 0)
        setCurrentIndex(index);
}

DirListBox::DirListBox(QWidget* parent) : QListWidget(parent) {
    connect(this, &QListWidget::itemActivated, this,
            [this](QListWidgetItem* item) { setPath(item->data(Qt::UserRole).toString()); });
}

void DirListBox::currentChanged(const QModelIndex& current, const QModelIndex& previous) {
    // Qt 6.4's list view tells a screen reader that the focus moved to its new current entry even when
    // the focus is elsewhere: a drive chosen in the drive list, or the dialog opening, would pull the
    // screen reader into this list while the keys still go to the drive list.
    if (hasFocus())
        QListWidget::currentChanged(current, previous);
    else
        QAbstractItemView::currentChanged(current, previous);
}

void DirListBox::setPath(const QString& path) {
    // Choosing the open folder again reads it afresh: that is how a file saved a moment ago shows up.
    path_ = QDir::cleanPath(QFileInfo(path).absoluteFilePath());
    fill();
    emit Change();
}

void DirListBox::fill() {
    clear();
    const QIcon folder = style()->standardIcon(QStyle::SP_DirIcon);
    const QIcon open = style()->standardIcon(QStyle::SP_DirOpenIcon);
    QStringList ancestors;
    for (QDir dir(path_);;) {
        ancestors.prepend(dir.absolutePath());
        if (dir.isRoot() || !dir.cdUp())
            break;
    }
    int depth = 0;
    for (const QString& a : ancestors) {
        const QString name = QDir(a).isRoot() ? a : QFileInfo(a).fileName();
        auto* item = new QListWidgetItem(open, QString(depth * 2, u' ') + name, this);
        item->setData(Qt::UserRole, a);
        ++depth;
    }
    const QStringList children = QDir(path_).entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name);
    for (const QString& child : children) {
        auto* item = new QListWidgetItem(folder, QString(depth * 2, u' ') + child, this);
        item->setData(Qt::UserRole, QDir(path_).absoluteFilePath(child));
    }
    setCurrentRow(static_cast<int>(ancestors.size()) - 1);
}

FileListBox::FileListBox(QWidget* parent) : QListWidget(parent) {}

void FileListBox::setPath(const QString& path) {
    path_ = path;
    Refresh();
}

void FileListBox::Refresh() {
    clear();
    addItems(QDir(path_).entryList(QDir::Files, QDir::Name));
}

} // namespace quorvex
