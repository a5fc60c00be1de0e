#pragma once

#include "engine/protocol/helperprotocol.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

// Writes the audio stream that the program reads (see helperprotocol.h).
class PcmWriter
{
public:
    explicit PcmWriter(int fd) : m_fd(fd) {}

    [[nodiscard]] bool writeHeader(std::uint32_t sampleRate);
    // Blocks while the pipe is full: that is what holds synthesis back to the listener's pace.
    // Each returns false once the reader has gone away.
    [[nodiscard]] bool writeSamples(const short *samples, int count);
    [[nodiscard]] bool writeFrame(HelperProtocol::FrameType type, std::string_view payload = {});

private:
    [[nodiscard]] bool writeAll(const void *data, std::size_t size);
    int m_fd;
};
