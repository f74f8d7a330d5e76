#include <gtest/gtest.h>

#include <QDir>
#include <filesystem>

#include "platform/application.h"
#include "support/testfiles.h"

using namespace tessaria;
using namespace tessaria::test;

namespace {

QString Folder(const std::filesystem::path& path)
{
    return QString::fromStdString(path.string()) + '/';
}

} // namespace

// The help file and the samples: beside the program in the build folder,
// share/tessaria beside bin when installed under any prefix.
TEST(DataFolder, FoundBesideTheProgramOrInShareAsInstalled)
{
    struct Case {
        const char* name;
        bool besideProgram;   // bin/tessaria.hlp
        bool inShare;         // share/tessaria/tessaria.hlp
        bool shareFolderOnly; // share/tessaria exists without the help file
        const char* expected; // relative to the prefix
    };
    const Case cases[] = {
        {"build folder", true, false, false, "bin/"},
        {"installed", false, true, false, "share/tessaria/"},
        {"both: the program's own folder wins", true, true, false, "bin/"},
        {"neither: the program's folder, for the message", false, false, false, "bin/"},
        {"an empty share/tessaria is not taken", false, false, true, "bin/"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TempDir prefix;
        std::filesystem::create_directories(prefix.Path() / "bin");
        if (c.besideProgram)
            WriteFile((prefix.Path() / "bin" / "tessaria.hlp").string(), "<html></html>");
        if (c.inShare || c.shareFolderOnly)
            std::filesystem::create_directories(prefix.Path() / "share" / "tessaria");
        if (c.inShare)
            WriteFile((prefix.Path() / "share" / "tessaria" / "tessaria.hlp").string(), "<html></html>");
        const QString program = Folder(prefix.Path() / "bin");
        EXPECT_EQ(FindDataFolder(program, "../share/tessaria"), Folder(prefix.Path()) + c.expected);
    }
}

TEST(DataFolder, TheProgramsOwnIsUsedWhenNothingIsInstalledBesideIt)
{
    // Test programs sit in the build tree with no help file beside them and no
    // share/tessaria above them.
    EXPECT_EQ(DataFolder(), ProgramFolder());
}
