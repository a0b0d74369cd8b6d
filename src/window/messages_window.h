#pragma once
// The "Mesajlar"/"Messages" window: every text the status line showed this
// session with its time, newest last, faults in red with "!!" in front; rows can
// be selected and copied (Ctrl+C) and the list saved as a text file through the
// tool's safe writer. The fitter opens and closes it with the "Mesajlar" button
// or Ctrl+M.
#include <QWidget>
#include <cstddef>

class QLabel;
class QListWidget;
class QPushButton;

namespace gasecu {
class Form1Korvane;
}

namespace gasecu::qt {

class MessagesWindow : public QWidget {
public:
    MessagesWindow(Form1Korvane& form, QWidget* parent);
    // Brings the list up to the form's history and the captions to its language.
    void refresh();
    // Asks for a file name (the form's file dialogs) and writes the list there;
    // the outcome is told in the window's own line.
    void save();
    // The rows as shown, for copying: one "hh:mm:ss  text" line each.
    QString selectedText() const;

    QListWidget* list() const { return list_; }
    QLabel* outcome() const { return outcome_; }

private:
    bool english() const;
    void rebuild();

    Form1Korvane& form_;
    QListWidget* list_;
    QPushButton* copy_;
    QPushButton* save_;
    QLabel* outcome_;
    std::size_t shown_ = 0;  // entries on the list
    int language_ = -1;
};

}  // namespace gasecu::qt
