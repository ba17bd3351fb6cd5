#include "frames/export/BiffStream.h"

#include <QtEndian>

#include <cstring>

void BiffStream::add(quint16 type, const QByteArray &payload)
{
    Q_ASSERT(payload.size() <= kMaxRecordData);
    LittleEndian header;
    header.u16(type).u16(quint16(payload.size()));
    m_bytes += header.data();
    m_bytes += payload;
}

void BiffStream::patchU32(qsizetype position, quint32 value)
{
    const quint32 le = qToLittleEndian(value);
    std::memcpy(m_bytes.data() + position, &le, sizeof le);
}

void Biff::addBof(BiffStream &out, quint16 substreamType)
{
    // BIFF8, build and year of Excel 97, no file history flags, lowest version BIFF8.
    out.add(Bof, LittleEndian().u16(0x0600).u16(substreamType).u16(0x0DBB).u16(0x07CC).u32(0).u32(0x06));
}
