#include "frames/export/CompoundFile.h"

#include "frames/export/LittleEndian.h"

#include <QList>

namespace {

constexpr qsizetype kSectorSize = 512;
constexpr qsizetype kMiniSectorSize = 64;
constexpr qsizetype kMiniStreamCutoff = 4096;
constexpr qsizetype kIdsPerSector = kSectorSize / 4;
constexpr qsizetype kHeaderFatSlots = 109;
constexpr qsizetype kFatIdsPerDifatSector = kIdsPerSector - 1; // the last slot links the next one

constexpr quint32 kFreeSect = 0xFFFFFFFF;
constexpr quint32 kEndOfChain = 0xFFFFFFFE;
constexpr quint32 kFatSect = 0xFFFFFFFD;
constexpr quint32 kDifSect = 0xFFFFFFFC;
constexpr quint32 kNoStream = 0xFFFFFFFF;

qsizetype sectorsFor(qsizetype bytes, qsizetype sectorSize)
{
    return (bytes + sectorSize - 1) / sectorSize;
}

QByteArray padded(QByteArray bytes, qsizetype sectorSize)
{
    bytes.append(sectorsFor(bytes.size(), sectorSize) * sectorSize - bytes.size(), '\0');
    return bytes;
}

// The sectors after the header, with the allocation table entry of each.
class Sectors {
public:
    // Appends data as one chain of sectors; returns its first sector.
    quint32 addChain(const QByteArray &data)
    {
        const QByteArray whole = padded(data, kSectorSize);
        const auto first = quint32(m_fat.size());
        const qsizetype count = whole.size() / kSectorSize;
        for (qsizetype i = 0; i < count; ++i)
            m_fat << (i + 1 < count ? first + quint32(i) + 1 : kEndOfChain);
        m_body += whole;
        return count ? first : kEndOfChain;
    }
    // The allocation tables themselves, whose entries the caller has already counted.
    void addTable(const QByteArray &data) { m_body += data; }
    qsizetype count() const { return m_fat.size(); }
    const QList<quint32> &fat() const { return m_fat; }
    const QByteArray &body() const { return m_body; }

private:
    QList<quint32> m_fat;
    QByteArray m_body;
};

struct MiniStream {
    quint32 rootStart = kEndOfChain; // the mini stream itself, held by the root entry
    qsizetype rootSize = 0;
    quint32 miniFatStart = kEndOfChain;
    quint32 miniFatSectors = 0;
};

// Small streams go to 64-byte mini sectors inside the root entry's stream.
MiniStream addMiniStream(Sectors &sectors, const QByteArray &stream)
{
    MiniStream mini;
    if (stream.isEmpty())
        return mini;
    const QByteArray data = padded(stream, kMiniSectorSize);
    const qsizetype count = data.size() / kMiniSectorSize;
    LittleEndian miniFat;
    for (qsizetype i = 0; i < count; ++i)
        miniFat.u32(i + 1 < count ? quint32(i) + 1 : kEndOfChain);
    while (miniFat.size() % kSectorSize)
        miniFat.u32(kFreeSect);
    mini.rootStart = sectors.addChain(data);
    mini.rootSize = data.size();
    mini.miniFatStart = sectors.addChain(miniFat.data());
    mini.miniFatSectors = quint32(miniFat.size() / kSectorSize);
    return mini;
}

void directoryEntry(LittleEndian &out, const QString &name, quint8 type, quint32 child, quint32 start, qsizetype size)
{
    const qsizetype before = out.size();
    out.utf16(name).u16(0);
    out.zeros(64 - (out.size() - before));
    out.u16(name.isEmpty() ? 0 : quint16((name.size() + 1) * 2));
    out.u8(type).u8(type ? 1 : 0); // black node: a tree of at most one child needs no balancing
    out.u32(kNoStream).u32(kNoStream).u32(child);
    out.zeros(16 + 4 + 8 + 8); // class id, state bits, creation and modification times
    out.u32(start).u32(quint32(size)).u32(0);
}

QByteArray directory(const QString &streamName, const MiniStream &mini, quint32 streamStart, qsizetype streamSize)
{
    LittleEndian out;
    directoryEntry(out, QStringLiteral("Root Entry"), 5, 1, mini.rootStart, mini.rootSize);
    directoryEntry(out, streamName, 2, kNoStream, streamStart, streamSize);
    while (out.size() < kSectorSize)
        directoryEntry(out, QString(), 0, kNoStream, 0, 0);
    return out.data();
}

struct TableSizes {
    qsizetype fatSectors = 0;
    qsizetype difatSectors = 0;
};

// The FAT must also describe its own sectors and those of the DIFAT, so grow
// both until they cover everything.
TableSizes tableSizes(qsizetype dataSectors)
{
    TableSizes s;
    for (;;) {
        const qsizetype fat = sectorsFor(dataSectors + s.fatSectors + s.difatSectors, kIdsPerSector);
        const qsizetype difat = fat > kHeaderFatSlots ? sectorsFor(fat - kHeaderFatSlots, kFatIdsPerDifatSector) : 0;
        if (fat == s.fatSectors && difat == s.difatSectors)
            return s;
        s = {fat, difat};
    }
}

QByteArray header(const MiniStream &mini, quint32 directoryStart, const QList<quint32> &fatSectors,
                  quint32 difatStart, qsizetype difatSectors)
{
    LittleEndian out;
    out.bytes(QByteArray::fromHex("D0CF11E0A1B11AE1")).zeros(16);
    out.u16(0x003E).u16(0x0003).u16(0xFFFE).u16(9).u16(6).zeros(6);
    out.u32(0).u32(quint32(fatSectors.size())).u32(directoryStart).u32(0);
    out.u32(quint32(kMiniStreamCutoff)).u32(mini.miniFatStart).u32(mini.miniFatSectors);
    out.u32(difatStart).u32(quint32(difatSectors));
    for (qsizetype i = 0; i < kHeaderFatSlots; ++i)
        out.u32(i < fatSectors.size() ? fatSectors[i] : kFreeSect);
    return out.data();
}

QByteArray difatChain(const QList<quint32> &fatSectors, quint32 firstDifat, qsizetype difatSectors)
{
    LittleEndian out;
    qsizetype next = kHeaderFatSlots;
    for (qsizetype d = 0; d < difatSectors; ++d) {
        for (qsizetype i = 0; i < kFatIdsPerDifatSector; ++i, ++next)
            out.u32(next < fatSectors.size() ? fatSectors[next] : kFreeSect);
        out.u32(d + 1 < difatSectors ? firstDifat + quint32(d) + 1 : kEndOfChain);
    }
    return out.data();
}

} // namespace

QByteArray compoundFile(const QString &streamName, const QByteArray &stream)
{
    Sectors sectors;
    const bool small = stream.size() < kMiniStreamCutoff;
    const MiniStream mini = small ? addMiniStream(sectors, stream) : MiniStream{};
    const quint32 streamStart = small ? (stream.isEmpty() ? kEndOfChain : 0) : sectors.addChain(stream);
    const quint32 directoryStart = sectors.addChain(directory(streamName, mini, streamStart, stream.size()));

    const TableSizes sizes = tableSizes(sectors.count());
    QList<quint32> fatSectors;
    for (qsizetype i = 0; i < sizes.fatSectors; ++i)
        fatSectors << quint32(sectors.count() + i);
    const auto difatStart = quint32(sectors.count() + sizes.fatSectors);

    LittleEndian fat;
    QList<quint32> entries = sectors.fat();
    entries.append(QList<quint32>(sizes.fatSectors, kFatSect));
    entries.append(QList<quint32>(sizes.difatSectors, kDifSect));
    for (quint32 e : entries)
        fat.u32(e);
    while (fat.size() < sizes.fatSectors * kSectorSize)
        fat.u32(kFreeSect);
    sectors.addTable(fat.data());
    sectors.addTable(difatChain(fatSectors, difatStart, sizes.difatSectors));

    return header(mini, directoryStart, fatSectors, sizes.difatSectors ? difatStart : kEndOfChain, sizes.difatSectors)
        + sectors.body();
}
