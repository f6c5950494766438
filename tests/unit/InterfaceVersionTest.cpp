#include "unit/PageFixture.h"

namespace varkel {
namespace {

using InterfaceVersion = PageFixture;

// The file-system object's view (path -> version, "" for none) and the answer: the text is
// left as passed unless the page's own library file has a version.
TEST_F(InterfaceVersion, IsThatOfThePagesOwnLibraryFile) {
    const Text folder = u"C:\\Program Files\\varkel\\";
    const std::tuple<std::map<Text, Text>, Text, Text> cases[] = {
        {{{folder + u"varkel.dll", u""}}, u"varkel", u"as passed"},
        {{{folder + u"copy of varkel.dll", u"1.2.3.4"}}, u"copy of varkel", u"1.2.3.4"},
        {{{folder + u"varkel.ocx", u"1.2.3.4"}}, u"varkel", u"as passed"}};
    for (const auto& [files, baseName, answer] : cases) {
        fake.hostObjects.versions = files;
        fake.module.baseName = baseName;
        Text strVersion = u"as passed";
        EXPECT_EQ(page.GetInterfaceVersion(strVersion), 1);
        EXPECT_EQ(strVersion, answer);
    }
}

// Its box names the routine as a refused call's does (PageStartup.ARefusedCallIsReported...).
TEST_F(InterfaceVersion, AFailureIsShownAndAnsweredWithZeros) {
    fake.hostObjects.fileFailure = Failure(70, u"varkel", u"Permission denied");
    fake.ExpectBox();
    Text strVersion = u"as passed";
    EXPECT_EQ(page.GetInterfaceVersion(strVersion), 0);
    EXPECT_EQ(strVersion, u"0.0.0.0");
}

} // namespace
} // namespace varkel
