// The sync's note under the history button.
#include "window/sync_note.h"

#include <QDateTime>
#include <QTimer>

#include "app/form1korvane.h"
#ifdef GASECU_WITH_SYNC
#include "sync/background_sync.h"
#endif

namespace gasecu::qt {

SyncNote::SyncNote(Form1Korvane& form, QWidget* parent) : QLabel(parent), form_(form) {
    setObjectName(QStringLiteral("SyncNote"));
    setWordWrap(true);
    QFont small = font();
    small.setPointSizeF(small.pointSizeF() * 0.85);
    setFont(small);
    hide();
#ifdef GASECU_WITH_SYNC
    auto* timer = new QTimer(this);
    QObject::connect(timer, &QTimer::timeout, this, [this] { update(); });
    timer->start(2000);
#endif
}

SyncNote::~SyncNote() {
    // A sync waiting at the gate must be able to finish for its thread to end.
    gate_.open();
}

void SyncNote::pauseHistoryUse(bool dialogShown) {
    if (dialogShown) gate_.pause();
    else gate_.resume();
}

void SyncNote::update() {
#ifdef GASECU_WITH_SYNC
    if (form_.DataDirectory.empty()) return;
    if (!sync_) {
        sync_ = std::make_unique<sync::BackgroundSync>(form_.DataDirectory, [] {
            return QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd hh:mm:ss")).toStdString();
        }, &gate_);
        sync_->start();
    }
    const sync::BackgroundStatus s = sync_->status();
    setVisible(s.configured);
    if (!s.configured) return;
    const bool en = form_.LanguageIndex == 1;
    const bool failed = !s.error.empty();
    // "12:05" of "2026-12-10 12:05:00": the day shows in the tooltip.
    const QString last = s.lastSync.size() >= 16 ? QString::fromStdString(s.lastSync.substr(11, 5))
                                                 : (en ? QStringLiteral("never") : QStringLiteral("hiç"));
    const QString waiting = QString::number(s.waiting);
    const QString server = QString::fromStdString(s.server);
    QString text = failed ? (en ? QStringLiteral("Server away, %1 waiting") : QStringLiteral("Sunucu yok, %1 bekliyor"))
                                .arg(waiting)
                          : (en ? QStringLiteral("%1 synced %2, %3 waiting") : QStringLiteral("%1 eşitlendi %2, %3 bekliyor"))
                                .arg(server, last, waiting);
    QString tip = (en ? QStringLiteral("Workshop server: %1\nLast sync: %2\nRecords waiting to go up: %3")
                      : QStringLiteral("Atölye sunucusu: %1\nSon eşitleme: %2\nGönderilmeyi bekleyen kayıt: %3"))
                      .arg(server, s.lastSync.empty() ? last : QString::fromStdString(s.lastSync), waiting);
    if (failed) tip += (en ? QStringLiteral("\nLast attempt failed: ") : QStringLiteral("\nSon deneme olmadı: ")) +
                       QString::fromStdString(s.error);
    if (this->text() != text) setText(text);
    if (toolTip() != tip) setToolTip(tip);
    const QString colour = failed ? QStringLiteral("color: #b00000") : QString();
    if (styleSheet() != colour) setStyleSheet(colour);
#endif
}

}  // namespace gasecu::qt
