#pragma once
// The fitter's questions as Qt message boxes over the window, with the form's
// captions on the buttons. Yes/No: No is the default (Enter or a stray Space
// answers No). Save/Discard/Cancel: Esc and the close box answer Cancel.
#include "platform/questions.h"

class QWidget;

namespace gasecu::qt {

class QtQuestions final : public Questions {
public:
    explicit QtQuestions(QWidget* parent = nullptr) : parent_(parent) {}
    // The window the boxes open over; it exists only after the form.
    void setParent(QWidget* parent) { parent_ = parent; }
    bool askYesNo(const YesNoQuestion& question) override;
    SaveChoice askSaveDiscardCancel(const SaveDiscardCancelQuestion& question) override;

private:
    QWidget* parent_;
};

}  // namespace gasecu::qt
