#include "frames/export/SharedStrings.h"

#include <algorithm>

quint32 SharedStrings::add(const QString &text)
{
    ++m_references;
    const auto found = m_index.constFind(text);
    if (found != m_index.constEnd())
        return found.value();
    const auto index = quint32(m_strings.size());
    m_index.insert(text, index);
    m_strings << text;
    return index;
}

void SharedStrings::write(BiffStream &out) const
{
    constexpr qsizetype limit = BiffStream::kMaxRecordData;
    constexpr qsizetype stringHeader = 3; // character count and option flags
    constexpr quint8 utf16Flag = 0x01;
    // EXTSST points at every n-th string; at most 128 buckets keep it in one record.
    const qsizetype perBucket = std::max<qsizetype>(8, m_strings.size() / 128 + 1);

    LittleEndian index;
    index.u16(quint16(perBucket));
    quint16 type = Biff::Sst;
    QByteArray record = LittleEndian().u32(m_references).u32(quint32(m_strings.size())).data();
    const auto flush = [&] {
        out.add(type, record);
        type = Biff::Continue;
        record.clear();
    };

    for (qsizetype i = 0; i < m_strings.size(); ++i) {
        const QString &s = m_strings[i];
        // A string's header and first character never straddle two records.
        if (record.size() + stringHeader + (s.isEmpty() ? 0 : 2) > limit)
            flush();
        if (i % perBucket == 0)
            index.u32(quint32(out.size() + 4 + record.size())).u16(quint16(4 + record.size())).u16(0);
        record += LittleEndian().u16(quint16(s.size())).u8(utf16Flag).data();
        const QByteArray chars = LittleEndian().utf16(s).data();
        qsizetype done = 0;
        while (done < chars.size()) {
            const qsizetype room = (limit - record.size()) / 2 * 2;
            if (room == 0) {
                // The rest of the string continues in the next record, which
                // repeats the string's option flags first.
                flush();
                record.append(char(utf16Flag));
                continue;
            }
            const qsizetype take = std::min(room, chars.size() - done);
            record.append(chars.constData() + done, take);
            done += take;
        }
    }
    flush();
    out.add(Biff::ExtSst, index);
}
