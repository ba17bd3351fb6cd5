#pragma once

#include <QString>

// Asks the top-level window with exactly this title, if one exists, to close
// (as its own close box would). Works on Windows and on X11; elsewhere it does
// nothing. True when such a window was found and asked.
bool closeTopLevelWindow(const QString &title);
