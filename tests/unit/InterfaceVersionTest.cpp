#include "unit/PageFixture.h"

namespace varkel {
namespace {

const Text OwnLibrary = u"C:\\Program Files\\varkel\\varkel.dll";

using InterfaceVersion = PageFixture;

// The file-system object's view (path -> version, "" for none) and the answer: the text is
// left as passed unless the page's own library file has a version.
TEST_F(InterfaceVersion, AnswersOneAndTheOwnLibrarysVersionOrZerosAndZeroOnAFailure) {
    const std::tuple<std::map<Text, Text>, Text, Text> cases[] = {
        {{{OwnLibrary, u"1.0.0.7"}}, u"varkel", u"1.0.0.7"},
        {{{OwnLibrary, u""}}, u"varkel", u"as passed"},
        {{{u"C:\\Program Files\\varkel\\copy of varkel.dll", u"1.2.3.4"}},
         u"copy of varkel",
         u"1.2.3.4"},
        {{{u"C:\\Program Files\\varkel\\varkel.ocx", u"1.2.3.4"}}, u"varkel", u"as passed"},
    };
    for (const auto& [files, baseName, answer] : cases) {
        fake.hostObjects.versions = files;
        fake.module.baseName = baseName;
        Text strVersion = u"as passed";
        EXPECT_EQ(page.GetInterfaceVersion(strVersion), 1);
        EXPECT_EQ(strVersion, answer);
    }
    EXPECT_TRUE(fake.log.lines.empty());
    // A failure is shown and answered with zeros and 0.
    fake.hostObjects.fileFailure = Failure(70, u"varkel", u"Permission denied");
    fake.ExpectBox();
    Text strVersion = u"as passed";
    EXPECT_EQ(page.GetInterfaceVersion(strVersion), 0);
    EXPECT_EQ(strVersion, u"0.0.0.0");
    EXPECT_THAT(OnlyBox(), StartsWith(u"Method:\t\tin Function GetInterfaceVersion() of the if01 "
                                      u"NUX Control\r\nSource:\t\tvarkel\r\nError:\t\t46h   (70)"));
    EXPECT_EQ(fake.log.lines.size(), 1u);
}

} // namespace
} // namespace varkel
