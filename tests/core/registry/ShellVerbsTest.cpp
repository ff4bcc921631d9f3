// The start-up writes: the program's keys, then each extension's class and verbs in fixed order.
#include <gtest/gtest.h>

#include "support/RecordingRegistry.h"
#include "registry/ShellVerbs.h"

using namespace tessarin::registry;
using tessarin::test::RecordingRegistry;

namespace {

const std::string kCommand = "\"/opt/tr/tessarin2\" ";

// The three writes of one verb under a class.
std::vector<std::string> verbWrites(const std::string& cls, const std::string& verb, const std::string& verbSwitch) {
    const std::string key = "HKEY_CLASSES_ROOT\\" + cls + "\\shell\\" + verb;
    return {"create " + key, "create " + key + "\\Command", "set " + key + "\\Command @=" + kCommand + verbSwitch};
}

void append(std::vector<std::string>& to, const std::vector<std::string>& more) { to.insert(to.end(), more.begin(), more.end()); }

std::vector<std::string> startUp(RecordingRegistry& store) {
    RegisterMod reg(store, {});
    RegisterProgramKeys(reg);
    RegisterShellVerbs(reg, "/opt/tr");
    return store.only({"create", "set"});
}

}  // namespace

TEST(ShellVerbs, AFreshStoreGetsTheProgramKeysThenEachExtensionClaimedWithItsVerbs) {
    std::vector<std::string> expected = {
        "create HKEY_LOCAL_MACHINE\\software\\Varnholt",
        "create HKEY_LOCAL_MACHINE\\software\\Varnholt\\Tessarin",
        "create HKEY_CLASSES_ROOT\\.tr4",
        "set HKEY_CLASSES_ROOT\\.tr4 @=TR4 Level",
    };
    append(expected, verbWrites("TR4 Level", "Convert To TR3", "/convert3 %1"));
    append(expected, verbWrites("TR4 Level", "Convert To TR2", "/convert2 %1"));
    append(expected, verbWrites("TR4 Level", "View Rooms with Tessarin", "/view %1"));
    append(expected, {"create HKEY_CLASSES_ROOT\\.trc", "set HKEY_CLASSES_ROOT\\.trc @=TR5 Level"});
    append(expected, verbWrites("TR5 Level", "View Rooms with Tessarin", "/view %1"));
    append(expected, {"create HKEY_CLASSES_ROOT\\.tr2", "set HKEY_CLASSES_ROOT\\.tr2 @=TR2 Level"});
    append(expected, verbWrites("TR2 Level", "View Rooms with Tessarin", "/view %1"));

    RecordingRegistry store;
    EXPECT_EQ(startUp(store), expected);
    // The program's own value is read first, and decides nothing.
    EXPECT_EQ(store.calls.front(), "open-read HKEY_LOCAL_MACHINE\\Software\\Varnholt\\Tessarin");

    // A second start writes the same again, now through the classes it finds.
    store.calls.clear();
    std::vector<std::string> again;
    for (const std::string& c : expected)
        if (!c.starts_with("create HKEY_CLASSES_ROOT\\.") && !c.starts_with("set HKEY_CLASSES_ROOT\\.")) again.push_back(c);
    EXPECT_EQ(startUp(store), again);

    // A registry that refuses every write is asked for every key all the same; the values have
    // no key to go into.
    RecordingRegistry refusing;
    refusing.refuseWrites = kAccessDenied;
    std::vector<std::string> creates;
    for (const std::string& c : expected)
        if (c.starts_with("create ")) creates.push_back(c);
    EXPECT_EQ(startUp(refusing), creates);
}

TEST(ShellVerbs, ExtensionsBoundElsewhereKeepTheirClassUnlessItReadsAsErr) {
    RecordingRegistry store;
    HKey key = 0;
    const auto bind = [&](const std::string& extension, const std::string& cls) {
        ASSERT_EQ(store.createKey(kClassesRoot, extension, key), kSuccess);
        ASSERT_EQ(store.setValue(key, "", kRegSz, cls), kSuccess);
    };
    bind(".tr4", "");          // empty: taken as a class name all the same
    bind(".trc", "eRr");       // reads as "Err": claimed
    bind(".tr2", "OtherApp.Level");
    store.calls.clear();

    std::vector<std::string> expected = {
        "create HKEY_LOCAL_MACHINE\\software\\Varnholt",
        "create HKEY_LOCAL_MACHINE\\software\\Varnholt\\Tessarin",
        // Built with the empty class name; such a key cannot be made, so its value is not set.
        "create HKEY_CLASSES_ROOT\\\\shell\\Convert To TR3",
        "create HKEY_CLASSES_ROOT\\\\shell\\Convert To TR3\\Command",
        "create HKEY_CLASSES_ROOT\\\\shell\\Convert To TR2",
        "create HKEY_CLASSES_ROOT\\\\shell\\Convert To TR2\\Command",
        "create HKEY_CLASSES_ROOT\\\\shell\\View Rooms with Tessarin",
        "create HKEY_CLASSES_ROOT\\\\shell\\View Rooms with Tessarin\\Command",
        "create HKEY_CLASSES_ROOT\\.trc",
        "set HKEY_CLASSES_ROOT\\.trc @=TR5 Level",
    };
    append(expected, verbWrites("TR5 Level", "View Rooms with Tessarin", "/view %1"));
    append(expected, verbWrites("OtherApp.Level", "View Rooms with Tessarin", "/view %1"));
    EXPECT_EQ(startUp(store), expected);
    EXPECT_EQ(store.find("HKEY_CLASSES_ROOT\\.tr2")->value("")->data, "OtherApp.Level");
    EXPECT_EQ(store.find("HKEY_CLASSES_ROOT\\.tr4")->value("")->data, "");
    EXPECT_EQ(store.find("HKEY_CLASSES_ROOT\\TR2 Level"), nullptr);
}

TEST(ShellVerbs, CommandTextQuotesTheProgramAndKeepsARootFolderSeparator) {
    EXPECT_EQ(CommandText("/opt/tr", "/view %1"), "\"/opt/tr/tessarin2\" /view %1");
    EXPECT_EQ(CommandText("/", "/convert3 %1"), "\"//tessarin2\" /convert3 %1");
}
