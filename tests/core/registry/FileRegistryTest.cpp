// The store file: its text, a byte-for-byte round trip, damaged files kept aside, failed writes.
#include <gtest/gtest.h>

#include <chrono>
#include <fstream>

#include "registry/FileRegistry.h"
#include "registry/RegFile.h"
#include "registry/ShellVerbs.h"
#include "support/TestPaths.h"
#include "util/FileIO.h"

using namespace tessarin::registry;
namespace fs = std::filesystem;

namespace {

std::string readText(const fs::path& path) {
    const auto bytes = tessarin::util::readFile(path);
    return bytes ? std::string(bytes->begin(), bytes->end()) : std::string("<unreadable>");
}

void writeText(const fs::path& path, const std::string& text) { std::ofstream(path, std::ios::binary) << text; }

void startUp(FileRegistry& store, const std::string& appPath) {
    RegisterMod reg(store, {});
    RegisterProgramKeys(reg);
    RegisterShellVerbs(reg, appPath);
}

}  // namespace

TEST(FileRegistry, WritesReadableTextThatReadsBackByteForByte) {
    const fs::path dir = tessarin::test::scratchDir("registry-roundtrip");
    EXPECT_EQ(defaultStorePath(dir.c_str(), "/home/x"), dir / "tessarin2" / "registry.reg");
    EXPECT_EQ(defaultStorePath("", "/home/x"), fs::path("/home/x/.config/tessarin2/registry.reg"));
    EXPECT_EQ(defaultStorePath("relative", "/home/x"), fs::path("/home/x/.config/tessarin2/registry.reg"));
    const fs::path file = defaultStorePath(dir.c_str(), nullptr);
    {
        FileRegistry store(file);
        EXPECT_TRUE(store.notice().empty());
        startUp(store, "/opt/a \"b\"\\c");
        HKey key = 0;
        // Later keys match earlier ones whatever their case, and keep the first spelling.
        ASSERT_EQ(store.createKey(kLocalMachine, "SOFTWARE\\varnholt\\TESSARIN", key), kSuccess);
        ASSERT_EQ(store.setValue(key, "RegisterVersion", kRegBinary, std::string("\x00\x7f\xff", 3)), kSuccess);
        ASSERT_EQ(store.setValue(key, "Lines", kRegSz, "one\ntwo"), kSuccess);
        ASSERT_EQ(store.setValue(key, "Count", kRegDword, std::string("\x2a\0\0\0", 4)), kSuccess);
    }
    const std::string text = readText(file);
    EXPECT_TRUE(text.starts_with("Windows Registry Editor Version 5.00\n\n[HKEY_CLASSES_ROOT\\.tr4]\n@=\"TR4 Level\"\n"));
    EXPECT_NE(text.find("\n[HKEY_CLASSES_ROOT\\TR4 Level\\shell\\Convert To TR3\\Command]\n"
                        "@=\"\\\"/opt/a \\\"b\\\"\\\\c/tessarin2\\\" /convert3 %1\"\n"),
              std::string::npos) << text;
    EXPECT_NE(text.find("\n[HKEY_LOCAL_MACHINE\\software\\Varnholt\\Tessarin]\n\"RegisterVersion\"=hex:00,7f,ff\n"
                        "\"Lines\"=hex(1):6f,6e,65,0a,74,77,6f\n\"Count\"=dword:0000002a\n"),
              std::string::npos) << text;
    EXPECT_EQ(text.find("SOFTWARE"), std::string::npos);

    // A second start reads it all back and writes nothing: same bytes, same time stamp.
    const auto old = fs::file_time_type::clock::now() - std::chrono::hours(48);
    fs::last_write_time(file, old);
    FileRegistry again(file);
    EXPECT_EQ(formatRegFile(again), text);
    startUp(again, "/opt/a \"b\"\\c");
    EXPECT_EQ(fs::last_write_time(file), old);
    EXPECT_EQ(readText(file), text);
    // A moved program rewrites its commands.
    startUp(again, "/usr/games");
    EXPECT_NE(readText(file).find("@=\"\\\"/usr/games/tessarin2\\\" /view %1\""), std::string::npos);
}

TEST(FileRegistry, ReadsExportsWithTheirOwnLineEndsCommentsAndWrappedHex) {
    MemoryRegistry store;
    const std::string text =
        "\xEF\xBB\xBFWindows Registry Editor Version 5.00\r\n\r\n; made elsewhere\r\n"
        "[hkey_classes_root\\.tr2]\r\n@=\"OtherApp.Level\"\r\n\"Raw\"=hex:01,02,\\\r\n  03\r\n";
    ASSERT_TRUE(parseRegFile(text, store));
    EXPECT_EQ(store.find("HKEY_CLASSES_ROOT\\.TR2")->value("")->data, "OtherApp.Level");
    EXPECT_EQ(store.find("HKEY_CLASSES_ROOT\\.tr2")->value("raw")->data, "\x01\x02\x03");

    // The registry editor writes UTF-16; the store keeps UTF-8.
    std::string wide = "\xFF\xFE";
    for (char16_t c : std::u16string(u"Windows Registry Editor Version 5.00\r\n[HKEY_CLASSES_ROOT\\.trc]\r\n@=\"L\u00e9vel\"\r\n")) {
        wide += static_cast<char>(c & 0xFF);
        wide += static_cast<char>(c >> 8);
    }
    MemoryRegistry fromWindows;
    ASSERT_TRUE(parseRegFile(wide, fromWindows));
    EXPECT_EQ(fromWindows.find("HKEY_CLASSES_ROOT\\.trc")->value("")->data, "L\xC3\xA9vel");
}

TEST(FileRegistry, ADamagedStoreIsKeptAsideAndAFreshOneStarted) {
    const fs::path dir = tessarin::test::scratchDir("registry-damaged");
    const fs::path file = dir / "registry.reg";
    const char* damaged[] = {
        "",
        "REGEDIT5\n",
        "Windows Registry Editor Version 5.00\n@=\"value before any key\"\n",
        "Windows Registry Editor Version 5.00\n[HKEY_NOWHERE\\x]\n",
        "Windows Registry Editor Version 5.00\n[HKEY_CLASSES_ROOT\\\\x]\n",
        "Windows Registry Editor Version 5.00\n[HKEY_CLASSES_ROOT\\x\n",
        "Windows Registry Editor Version 5.00\n[HKEY_CLASSES_ROOT\\x]\n@=\"open quote\n",
        "Windows Registry Editor Version 5.00\n[HKEY_CLASSES_ROOT\\x]\n\"v\"=hex:1,zz\n",
        "Windows Registry Editor Version 5.00\n[-HKEY_CLASSES_ROOT\\x]\n",
    };
    for (const char* text : damaged) {
        fs::remove(dir / "registry.reg.bad");
        writeText(file, text);
        FileRegistry store(file);
        EXPECT_NE(store.notice().find("registry.reg.bad"), std::string::npos) << text;
        EXPECT_EQ(readText(dir / "registry.reg.bad"), text);
        EXPECT_FALSE(fs::exists(file));
        startUp(store, "/opt/tr");
        EXPECT_TRUE(readText(file).starts_with("Windows Registry Editor Version 5.00\n\n[HKEY_CLASSES_ROOT\\.tr4]"));
    }
    // An earlier damaged file is not replaced by a later one.
    writeText(file, "later damage");
    FileRegistry store(file);
    EXPECT_EQ(readText(dir / "registry.reg.bad.1"), "later damage");
    EXPECT_EQ(readText(dir / "registry.reg.bad"), damaged[std::size(damaged) - 1]);

    // With no free name to keep it under, the damaged file stays where it is, untouched.
    for (int n = 1; n < 100; ++n) writeText(dir / ("registry.reg.bad." + std::to_string(n)), "");
    writeText(file, "damage kept in place");
    {
        FileRegistry stuck(file);
        EXPECT_NE(stuck.notice().find("nothing is written"), std::string::npos);
        startUp(stuck, "/opt/tr");
    }
    EXPECT_EQ(readText(file), "damage kept in place");

    // A class name with a line break makes no key whose section would damage the store.
    writeText(file, "Windows Registry Editor Version 5.00\n[HKEY_CLASSES_ROOT\\.tr2]\n@=hex(1):41,0a,42\n");
    {
        FileRegistry bound(file);
        startUp(bound, "/opt/tr");
    }
    FileRegistry reread(file);
    EXPECT_TRUE(reread.notice().empty()) << reread.notice();

    // A store past the size limit is set aside unread; the message gives its size and the limit.
    const fs::path huge = tessarin::test::scratchDir("registry-huge") / "registry.reg";
    writeText(huge, "Windows Registry Editor Version 5.00\n");
    fs::resize_file(huge, kMaxStoreBytes + 1);
    FileRegistry refused(huge);
    EXPECT_NE(refused.notice().find("(it is 16777217 bytes, more than the 16 MiB a store may hold)"), std::string::npos)
        << refused.notice();
    EXPECT_EQ(fs::file_size(huge.parent_path() / "registry.reg.bad"), kMaxStoreBytes + 1);
}

TEST(FileRegistry, AStoreThatCannotBeWrittenFailsEachChangeAndKeepsNothing) {
    const fs::path dir = tessarin::test::scratchDir("registry-readonly");
    writeText(dir / "config", "a file where the folder should be");
    FileRegistry store(dir / "config" / "tessarin2" / "registry.reg");
    RegisterMod reg(store, {});
    RegisterProgramKeys(reg);
    RegisterShellVerbs(reg, "/opt/tr");  // goes through to the end
    reg.CreateKey("HKEY_CURRENT_USER\\x");
    EXPECT_EQ(reg.lastStatus(), kAccessDenied);
    EXPECT_EQ(reg.GetStringValue("HKEY_CLASSES_ROOT\\.tr4", ""), "Err");
    EXPECT_EQ(store.find("HKEY_LOCAL_MACHINE\\software"), nullptr);

    FileRegistry nowhere{fs::path()};
    RegisterMod none(nowhere, {});
    none.CreateKey("HKEY_CURRENT_USER\\x");
    EXPECT_EQ(none.lastStatus(), kAccessDenied);
}
