#pragma once
// Register_Mod: the program's operations on registry key paths written as text
// ("HKEY_CLASSES_ROOT\.tr4"). Failures are not reported to the caller: reads give "Err", and every
// operation leaves the status of its registry call in lastStatus().
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "registry/Registry.h"

namespace tessarin::registry {

inline constexpr const char* kAppTitle = "Tessarin2";
inline constexpr const char* kIncorrectFormatMessage = "Incorrect Format:";
// What a failed read gives.
inline constexpr const char* kErr = "Err";

// A message box with an OK button: text and title.
using ShowMessage = std::function<void(const std::string& text, const std::string& title)>;

class RegisterMod {
public:
    RegisterMod(Registry& registry, ShowMessage showMessage);

    // The handle of a root named exactly as in the root table, else 0.
    static HKey GetRootKey(std::string_view name);
    // The sub-key of a path, with the root left in currentRoot(). A path that does not start with
    // "HKEY_" or ends with "\" shows the format message; that and an unknown root give nullopt.
    std::optional<std::string> SplitKeyPath(const std::string& path);

    // Creates the key and any missing keys above it (or opens it), then closes it.
    void CreateKey(const std::string& path);
    // The value's text, without the terminating zero and trimmed of blanks; "Err" when the key or
    // the value cannot be read.
    std::string GetStringValue(const std::string& path, const std::string& valueName);
    // The value's raw bytes, one character per byte; "Err" when the key or the value cannot be read.
    std::string GetBinaryValue(const std::string& path, const std::string& valueName);
    // Writes a string value into an existing key; the stored length counts no terminating zero.
    void SetStringValue(const std::string& path, const std::string& valueName, const std::string& text);

    long lastStatus() const { return m_lastStatus; }
    HKey currentRoot() const { return m_currentRoot; }

private:
    Registry& m_registry;
    ShowMessage m_showMessage;
    HKey m_currentRoot = 0;
    HKey m_openKey = 0;
    long m_lastStatus = kSuccess;
};

}  // namespace tessarin::registry
