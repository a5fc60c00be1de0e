#include "engine/helper/onnxvoicemodel.h"

#include <onnxruntime_c_api.h>

#include <algorithm>
#include <dlfcn.h>
#include <malloc.h>
#include <unistd.h>

namespace {

// The headers' API version; the bundled library serves it and later ones.
constexpr std::uint32_t ApiVersion = ORT_API_VERSION;

// Parlora's own copy: beside the installed helper in its library folder, or where the build
// fetched it. Opened by path: the helper's run path is not searched when a sanitizer's dlopen
// stands in between.
void *openLibrary()
{
    std::string executable(4096, '\0');
    const ssize_t length = ::readlink("/proc/self/exe", executable.data(), executable.size() - 1);
    const std::string folder =
        length > 0 ? executable.substr(0, executable.rfind('/', std::size_t(length))) : ".";
    for (const std::string &path : {folder + "/" ONNXRUNTIME_INSTALLED_DIR "/libonnxruntime.so.1",
                                    std::string(ONNXRUNTIME_BUILD_DIR "/libonnxruntime.so.1")}) {
        if (void *library = ::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL))
            return library;
    }
    return ::dlopen("libonnxruntime.so.1", RTLD_NOW | RTLD_LOCAL);
}

const OrtApi *loadApi(std::string &error)
{
    static void *library = openLibrary();
    if (library == nullptr) {
        const char *reason = ::dlerror();
        error = std::string("The natural voices' runtime (onnxruntime) could not be loaded: ") +
                (reason != nullptr ? reason : "not found");
        return nullptr;
    }
    using GetApiBase = const OrtApiBase *(*)();
    const auto getApiBase = reinterpret_cast<GetApiBase>(::dlsym(library, "OrtGetApiBase"));
    const OrtApi *api = getApiBase != nullptr ? getApiBase()->GetApi(ApiVersion) : nullptr;
    if (api == nullptr)
        error = "The natural voices' runtime (onnxruntime) is too old for this program.";
    return api;
}

// Takes a status: its message, or empty when there was none.
std::string take(const OrtApi *api, OrtStatus *status)
{
    if (status == nullptr)
        return {};
    std::string message = api->GetErrorMessage(status);
    api->ReleaseStatus(status);
    return message.empty() ? std::string("onnxruntime failed") : message;
}

std::vector<std::string> names(const OrtApi *api, OrtSession *session, bool inputs, std::string &error)
{
    std::vector<std::string> result;
    OrtAllocator *allocator = nullptr;
    std::size_t count = 0;
    error = take(api, api->GetAllocatorWithDefaultOptions(&allocator));
    if (error.empty())
        error = take(api, inputs ? api->SessionGetInputCount(session, &count)
                                 : api->SessionGetOutputCount(session, &count));
    for (std::size_t i = 0; error.empty() && i < count; ++i) {
        char *name = nullptr;
        error = take(api, inputs ? api->SessionGetInputName(session, i, allocator, &name)
                                 : api->SessionGetOutputName(session, i, allocator, &name));
        if (name != nullptr) {
            result.emplace_back(name);
            (void)take(api, api->AllocatorFree(allocator, name));
        }
    }
    return result;
}

bool contains(const std::vector<std::string> &list, const char *name)
{
    return std::find(list.begin(), list.end(), name) != list.end();
}

} // namespace

OnnxVoiceModel::Opened OnnxVoiceModel::open(const std::string &path, int threads, bool severalSpeakers)
{
    std::unique_ptr<OnnxVoiceModel> model(new OnnxVoiceModel);
    std::string error;
    const OrtApi *api = loadApi(error);
    if (api == nullptr)
        return {nullptr, error};
    model->m_api = api;
    model->m_severalSpeakers = severalSpeakers;
    // Failures come back as statuses and are reported with the passage; no log of its own.
    error = take(api, api->CreateEnv(ORT_LOGGING_LEVEL_FATAL, "parlora", &model->m_env));
    OrtSessionOptions *options = nullptr;
    if (error.empty())
        error = take(api, api->CreateSessionOptions(&options));
    if (error.empty()) {
        // One thread runs on the caller's; spinning threads would take the cores the other
        // helpers, the sound server and the window need.
        (void)take(api, api->SetIntraOpNumThreads(options, std::max(1, threads)));
        (void)take(api, api->SetInterOpNumThreads(options, 1));
        (void)take(api, api->SetSessionExecutionMode(options, ORT_SEQUENTIAL));
        (void)take(api, api->AddSessionConfigEntry(options, "session.intra_op.allow_spinning", "0"));
        (void)take(api, api->SetSessionGraphOptimizationLevel(options, ORT_ENABLE_ALL));
        // A memory plan kept for each length of input holds on to the largest: without it a
        // helper's peak is some 50 MB lower, at no cost in speed that could be measured.
        (void)take(api, api->DisableMemPattern(options));
        error = take(api, api->CreateSession(model->m_env, path.c_str(), options, &model->m_session));
        api->ReleaseSessionOptions(options);
    }
    // Reading the model leaves tens of megabytes of parsing buffers freed but held by the heap.
    ::malloc_trim(0);
    if (error.empty())
        error = take(api, api->CreateCpuMemoryInfo(OrtArenaAllocator, OrtMemTypeDefault, &model->m_memory));
    if (!error.empty())
        return {nullptr, "The voice's model could not be opened: " + error};

    const std::vector<std::string> inputs = names(api, model->m_session, true, error);
    if (error.empty())
        model->m_outputNames = names(api, model->m_session, false, error);
    if (!error.empty())
        return {nullptr, "The voice's model could not be read: " + error};
    for (const char *needed : {"input", "input_lengths", "scales"}) {
        if (!contains(inputs, needed))
            return {nullptr, std::string("The voice's model has no input \"") + needed + "\"."};
    }
    if (severalSpeakers && !contains(inputs, "sid"))
        return {nullptr, "The voice has several speakers, but its model has no input \"sid\"."};
    if (model->m_outputNames.empty())
        return {nullptr, "The voice's model gives no output."};
    // The audio, then the durations of the ids where the model was made to give them.
    model->m_outputNames.resize(std::min<std::size_t>(model->m_outputNames.size(), 2));
    return {std::move(model), {}};
}

OnnxVoiceModel::~OnnxVoiceModel()
{
    if (m_memory != nullptr)
        m_api->ReleaseMemoryInfo(m_memory);
    if (m_session != nullptr)
        m_api->ReleaseSession(m_session);
    if (m_env != nullptr)
        m_api->ReleaseEnv(m_env);
}

OnnxVoiceModel::Output OnnxVoiceModel::run(const std::vector<std::int64_t> &ids, const float (&scales)[3],
                                           std::int64_t speaker)
{
    Output output;
    std::vector<std::int64_t> input = ids;
    std::int64_t length = static_cast<std::int64_t>(input.size());
    float scaleValues[3] = {scales[0], scales[1], scales[2]};
    const std::int64_t inputShape[2] = {1, length};
    const std::int64_t oneShape[1] = {1};
    const std::int64_t scalesShape[1] = {3};

    OrtValue *values[4] = {nullptr, nullptr, nullptr, nullptr};
    const auto tensor = [&](void *data, std::size_t bytes, const std::int64_t *shape, std::size_t rank,
                            ONNXTensorElementDataType type, OrtValue **value) {
        if (output.error.empty())
            output.error = take(m_api, m_api->CreateTensorWithDataAsOrtValue(m_memory, data, bytes, shape,
                                                                             rank, type, value));
    };
    tensor(input.data(), input.size() * sizeof(std::int64_t), inputShape, 2,
           ONNX_TENSOR_ELEMENT_DATA_TYPE_INT64, &values[0]);
    tensor(&length, sizeof length, oneShape, 1, ONNX_TENSOR_ELEMENT_DATA_TYPE_INT64, &values[1]);
    tensor(scaleValues, sizeof scaleValues, scalesShape, 1, ONNX_TENSOR_ELEMENT_DATA_TYPE_FLOAT, &values[2]);
    if (m_severalSpeakers)
        tensor(&speaker, sizeof speaker, oneShape, 1, ONNX_TENSOR_ELEMENT_DATA_TYPE_INT64, &values[3]);
    const char *inputNames[4] = {"input", "input_lengths", "scales", "sid"};
    const std::size_t inputCount = m_severalSpeakers ? 4 : 3;

    std::vector<const char *> outputNames;
    for (const std::string &name : m_outputNames)
        outputNames.push_back(name.c_str());
    std::vector<OrtValue *> results(outputNames.size(), nullptr);
    if (output.error.empty())
        output.error = take(m_api, m_api->Run(m_session, nullptr, inputNames, values, inputCount,
                                              outputNames.data(), outputNames.size(), results.data()));
    const auto floats = [&](OrtValue *value, std::vector<float> &into) {
        OrtTensorTypeAndShapeInfo *info = nullptr;
        std::size_t count = 0;
        float *data = nullptr;
        std::string error = take(m_api, m_api->GetTensorTypeAndShape(value, &info));
        if (error.empty()) {
            ONNXTensorElementDataType type = ONNX_TENSOR_ELEMENT_DATA_TYPE_UNDEFINED;
            error = take(m_api, m_api->GetTensorElementType(info, &type));
            if (error.empty() && type != ONNX_TENSOR_ELEMENT_DATA_TYPE_FLOAT)
                error = "the model's output is not of floating-point numbers";
            if (error.empty())
                error = take(m_api, m_api->GetTensorShapeElementCount(info, &count));
            m_api->ReleaseTensorTypeAndShapeInfo(info);
        }
        if (error.empty())
            error = take(m_api, m_api->GetTensorMutableData(value, reinterpret_cast<void **>(&data)));
        if (error.empty())
            into.assign(data, data + count);
        return error;
    };
    if (output.error.empty() && results[0] != nullptr)
        output.error = floats(results[0], output.audio);
    if (output.error.empty() && results.size() > 1 && results[1] != nullptr &&
        floats(results[1], output.durations) != "")
        output.durations.clear(); // durations are a help, not a need
    for (OrtValue *value : values)
        if (value != nullptr)
            m_api->ReleaseValue(value);
    for (OrtValue *value : results)
        if (value != nullptr)
            m_api->ReleaseValue(value);
    if (!output.error.empty())
        output.error = "The voice's model failed: " + output.error;
    return output;
}
