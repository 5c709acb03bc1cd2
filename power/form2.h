#pragma once

// The save dialog: pick a drive and a folder, type a name, and the canvas picture is written there as a BMP
// file, under the name plus ".BMP". It is modeless: the main window stays usable, and every save writes
// the canvas as it is at that moment.

#include "power/filelists.h"

#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QWidget>

#include <functional>

namespace quorvex {

class Form2 : public QWidget {
    Q_OBJECT
public:
    /// `picture` gives the canvas picture of the main window at the moment of saving.
    explicit Form2(std::function<QImage()> picture, QWidget* parent = nullptr);

    DriveListBox* Drive1;
    DirListBox* Dir1;
    FileListBox* File1;
    QLabel* Label1;
    QLineEdit* Text1;
    QPushButton* Command1;
    QPushButton* Command2;
    QLineEdit* Text2;

    void Drive1_Change();
    void Dir1_Change();
    /// "保存": builds the path from the folder and the name and writes the picture there. A failure never
    /// leaves a half-written file in place of an older one, and a warning tells the reason.
    void Command1_Click();
    /// "取消": empties the name.
    void Command2_Click();

protected:
    /// Esc closes the dialog as its close box does.
    void keyPressEvent(QKeyEvent* event) override;

private:
    std::function<QImage()> picture_;
};

/// The full path of a save: the folder, a separator unless the folder already ends with one, the name as
/// typed, and ".BMP".
QString savePath(const QString& folder, const QString& name);

/// Writes the picture as a BMP file at the path, replacing an existing file only once the new one is
/// complete and keeping its permissions. Returns false (leaving any older file as it was) when it cannot.
bool SavePicture(const QImage& picture, const QString& path);

} // namespace quorvex
