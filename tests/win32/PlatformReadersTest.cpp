// What the page reads through the platform rather than from its own tables: the answers of the
// host's objects, and version resources.
#include "support/VersionFixtures.h"
#include "version/FileVersion.h"
#include "win32/adapters/Dispatch.h"
#include "win32/adapters/VersionApi.h"
#include "win32/support/WineTest.h"

namespace varkel::testing {
namespace {

// A host object may answer with any type a script holds: it is read as the text a script shows;
// one that has no text is error 13.
TEST(HostObjectAnswers, AreReadAsTheTextAScriptShows) {
    VARIANT number{}, flag{}, object{};
    V_VT(&number) = VT_I4;
    V_I4(&number) = 2005;
    V_VT(&flag) = VT_BOOL;
    V_BOOL(&flag) = VARIANT_TRUE;
    V_VT(&object) = VT_UNKNOWN; // none
    EXPECT_EQ(win32::VariantText(number), u"2005");
    EXPECT_EQ(win32::VariantText(flag), u"True");
    try {
        win32::VariantText(object);
        ADD_FAILURE() << "an object read as text";
    } catch (const Failure& failure) {
        EXPECT_EQ(failure.Number, 13);
    }
}

// The system's reader gives every fixture the version the portable reader's tests expect.
TEST(VersionResources, TheSystemsReaderGivesEachFixtureItsVersion) {
    win32::Win32VersionApi versions;
    for (const auto& [name, version] : VersionFixtureTable) {
        const std::string path = VARKEL_FIXTURE_DIR "/" + std::string(name);
        EXPECT_EQ(GetFileVersionText(versions, FromUtf8(path)), FromUtf8(version)) << name;
    }
}

} // namespace
} // namespace varkel::testing
