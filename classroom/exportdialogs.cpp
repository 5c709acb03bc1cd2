#include "classroom/exportdialogs.h"

#include "runtime/storedsettings.h"
#include "widgets/controls.h"
#include "widgets/displayscale.h"
#include "widgets/indicatorstyle.h"
#include "widgets/qtmessagebox.h"
#include "widgets/spokencombobox.h"

#include <QAbstractButton>
#include <QApplication>
#include <QBoxLayout>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QHeaderView>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>
#include <QScreen>
#include <QTreeView>

#include <algorithm>
#include <utility>

namespace canvas {

namespace {

// Qt's file dialog sizes its columns once, for the font it was made with: at a larger font (the window's
// scale) sizes and dates were cut to "1…B" and "20…54". The size, type and date columns fit what they
// show, whatever the font and the folder; the name takes the room they leave.
void fitColumnsToContents(QFileDialog& dialog) {
    auto* view = dialog.findChild<QTreeView*>(QStringLiteral("treeView"));
    if (!view)
        return;
    QHeaderView* header = view->header();
    header->setStretchLastSection(false);
    header->setSectionResizeMode(0, QHeaderView::Stretch);
    for (int column = 1; column < header->count(); ++column)
        header->setSectionResizeMode(column, QHeaderView::ResizeToContents);
}

} // namespace

void fitDialogToDisplayScale(QDialog& dialog) {
    if (auto* files = qobject_cast<QFileDialog*>(&dialog))
        fitColumnsToContents(*files);
    const qreal factor = DisplayScale::instance().factor();
    if (factor == 1.0)
        return;
    dialog.setFont(scaledFont(dialog.font(), factor));
    QSize size = dialog.sizeHint().expandedTo(dialog.size() * factor);
    // A dialog made large already (the print dialog's 属性 sheet) would outgrow the screen, its buttons
    // past the edge.
    if (const QScreen* screen = dialog.screen())
        size = size.boundedTo(screen->availableGeometry().size());
    dialog.resize(size);
}

namespace {

// The dialogs a Qt dialog opens by itself (the print dialog's 属性 sheet, the file chooser of its "..."
// button) are windows of their own, which take no font from it: each gets the scale as it first shows,
// about the same centre.
class ScaleOwnDialogs : public QObject {
public:
    explicit ScaleOwnDialogs(QDialog* owner) : QObject(owner), owner_(owner) {
        qApp->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::Show)
            return false;
        auto* dialog = qobject_cast<QDialog*>(watched);
        if (!dialog || dialog == owner_ || dialog->property(kScaled).toBool() || !opensFromOwner(dialog))
            return false;
        dialog->setProperty(kScaled, true);
        const QPoint centre = dialog->geometry().center();
        fitDialogToDisplayScale(*dialog);
        // About the same centre, but whole on the screen: grown, it may reach past an edge.
        QRect placed(QPoint(0, 0), dialog->size());
        placed.moveCenter(centre);
        if (const QScreen* screen = dialog->screen()) {
            const QRect area = screen->availableGeometry();
            placed.moveLeft(std::max(area.left(), std::min(placed.left(), area.right() - placed.width())));
            placed.moveTop(std::max(area.top(), std::min(placed.top(), area.bottom() - placed.height())));
        }
        dialog->move(placed.topLeft());
        return false;
    }

private:
    static constexpr const char* kScaled = "displayScaleFitted";
    bool opensFromOwner(const QWidget* dialog) const {
        for (const QWidget* w = dialog->parentWidget(); w; w = w->parentWidget())
            if (w == owner_)
                return true;
        return false;
    }
    QDialog* owner_;
};

// Qt's drop-down lists in its dialogs, read with their chosen entries.
void speakChoices(QDialog& dialog) {
    for (QComboBox* box : dialog.findChildren<QComboBox*>())
        makeComboBoxSpoken(box);
}

class SystemDialogs : public ExportDialogs {
public:
    QString saveFileName(QWidget* parent, const QString& title, const QStringList& filters, QString* filter,
                         bool* whiteBackground) override {
        const std::unique_ptr<QFileDialog> dialog =
            makeSaveFileDialog(parent, title, filters, filter ? *filter : QString());
        QCheckBox* white = whiteBackground ? addWhiteBackgroundOption(*dialog, *whiteBackground) : nullptr;
        if (dialog->exec() != QDialog::Accepted)
            return {};
        if (filter)
            *filter = dialog->selectedNameFilter();
        if (white)
            *whiteBackground = white->isChecked();
        return dialog->selectedFiles().value(0);
    }
    bool confirmReplace(QWidget* parent, const QString& title, const QString& question) override {
        QMessageBox box(QMessageBox::Warning, title, question, QMessageBox::Yes | QMessageBox::No, parent);
        box.setDefaultButton(QMessageBox::No);
        fitToDisplayScale(box);
        return box.exec() == QMessageBox::Yes;
    }
    bool setUpPrinter(QWidget* parent, QPrinter& printer, bool* whiteBackground) override {
        const std::unique_ptr<QPrintDialog> dialog = makePrintDialog(printer, parent);
        QCheckBox* white = whiteBackground ? addWhiteBackgroundOption(*dialog, *whiteBackground) : nullptr;
        if (dialog->exec() != QDialog::Accepted)
            return false;
        if (white)
            *whiteBackground = white->isChecked();
        return true;
    }
};

std::shared_ptr<ExportDialogs>& installed() {
    static std::shared_ptr<ExportDialogs> dialogs = std::make_shared<SystemDialogs>();
    return dialogs;
}

} // namespace

std::unique_ptr<QFileDialog> makeSaveFileDialog(QWidget* parent, const QString& title,
                                                const QStringList& filters, const QString& filter) {
    // The dialog does not ask about an existing file: it would ask about the name as typed, before the
    // type's extension is appended, and so miss the file that is really replaced. The command asks once
    // the name is settled.
    auto dialog = std::make_unique<QFileDialog>(parent, title, QString(), filters.join(QStringLiteral(";;")));
    dialog->setAcceptMode(QFileDialog::AcceptSave);
    dialog->setOption(QFileDialog::DontConfirmOverwrite);
    if (!filter.isEmpty())
        dialog->selectNameFilter(filter);
    speakChoices(*dialog);
    fitDialogToDisplayScale(*dialog);
    return dialog;
}

std::unique_ptr<QPrintDialog> makePrintDialog(QPrinter& printer, QWidget* parent) {
    auto dialog = std::make_unique<QPrintDialog>(&printer, parent);
    // Qt's controls by the names Qt gives them; a Qt that names them otherwise keeps its own.
    if (auto* printers = dialog->findChild<QComboBox*>(QStringLiteral("printers")))
        printers->setAccessibleName(QStringLiteral("打印机"));
    // "..." says nothing of what it does: it chooses the file printed to.
    if (auto* browse = dialog->findChild<QAbstractButton*>(QStringLiteral("fileBrowser")))
        browse->setAccessibleName(QStringLiteral("选择输出文件"));
    speakChoices(*dialog);
    fitDialogToDisplayScale(*dialog);
    new ScaleOwnDialogs(dialog.get());
    return dialog;
}

QCheckBox* addWhiteBackgroundOption(QDialog& dialog, bool on) {
    auto* box = new QCheckBox(QStringLiteral("白色背景"), &dialog);
    box->setObjectName(QStringLiteral("whiteBackground"));
    box->setChecked(on);
    // Its square grows with the display scale, as the text beside it does.
    box->setStyle(IndicatorStyle::instance());
    box->setAccessibleDescription(QStringLiteral("画布在这个文件或这次打印中为白色，屏幕上不变"));
    // Under the name and type of a file dialog, across its width; above the buttons of a print dialog.
    if (auto* grid = qobject_cast<QGridLayout*>(dialog.layout())) {
        grid->addWidget(box, grid->rowCount(), 0, 1, grid->columnCount());
    } else if (auto* column = qobject_cast<QBoxLayout*>(dialog.layout())) {
        const auto* buttons = dialog.findChild<QDialogButtonBox*>();
        const int at = buttons ? column->indexOf(buttons) : -1;
        column->insertWidget(at, box);
    }
    return box;
}

namespace {
const QString kWhiteBackgroundKey = QStringLiteral("export/whiteBackground");
} // namespace

bool storedWhiteBackground(const QString& program) {
    return storedValue(program, kWhiteBackgroundKey).toBool();
}

void storeWhiteBackground(const QString& program, bool on) {
    storeValue(program, kWhiteBackgroundKey, on);
}

QString replaceQuestion(const QString& path) {
    return QStringLiteral("%1 已存在。要替换它吗？").arg(QFileInfo(path).fileName());
}

ExportDialogs& exportDialogs() {
    return *installed();
}

std::shared_ptr<ExportDialogs> setExportDialogs(std::shared_ptr<ExportDialogs> dialogs) {
    if (!dialogs)
        dialogs = std::make_shared<SystemDialogs>();
    return std::exchange(installed(), std::move(dialogs));
}

} // namespace canvas
