#include "platform/helper/pcmwriter.h"

#include <cerrno>
#include <unistd.h>

bool PcmWriter::writeHeader(std::uint32_t sampleRate)
{
    const unsigned char header[8] = {'P',
                                     'L',
                                     'R',
                                     'A',
                                     static_cast<unsigned char>(sampleRate & 0xff),
                                     static_cast<unsigned char>((sampleRate >> 8) & 0xff),
                                     static_cast<unsigned char>((sampleRate >> 16) & 0xff),
                                     static_cast<unsigned char>((sampleRate >> 24) & 0xff)};
    return writeAll(header, sizeof header);
}

bool PcmWriter::writeSamples(const short *samples, int count)
{
    if (count <= 0)
        return true;
    return writeAll(samples, static_cast<std::size_t>(count) * sizeof(short));
}

bool PcmWriter::writeAll(const void *data, std::size_t size)
{
    const char *cursor = static_cast<const char *>(data);
    while (size > 0) {
        const ssize_t written = ::write(m_fd, cursor, size);
        if (written < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        cursor += written;
        size -= static_cast<std::size_t>(written);
    }
    return true;
}
