#pragma once

// How the listener wants a voice to sound, in percent of the voice's own speed, pitch and
// volume. Shared by the program and its speech helper, which receives it as a request line.
#include <algorithm>
#include <charconv>
#include <optional>
#include <string>
#include <string_view>

struct VoiceAdjustment
{
    static constexpr int DefaultPercent = 100;
    static constexpr int MinSpeed = 50;
    static constexpr int MaxSpeed = 300;
    static constexpr int MinPitch = 50;
    static constexpr int MaxPitch = 150;
    static constexpr int MinVolume = 0;
    static constexpr int MaxVolume = 100;

    int speedPercent = DefaultPercent;
    int pitchPercent = DefaultPercent;
    int volumePercent = DefaultPercent;

    [[nodiscard]] bool isDefault() const { return *this == VoiceAdjustment{}; }
    // Within the ranges the engines are known to take.
    [[nodiscard]] VoiceAdjustment clamped() const
    {
        return {std::clamp(speedPercent, MinSpeed, MaxSpeed), std::clamp(pitchPercent, MinPitch, MaxPitch),
                std::clamp(volumePercent, MinVolume, MaxVolume)};
    }
    bool operator==(const VoiceAdjustment &) const = default;
};

namespace HelperProtocol {

// "settings SPEED PITCH VOLUME": applies to the passages read after it.
inline constexpr std::string_view SettingsKeyword = "settings";

[[nodiscard]] inline std::string settingsRequest(const VoiceAdjustment &adjustment)
{
    return std::string(SettingsKeyword) + ' ' + std::to_string(adjustment.speedPercent) + ' ' +
           std::to_string(adjustment.pitchPercent) + ' ' + std::to_string(adjustment.volumePercent) + '\n';
}

// The adjustment a request line (without its line break) asks for; none when it is not one.
[[nodiscard]] inline std::optional<VoiceAdjustment> adjustmentOfRequest(std::string_view line)
{
    if (line.substr(0, SettingsKeyword.size()) != SettingsKeyword)
        return std::nullopt;
    line.remove_prefix(SettingsKeyword.size());
    int values[3] = {};
    for (int &value : values) {
        if (line.empty() || line.front() != ' ')
            return std::nullopt;
        line.remove_prefix(1);
        const auto [end, error] = std::from_chars(line.data(), line.data() + line.size(), value);
        if (error != std::errc())
            return std::nullopt;
        line.remove_prefix(std::size_t(end - line.data()));
    }
    if (!line.empty())
        return std::nullopt;
    return VoiceAdjustment{values[0], values[1], values[2]}.clamped();
}

} // namespace HelperProtocol
