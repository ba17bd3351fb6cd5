#include "frames/export/ExportFile.h"

#include <QDir>

#include <stdexcept>

ExportFile::ExportFile(const QString &path)
    : m_file(path)
{
    if (!m_file.open(QIODevice::WriteOnly))
        fail();
}

void ExportFile::write(const QByteArray &bytes)
{
    if (m_file.write(bytes) != bytes.size())
        fail();
}

void ExportFile::commit()
{
    if (!m_file.commit())
        fail();
}

void ExportFile::fail()
{
    const QString detail = m_file.errorString();
    m_file.cancelWriting();
    throw std::runtime_error(QStringLiteral("无法写入文件“%1”。\n请确认文件夹存在并且可以写入，"
                                            "以及该文件没有被其他程序（例如 Excel）打开。\n（%2）")
                                 .arg(QDir::toNativeSeparators(m_file.fileName()), detail)
                                 .toStdString());
}

void refuseExport(const QString &message)
{
    throw std::runtime_error(message.toStdString());
}
