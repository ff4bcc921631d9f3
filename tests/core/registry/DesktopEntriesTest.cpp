// The desktop files' texts: quoting of the program in Exec lines, and the verbs per file type.
#include <gtest/gtest.h>

#include "registry/DesktopEntries.h"

using namespace tessarin::registry;

TEST(DesktopEntries, ExecQuotesTheProgramAndOffersEachTypeItsOwnVerbs) {
    EXPECT_EQ(desktopExecArgument("/opt/tr/tessarin2"), "\"/opt/tr/tessarin2\"");
    // '"', '`', '$', '\' get a backslash, '%' doubles, and the value escape doubles backslashes.
    EXPECT_EQ(desktopExecArgument("/a b/\"q\"`$x%\\"), "\"/a b/\\\\\"q\\\\\"\\\\`\\\\$x%%\\\\\\\\\"");

    const auto files = desktopFiles("/opt/tr/tessarin2");
    ASSERT_EQ(files.size(), 4u);
    EXPECT_EQ(files[0].relativePath, "mime/packages/tessarin2.xml");
    EXPECT_NE(files[0].text.find("<mime-type type=\"application/x-trc-level\">\n    <comment>TR5 Level</comment>\n"
                                 "    <glob pattern=\"*.trc\" case-sensitive=\"false\"/>"),
              std::string::npos);
    const std::string& app = files[1].text;
    EXPECT_EQ(files[1].relativePath, "applications/tessarin2.desktop");
    EXPECT_NE(app.find("\nExec=\"/opt/tr/tessarin2\" /open %f\n"), std::string::npos) << app;
    EXPECT_NE(app.find("\nMimeType=application/x-tr4-level;application/x-trc-level;application/x-tr2-level;\n"), std::string::npos);
    EXPECT_NE(app.find("\nActions=ConvertToTR3;ConvertToTR2;ViewRoomswithTessarin;\n"), std::string::npos);
    // Started from a file manager a verb has no terminal: its actions ask for failures in a window.
    EXPECT_NE(app.find("\n[Desktop Action ConvertToTR2]\nName=Convert To TR2\n"
                       "Exec=env TESSARIN_BATCH_REPORT=window \"/opt/tr/tessarin2\" /convert2 %f\n"),
              std::string::npos) << app;

    EXPECT_EQ(files[2].relativePath, "kio/servicemenus/tessarin2.desktop");
    EXPECT_NE(files[2].text.find("\nMimeType=application/x-tr4-level;\nActions=ConvertToTR3;ConvertToTR2;ViewRoomswithTessarin;\n"),
              std::string::npos);
    EXPECT_EQ(files[3].relativePath, "kio/servicemenus/tessarin2-trc-tr2.desktop");
    EXPECT_NE(files[3].text.find("\nMimeType=application/x-trc-level;application/x-tr2-level;\nActions=ViewRoomswithTessarin;\n"),
              std::string::npos);
    EXPECT_TRUE(files[2].executable && files[3].executable && !files[1].executable);
}
