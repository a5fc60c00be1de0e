// Speech helper: the commands and what it writes are described in helperprotocol.h.
#include "platform/helper/espeaksynthesizer.h"
#include "platform/helper/flitesynthesizer.h"
#include "platform/helper/helperprotocol.h"
#include "platform/helper/pcmwriter.h"
#include "platform/helper/textsanitizer.h"
#include "platform/helper/utf8.h"

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <iterator>
#include <memory>
#include <string>

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

int speak(const std::string &engine, const std::string &voiceId, int audioFd)
{
    std::unique_ptr<Synthesizer> synthesizer = synthesizerFor(engine);
    if (!synthesizer)
        return fail("The speech engine \"" + engine + "\" is not available.");
    if (const std::string error = synthesizer->selectVoice(voiceId); !error.empty())
        return fail(error);

    const std::string input((std::istreambuf_iterator<char>(std::cin)), std::istreambuf_iterator<char>());
    const std::string text = withoutControlCharacters(input);

    PcmWriter writer(audioFd);
    if (!writer.writeHeader(static_cast<std::uint32_t>(synthesizer->sampleRate())))
        return ExitSuccess; // nobody is listening any more

    const std::size_t totalCharacters = utf8CharacterCount(text);
    using Clock = std::chrono::steady_clock;
    auto lastReport = Clock::now();
    const auto reportProgress = [&](std::size_t done) {
        const auto now = Clock::now();
        if (now - lastReport < std::chrono::milliseconds(50))
            return;
        lastReport = now;
        std::cout << ProgressKeyword << ' ' << done << ' ' << totalCharacters << std::endl;
    };
    const auto writeSamples = [&](const short *samples, int count) {
        return writer.writeSamples(samples, count);
    };
    if (const std::string error = synthesizer->speak(text, writeSamples, reportProgress); !error.empty())
        return fail(error);
    std::cout << ProgressKeyword << ' ' << totalCharacters << ' ' << totalCharacters << std::endl;
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
