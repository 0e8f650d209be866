#pragma once

// What the desktop program keeps between starts (recent projects, the window's place, the
// folder of each file dialog), in the user's configuration folder: ~/.config/zenka/zenka.conf.

#include <QSettings>

namespace zenka {

inline QSettings programSettings() {
    return QSettings(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("zenka"),
                     QStringLiteral("zenka"));
}

} // namespace zenka
