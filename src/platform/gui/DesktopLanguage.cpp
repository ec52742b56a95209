#include "platform/gui/DesktopLanguage.h"

#include <QLocale>

namespace tessel {

std::string DesktopLanguage() {
    const QLocale system = QLocale::system();
    if (system.language() == QLocale::C || system.language() == QLocale::AnyLanguage)
        return "en";
    return system.bcp47Name().toStdString();
}

}  // namespace tessel
