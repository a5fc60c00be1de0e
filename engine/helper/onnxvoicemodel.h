#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

struct OrtApi;
struct OrtEnv;
struct OrtSession;
struct OrtMemoryInfo;

// A natural voice's model, run on the processor through onnxruntime's C API. The library is
// loaded when the first model is opened, so helpers for the other engines never map it.
class OnnxVoiceModel final
{
public:
    struct Opened;
    // The model at the path with the given number of threads, or why it cannot be used: a file
    // that is no model, or one without the inputs (input, input_lengths, scales, and sid for a
    // voice of several speakers) and the audio output that voices take and give.
    [[nodiscard]] static Opened open(const std::string &path, int threads, bool severalSpeakers);
    ~OnnxVoiceModel();
    OnnxVoiceModel(const OnnxVoiceModel &) = delete;
    OnnxVoiceModel &operator=(const OnnxVoiceModel &) = delete;

    struct Output
    {
        std::vector<float> audio;
        std::vector<float> durations; // frames per id, when the model gives them
        std::string error;
    };
    // noise, length and noise width scales, in the model's order.
    [[nodiscard]] Output run(const std::vector<std::int64_t> &ids, const float (&scales)[3],
                             std::int64_t speaker);
    [[nodiscard]] bool hasDurations() const { return m_outputNames.size() > 1; }

private:
    OnnxVoiceModel() = default;

    const OrtApi *m_api = nullptr;
    OrtEnv *m_env = nullptr;
    OrtSession *m_session = nullptr;
    OrtMemoryInfo *m_memory = nullptr;
    bool m_severalSpeakers = false;
    std::vector<std::string> m_outputNames;
};

struct OnnxVoiceModel::Opened
{
    std::unique_ptr<OnnxVoiceModel> model;
    std::string error;
};
