#pragma once

// The three lists of the save dialog: the drives (on this platform, the roots of the mounted volumes), the
// folders of the chosen drive, and the files of the chosen folder. Each has a Path (or Drive) that the
// dialog's change handlers pass on to the next.

#include <QComboBox>
#include <QListWidget>

class QKeyEvent;

namespace quorvex {

/// The drive list: one entry per mounted volume, shown by its root path. A screen reader reads its
/// accessible name with the chosen root. The arrow keys (and Page Up/Down, Home, End) open the list
/// and move within it: the drive changes only when a choice is made (Enter, or a click), never on the
/// way there.
class DriveListBox : public QComboBox {
    Q_OBJECT
public:
    explicit DriveListBox(QWidget* parent = nullptr);
    /// The root of the chosen volume.
    QString Drive() const;
    /// Chooses the volume that holds the path.
    void setDriveOf(const QString& path);

signals:
    void Change();

protected:
    void keyPressEvent(QKeyEvent* event) override;
};

/// The folder list: the open folder's ancestors from the root down, then its subfolders. A double-click
/// (or Enter) on an entry opens that folder.
class DirListBox : public QListWidget {
    Q_OBJECT
public:
    explicit DirListBox(QWidget* parent = nullptr);
    QString Path() const { return path_; }
    /// Opens a folder (the open one again reads it afresh) and raises Change.
    void setPath(const QString& path);

signals:
    void Change();

protected:
    void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;

private:
    void fill();
    QString path_;
};

/// The file list: the files of its Path.
class FileListBox : public QListWidget {
    Q_OBJECT
public:
    explicit FileListBox(QWidget* parent = nullptr);
    QString Path() const { return path_; }
    void setPath(const QString& path);
    /// Lists the files of the path again.
    void Refresh();

private:
    QString path_;
};

} // namespace quorvex
