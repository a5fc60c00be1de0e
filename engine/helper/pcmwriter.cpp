#include "engine/helper/pcmwriter.h"

#include <cerrno>
#include <sys/uio.h>
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
    return writeFrame(HelperProtocol::FrameType::Audio,
                      std::string_view(reinterpret_cast<const char *>(samples),
                                       static_cast<std::size_t>(count) * sizeof(short)));
}

bool PcmWriter::writeFrame(HelperProtocol::FrameType type, std::string_view payload)
{
    const auto header = HelperProtocol::frameHeader(type, static_cast<std::uint32_t>(payload.size()));
    // One write for header and payload where the pipe allows: fewer wake-ups of the reader.
    iovec parts[2] = {{const_cast<unsigned char *>(header.data()), header.size()},
                      {const_cast<char *>(payload.data()), payload.size()}};
    const std::size_t total = header.size() + payload.size();
    ssize_t written = 0;
    do
        written = ::writev(m_fd, parts, payload.empty() ? 1 : 2);
    while (written < 0 && errno == EINTR);
    if (written < 0)
        return false;
    const auto done = static_cast<std::size_t>(written);
    if (done == total)
        return true;
    if (done < header.size())
        return writeAll(header.data() + done, header.size() - done) &&
               writeAll(payload.data(), payload.size());
    return writeAll(payload.data() + (done - header.size()), total - done);
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
