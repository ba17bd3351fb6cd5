#pragma once

#include <QString>

// Pinyin-initials search code of a name: the first letter of the reading of
// every Chinese character, other characters kept (A4 stays A4, m stays m).
// Works on the GBK encoding of the text; an empty or blank text gives "".
QString getPinyinCode(const QString &text);
