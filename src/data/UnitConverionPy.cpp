#include "UnitConverionPy.h"

#include "PinyinLevel2.h"

#include <QByteArray>
#include <algorithm>
#include <array>
#include <cerrno>
#include <iconv.h>

namespace {

// Runs one iconv conversion; a sequence that cannot be converted becomes '?'
// and the conversion goes on after it.
QByteArray convert(const char *to, const char *from, const QByteArray &input, int unitLength(unsigned char))
{
    QByteArray out;
    iconv_t cd = iconv_open(to, from);
    if (cd == reinterpret_cast<iconv_t>(-1))
        return out;
    QByteArray in = input;
    char *inPtr = in.data();
    size_t inLeft = static_cast<size_t>(in.size());
    std::array<char, 256> buffer{};
    while (inLeft > 0) {
        char *outPtr = buffer.data();
        size_t outLeft = buffer.size();
        const size_t rc = iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft);
        out.append(buffer.data(), static_cast<qsizetype>(buffer.size() - outLeft));
        if (rc == static_cast<size_t>(-1) && (errno == EILSEQ || errno == EINVAL)) {
            out.append('?');
            const size_t skip = std::min<size_t>(inLeft, static_cast<size_t>(unitLength(*inPtr)));
            inPtr += skip;
            inLeft -= skip;
        }
    }
    iconv_close(cd);
    return out;
}

int utf8Length(unsigned char lead)
{
    if (lead >= 0xF0)
        return 4;
    if (lead >= 0xE0)
        return 3;
    if (lead >= 0xC0)
        return 2;
    return 1;
}

int oneByte(unsigned char) { return 1; }

// GB2312 level-1 characters are ordered by reading: the first code of each letter.
struct Level1Range {
    int from;
    char letter;
};
constexpr std::array<Level1Range, 25> kLevel1{{
    {0xB0A1, 'A'}, {0xB0C5, 'B'}, {0xB2C1, 'C'}, {0xB2CE, 'S'}, {0xB2CF, 'C'}, {0xB4EE, 'D'}, {0xB6EA, 'E'},
    {0xB7A2, 'F'}, {0xB8C1, 'G'}, {0xB9FE, 'H'}, {0xBBF7, 'J'}, {0xBFA6, 'K'}, {0xC0AC, 'L'}, {0xC2E8, 'M'},
    {0xC4C3, 'N'}, {0xC5B6, 'O'}, {0xC5BE, 'P'}, {0xC6DA, 'Q'}, {0xC8BB, 'R'}, {0xC8F6, 'S'}, {0xCBFA, 'T'},
    {0xCDDA, 'W'}, {0xCEF4, 'X'}, {0xD1B9, 'Y'}, {0xD4D1, 'Z'},
}};
constexpr int kLevel1Last = 0xD7FE;

int level1Index(int code)
{
    if (code < kLevel1.front().from || code > kLevel1Last)
        return -1;
    int i = 0;
    while (i + 1 < int(kLevel1.size()) && kLevel1[i + 1].from <= code)
        ++i;
    return i;
}

bool isRegularTrail(unsigned char trail) { return trail >= 0xA1 && trail <= 0xFE; }

// 0 when the character has no letter.
char letterOf(unsigned char lead, unsigned char trail)
{
    if (lead >= 0xB0 && lead <= 0xD7) {
        if (isRegularTrail(trail))
            return kLevel1[level1Index(lead * 256 + trail)].letter;
        // A row that lies wholly inside one letter's range gives that letter
        // whatever the trail byte is.
        const int first = level1Index(lead * 256 + 0xA1);
        return first >= 0 && first == level1Index(lead * 256 + 0xFE) ? kLevel1[first].letter : 0;
    }
    if (lead >= pinyin::kLevel2FirstLead && lead < pinyin::kLevel2FirstLead + pinyin::kLevel2Rows &&
        isRegularTrail(trail))
        return pinyin::kLevel2[lead - pinyin::kLevel2FirstLead][trail - 0xA1];
    return 0;
}

QString trimmedBelowSpace(const QString &text)
{
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && text.at(begin).unicode() <= 32)
        ++begin;
    while (end > begin && text.at(end - 1).unicode() <= 32)
        --end;
    return text.mid(begin, end - begin);
}

} // namespace

QString getPinyinCode(const QString &text)
{
    const QString trimmed = trimmedBelowSpace(text);
    if (trimmed.isEmpty())
        return {};
    const QByteArray gbk = convert("GBK", "UTF-8", trimmed.toUtf8(), utf8Length);
    const auto *b = reinterpret_cast<const unsigned char *>(gbk.constData());
    const qsizetype n = gbk.size();
    QByteArray out;
    out.reserve(n);
    qsizetype i = 0;
    while (i < n - 1) {
        if (b[i] >= 0xA0) {
            if (const char letter = letterOf(b[i], b[i + 1]))
                out.append(letter);
            i += 2;
        } else {
            out.append(char(b[i]));
            ++i;
        }
    }
    if (i == n - 1)
        out.append(char(b[i]));
    return QString::fromUtf8(convert("UTF-8", "GBK", out, oneByte));
}
