#pragma once

// What passes between the program and its speech helper. Both sides include this header, so a
// change to the conversation is made in one place.
//
//   parlora-speech-helper --list
//       Standard output: one voice a line, columns separated by a tab (VoiceColumn), the
//       languages separated by commas, most preferred first.
//   parlora-speech-helper --check-voice MODEL
//       Whether the natural voice MODEL (NAME.onnx beside NAME.onnx.json) can be used: ExitSuccess,
//       or ExitFailure with the reason for the user on standard error.
//   parlora-speech-helper --speak ENGINE VOICE_ID AUDIO_FD
//       Lives until its standard input ends, speaking passages one after another.
//       Standard input: passages, each a line "passage BYTES" followed by BYTES of UTF-8 text.
//       A line "group COUNT QUIET" before COUNT passages has them spoken one after another from
//       one copy of the prepared engine (cheaper than a copy each); a lone passage gets its own.
//       The first QUIET passages are spoken unheard (no frames but a Heartbeat after each), only
//       to bring the engine to the state it had after them: a fresh helper taking over a group
//       then sounds the same as the one before would have. QUIET may be left out (0).
//       Where groups begin must not depend on the number of helpers, or the samples would.
//       A line "settings SPEED PITCH VOLUME" (voiceadjustment.h) changes how the passages after
//       it sound; one that arrives while earlier passages wait unspoken applies to them too.
//       Environment: ProgramPidVariable holds the program's pid; a helper whose parent is no
//       longer that process has been orphaned and ends.
//       AUDIO_FD (AudioDescriptor): the stream header, then frames (FrameType). Each passage
//       gives its audio frames, then exactly one PassageDone or PassageFailed frame; a passage
//       that fails costs that passage only, and the helper goes on with the next.
//       Exit code: ExitSuccess, or ExitFailure with a description for the user on standard
//       error when the helper cannot speak at all (unknown engine or voice). Anything else (a
//       signal, another code) means the helper broke.
//
// Frames: a header of FrameHeaderSize bytes (the type, three zero bytes, the payload's length
// as a 32-bit little-endian number), then the payload. A reader skips frame types it does not
// know, so new ones can be added without breaking it.
#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace HelperProtocol {

inline constexpr std::string_view ListCommand = "--list";
inline constexpr std::string_view SpeakCommand = "--speak";
inline constexpr std::string_view CheckVoiceCommand = "--check-voice";

// The descriptor the program hands the helper its audio pipe on.
inline constexpr int AudioDescriptor = 3;

inline constexpr int ExitSuccess = 0;
inline constexpr int ExitFailure = 2;

inline constexpr std::string_view PassageKeyword = "passage";
inline constexpr std::string_view GroupKeyword = "group";
inline constexpr std::size_t MaxGroupSize = 64;
inline constexpr const char *ProgramPidVariable = "PARLORA_PROGRAM_PID";
// How many threads a natural voice's model may use in this helper: the program gives a reading's
// helper the cores, each of several rendering helpers one, so that they never ask for more
// threads than there are cores.
inline constexpr const char *EngineThreadsVariable = "PARLORA_ENGINE_THREADS";

// The engines, as the voice listing names them.
inline constexpr const char *EspeakEngine = "espeak-ng";
inline constexpr const char *FliteEngine = "flite";
inline constexpr const char *NaturalEngine = "natural";

enum VoiceColumn : int
{
    EngineColumn,
    IdColumn,
    NameColumn,
    LanguagesColumn,
    NaturalnessColumn,
};
inline constexpr char ColumnSeparator = '\t';
inline constexpr char LanguageSeparator = ',';

// The stream header: the magic, then the sample rate as a 32-bit little-endian number.
inline constexpr std::array<unsigned char, 4> StreamMagic{'P', 'L', 'R', 'A'};
inline constexpr std::size_t StreamHeaderSize = 8;

[[nodiscard]] constexpr std::array<unsigned char, StreamHeaderSize> streamHeader(std::uint32_t sampleRate)
{
    return {StreamMagic[0],
            StreamMagic[1],
            StreamMagic[2],
            StreamMagic[3],
            static_cast<unsigned char>(sampleRate & 0xff),
            static_cast<unsigned char>((sampleRate >> 8) & 0xff),
            static_cast<unsigned char>((sampleRate >> 16) & 0xff),
            static_cast<unsigned char>((sampleRate >> 24) & 0xff)};
}

// The sample rate a stream header announces, or 0 when the bytes are not a stream header.
[[nodiscard]] constexpr std::uint32_t sampleRateOfStreamHeader(const unsigned char *header)
{
    for (std::size_t i = 0; i < StreamMagic.size(); ++i)
        if (header[i] != StreamMagic[i])
            return 0;
    return std::uint32_t(header[4]) | std::uint32_t(header[5]) << 8 | std::uint32_t(header[6]) << 16 |
           std::uint32_t(header[7]) << 24;
}

enum class FrameType : std::uint8_t
{
    // Signed 16-bit mono samples in native byte order, at the stream header's rate.
    Audio = 1,
    // The passage has been spoken whole. No payload.
    PassageDone = 2,
    // The engine failed on the passage; the payload says why, in UTF-8 for a log, not the user.
    PassageFailed = 3,
    // A word of the passage is about to be heard, for following the reading. Payload (WordMarkerSize bytes,
    // little-endian): the word's start and its length in Unicode code points within the passage's text (32
    // bits each), and the sample, counted from the passage's first sample, where its audio starts (64 bits).
    // It comes before the Audio frame that holds that sample.
    WordMarker = 4,
    // Still at work, though nothing is heard: sent while passages are spoken unheard, so that a
    // long replay does not look like a stuck engine. No payload.
    Heartbeat = 5,
};
inline constexpr std::size_t FrameHeaderSize = 8;
inline constexpr std::size_t WordMarkerSize = 16;
// Longer payloads are a broken stream, not a frame.
inline constexpr std::uint32_t MaxFramePayload = 1u << 24;

[[nodiscard]] constexpr std::array<unsigned char, FrameHeaderSize> frameHeader(FrameType type,
                                                                               std::uint32_t payloadSize)
{
    return {static_cast<unsigned char>(type),
            0,
            0,
            0,
            static_cast<unsigned char>(payloadSize & 0xff),
            static_cast<unsigned char>((payloadSize >> 8) & 0xff),
            static_cast<unsigned char>((payloadSize >> 16) & 0xff),
            static_cast<unsigned char>((payloadSize >> 24) & 0xff)};
}

[[nodiscard]] constexpr std::uint32_t payloadSizeOfFrameHeader(const unsigned char *header)
{
    return std::uint32_t(header[4]) | std::uint32_t(header[5]) << 8 | std::uint32_t(header[6]) << 16 |
           std::uint32_t(header[7]) << 24;
}

// A WordMarker frame's payload.
struct WordMarkerPayload
{
    std::uint32_t start = 0;
    std::uint32_t length = 0;
    std::uint64_t sample = 0;
};

[[nodiscard]] constexpr std::array<unsigned char, WordMarkerSize>
wordMarkerPayload(const WordMarkerPayload &marker)
{
    std::array<unsigned char, WordMarkerSize> bytes{};
    for (std::size_t i = 0; i < 4; ++i) {
        bytes[i] = static_cast<unsigned char>((marker.start >> (8 * i)) & 0xff);
        bytes[4 + i] = static_cast<unsigned char>((marker.length >> (8 * i)) & 0xff);
    }
    for (std::size_t i = 0; i < 8; ++i)
        bytes[8 + i] = static_cast<unsigned char>((marker.sample >> (8 * i)) & 0xff);
    return bytes;
}

[[nodiscard]] constexpr WordMarkerPayload wordMarkerOfPayload(const unsigned char *bytes)
{
    WordMarkerPayload marker;
    for (std::size_t i = 0; i < 4; ++i) {
        marker.start |= std::uint32_t(bytes[i]) << (8 * i);
        marker.length |= std::uint32_t(bytes[4 + i]) << (8 * i);
    }
    for (std::size_t i = 0; i < 8; ++i)
        marker.sample |= std::uint64_t(bytes[8 + i]) << (8 * i);
    return marker;
}

} // namespace HelperProtocol
