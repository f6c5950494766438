#include "core/EditSession.h"
#include "HostTestSupport.h"
#include "core/FileStore.h"

namespace varkel::host {
namespace {

struct MockPage : PagePort {
    MOCK_METHOD(long, LoadDefaults, (const std::vector<TextLoadRow>&, const fs::path&), (override));
    MOCK_METHOD(long, GetAllArguments, (std::vector<TextArgument>&), (override));
    MOCK_METHOD(bool, HasUnsavedChanges, (), (override));
    void Answers(const std::vector<PageArgument>& arguments, long result = 1) {
        std::vector<TextArgument> texts;
        for (const auto& [name, value] : arguments) {
            texts.push_back({FromUtf8(name), FromUtf8(value)});
        }
        EXPECT_CALL(*this, GetAllArguments(_))
            .WillOnce(DoAll(SetArgReferee<0>(texts), Return(result)));
    }
};

TEST(EditingAFile, SavesTheHostsArgumentsBeforeThePagesOnlyAfterAWholeLoad) {
    TemporaryFolder folder;
    const std::string original = "@echo off\r\n\"C:\\QX\\d3int.exe\" /host=n1 -ch /KS=5\r\npause";
    const fs::path file = folder.Write("d3int.bat", original);
    NiceMock<MockPage> page;
    const std::vector<TextLoadRow> rows{{u"/host", u"n1", 1}, {u"-ch", u"", 0}, {u"/KS", u"5", 0}};
    EXPECT_CALL(page, LoadDefaults(rows, fs::path("C:\\QX")))
        .WillOnce(Return(1))
        .WillOnce(Return(0))
        .WillOnce(Return(1));
    EditSession session(file, Switches("/host"));
    session.Load(page, "C:\\QX"); // a second load that fails blocks what the first allowed
    EXPECT_THAT([&] { session.Load(page, "C:\\QX"); },
                FailsWith(ExitCode::PageRefused, "answered 0 to LoadDefaults"));
    EXPECT_THAT([&] { session.Save(page, false); },
                FailsWith(ExitCode::PageRefused,
                          ": the page did not load every argument; nothing written"));
    session.Load(page, "C:\\QX");
    page.Answers({{"", ""}, {"/CH", ""}, {"", "word"}}, 0); // /host=n1 is the host's
    EXPECT_THAT([&] { session.Save(page, false); },
                FailsWith(ExitCode::PageRefused,
                          "d3int.bat: the page could not hand back every argument (1 of the file's "
                          "2; GetAllArgumentsSafeArray answered 0); its log names the cause, such "
                          "as free text of more than 32,766 switches; nothing written"));

    page.Answers({{"/CH", ""}});
    const SaveResult result = session.Save(page, true); // /KS=5 dropped
    EXPECT_EQ(TemporaryFolder::Read(file),
              "@echo off\r\n\"C:\\QX\\d3int.exe\" /host=n1 /CH\r\npause");
    TemporaryFolder::WriteFile(file, "x.exe /PS=1\r\n"); // changed by someone else meanwhile
    EXPECT_THAT([&] { session.Write({{"/HW", ""}}, true); }, Throws<FileChangedError>());
    session.Reread(); // taken as it is now: the page's arguments go into it, it into the backup
    session.Write({{"/CH", ""}}, true);
    EXPECT_EQ(TemporaryFolder::Read(file), "x.exe /CH\r\n");
    EXPECT_EQ(TemporaryFolder::Read(result.backup), "x.exe /PS=1\r\n");
}

TEST(SavingAFile, RefusesALossNamingItWithTheEditsStillUnsaved) {
    const std::tuple<const char*, std::vector<PageArgument>, const char*> cases[] = {
        // the file's line, the page's rows, what is written or the refusal
        {"x.exe /ITDELIM=;", {{"/ITDELIM", " "}}, "x.exe /ITDELIM=\" \""},
        {"x.exe /KS=5",
         {{"/KS", "5"}, {"/X", ""}, {"/KS", "9"}},
         "x.bat: a save would lose /KS=5 (given again as /KS=9); nothing written (--allow-loss"},
        {"x.exe /A=\"1 /B\" /C",
         {{"/A", "\"1"}, {"/B\"", ""}, {"/C", ""}},
         "x.exe /A=\"1 /B\" /C"}};
    for (const auto& [line, rows, written] : cases) {
        TemporaryFolder folder;
        const fs::path file = folder.Write("x.bat", std::string(line) + "\r\n");
        NiceMock<MockPage> page;
        ON_CALL(page, LoadDefaults(_, _)).WillByDefault(Return(1));
        EditSession session(file, {});
        session.Load(page, folder.Path());
        // The user edited the page: what its fields show is theirs (";" became " ").
        EXPECT_CALL(page, HasUnsavedChanges()).WillRepeatedly(Return(false));
        EXPECT_CALL(page, HasUnsavedChanges()).WillOnce(Return(true)).RetiresOnSaturation();
        page.Answers(rows);
        if (std::string(written).starts_with("x.exe")) {
            EXPECT_EQ(session.Save(page, false).commandLine, written);
            EXPECT_EQ(TemporaryFolder::Read(file), std::string(written) + "\r\n");
            EXPECT_FALSE(session.Write(rows, false).written) << "a second save: same bytes";
            continue;
        }
        EXPECT_THAT([&] { session.Save(page, false); }, FailsWith(ExitCode::CannotWrite, written));
        EXPECT_TRUE(session.HasUnsavedEdits(page)) << "the page is clean, the edits unsaved";
        session.Write(rows, true);
        EXPECT_FALSE(session.HasUnsavedEdits(page));
    }
}

TEST(OpeningAFile, FailsWithTheKindAndTheFileName) {
    const std::tuple<const char*, const char*, ExitCode, const char*> cases[] = {
        {"missing.bat", nullptr, ExitCode::CannotRead, " does not exist"},
        {"", nullptr, ExitCode::CannotRead, " is a folder"}, // some systems open it as empty
        {"empty.bat", "", ExitCode::NotStartupFile, ": the file is empty"},
        {"split.bat", "x.exe /CH ^\r\n/HW\r\n", ExitCode::NotStartupFile,
         ": the command line (line 1) ends with \"^\", which continues it on the next line"},
        {"last.bat", "x.exe /CH ^\r\n", ExitCode::NotStartupFile,
         ": the command line (line 1) ends with \"^\", which continues it on a next line the file "
         "does not have"},
        {"two.bat", "a.exe\r\nb.exe\r\n", ExitCode::NotStartupFile,
         ": several lines could be the interface's command line: line 1 (a.exe), line 2 (b.exe); "
         "name its program with --binary-name"}};
    for (const auto& [name, content, code, says] : cases) {
        TemporaryFolder folder;
        const fs::path file = content ? folder.Write(name, content) : folder.Path() / name;
        EXPECT_THAT([&] { EditSession session(file, {}); },
                    FailsWith(code, std::string(name) + says));
    }
}

} // namespace
} // namespace varkel::host
