#pragma once

#include "frames/export/BiffStream.h"

#include <QHash>
#include <QStringList>

// The workbook's shared string table: every text cell refers to its string by
// index, each distinct string stored once.
class SharedStrings {
public:
    quint32 add(const QString &text);

    // Writes SST with its CONTINUE records and the EXTSST index into it.
    // Positions in EXTSST are absolute, so `out` must be the workbook stream.
    void write(BiffStream &out) const;

private:
    QHash<QString, quint32> m_index;
    QStringList m_strings;
    quint32 m_references = 0;
};
