// Key paths as text: the root table, the format message, reads that trim or say "Err", writes.
#include <gtest/gtest.h>

#include "support/RecordingRegistry.h"
#include "registry/RegisterMod.h"

using namespace tessarin::registry;
using tessarin::test::RecordingRegistry;

namespace {
struct Fixture {
    RecordingRegistry store;
    std::vector<std::string> messages;
    RegisterMod reg{store, [this](const std::string& text, const std::string& title) { messages.push_back(title + '|' + text); }};
};
}  // namespace

TEST(RegisterMod, SplitsPathsAndShowsTheFormatMessageOnlyForMalformedOnes) {
    Fixture f;
    EXPECT_EQ(RegisterMod::GetRootKey("HKEY_CLASSES_ROOT"), 0x80000000u);
    EXPECT_EQ(RegisterMod::GetRootKey("HKEY_DYN_DATA"), 0x80000006u);
    EXPECT_EQ(RegisterMod::GetRootKey("hkey_classes_root"), 0u);  // names match exactly

    EXPECT_EQ(f.reg.SplitKeyPath("HKEY_CURRENT_USER"), "");  // a root alone is the root itself
    EXPECT_EQ(f.reg.currentRoot(), kCurrentUser);
    EXPECT_EQ(f.reg.SplitKeyPath("HKEY_CLASSES_ROOT\\.tr4\\shell"), ".tr4\\shell");
    EXPECT_EQ(f.reg.currentRoot(), kClassesRoot);

    // An unknown root does nothing, silently; a read of it fails like any other.
    EXPECT_EQ(f.reg.SplitKeyPath("HKEY_NOWHERE\\x"), std::nullopt);
    EXPECT_EQ(f.reg.currentRoot(), 0u);
    EXPECT_EQ(f.reg.GetStringValue("HKEY_NOWHERE\\x", ""), "Err");
    f.reg.CreateKey("HKEY_NOWHERE\\x");
    EXPECT_TRUE(f.messages.empty());

    for (const char* bad : {"Software\\Varnholt", "HKEY_CLASSES_ROOT\\.tr4\\", "HKEY", ""}) {
        f.messages.clear();
        f.reg.CreateKey(bad);
        f.reg.SetStringValue(bad, "", "x");
        ASSERT_EQ(f.messages.size(), 2u) << bad;
        EXPECT_EQ(f.messages[0], std::string("Tessarin2|Incorrect Format:\n\n") + bad);
    }
    EXPECT_TRUE(f.store.calls.empty());  // nothing reached the registry
}

TEST(RegisterMod, StringReadsTrimAndDropTheTerminatingZero) {
    Fixture f;
    f.reg.CreateKey("HKEY_CLASSES_ROOT\\.tr4\\deep");  // parents come with it
    f.reg.CreateKey("HKEY_CLASSES_ROOT\\.tr2");
    f.reg.SetStringValue("HKEY_CLASSES_ROOT\\.tr4", "", "TR4 Level");
    f.reg.SetStringValue("HKEY_CLASSES_ROOT\\.tr4", "Padded", "  a b ");
    f.reg.SetStringValue("HKEY_CLASSES_ROOT\\.tr2", "", "");
    EXPECT_EQ(f.reg.lastStatus(), kSuccess);
    // The stored length is the text's: no zero byte is kept.
    EXPECT_EQ(f.store.find("HKEY_CLASSES_ROOT\\.TR4")->value("")->data, "TR4 Level");

    EXPECT_EQ(f.reg.GetStringValue("HKEY_CLASSES_ROOT\\.tr4", ""), "TR4 Level");
    EXPECT_EQ(f.reg.GetStringValue("HKEY_CLASSES_ROOT\\.tr4", "padded"), "a b ");
    EXPECT_EQ(f.reg.GetStringValue("HKEY_CLASSES_ROOT\\.tr2", ""), "");  // empty, not "Err"
    EXPECT_EQ(f.reg.GetStringValue("HKEY_CLASSES_ROOT\\.tr4\\deep", ""), "Err");
    EXPECT_EQ(f.reg.lastStatus(), kFileNotFound);
    EXPECT_EQ(f.reg.GetStringValue("HKEY_CLASSES_ROOT\\.trc", ""), "Err");

    // A write into a key that is not there creates nothing.
    f.reg.SetStringValue("HKEY_CLASSES_ROOT\\.phd", "", "x");
    EXPECT_EQ(f.reg.lastStatus(), kFileNotFound);
    EXPECT_EQ(f.store.find("HKEY_CLASSES_ROOT\\.phd"), nullptr);
    // A registry that refuses the write leaves its status.
    f.store.refuseWrites = kAccessDenied;
    f.reg.SetStringValue("HKEY_CLASSES_ROOT\\.tr2", "", "changed");
    EXPECT_EQ(f.reg.lastStatus(), kAccessDenied);
    EXPECT_EQ(f.reg.GetStringValue("HKEY_CLASSES_ROOT\\.tr2", ""), "");
}

TEST(RegisterMod, BinaryReadsGiveEveryByteUntrimmed) {
    Fixture f;
    f.reg.CreateKey("HKEY_LOCAL_MACHINE\\software\\Varnholt\\Tessarin");
    HKey key = 0;
    const std::string bytes("\x01 \0\xff ", 5);
    ASSERT_EQ(f.store.createKey(kLocalMachine, "Software\\Varnholt\\Tessarin", key), kSuccess);
    ASSERT_EQ(f.store.setValue(key, "RegisterVersion", kRegBinary, bytes), kSuccess);
    EXPECT_EQ(f.reg.GetBinaryValue("HKEY_LOCAL_MACHINE\\Software\\Varnholt\\Tessarin", "RegisterVersion"), bytes);
    EXPECT_EQ(f.reg.GetBinaryValue("HKEY_LOCAL_MACHINE\\Software\\Varnholt\\Tessarin", "Missing"), "Err");
    EXPECT_EQ(f.reg.GetBinaryValue("HKEY_LOCAL_MACHINE\\Software\\Elsewhere", "RegisterVersion"), "Err");
}
