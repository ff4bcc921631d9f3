#include "demo/DemoScript.h"

#include <charconv>
#include <string>

namespace tessarin::demo {

namespace {

bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\r'; }

// One decimal number without sign; false when the text is not one or passes `max`.
bool parseNumber(std::string_view text, std::int64_t max, std::int64_t& out) {
    if (text.empty() || text.size() > 12) return false;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), out);
    return ec == std::errc() && end == text.data() + text.size() && out >= 0 && out <= max;
}

}  // namespace

util::Result<std::vector<DemoScriptStep>> parseDemoScript(std::string_view text) {
    using R = util::Result<std::vector<DemoScriptStep>>;
    std::vector<DemoScriptStep> steps;
    std::size_t lineNumber = 0;
    while (!text.empty()) {
        ++lineNumber;
        const std::size_t eol = text.find('\n');
        std::string_view line = text.substr(0, eol);
        text = eol == std::string_view::npos ? std::string_view() : text.substr(eol + 1);
        const std::string where = "script line " + std::to_string(lineNumber) + ": ";

        std::vector<std::string_view> fields;
        for (std::size_t i = 0; i < line.size();) {
            if (isBlank(line[i])) { ++i; continue; }
            std::size_t j = i;
            while (j < line.size() && !isBlank(line[j])) ++j;
            fields.push_back(line.substr(i, j - i));
            i = j;
        }
        if (fields.empty()) return R::failure(where + "empty, expected a tick count and scan codes");

        DemoScriptStep step;
        std::int64_t value = 0;
        if (!parseNumber(fields[0], UINT32_MAX, value) || value == 0)
            return R::failure(where + "tick count \"" + std::string(fields[0]) +
                              "\" is not a positive 32-bit number of milliseconds");
        step.Tick = static_cast<std::uint32_t>(value);
        for (std::size_t f = 1; f < fields.size(); ++f) {
            if (!parseNumber(fields[f], 255, value))
                return R::failure(where + "scan code \"" + std::string(fields[f]) + "\" is not a number from 0 to 255");
            step.Keys.push_back(static_cast<std::uint8_t>(value));
        }
        steps.push_back(std::move(step));
    }
    return steps;
}

void ScriptedDemoInput::set(std::uint32_t tick, const std::vector<std::uint8_t>& keys) {
    m_tick = tick;
    m_keys.fill(0);
    for (std::uint8_t k : keys) m_keys[k] = 0x80;
}

util::Result<DemoScriptRun> RecordDemoScript(level::TRLevel& level, const std::vector<DemoScriptStep>& steps) {
    ScriptedDemoInput input;
    DemoRecorder recorder(input);
    if (!recorder.StartDemo(level)) return util::Result<DemoScriptRun>::failure(kDemoVersionMessage);
    for (const DemoScriptStep& step : steps) {
        input.set(step.Tick, step.Keys);
        recorder.DemoStep(level);
    }
    recorder.StopDemo(level);
    return DemoScriptRun{recorder.toggles(), recorder.demoFull()};
}

}  // namespace tessarin::demo
