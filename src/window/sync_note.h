#pragma once
// Under the history button, when the data folder names a workshop server: the
// last sync, the records waiting to go up and the server's name (the tooltip has
// them whole, with the reason of a failed attempt). The sync runs on a thread of
// its own (sync/background_sync.h); this note only reads its state, every two
// seconds. Without a server, or in a build without the sync, it stays hidden.
#include <QLabel>
#include <memory>

#include "history/access_gate.h"

namespace gasecu {
class Form1Korvane;
}
namespace gasecu::sync {
class BackgroundSync;
}

namespace gasecu::qt {

class SyncNote : public QLabel {
public:
    SyncNote(Form1Korvane& form, QWidget* parent);
    ~SyncNote() override;
    // Starts the sync once the form knows its data folder, and shows its state.
    void update();
    // While a file dialog is up the sync leaves the history file alone (it waits
    // at its next use of it; its talk with the server goes on).
    void pauseHistoryUse(bool dialogShown);

private:
    Form1Korvane& form_;
    history::AccessGate gate_;  // before the sync: it outlives the sync's thread
#ifdef GASECU_WITH_SYNC
    std::unique_ptr<sync::BackgroundSync> sync_;
#endif
};

}  // namespace gasecu::qt
