#pragma once
// The whole program checked with nobody at it (the Windows stage of CI runs the
// installed program this way, on a machine without a screen): the connect
// button is clicked as the fitter clicks it, and once live values have come in
// the window's picture is saved to a PNG file and the program ends with status
// 0; with no live values within a minute it ends with status 1 and says so.
#include <QObject>
#include <QString>
#include <QTimer>

namespace gasecu::qt {

class Session;

class LinkedGrab : public QObject {
public:
    LinkedGrab(Session& session, QString file);

    static constexpr int kLiveRepliesBeforeTheGrab = 3;
    static constexpr int kGiveUpMilliseconds = 60000;

private:
    void check();

    Session& session_;
    QString file_;
    QTimer poll_;
    int waitedMs_ = 0;
};

}  // namespace gasecu::qt
