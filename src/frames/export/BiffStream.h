#pragma once

#include "frames/export/LittleEndian.h"

// A sequence of BIFF8 records: type, length, payload. A record carries at most
// 8224 bytes of payload; longer data continues in CONTINUE records, which only
// the shared string table needs here.
class BiffStream {
public:
    static constexpr qsizetype kMaxRecordData = 8224;

    void add(quint16 type, const QByteArray &payload);
    void add(quint16 type, const LittleEndian &payload) { add(type, payload.data()); }
    void append(const QByteArray &records) { m_bytes += records; }
    void patchU32(qsizetype position, quint32 value);

    qsizetype size() const { return m_bytes.size(); }
    const QByteArray &data() const { return m_bytes; }

private:
    QByteArray m_bytes;
};

namespace Biff {
enum Record : quint16 {
    Bof = 0x0809,
    Eof = 0x000A,
    Codepage = 0x0042,
    Window1 = 0x003D,
    DateMode = 0x0022,
    Precision = 0x000E,
    Font = 0x0031,
    Format = 0x041E,
    Xf = 0x00E0,
    Style = 0x0293,
    BoundSheet = 0x0085,
    Sst = 0x00FC,
    ExtSst = 0x00FF,
    Continue = 0x003C,
    DefColWidth = 0x0055,
    ColInfo = 0x007D,
    Dimensions = 0x0200,
    Number = 0x0203,
    LabelSst = 0x00FD,
    BoolErr = 0x0205,
    Window2 = 0x023E,
};

// Cell formats (XF indexes) that the workbook globals define and cells use.
enum CellXf : quint16 {
    XfDefault = 15,
    XfCaption = 16,
    XfDate = 17,
    XfDateTime = 18,
};

void addBof(BiffStream &out, quint16 substreamType);
} // namespace Biff
