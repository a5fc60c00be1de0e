#pragma once

// What passes between the program and its speech helper. Both sides include this header, so a
// change to the conversation is made in one place.
//
//   parlora-speech-helper --list
//       Standard output: one voice a line, columns separated by a tab (VoiceColumn), the
//       languages separated by commas, most preferred first.
//   parlora-speech-helper --speak ENGINE VOICE_ID AUDIO_FD
//       Standard input: UTF-8 text until its end.
//       AUDIO_FD (AudioDescriptor): the stream header, then signed 16-bit mono samples in native
//       byte order until the helper closes it.
//       Standard output: progress lines, "progress DONE TOTAL" in characters of the input.
//       Exit code: ExitSuccess, or ExitFailure with a description for the user on standard
//       error. Anything else (a signal, another code) means the engine broke.

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace HelperProtocol {

inline constexpr std::string_view ListCommand = "--list";
inline constexpr std::string_view SpeakCommand = "--speak";

// The descriptor the program hands the helper its audio pipe on.
inline constexpr int AudioDescriptor = 3;

inline constexpr int ExitSuccess = 0;
inline constexpr int ExitFailure = 2;

inline constexpr std::string_view ProgressKeyword = "progress";

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

} // namespace HelperProtocol
