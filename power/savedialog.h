#pragma once

// The save dialog: pick a drive and a folder, type a name, and the canvas picture is written there as a BMP
// file, under the name plus ".BMP". It is modeless: the main window stays usable, and every save writes
// the canvas as it is at that moment.

#include "power/filelists.h"

#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QWidget>

#include <functional>

namespace quorvex {

/// The save dialog's controls.
///
/// | Control      | Caption | What it does                                                     |
/// |--------------|---------|------------------------------------------------------------------|
/// | driveList    |         | the drives; choosing one moves the folder list there             |
/// | folderList   |         | the folders; the file list follows it                            |
/// | fileList     |         | the files of the folder                                          |
/// | nameLabel    | 文件名  | the caption of the name box                                      |
/// | nameBox      |         | the file's name, without ".BMP"                                  |
/// | saveButton   | 保存    | writes the canvas picture as a BMP file                          |
/// | cancelButton | 取消    | empties the name                                                 |
/// | pathBox      |         | hidden: the path of the last save                                |
struct SaveControls {
    DriveListBox* driveList = nullptr;
    DirListBox* folderList = nullptr;
    FileListBox* fileList = nullptr;
    QLabel* nameLabel = nullptr;
    QLineEdit* nameBox = nullptr;
    QPushButton* saveButton = nullptr;
    QPushButton* cancelButton = nullptr;
    QLineEdit* pathBox = nullptr;
};

class SaveDialog : public QWidget {
    Q_OBJECT
public:
    /// `picture` gives the canvas picture of the main window at the moment of saving.
    explicit SaveDialog(std::function<QImage()> picture, QWidget* parent = nullptr);

    /// Shows the dialog in front of `owner`; once it closes, `owner` is the active window again, the
    /// keyboard focus on the control that had it (else on `fallback`), so its keys work without a click.
    void openFrom(QWidget* owner, QWidget* fallback);

    /// The controls, for tests that click and type into them.
    const SaveControls& controls() const { return ui_; }

    /// A drive was chosen: the folder list moves to it.
    void onDriveChanged();
    /// A folder was chosen: the file list shows it.
    void onFolderChanged();
    /// "保存": builds the path from the folder and the name and writes the picture there, after asking
    /// (是/否, 否 first) before replacing a file of that name. A failure never leaves a half-written file
    /// in place of an older one, and a warning tells the reason.
    void onSaveClicked();
    /// "取消": empties the name.
    void onCancelClicked();

protected:
    /// Esc closes the dialog as its close box does.
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    SaveControls ui_;
    std::function<QImage()> picture_;
    QPointer<QWidget> owner_;
    QPointer<QWidget> fallback_;
};

/// The full path of a save: the folder, a separator unless the folder already ends with one, the name as
/// typed, and ".BMP".
QString savePath(const QString& folder, const QString& name);

/// Writes the picture as a BMP file at the path, replacing an existing file only once the new one is
/// complete and keeping its permissions. Returns false (leaving any older file as it was) when it cannot.
bool SavePicture(const QImage& picture, const QString& path);

} // namespace quorvex
