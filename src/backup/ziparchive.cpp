#include "ziparchive.h"

#include "stationdb/atomicfile.h"
#include "stationdb/crc32.h"

#include <QFileInfo>

#include <array>
#include <vector>

// Qt keeps its zip reader private, so the few station files a net manager sends as a zip
// are unpacked here: the archive's directory, then each file stored or deflated (RFC 1951).

namespace {

class BitReader
{
public:
    explicit BitReader(const QByteArray &in)
        : m_in(in)
    {
    }

    int bits(int need)
    {
        quint32 value = m_buffer;
        while (m_count < need) {
            if (m_pos >= m_in.size()) {
                failed = true;
                return 0;
            }
            value |= quint32(quint8(m_in[m_pos++])) << m_count;
            m_count += 8;
        }
        m_buffer = value >> need;
        m_count -= need;
        return int(value & ((1u << need) - 1));
    }

    // A stored block starts at the next whole byte.
    bool stored(QByteArray &out, qint64 maxBytes)
    {
        m_buffer = 0;
        m_count = 0;
        if (m_pos + 4 > m_in.size())
            return false;
        const auto byte = [this](qsizetype at) { return int(quint8(m_in[at])); };
        const int length = byte(m_pos) | (byte(m_pos + 1) << 8);
        const int check = byte(m_pos + 2) | (byte(m_pos + 3) << 8);
        m_pos += 4;
        if (length != (~check & 0xffff) || m_pos + length > m_in.size()
            || out.size() + length > maxBytes)
            return false;
        out += m_in.mid(m_pos, length);
        m_pos += length;
        return true;
    }

    bool failed = false;

private:
    const QByteArray &m_in;
    qsizetype m_pos = 0;
    quint32 m_buffer = 0;
    int m_count = 0;
};

// A canonical Huffman code: how many codes of each length, and the symbols in code order.
struct Huffman
{
    std::array<int, 16> count {};
    std::vector<int> symbol;
};

// 0 for a complete code, above 0 for an incomplete one, below 0 for an impossible one.
int BuildCode(Huffman &h, const int *length, int n)
{
    h.count.fill(0);
    h.symbol.assign(size_t(n), 0);
    for (int s = 0; s < n; ++s)
        ++h.count[size_t(length[s])];
    if (h.count[0] == n)
        return 0;
    int left = 1;
    for (int len = 1; len < 16; ++len) {
        left = (left << 1) - h.count[size_t(len)];
        if (left < 0)
            return left;
    }
    std::array<int, 16> offsets {};
    for (int len = 1; len < 15; ++len)
        offsets[size_t(len + 1)] = offsets[size_t(len)] + h.count[size_t(len)];
    for (int s = 0; s < n; ++s) {
        if (length[s] != 0)
            h.symbol[size_t(offsets[size_t(length[s])]++)] = s;
    }
    return left;
}

int Decode(BitReader &in, const Huffman &h)
{
    int code = 0, first = 0, index = 0;
    for (int len = 1; len < 16; ++len) {
        code |= in.bits(1);
        if (in.failed)
            return -1;
        const int count = h.count[size_t(len)];
        if (code - count < first)
            return h.symbol[size_t(index + code - first)];
        index += count;
        first = (first + count) << 1;
        code <<= 1;
    }
    return -1;
}

constexpr int kLengthBase[29] = { 3, 4, 5, 6, 7, 8, 9, 10, 11, 13, 15, 17, 19, 23, 27, 31, 35, 43,
    51, 59, 67, 83, 99, 115, 131, 163, 195, 227, 258 };
constexpr int kLengthExtra[29]
    = { 0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 2, 2, 2, 2, 3, 3, 3, 3, 4, 4, 4, 4, 5, 5, 5, 5, 0 };
constexpr int kDistanceBase[30] = { 1, 2, 3, 4, 5, 7, 9, 13, 17, 25, 33, 49, 65, 97, 129, 193, 257,
    385, 513, 769, 1025, 1537, 2049, 3073, 4097, 6145, 8193, 12289, 16385, 24577 };
constexpr int kDistanceExtra[30] = { 0, 0, 0, 0, 1, 1, 2, 2, 3, 3, 4, 4, 5, 5, 6, 6, 7, 7, 8, 8, 9,
    9, 10, 10, 11, 11, 12, 12, 13, 13 };

bool Codes(BitReader &in, QByteArray &out, const Huffman &lengths, const Huffman &distances,
    qint64 maxBytes)
{
    for (;;) {
        int symbol = Decode(in, lengths);
        if (symbol < 0)
            return false;
        if (symbol < 256) {
            if (out.size() >= maxBytes)
                return false;
            out += char(symbol);
            continue;
        }
        if (symbol == 256)
            return true;
        symbol -= 257;
        if (symbol >= 29)
            return false;
        const int length = kLengthBase[symbol] + in.bits(kLengthExtra[symbol]);
        const int d = Decode(in, distances);
        if (d < 0 || d >= 30)
            return false;
        const qsizetype distance = kDistanceBase[d] + in.bits(kDistanceExtra[d]);
        if (in.failed || distance > out.size() || out.size() + length > maxBytes)
            return false;
        for (int i = 0; i < length; ++i)
            out += out.at(out.size() - distance);
    }
}

bool FixedBlock(BitReader &in, QByteArray &out, qint64 maxBytes)
{
    int length[288 + 30];
    for (int s = 0; s < 288; ++s)
        length[s] = s < 144 ? 8 : s < 256 ? 9 : s < 280 ? 7 : 8;
    for (int s = 288; s < 288 + 30; ++s)
        length[s] = 5;
    Huffman lengths, distances;
    BuildCode(lengths, length, 288);
    BuildCode(distances, length + 288, 30);
    return Codes(in, out, lengths, distances, maxBytes);
}

bool DynamicBlock(BitReader &in, QByteArray &out, qint64 maxBytes)
{
    static constexpr int order[19]
        = { 16, 17, 18, 0, 8, 7, 9, 6, 10, 5, 11, 4, 12, 3, 13, 2, 14, 1, 15 };
    const int nlen = in.bits(5) + 257;
    const int ndist = in.bits(5) + 1;
    const int ncode = in.bits(4) + 4;
    if (in.failed || nlen > 286 || ndist > 30)
        return false;
    int length[286 + 30] = {};
    for (int i = 0; i < ncode; ++i)
        length[order[i]] = in.bits(3);
    Huffman lengths, distances;
    if (in.failed || BuildCode(lengths, length, 19) != 0)
        return false;
    int index = 0;
    while (index < nlen + ndist) {
        int symbol = Decode(in, lengths);
        if (symbol < 0)
            return false;
        if (symbol < 16) {
            length[index++] = symbol;
            continue;
        }
        int repeated = 0;
        if (symbol == 16) {
            if (index == 0)
                return false;
            repeated = length[index - 1];
            symbol = 3 + in.bits(2);
        } else if (symbol == 17) {
            symbol = 3 + in.bits(3);
        } else {
            symbol = 11 + in.bits(7);
        }
        if (in.failed || index + symbol > nlen + ndist)
            return false;
        while (symbol-- > 0)
            length[index++] = repeated;
    }
    if (length[256] == 0)
        return false;
    int err = BuildCode(lengths, length, nlen);
    if (err < 0 || (err > 0 && nlen - lengths.count[0] != 1))
        return false;
    err = BuildCode(distances, length + nlen, ndist);
    if (err < 0 || (err > 0 && ndist - distances.count[0] != 1))
        return false;
    return Codes(in, out, lengths, distances, maxBytes);
}

quint32 Le(const QByteArray &bytes, qsizetype at, int size)
{
    quint32 value = 0;
    for (int i = size - 1; i >= 0; --i)
        value = (value << 8) | quint8(bytes[at + i]);
    return value;
}

} // namespace

quint32 ZipCrc32(const QByteArray &bytes)
{
    return Crc32(bytes);
}

std::optional<QByteArray> Inflate(const QByteArray &deflated, qint64 maxBytes)
{
    BitReader in(deflated);
    QByteArray out;
    bool last = false;
    while (!last) {
        last = in.bits(1) == 1;
        const int type = in.bits(2);
        if (in.failed)
            return std::nullopt;
        bool ok = false;
        if (type == 0)
            ok = in.stored(out, maxBytes);
        else if (type == 1)
            ok = FixedBlock(in, out, maxBytes);
        else if (type == 2)
            ok = DynamicBlock(in, out, maxBytes);
        if (!ok || in.failed)
            return std::nullopt;
    }
    return out;
}

Result<QList<ZipEntry>> ReadZipArchive(const QString &path, qint64 maxFileBytes)
{
    auto damaged = [&path](const QString &why) {
        return Status::Error(FileError(
            path, QStringLiteral("not a zip file we can read (") + why + QStringLiteral(")")));
    };
    if (QFileInfo(path).size() > 256 * 1024 * 1024)
        return damaged(QStringLiteral("over 256 MB"));
    const Result<QByteArray> read = ReadWholeFile(path);
    if (!read)
        return read.status();
    const QByteArray &zip = read.value();
    // The directory's end record is among the last 64 KB (after it, only a comment).
    qsizetype end = -1;
    for (qsizetype at = zip.size() - 22; at >= 0 && at >= zip.size() - 22 - 65535; --at) {
        if (Le(zip, at, 4) == 0x06054b50u) {
            end = at;
            break;
        }
    }
    if (end < 0)
        return damaged(QStringLiteral("no directory"));
    const quint32 entries = Le(zip, end + 10, 2);
    qsizetype at = Le(zip, end + 16, 4);
    QList<ZipEntry> files;
    for (quint32 e = 0; e < entries; ++e) {
        if (at + 46 > zip.size() || Le(zip, at, 4) != 0x02014b50u)
            return damaged(QStringLiteral("damaged directory"));
        const quint32 flags = Le(zip, at + 8, 2);
        const quint32 method = Le(zip, at + 10, 2);
        const quint32 crc = Le(zip, at + 16, 4);
        const qint64 packed = Le(zip, at + 20, 4);
        const qint64 size = Le(zip, at + 24, 4);
        const qsizetype nameLength = Le(zip, at + 28, 2);
        const qsizetype next = at + 46 + nameLength + Le(zip, at + 30, 2) + Le(zip, at + 32, 2);
        const qsizetype local = Le(zip, at + 42, 4);
        if (next > zip.size())
            return damaged(QStringLiteral("damaged directory"));
        const QString name = (flags & 0x800) ? QString::fromUtf8(zip.mid(at + 46, nameLength))
                                             : QString::fromLatin1(zip.mid(at + 46, nameLength));
        at = next;
        if (name.endsWith(u'/'))
            continue; // a folder
        if (flags & 1)
            return damaged(name + QStringLiteral(" is encrypted"));
        if (size > maxFileBytes)
            return damaged(name + QStringLiteral(" is too large"));
        if (local + 30 > zip.size() || Le(zip, local, 4) != 0x04034b50u)
            return damaged(QStringLiteral("damaged entry ") + name);
        const qsizetype data = local + 30 + Le(zip, local + 26, 2) + Le(zip, local + 28, 2);
        if (data + packed > zip.size())
            return damaged(QStringLiteral("damaged entry ") + name);
        const QByteArray raw = zip.mid(data, packed);
        std::optional<QByteArray> bytes;
        if (method == 0)
            bytes = raw;
        else if (method == 8)
            bytes = Inflate(raw, maxFileBytes);
        else
            return damaged(name + QStringLiteral(" is packed in a way not supported"));
        if (!bytes || bytes->size() != size || ZipCrc32(*bytes) != crc)
            return damaged(QStringLiteral("damaged entry ") + name);
        files.append({ name, *bytes });
    }
    return files;
}
