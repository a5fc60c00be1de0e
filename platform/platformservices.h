#pragma once

class Clock;
class FileDialogs;
class MessageBox;
class ProgressDialogs;
class SpeechEngine;
class UrlOpener;

// What the windows need from the machine, handed in from outside so that tests can script it.
struct PlatformServices
{
    SpeechEngine &speechEngine;
    MessageBox &messageBox;
    FileDialogs &fileDialogs;
    UrlOpener &urlOpener;
    Clock &clock;
    ProgressDialogs &progressDialogs;
};
