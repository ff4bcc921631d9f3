#include "demo/DemoRecorder.h"

namespace tessarin::demo {

std::int32_t demoBitsFor(const KeyStateArray& keys, std::int16_t levelVersion) {
    std::int32_t bits = 0;
    for (const DemoKeyBit& key : kDemoKeyBits)
        if (keys[key.ScanCode] != 0 && (key.OnlyVersion == 0 || key.OnlyVersion == levelVersion)) bits |= key.Bit;
    return bits;
}

bool canHoldDemo(const level::TRLevel& level) {
    return level.LevelVersion == level::kVersionTR2 || level.LevelVersion == level::kVersionTR3;
}

bool DemoRecorder::StartDemo(level::TRLevel& level) {
    if (!canHoldDemo(level)) return false;
    level.DemoData.assign(kDemoHeaderWords, 0);
    level.NumDemoData = static_cast<std::int16_t>(kDemoHeaderWords);
    // The game puts Lara where the demo was recorded from: the first item of object 0. Without
    // one the position words stay 0.
    for (const level::TRItem& item : level.Items) {
        if (item.ObjectID != 0) continue;
        level.DemoData[0] = item.X;
        level.DemoData[1] = item.Y;
        level.DemoData[2] = item.Z;
        level.DemoData[4] = item.Angle;
        level.DemoData[6] = item.Room;
        break;
    }
    level.DemoData[7] = 1;
    m_version = level.LevelVersion;
    m_open = true;
    m_full = false;
    return true;
}

DemoStepResult DemoRecorder::DemoStep(level::TRLevel& level) {
    DemoStepResult result;
    const std::uint32_t now = m_input.tickCount();
    if (LastSampleTick == 0) LastSampleTick = now;
    if (LastToggleTick == 0) LastToggleTick = now;
    // Ages in milliseconds; widened so that no pair of 32-bit ticks can overflow.
    const std::int64_t toggleAge = static_cast<std::int64_t>(now) - LastToggleTick;
    const std::int64_t sampleAge = static_cast<std::int64_t>(now) - LastSampleTick;

    m_input.readKeyState(KeyState);
    if (DemoCapture) DemoWord |= demoBitsFor(KeyState, m_version);

    // About 30 samples a second: more than 100/3 ms since the last one.
    if (sampleAge * 3 > 100) {
        LastSampleTick = now;
        if (DemoCapture && m_open && !m_full) {
            level.DemoData.push_back(DemoWord);
            level.NumDemoData = static_cast<std::int16_t>(level.DemoData.size());
            DemoWord = 0;
            result.Appended = true;
            // The end mark still has to fit.
            if (level.DemoData.size() >= kMaxDemoWords - 1) {
                m_full = true;
                DemoCapture = false;
                result.BecameFull = true;
            }
        }
    }

    if (toggleAge > 100) {
        LastToggleTick = now;
        // A full demo takes no more words, so TAB cannot switch the capture on again.
        if (KeyState[kScanTab] != 0 && !m_full) {
            DemoCapture = !DemoCapture;
            ++m_toggles;
            m_input.beep();
            result.Toggled = true;
        }
    }
    return result;
}

bool DemoRecorder::StopDemo(level::TRLevel& level) {
    if (!m_open) return false;
    m_open = false;
    level.DemoData.push_back(-1);
    level.NumDemoData = static_cast<std::int16_t>(level.DemoData.size() * 4);
    return true;
}

}  // namespace tessarin::demo
