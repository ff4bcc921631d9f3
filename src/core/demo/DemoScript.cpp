#include "demo/DemoScript.h"

#include <charconv>
#include <string>

namespace tessarin::demo {

namespace {

bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\r'; }

// One decimal number without sign; false when the text is not one or passes `max`.
bool parseNumber(std::string_view text, std::int64_t max, std::int64_t& out) {
    if (text.empty()) return false;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), out);
    return ec == std::errc() && end == text.data() + text.size() && out >= 0 && out <= max;
}

// A field as a message quotes it: control bytes (a NUL would end the message where it is printed)
// are written as \xNN.
std::string quoted(std::string_view field) {
    std::string out = "\"";
    for (const char c : field) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte >= 0x20 && byte != 0x7F) {
            out += c;
            continue;
        }
        static constexpr char kHex[] = "0123456789ABCDEF";
        out += "\\x";
        out += kHex[byte >> 4];
        out += kHex[byte & 0xF];
    }
    return out + '"';
}

}  // namespace

util::Result<std::vector<DemoScriptStep>> parseDemoScript(std::string_view text) {
    using R = util::Result<std::vector<DemoScriptStep>>;
    // Some editors begin a UTF-8 file with a byte-order mark.
    if (text.starts_with("\xEF\xBB\xBF")) text.remove_prefix(3);
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
            return R::failure(where + "tick count " + quoted(fields[0]) + " is not a positive 32-bit number of milliseconds");
        step.Tick = static_cast<std::uint32_t>(value);
        for (std::size_t f = 1; f < fields.size(); ++f) {
            if (!parseNumber(fields[f], 255, value))
                return R::failure(where + "scan code " + quoted(fields[f]) + " is not a number from 0 to 255");
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
    bool stepsLost = false;
    for (const DemoScriptStep& step : steps) {
        stepsLost = stepsLost || recorder.demoFull();  // a step after the one that filled the demo
        input.set(step.Tick, step.Keys);
        recorder.DemoStep(level);
    }
    recorder.StopDemo(level);
    return DemoScriptRun{recorder.toggles(), stepsLost};
}

}  // namespace tessarin::demo
