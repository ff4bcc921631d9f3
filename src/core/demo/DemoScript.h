#pragma once
// DemoScript: recorder steps written as text (a tick count and the scan codes held down, one step
// a line), and a DemoInput that plays them, for the command-line tool and the tests.
#include <cstdint>
#include <string_view>
#include <vector>

#include "demo/DemoRecorder.h"
#include "util/Result.h"

namespace tessarin::demo {

struct DemoScriptStep {
    std::uint32_t Tick = 0;
    std::vector<std::uint8_t> Keys;  // DirectInput scan codes held down
};

// "120 200 57" per line: a positive tick count in milliseconds, then decimal scan codes 0..255,
// separated by blanks or tabs. An empty text is a script without steps; an empty line is refused.
util::Result<std::vector<DemoScriptStep>> parseDemoScript(std::string_view text);

// A clock and keyboard the caller sets before each step; counts the beeps.
class ScriptedDemoInput : public DemoInput {
public:
    void set(std::uint32_t tick, const std::vector<std::uint8_t>& keys);
    std::uint32_t tickCount() override { return m_tick; }
    void readKeyState(KeyStateArray& keys) override { keys = m_keys; }
    void beep() override { ++m_beeps; }
    int beeps() const { return m_beeps; }

private:
    std::uint32_t m_tick = 0;
    KeyStateArray m_keys{};
    int m_beeps = 0;
};

struct DemoScriptRun {
    int Toggles = 0;
    bool Full = false;  // steps came after the one that filled the demo: they were not recorded
};

// StartDemo, one DemoStep per script step, StopDemo. The level must be able to hold a demo.
util::Result<DemoScriptRun> RecordDemoScript(level::TRLevel& level, const std::vector<DemoScriptStep>& steps);

}  // namespace tessarin::demo
