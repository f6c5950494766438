// The platform's adapters the control reads its host objects' answers and its files through.
#include "support/VersionFixtures.h"
#include "version/FileVersion.h"
#include "win32/adapters/Dispatch.h"
#include "win32/adapters/VersionApi.h"
#include "win32/support/WineTest.h"

namespace varkel::testing {
namespace {

// A host object may answer with any type a script holds: read as the text a script shows.
TEST(HostObjectAnswers, AreReadAsTheTextAScriptShows) {
    VARIANT number{}, flag{};
    V_VT(&number) = VT_I4;
    V_I4(&number) = 2005;
    V_VT(&flag) = VT_BOOL;
    V_BOOL(&flag) = VARIANT_TRUE;
    EXPECT_EQ(win32::VariantText(number), u"2005");
    EXPECT_EQ(win32::VariantText(flag), u"True");
    VARIANT once{}, twice{}, loop{}; // as an engine passes on a variable it was given by reference
    V_VT(&once) = V_VT(&twice) = V_VT(&loop) = VT_BYREF | VT_VARIANT;
    V_VARIANTREF(&once) = &number;
    V_VARIANTREF(&twice) = &once;
    V_VARIANTREF(&loop) = &loop;
    EXPECT_EQ(win32::VariantText(twice), u"2005");
    EXPECT_THROW(win32::VariantText(loop), Failure);
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
