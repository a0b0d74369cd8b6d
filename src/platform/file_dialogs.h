#pragma once
// File open and save dialogs. The window shows Qt dialogs; tests script the answer.
#include <string>

namespace gasecu {

struct FileDialogControl;

class FileDialogs {
public:
    virtual ~FileDialogs() = default;
    // Show the dialog with the control's preset name, filter and initial directory.
    // Returns the chosen full path; a cancelled dialog returns the preset name
    // unchanged (normally "*.txt") or an empty string.
    virtual std::string showOpen(const FileDialogControl& dialog) = 0;
    virtual std::string showSave(const FileDialogControl& dialog) = 0;
};

}  // namespace gasecu
