#include "platform/qt/application.h"

#include <QApplication>
#include <QCoreApplication>

namespace gasecu {

int RunApplication(int argc, char** argv) {
    QApplication app(argc, argv);
    return 0;
}

}  // namespace gasecu
