#include "platform/helper/pcmwriter.h"

#include "platform/helper/helperprotocol.h"

#include <cerrno>
#include <unistd.h>

bool PcmWriter::writeHeader(std::uint32_t sampleRate)
{
    const auto header = HelperProtocol::streamHeader(sampleRate);
    return writeAll(header.data(), header.size());
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
