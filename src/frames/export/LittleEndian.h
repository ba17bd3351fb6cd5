#pragma once

#include <QByteArray>
#include <QString>
#include <QtEndian>

#include <cstring>

// Appends little-endian binary fields, the byte order of every structure in an
// Excel 97-2003 file and its compound-file container.
class LittleEndian {
public:
    LittleEndian &u8(quint8 v)
    {
        m_bytes.append(char(v));
        return *this;
    }
    LittleEndian &u16(quint16 v) { return raw(qToLittleEndian(v)); }
    LittleEndian &u32(quint32 v) { return raw(qToLittleEndian(v)); }
    LittleEndian &f64(double v)
    {
        quint64 bits;
        std::memcpy(&bits, &v, sizeof bits);
        return raw(qToLittleEndian(bits));
    }
    LittleEndian &utf16(const QString &s)
    {
        for (QChar c : s)
            u16(c.unicode());
        return *this;
    }
    LittleEndian &bytes(const QByteArray &b)
    {
        m_bytes.append(b);
        return *this;
    }
    LittleEndian &zeros(qsizetype count)
    {
        m_bytes.append(count, '\0');
        return *this;
    }

    const QByteArray &data() const { return m_bytes; }
    qsizetype size() const { return m_bytes.size(); }

private:
    template<typename T>
    LittleEndian &raw(T v)
    {
        m_bytes.append(reinterpret_cast<const char *>(&v), sizeof v);
        return *this;
    }

    QByteArray m_bytes;
};
