// Speech helper: the commands and what it writes are described in helperprotocol.h.
#include "engine/helper/espeaksynthesizer.h"
#include "engine/helper/flitesynthesizer.h"
#include "engine/helper/naturalsynthesizer.h"
#include "engine/protocol/helperprotocol.h"
#include "engine/protocol/voiceadjustment.h"
#include "engine/helper/pcmwriter.h"
#include "engine/helper/textsanitizer.h"

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <iterator>
#include <memory>
#include <string>

#include <dirent.h>
#include <poll.h>
#include <sys/mman.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

using namespace HelperProtocol;

int fail(const std::string &description)
{
    std::cerr << description << std::endl;
    return ExitFailure;
}

std::string join(const std::vector<std::string> &parts, char separator)
{
    std::string result;
    for (const auto &part : parts) {
        if (!result.empty())
            result.push_back(separator);
        result += part;
    }
    return result;
}

void printVoices(Synthesizer &synthesizer)
{
    for (const HelperVoiceInfo &voice : synthesizer.voices())
        std::cout << voice.engine << ColumnSeparator << voice.id << ColumnSeparator << voice.name
                  << ColumnSeparator << join(voice.languages, LanguageSeparator) << ColumnSeparator
                  << voice.naturalness << '\n';
}

int listVoices()
{
    EspeakSynthesizer espeak;
    printVoices(espeak);
    FliteSynthesizer flite;
    printVoices(flite);
    NaturalSynthesizer natural;
    printVoices(natural);
    std::cout.flush();
    return ExitSuccess;
}

std::unique_ptr<Synthesizer> synthesizerFor(const std::string &engine)
{
    if (engine == EspeakEngine) {
        auto espeak = std::make_unique<EspeakSynthesizer>();
        if (espeak->isAvailable())
            return espeak;
    }
    if (engine == FliteEngine)
        return std::make_unique<FliteSynthesizer>();
    if (engine == NaturalEngine)
        return std::make_unique<NaturalSynthesizer>();
    return nullptr;
}

// The threads of this process. fork copies only the calling thread, and a lock another thread
// held would stay locked in the child for ever. So nothing of ours runs a thread; this is checked
// before the engine is initialised, because espeak-ng 1.51 starts one idle thread of its own there
// (its event thread, asleep on a condition variable, unused in synchronous mode), which the
// children do not inherit and never need.
std::size_t threadCount()
{
    DIR *tasks = ::opendir("/proc/self/task");
    if (tasks == nullptr)
        return 0;
    std::size_t count = 0;
    while (const dirent *entry = ::readdir(tasks))
        if (entry->d_name[0] != '.')
            ++count;
    ::closedir(tasks);
    return count;
}

// Whether the process that started us is still our parent. Under a subreaper (systemd --user)
// an orphan's new parent is not init, so the pid it was given is compared instead.
bool parentIs(pid_t expected)
{
    return expected <= 0 || ::getppid() == expected;
}

pid_t programPid()
{
    const char *value = std::getenv(ProgramPidVariable);
    return value != nullptr ? static_cast<pid_t>(std::strtol(value, nullptr, 10)) : 0;
}

struct GroupPassage
{
    std::string text; // without control characters
    std::vector<std::uint32_t> removed;
};

// What the engine is given, and whether what it says is wanted.
struct SpeakingState
{
    std::vector<std::uint32_t> removed; // of the passage being spoken
    bool quiet = false;
    std::chrono::steady_clock::time_point lastHeartbeat;
};

constexpr std::chrono::milliseconds HeartbeatInterval(1000);

bool sendHeartbeat(PcmWriter &writer, SpeakingState &state)
{
    state.lastHeartbeat = std::chrono::steady_clock::now();
    return writer.writeFrame(FrameType::Heartbeat);
}

// A group of passages spoken by this process itself, for an engine that carries no state from one
// passage to the next: the quiet ones need not be spoken at all. An engine crash ends the helper,
// and the program's fresh helper takes over from the passage it was on.
bool speakGroupHere(Synthesizer &synthesizer, PcmWriter &writer, const std::vector<GroupPassage> &group,
                    std::size_t quiet, SpeakingState &state)
{
    state.quiet = false;
    if (quiet > 0 && !sendHeartbeat(writer, state))
        return false;
    const auto writeSamples = [&](const short *samples, int count) { return writer.writeSamples(samples, count); };
    for (std::size_t i = quiet; i < group.size(); ++i) {
        state.removed = group[i].removed;
        const std::string error = synthesizer.speak(group[i].text, writeSamples, [](std::size_t) {});
        const bool written = error.empty() ? writer.writeFrame(FrameType::PassageDone)
                                           : writer.writeFrame(FrameType::PassageFailed, error);
        if (!written)
            return false;
    }
    return true;
}

// A group of passages, one after another, in a child forked from the prepared engine. Every group
// starts from the same state, so its samples do not depend on what this helper spoke before
// (espeak-ng carries state from one synthesis to the next), and an engine crash kills the child,
// not the helper. The child counts its finished passages in memory shared with us, so after a
// crash we know which passage it was on: that one fails, and a fresh child goes on with the rest.
// The group's start is the last point where the engine's state is known (a child that has spoken
// may have threads, so it cannot be forked again), so the fresh child first speaks the ones
// before unheard: the rest then sound as if the crasher had not been there. The first quiet
// passages are spoken unheard in every child.
bool speakGroup(Synthesizer &synthesizer, PcmWriter &writer, const std::vector<GroupPassage> &group,
                std::size_t quiet, SpeakingState &state, volatile std::size_t *finished)
{
    if (!synthesizer.speaksInForkedCopies())
        return speakGroupHere(synthesizer, writer, group, quiet, state);
    std::vector<bool> crashed(group.size(), false);
    std::size_t next = quiet;
    const pid_t helper = ::getpid();
    while (next < group.size()) {
        *finished = next;
        const pid_t child = ::fork();
        if (child == 0) {
            ::prctl(PR_SET_PDEATHSIG, SIGKILL); // dies with the helper, which the program may kill
            if (!parentIs(helper))
                ::_exit(ExitFailure);
            const auto writeSamples = [&](const short *samples, int count) {
                if (!state.quiet)
                    return writer.writeSamples(samples, count);
                if (std::chrono::steady_clock::now() - state.lastHeartbeat >= HeartbeatInterval)
                    return sendHeartbeat(writer, state);
                return true;
            };
            for (std::size_t i = 0; i < group.size(); ++i) {
                if (crashed[i])
                    continue;
                state.quiet = i < next;
                state.removed = group[i].removed;
                if (state.quiet && i == 0)
                    (void)sendHeartbeat(writer, state);
                const std::string error = synthesizer.speak(group[i].text, writeSamples, [](std::size_t) {});
                if (state.quiet) {
                    if (!sendHeartbeat(writer, state))
                        ::_exit(ExitFailure);
                    continue;
                }
                const bool written = error.empty() ? writer.writeFrame(FrameType::PassageDone)
                                                   : writer.writeFrame(FrameType::PassageFailed, error);
                if (!written)
                    ::_exit(ExitFailure);
                *finished = i + 1;
            }
            ::_exit(ExitSuccess);
        }
        if (child < 0)
            return writer.writeFrame(FrameType::PassageFailed, "The speech engine could not be started.");
        int status = 0;
        while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
        }
        if (WIFEXITED(status) && WEXITSTATUS(status) == ExitFailure)
            return false; // nobody is listening any more
        next = *finished;
        if (next >= group.size())
            break;
        if (!writer.writeFrame(FrameType::PassageFailed, "The speech engine stopped unexpectedly."))
            return false;
        crashed[next++] = true;
    }
    return true;
}

// The next request's length from standard input, after its keyword; false at its end or on
// anything that is not one.
bool readRequest(std::string_view keyword, unsigned long long &number, unsigned long long *second = nullptr)
{
    std::string request;
    if (!std::getline(std::cin, request))
        return false;
    const std::string prefix = std::string(keyword) + ' ';
    if (request.rfind(prefix, 0) != 0)
        return false;
    char *end = nullptr;
    number = std::strtoull(request.c_str() + prefix.size(), &end, 10);
    if (second != nullptr && *end == ' ') {
        const char *start = end + 1;
        *second = std::strtoull(start, &end, 10);
        if (end == start)
            return false;
    }
    return *end == 0;
}

bool readText(unsigned long long size, std::string &text)
{
    if (size > MaxFramePayload)
        return false;
    text.resize(size);
    return bool(std::cin.read(text.data(), static_cast<std::streamsize>(size)));
}

// The next passage or group of passages from standard input, and how many of them are spoken
// unheard; false at its end or on anything that is not one.
bool readGroup(std::vector<GroupPassage> &group, std::size_t &quiet)
{
    group.clear();
    quiet = 0;
    if (std::cin.peek() == GroupKeyword.front()) {
        unsigned long long count = 0;
        unsigned long long unheard = 0;
        if (!readRequest(GroupKeyword, count, &unheard) || count == 0 || count > MaxGroupSize ||
            unheard >= count)
            return false;
        group.resize(count);
        quiet = static_cast<std::size_t>(unheard);
    } else {
        group.resize(1);
    }
    std::string text;
    for (GroupPassage &passage : group) {
        unsigned long long size = 0;
        if (!readRequest(PassageKeyword, size) || !readText(size, text))
            return false;
        passage.removed = removedControlCharacters(text);
        passage.text = withoutControlCharacters(text);
    }
    return true;
}

// A settings line from standard input, applied to the passages read after it; false on anything
// that is not one.
bool readSettings(Synthesizer &synthesizer)
{
    std::string request;
    if (!std::getline(std::cin, request))
        return false;
    const std::optional<VoiceAdjustment> adjustment = adjustmentOfRequest(request);
    if (!adjustment)
        return false;
    synthesizer.setAdjustment(*adjustment);
    return true;
}

// Whether a settings line is already waiting, without blocking: one sent while the passages
// before it were queued still applies to them if they have not begun, so that a change is heard
// from the next passage on.
bool settingsWaiting()
{
    if (std::cin.rdbuf()->in_avail() <= 0) {
        pollfd input{STDIN_FILENO, POLLIN, 0};
        if (::poll(&input, 1, 0) <= 0 || (input.revents & POLLIN) == 0)
            return false;
    }
    return std::cin.peek() == SettingsKeyword.front();
}

int speak(const std::string &engine, const std::string &voiceId, int audioFd)
{
    // The program may die without closing our input (a stop signal, a hang): go with it.
    ::prctl(PR_SET_PDEATHSIG, SIGKILL);
    if (!parentIs(programPid()))
        return ExitSuccess;
    if (threadCount() != 1)
        return fail("The speech helper must start with a single thread.");
    std::unique_ptr<Synthesizer> synthesizer = synthesizerFor(engine);
    if (!synthesizer)
        return fail("The speech engine \"" + engine + "\" is not available.");
    if (const std::string error = synthesizer->selectVoice(voiceId); !error.empty())
        return fail(error);

    PcmWriter writer(audioFd);
    if (!writer.writeHeader(static_cast<std::uint32_t>(synthesizer->sampleRate())))
        return ExitSuccess; // nobody is listening any more
    SpeakingState state;
    // Markers count in the passage as it was sent, control characters included.
    synthesizer->setWordMarkerSink([&writer, &state](const WordMarker &marker) {
        if (state.quiet)
            return;
        const WordMarkerPayload payload{positionBeforeRemoval(state.removed, marker.start), marker.length,
                                        marker.sample};
        const auto bytes = wordMarkerPayload(payload);
        (void)writer.writeFrame(FrameType::WordMarker,
                                std::string_view(reinterpret_cast<const char *>(bytes.data()), bytes.size()));
    });
    void *shared =
        ::mmap(nullptr, sizeof(std::size_t), PROT_READ | PROT_WRITE, MAP_SHARED | MAP_ANONYMOUS, -1, 0);
    if (shared == MAP_FAILED)
        return fail("The speech engine could not be started.");
    auto *finished = static_cast<volatile std::size_t *>(shared);
    std::vector<GroupPassage> group;
    std::size_t quiet = 0;
    for (;;) {
        if (std::cin.peek() == SettingsKeyword.front()) {
            if (!readSettings(*synthesizer))
                break;
            continue;
        }
        if (!readGroup(group, quiet))
            break;
        bool settingsRead = true;
        while (settingsRead && settingsWaiting())
            settingsRead = readSettings(*synthesizer);
        if (!settingsRead || !speakGroup(*synthesizer, writer, group, quiet, state, finished))
            break;
    }
    return ExitSuccess;
}

} // namespace

int main(int argc, char **argv)
{
    // A reader that goes away must end the synthesis, not kill us mid-write with a signal.
    std::signal(SIGPIPE, SIG_IGN);
    std::ios::sync_with_stdio(false);

    const std::string command = argc > 1 ? argv[1] : "";
    if (command == ListCommand && argc == 2)
        return listVoices();
    if (command == CheckVoiceCommand && argc == 3) {
        const std::string error = NaturalSynthesizer::check(argv[2]);
        return error.empty() ? ExitSuccess : fail(error);
    }
    if (command == SpeakCommand && argc == 5) {
        char *end = nullptr;
        const long fd = std::strtol(argv[4], &end, 10);
        if (end == argv[4] || *end != 0 || fd < 0)
            return fail("Invalid audio descriptor.");
        return speak(argv[2], argv[3], static_cast<int>(fd));
    }
    return fail("usage: parlora-speech-helper --list | --check-voice MODEL | --speak ENGINE VOICE_ID AUDIO_FD");
}
