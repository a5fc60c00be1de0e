#pragma once

#include <cstddef>
#include <cstdint>

// Writes the audio stream that the program reads (see helperprotocol.h).
class PcmWriter
{
public:
    explicit PcmWriter(int fd) : m_fd(fd) {}

    [[nodiscard]] bool writeHeader(std::uint32_t sampleRate);
    // Blocks while the pipe is full: that is what holds synthesis back to the listener's pace.
    // Returns false once the reader has gone away.
    [[nodiscard]] bool writeSamples(const short *samples, int count);

private:
    [[nodiscard]] bool writeAll(const void *data, std::size_t size);
    int m_fd;
};
