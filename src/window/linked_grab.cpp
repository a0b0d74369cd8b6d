#include "window/linked_grab.h"

#include <QAbstractButton>
#include <QCoreApplication>
#include <QPixmap>
#include <cstdio>

#include "window/main_window.h"
#include "window/session.h"

namespace gasecu::qt {
namespace {
constexpr int kPollMs = 100;
}

LinkedGrab::LinkedGrab(Session& session, QString file) : session_(session), file_(std::move(file)) {
    poll_.setInterval(kPollMs);
    QObject::connect(&poll_, &QTimer::timeout, this, [this] { check(); });
    // Once the window is up, its connect button.
    QTimer::singleShot(0, this, [this] {
        if (auto* connect = qobject_cast<QAbstractButton*>(session_.window().widgetFor("ComOpenButon")))
            connect->click();
        poll_.start();
    });
}

void LinkedGrab::check() {
    waitedMs_ += kPollMs;
    const Form1Korvane& form = session_.form();
    if (form.LinkUp && form.LiveSampleCount >= static_cast<std::uint64_t>(kLiveRepliesBeforeTheGrab)) {
        poll_.stop();
        const bool saved = session_.window().grab().save(file_);
        std::fprintf(saved ? stdout : stderr, saved ? "linked, window saved to %s\n" : "linked, but %s not written\n",
                     file_.toUtf8().constData());
        std::fflush(saved ? stdout : stderr);
        QCoreApplication::exit(saved ? 0 : 1);
    } else if (waitedMs_ >= kGiveUpMilliseconds) {
        poll_.stop();
        std::fprintf(stderr, "no live values within %d s\n", kGiveUpMilliseconds / 1000);
        QCoreApplication::exit(1);
    }
}

}  // namespace gasecu::qt
