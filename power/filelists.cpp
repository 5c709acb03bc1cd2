#include "power/filelists.h"

#include <QDir>
#include <QFileInfo>
#include <QStorageInfo>

namespace quorvex {

DriveListBox::DriveListBox(QWidget* parent) : QComboBox(parent) {
    for (const QStorageInfo& volume : QStorageInfo::mountedVolumes())
        if (volume.isValid() && volume.isReady())
            addItem(volume.rootPath());
    connect(this, &QComboBox::currentIndexChanged, this, [this] { emit Change(); });
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
