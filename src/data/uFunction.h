#pragma once

#include <QString>

class QWidget;

// Shared helpers used by every screen.

// Folder of the running program file, ending with the path separator.
QString getAppPath();

void showWarning(QWidget *owner, const QString &caption, const QString &message);
void showInfo(QWidget *owner, const QString &caption, const QString &message);
// True when the person answered Yes.
bool askYesNo(QWidget *owner, const QString &caption, const QString &message);

// A new random GUID as 32 upper-case hexadecimal digits.
QString newGuidText();

// Decimal rounding, half away from zero, after removing binary representation
// noise (the value is first cut to 15 significant digits, so 2.675 rounds up).
double roundFloat(int places, double value);

// Folder for per-user files when the program folder is not writable.
QString writableAppPath();
