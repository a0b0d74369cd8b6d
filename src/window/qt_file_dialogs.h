#pragma once
// CommonDialog1 as Qt file dialogs: the preset name, the filter text and the
// initial directory come from the dialog control.
#include <QString>
#include <functional>
#include <string>

#include "platform/file_dialogs.h"

class QWidget;

namespace gasecu {

// The filter text as a Qt name filter. The window's text carries its pattern in
// the middle ("curves (*.txt) Example: Cur_xx.txt"), where Qt would not find it; the
// pattern is repeated at the end so Qt filters by it and the fitter still reads the
// whole text.
QString QtNameFilter(const std::string& filterText);

class QtFileDialogs : public FileDialogs {
public:
    explicit QtFileDialogs(QWidget* parent = nullptr) : parent_(parent) {}
    // The window the dialogs open over; it exists only after the form.
    void setParent(QWidget* parent) { parent_ = parent; }
    // Told true when a dialog opens and false when it has gone (with everything
    // that read the folder for it).
    void setWhileShown(std::function<void(bool shown)> whileShown) { whileShown_ = std::move(whileShown); }
    // A cancelled dialog returns an empty path.
    std::string showOpen(const FileDialogControl& dialog) override;
    std::string showSave(const FileDialogControl& dialog) override;

private:
    std::string show(const FileDialogControl& dialog, bool save);
    QWidget* parent_;
    std::function<void(bool)> whileShown_;
};

}  // namespace gasecu
