#pragma once

#include <QByteArray>
#include <QString>

// Wraps one named stream into a compound file (the OLE2 container of Excel
// 97-2003 workbooks; version 3 with 512-byte sectors). Streams under 4096
// bytes live in the mini stream; larger ones in regular sectors, with as many
// FAT sectors as needed and DIFAT sectors once they exceed the 109 the header
// can list.
QByteArray compoundFile(const QString &streamName, const QByteArray &stream);
