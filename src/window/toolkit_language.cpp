#include "window/toolkit_language.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

namespace gasecu::qt {

bool UseToolkitLanguage(bool english) {
    static QTranslator* installed = nullptr;
    if (english) {
        if (installed) {
            QCoreApplication::removeTranslator(installed);
            delete installed;
            installed = nullptr;
        }
        return true;
    }
    if (installed) return true;
    auto translator = new QTranslator;
    // qtbase carries the dialogs. On Windows it ships in a translations folder
    // beside the program; on Linux Debian's package installs it with Qt's others.
    const QString name = QStringLiteral("qtbase_tr");
    if (!translator->load(name, QCoreApplication::applicationDirPath() + QStringLiteral("/translations")) &&
        !translator->load(name, QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        delete translator;
        return false;
    }
    QCoreApplication::installTranslator(translator);
    installed = translator;
    return true;
}

}  // namespace gasecu::qt
