#include "TemplateFile.h"

#include <QFile>
#include <QSaveFile>

namespace report {

QByteArray readWholeFile(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        throw TemplateError(QStringLiteral("无法读取文件 %1：%2").arg(path, f.errorString()));
    return f.readAll();
}

void writeWholeFile(const QString &path, const QByteArray &bytes)
{
    QSaveFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size() || !f.commit())
        throw TemplateError(QStringLiteral("无法写入文件 %1：%2").arg(path, f.errorString()));
}

ReportTemplate loadTemplateFile(const QString &path)
{
    try {
        return fromXml(readWholeFile(path));
    } catch (const TemplateError &e) {
        throw TemplateError(QStringLiteral("%1\n%2").arg(e.message(), path));
    }
}

void saveTemplateFile(const QString &path, const ReportTemplate &t)
{
    writeWholeFile(path, toXml(t));
}

} // namespace report
