#pragma once
// The registry-export text format the store is kept in, so a person can read and edit it:
//
//   Windows Registry Editor Version 5.00
//
//   [HKEY_CLASSES_ROOT\.tr4]
//   @="TR4 Level"                      default value
//   "name"="C:\\x \"quoted\""         string, backslash and quote escaped
//   "raw"=hex:01,ff                     binary; hex(N): for other types, dword:0000002a
//
// Every key below a root gets its section, empty or not; a root only when it holds values.
// Reading also takes what exports made elsewhere have: UTF-16 with its byte-order mark (the
// registry editor's own), a UTF-8 mark, "REGEDIT4", CR LF line ends, ';' comments and hex lists
// continued with a trailing backslash.
#include <string>
#include <string_view>

#include "registry/MemoryRegistry.h"
#include "util/Result.h"

namespace tessarin::registry {

inline constexpr std::string_view kRegFileHeader = "Windows Registry Editor Version 5.00";

std::string formatRegFile(const MemoryRegistry& registry);

// Adds the file's keys and values to the registry; a failure names the line and leaves the
// registry partly filled (the caller clears it).
util::Status parseRegFile(std::string_view text, MemoryRegistry& registry);

}  // namespace tessarin::registry
