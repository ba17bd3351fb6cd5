#include "uFunction.h"

#include "Interaction.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <QUuid>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>

QString getAppPath()
{
    QString dir = QCoreApplication::applicationDirPath();
    if (!dir.endsWith(QLatin1Char('/')))
        dir += QLatin1Char('/');
    return dir;
}

QString writableAppPath()
{
    const QString app = getAppPath();
    if (QFileInfo(app).isWritable())
        return app;
    QString dir = QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation);
    QDir().mkpath(dir);
    if (!dir.endsWith(QLatin1Char('/')))
        dir += QLatin1Char('/');
    return dir;
}

void showWarning(QWidget *owner, const QString &caption, const QString &message)
{
    interaction().showWarning(owner, caption, message);
}

void showInfo(QWidget *owner, const QString &caption, const QString &message)
{
    interaction().showInfo(owner, caption, message);
}

bool askYesNo(QWidget *owner, const QString &caption, const QString &message)
{
    return interaction().askYesNo(owner, caption, message);
}

QString newGuidText()
{
    return QUuid::createUuid().toString(QUuid::Id128).toUpper();
}

double roundFloat(int places, double value)
{
    if (value == 0.0)
        return 0.0;
    if (!std::isfinite(value))
        return value;
    if (places < 0)
        places = 0;

    // 15 significant digits: "d.dddddddddddddde±x".
    char buf[40];
    std::snprintf(buf, sizeof buf, "%.14e", std::fabs(value));
    std::string digits;
    digits += buf[0];
    digits.append(buf + 2, 14);
    const int exponent = std::atoi(buf + 17);

    // Position (in `digits`) of the last digit kept: the units digit sits at
    // index `exponent`.
    const int keep = exponent + places + 1; // number of leading digits kept
    if (keep <= 0) {
        // Every kept digit is zero; only a first dropped digit of 5+ at the
        // position right after the last kept place rounds up.
        if (keep == 0 && digits[0] >= '5')
            return std::copysign(std::pow(10.0, -places), value);
        return 0.0;
    }
    std::string kept = digits.substr(0, std::min<size_t>(keep, digits.size()));
    while (static_cast<int>(kept.size()) < keep)
        kept += '0';
    int carry = (keep < static_cast<int>(digits.size()) && digits[keep] >= '5') ? 1 : 0;
    for (int i = keep - 1; i >= 0 && carry; --i) {
        if (kept[i] == '9') {
            kept[i] = '0';
        } else {
            ++kept[i];
            carry = 0;
        }
    }
    int intDigits = exponent + 1;
    if (carry) {
        kept.insert(kept.begin(), '1');
        ++intDigits;
    }
    std::string text;
    if (intDigits <= 0) {
        text = "0." + std::string(-intDigits, '0') + kept;
    } else {
        text = kept.substr(0, intDigits);
        if (static_cast<int>(kept.size()) > intDigits)
            text += "." + kept.substr(intDigits);
    }
    const double result = std::strtod(text.c_str(), nullptr);
    return value < 0 ? -result : result;
}
