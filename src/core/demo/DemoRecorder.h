#pragma once
// DemoRecorder: turns the game keys, sampled while the game runs, into the demo words of a TR2 or
// TR3 level.
#include <cstddef>
#include <cstdint>

#include "demo/DemoKeys.h"
#include "level/TRLevel.h"

namespace tessarin::demo {

// The machine as the recorder needs it: the app passes the real clock and keyboard, tests a script.
class DemoInput {
public:
    virtual ~DemoInput() = default;
    virtual std::uint32_t tickCount() = 0;  // milliseconds
    virtual void readKeyState(KeyStateArray& keys) = 0;
    virtual void beep() = 0;
};

inline constexpr std::size_t kDemoHeaderWords = 10;
// NumDemoData turns into a 16-bit byte count when the demo is closed, so a demo holds at most
// 8191 words, header and end mark included.
inline constexpr std::size_t kMaxDemoWords = 8191;
// How often the window steps the recorder. A sample is due once more than 33.3 ms have passed and
// its clock restarts at the step that took it, so a word comes every 34-36 ms however late a step
// is, about the game's 30 frames a second (10 ms steps gave one every 40 ms, 25 a second, and
// 17 ms steps slip to 51 ms whenever a sampling step is a millisecond late).
inline constexpr int kDemoStepMs = 2;

inline constexpr const char* kDemoVersionMessage = "Only TR2 and TR3 levels can hold a recorded demo.";
inline constexpr const char* kDemoFullMessage =
    "The demo is full (8191 words, about 4.5 minutes of play): capture is off and no more input is recorded. "
    "Choose Demo, Stop Recording and save the level.";

// TR2 and TR3 levels carry a demo the game plays; the other versions are not written.
bool canHoldDemo(const level::TRLevel& level);

// What one step changed, for the caller to show.
struct DemoStepResult {
    bool Toggled = false;     // TAB switched the capture (and the recorder beeped)
    bool Appended = false;    // one input word was added
    bool BecameFull = false;  // this step filled the demo; the capture is off from now on
};

class DemoRecorder {
public:
    explicit DemoRecorder(DemoInput& input) : m_input(input) {}

    // Replaces the level's demo with the ten header words; the capture, the gathered word and
    // the tick counts stay as they are. False, and nothing changed, for a level that cannot hold
    // a demo.
    bool StartDemo(level::TRLevel& level);
    // One step: gathers the pressed game keys, appends a word every sample while capturing, and
    // lets TAB switch the capture. Words go only into a demo that StartDemo opened.
    DemoStepResult DemoStep(level::TRLevel& level);
    // Adds the end mark and turns NumDemoData into the byte count the file holds. False, and
    // nothing changed, when no demo is open.
    bool StopDemo(level::TRLevel& level);

    bool demoOpen() const { return m_open; }
    bool demoFull() const { return m_full; }
    int toggles() const { return m_toggles; }

    // The recorder's state, under the program's names.
    bool DemoCapture = false;
    std::int32_t DemoWord = 0;
    std::uint32_t LastSampleTick = 0;
    std::uint32_t LastToggleTick = 0;
    KeyStateArray KeyState{};

private:
    DemoInput& m_input;
    std::int16_t m_version = level::kVersionNone;
    bool m_open = false;
    bool m_full = false;
    int m_toggles = 0;
};

}  // namespace tessarin::demo
