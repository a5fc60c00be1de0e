// Speech helper: the commands and what it writes are described in helperprotocol.h.
#include "platform/helper/espeaksynthesizer.h"
#include "platform/helper/flitesynthesizer.h"
#include "platform/helper/helperprotocol.h"
#include "platform/helper/pcmwriter.h"
#include "platform/helper/textsanitizer.h"

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <iterator>
#include <memory>
#include <string>

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
    std::cout.flush();
    return ExitSuccess;
}

std::unique_ptr<Synthesizer> synthesizerFor(const std::string &engine)
{
    if (engine == "espeak-ng") {
        auto espeak = std::make_unique<EspeakSynthesizer>();
        if (espeak->isAvailable())
            return espeak;
    }
    if (engine == "flite")
        return std::make_unique<FliteSynthesizer>();
    return nullptr;
}

// One passage in a child forked from the prepared engine. Every passage starts from the same
// state, so its samples do not depend on what this helper spoke before (espeak-ng carries state
// from one synthesis to the next), and an engine crash kills the child, not the helper.
bool speakPassage(Synthesizer &synthesizer, PcmWriter &writer, const std::string &text)
{
    const pid_t child = ::fork();
    if (child == 0) {
        ::prctl(PR_SET_PDEATHSIG, SIGKILL); // dies with the helper, which the program may kill
        if (::getppid() == 1)
            ::_exit(ExitFailure);
        const auto writeSamples = [&](const short *samples, int count) {
            return writer.writeSamples(samples, count);
        };
        const std::string error = synthesizer.speak(text, writeSamples, [](std::size_t) {});
        if (!error.empty()) {
            (void)writer.writeFrame(FrameType::PassageFailed, error);
            ::_exit(ExitFailure);
        }
        ::_exit(ExitSuccess);
    }
    if (child < 0)
        return writer.writeFrame(FrameType::PassageFailed, "The speech engine could not be started.");
    int status = 0;
    while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    if (WIFEXITED(status) && WEXITSTATUS(status) == ExitSuccess)
        return writer.writeFrame(FrameType::PassageDone);
    if (WIFEXITED(status) && WEXITSTATUS(status) == ExitFailure)
        return true; // the child has said why
    return writer.writeFrame(FrameType::PassageFailed, "The speech engine stopped unexpectedly.");
}

// The next passage from standard input; false at its end or on anything that is not one.
bool readPassage(std::string &text)
{
    std::string request;
    if (!std::getline(std::cin, request))
        return false;
    const std::string prefix = std::string(PassageKeyword) + ' ';
    if (request.rfind(prefix, 0) != 0)
        return false;
    char *end = nullptr;
    const unsigned long long size = std::strtoull(request.c_str() + prefix.size(), &end, 10);
    if (*end != 0 || size > MaxFramePayload)
        return false;
    text.resize(size);
    return bool(std::cin.read(text.data(), static_cast<std::streamsize>(size)));
}

int speak(const std::string &engine, const std::string &voiceId, int audioFd)
{
    std::unique_ptr<Synthesizer> synthesizer = synthesizerFor(engine);
    if (!synthesizer)
        return fail("The speech engine \"" + engine + "\" is not available.");
    if (const std::string error = synthesizer->selectVoice(voiceId); !error.empty())
        return fail(error);

    PcmWriter writer(audioFd);
    if (!writer.writeHeader(static_cast<std::uint32_t>(synthesizer->sampleRate())))
        return ExitSuccess; // nobody is listening any more
    std::string passage;
    std::vector<std::uint32_t> removed;
    // Markers count in the passage as it was sent, control characters included.
    synthesizer->setWordMarkerSink([&writer, &removed](const WordMarker &marker) {
        const WordMarkerPayload payload{positionBeforeRemoval(removed, marker.start), marker.length,
                                        marker.sample};
        const auto bytes = wordMarkerPayload(payload);
        (void)writer.writeFrame(FrameType::WordMarker,
                                std::string_view(reinterpret_cast<const char *>(bytes.data()), bytes.size()));
    });
    while (readPassage(passage)) {
        removed = removedControlCharacters(passage);
        if (!speakPassage(*synthesizer, writer, withoutControlCharacters(passage)))
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
    if (command == SpeakCommand && argc == 5) {
        char *end = nullptr;
        const long fd = std::strtol(argv[4], &end, 10);
        if (end == argv[4] || *end != 0 || fd < 0)
            return fail("Invalid audio descriptor.");
        return speak(argv[2], argv[3], static_cast<int>(fd));
    }
    return fail("usage: parlora-speech-helper --list | --speak ENGINE VOICE_ID AUDIO_FD");
}
