#pragma once

#include "appearance/EmoticonSet.h"

#include <QColor>
#include <QString>

namespace zento {

/// What the editor hands over for a test popup of the alert it holds, saved or not.
struct EditorPreview {
    QColor background;    ///< of the message box; invalid: the window's normal colours
    QColor text;          ///< of the message box; invalid: the normal text colour
    QString dateText;     ///< the date picker's date in the short date form
    bool hasTime = false; ///< "Heure" is checked
    QString hour;         ///< texts of the hour and minute lists
    QString minute;
    QString message;
    int emoticon = kDefaultEmoticon; ///< picture index 0..15; any other gives the push pin
    bool withSound = false;          ///< "Popup + son" is selected
    QString soundName;               ///< the file chosen in the sound list, without folder
    bool loop = false;               ///< "Répéter en boucle" is checked
};

} // namespace zento
