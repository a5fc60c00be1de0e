#include "engine/rendering/mp3infoframe.h"

#include <algorithm>
#include <array>
#include <cstring>

namespace {

// Places in the info frame, from its "Info" (or "Xing") mark on.
constexpr qsizetype FlagsAt = 4;
constexpr qsizetype FramesAt = 8;
constexpr qsizetype BytesAt = 12;
constexpr qsizetype TableAt = 16;
constexpr qsizetype TableEntries = 100;
constexpr qsizetype LameAt = 120;
constexpr qsizetype DelayAndPaddingAt = 141;
constexpr qsizetype MusicLengthAt = 148;
constexpr qsizetype MusicCrcAt = 152;
constexpr qsizetype TagCrcAt = 154;
// Frame count, byte count, seek table and quality: what LAME writes.
constexpr quint32 AllFields = 0x0f;

// CRC-16 with the polynomial x^16 + x^15 + x^2 + 1, as LAME computes its checksums.
constexpr std::array<quint16, 256> CrcTable = [] {
    std::array<quint16, 256> table{};
    for (unsigned byte = 0; byte < 256; ++byte) {
        unsigned crc = byte;
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc & 1) != 0 ? (crc >> 1) ^ 0xa001 : crc >> 1;
        table[byte] = quint16(crc);
    }
    return table;
}();

quint16 crcOf(const char *bytes, qsizetype size, quint16 crc = 0)
{
    for (qsizetype i = 0; i < size; ++i)
        crc = quint16((crc >> 8) ^ CrcTable[(crc ^ quint8(bytes[i])) & 0xff]);
    return crc;
}

void putBigEndian(char *at, quint32 value, int bytes)
{
    for (int i = bytes - 1; i >= 0; --i) {
        at[i] = char(value & 0xff);
        value >>= 8;
    }
}

quint32 bigEndian(const char *at, int bytes)
{
    quint32 value = 0;
    for (int i = 0; i < bytes; ++i)
        value = (value << 8) | quint8(at[i]);
    return value;
}

} // namespace

void Mp3InfoFrame::addFrames(QByteArrayView frames, qint64 count)
{
    m_frames += count;
    m_bytes += frames.size();
    m_musicCrc = crcOf(frames.data(), frames.size(), m_musicCrc);
}

QByteArray Mp3InfoFrame::completed(QByteArray lameFrame, qint64 samples, int frameSamples) const
{
    qsizetype mark = lameFrame.indexOf("Info");
    if (mark < 0)
        mark = lameFrame.indexOf("Xing");
    if (mark < 0 || lameFrame.size() < mark + TagCrcAt + 2 ||
        bigEndian(lameFrame.constData() + mark + FlagsAt, 4) != AllFields ||
        std::memcmp(lameFrame.constData() + mark + LameAt, "LAME", 4) != 0)
        return lameFrame;
    char *info = lameFrame.data() + mark;
    const qint64 bytes = lameFrame.size() + m_bytes;
    putBigEndian(info + FramesAt, quint32(m_frames), 4);
    putBigEndian(info + BytesAt, quint32(bytes), 4);
    // Where each hundredth of the duration begins, as a share of the file in 256ths; the frames
    // are all but the same size.
    for (qsizetype entry = 1; entry < TableEntries && m_frames > 0; ++entry) {
        const qint64 frame = entry * m_frames / TableEntries;
        info[TableAt + entry] = char(std::min<qint64>(255, 256 * (frame + 1) / m_frames));
    }
    // The delay stays the encoder's; the padding fills the last frame.
    const quint32 delay = bigEndian(info + DelayAndPaddingAt, 3) >> 12;
    const qint64 padding = std::clamp<qint64>(m_frames * frameSamples - delay - samples, 0, 0xfff);
    putBigEndian(info + DelayAndPaddingAt, (delay << 12) | quint32(padding), 3);
    putBigEndian(info + MusicLengthAt, quint32(bytes), 4);
    putBigEndian(info + MusicCrcAt, m_musicCrc, 2);
    putBigEndian(info + TagCrcAt, crcOf(lameFrame.constData(), mark + TagCrcAt), 2);
    return lameFrame;
}
