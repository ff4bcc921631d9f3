#include "editor/SectorInfo.h"

#include "editor/ObjectNames.h"
#include "util/NumberText.h"

namespace tessarin::editor {

// Type 6 (antipad) reads like type 9: both undo what the sector started.
std::string_view triggerTypeWord(int type) {
    static constexpr std::string_view kWords[] = {
        "TRIGGER", "PAD",   "SWITCH",      "KEY",         "PICKUP",           "HEAVY", "ANTITRIGGER",
        "COMBAT",  "DUMMY", "ANTITRIGGER", "HEAVYSWITCH", "HEAVYANTITRIGGER", "MONKEY"};
    if (type < 0 || type > 12) return {};
    return kWords[type];
}

std::string triggerTypeText(int type) {
    const auto word = triggerTypeWord(type);
    if (!word.empty()) return std::string(word);
    return "TriggerType" + numberForm(type);
}

std::string_view actionText(int kind) {
    static constexpr std::string_view kTexts[] = {
        " for OBJECT",     " for CAMERA", " for SINK",    " for FLIPMAP", " for FLIPON",
        " for FLIPOFF",    " for TARGET", " for FINISH",  " for CD",      " for FLIPEFFECT",
        " for SECRET",     " for BODYBAG", " for FLYBY",  " for CUTSCENE"};
    if (kind < 0 || kind > 13) return " for UNKNOWN";
    return kTexts[kind];
}

std::string describeAction(const level::TRLevel& level, const ObjectNameTable& names,
                           const floordata::TriggerAction& action) {
    std::string text = triggerTypeText(action.TriggerType);
    text += actionText(action.ActionKind);
    text += numberForm(action.Parameter);
    // Only OBJECT actions are named; the parameter is trusted no further than the item array.
    if (action.ActionKind == floordata::kActionObject) {
        if (action.Parameter < level.Items.size())
            text += " (" + names.objectName(level.LevelVersion, level.Items[action.Parameter].ObjectID) + ")";
        else
            text += " (no such item)";
    }
    return text;
}

std::string triggerCountText(int count, bool numberFormCount) {
    return "This object has " + (numberFormCount ? numberForm(count) : util::plainNumber(count)) + " triggers";
}

}  // namespace tessarin::editor
