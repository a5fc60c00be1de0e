// A speech helper that speaks the protocol without an engine, misbehaving on request, so the
// session's handling of each failure can be driven. The voice id "malformed-header" starts with
// a stream that is not ours. Each passage's audio is its text's bytes, each repeated as
// SamplesPerByte samples of value byte * 100; a passage whose text starts with a command word
// behaves so:
//   "slow" waits 300 ms before it speaks;   "stall" writes some audio, then nothing more;
//   "die" writes some audio and ends the helper;   "die-once" does so only if the file named
//   by FAKE_HELPER_ONCE does not exist yet (it creates it);   "oversized" writes a frame header
//   longer than the protocol allows.
#include "engine/protocol/helperprotocol.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <string>
#include <thread>
#include <vector>

#include <unistd.h>

namespace {

using namespace HelperProtocol;

constexpr int SamplesPerByte = 20;
int audioFd = -1;

void writeAll(const void *data, std::size_t size)
{
    const char *cursor = static_cast<const char *>(data);
    while (size > 0) {
        const ssize_t written = ::write(audioFd, cursor, size);
        if (written <= 0)
            std::_Exit(0);
        cursor += written;
        size -= std::size_t(written);
    }
}

void frame(FrameType type, const std::vector<short> &samples = {})
{
    const auto header = frameHeader(type, std::uint32_t(samples.size() * sizeof(short)));
    writeAll(header.data(), header.size());
    writeAll(samples.data(), samples.size() * sizeof(short));
}

std::vector<short> audioOf(const std::string &text)
{
    std::vector<short> samples;
    for (const unsigned char byte : text)
        samples.insert(samples.end(), SamplesPerByte, short(byte * 100));
    return samples;
}

bool startsWith(const std::string &text, const char *word)
{
    return text.rfind(word, 0) == 0;
}

void speak(const std::string &text)
{
    const std::vector<short> samples = audioOf(text);
    const std::vector<short> half(samples.begin(), samples.begin() + std::ptrdiff_t(samples.size() / 2));
    if (startsWith(text, "slow"))
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
    if (startsWith(text, "stall")) {
        frame(FrameType::Audio, half);
        std::this_thread::sleep_for(std::chrono::hours(1));
    }
    const char *once = std::getenv("FAKE_HELPER_ONCE");
    const bool dieNow = startsWith(text, "die-once") ? once != nullptr && ::access(once, F_OK) != 0
                                                     : startsWith(text, "die");
    if (dieNow) {
        if (startsWith(text, "die-once"))
            std::fclose(std::fopen(once, "w"));
        frame(FrameType::Audio, half);
        std::_Exit(0);
    }
    if (startsWith(text, "oversized")) {
        const auto header = frameHeader(FrameType::Audio, MaxFramePayload + 1);
        writeAll(header.data(), header.size());
        std::this_thread::sleep_for(std::chrono::hours(1));
    }
    // In two frames, so that a retried passage can be cut between them.
    frame(FrameType::Audio, half);
    frame(FrameType::Audio, std::vector<short>(samples.begin() + std::ptrdiff_t(half.size()), samples.end()));
    frame(FrameType::PassageDone);
}

bool readLine(std::string &line)
{
    return bool(std::getline(std::cin, line));
}

} // namespace

int main(int argc, char **argv)
{
    if (argc != 5)
        return ExitFailure;
    audioFd = std::atoi(argv[4]);
    if (std::string(argv[3]) == "malformed-header") {
        writeAll("NOTOURS!", 8);
        std::this_thread::sleep_for(std::chrono::hours(1));
    }
    const auto header = streamHeader(8000);
    writeAll(header.data(), header.size());
    std::string line;
    while (readLine(line)) {
        std::size_t count = 1;
        std::size_t quiet = 0;
        if (startsWith(line, "group ")) {
            std::sscanf(line.c_str(), "group %zu %zu", &count, &quiet);
            if (!readLine(line))
                return 0;
        }
        for (std::size_t i = 0; i < count; ++i) {
            if (i > 0 && !readLine(line))
                return 0;
            std::string text(std::stoul(line.substr(PassageKeyword.size() + 1)), '\0');
            std::cin.read(text.data(), std::streamsize(text.size()));
            if (i < quiet)
                frame(FrameType::Heartbeat);
            else
                speak(text);
        }
    }
    return 0;
}
