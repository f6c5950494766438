#include "version/PeVersionReader.h"
#include "support/PeImageBuilder.h"
#include "version/FileVersion.h"
#include "version/PortableVersionApi.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

namespace varkel {
namespace {

using testing::BuildPeImage;
using testing::Bytes;
using testing::PeImage;
using testing::PutU16;
using testing::PutU32;
using testing::ResourceSpec;
using testing::VersionInfoBlock;

constexpr std::uint16_t RtVersion = 16;

// Names parameterised cases after their `name` field.
struct CaseName {
    template <class Param>
    std::string operator()(const ::testing::TestParamInfo<Param>& test) const {
        return test.param.name;
    }
};

template <class Case>
concept NamedCase = requires(const Case& c) {
    c.name;
};

template <NamedCase Case> void PrintTo(const Case& c, std::ostream* out) {
    *out << c.name;
}

std::string VersionOf(const Bytes& image) {
    const auto info = ReadFixedFileInfoFromImage(image);
    return ToUtf8(FormatVersionPair(info.FileVersionMS()) + u"." +
                  FormatVersionPair(info.FileVersionLS()));
}

PeImage VersionImage(bool pe32Plus = false) {
    return BuildPeImage({{RtVersion, 1, 0x409, VersionInfoBlock(0x00010002, 0x00030004, 200)}},
                        pe32Plus);
}

TEST(PeVersionResource, ReadsTheVersionOfPe32AndPe32PlusFiles) {
    EXPECT_EQ(VersionOf(VersionImage().bytes), "1.2.3.4");
    EXPECT_EQ(VersionOf(VersionImage(true).bytes), "1.2.3.4");
}

TEST(PeVersionResource, AnswersTheWholeResourceAndNothingMore) {
    const auto image = VersionImage();
    const auto resource = FindVersionResource(image.bytes);
    ASSERT_TRUE(resource);
    EXPECT_EQ(resource->size(), 40u + 52u + 200u);
    EXPECT_EQ(resource->data(), image.bytes.data() + image.data[0]);
}

TEST(PeVersionResource, LooksOnlyAtTypeVersionNameOne) {
    const auto block = VersionInfoBlock(0x00070000, 0);
    EXPECT_EQ(VersionOf(BuildPeImage({{6, 1, 0x409, block}}).bytes), "0.0.0.0");
    EXPECT_EQ(VersionOf(BuildPeImage({{RtVersion, 2, 0x409, block}}).bytes), "0.0.0.0");
    EXPECT_EQ(VersionOf(BuildPeImage({{RtVersion, 2, 0x409, VersionInfoBlock(0x00020000, 0)},
                                      {RtVersion, 1, 0x409, VersionInfoBlock(0x00010000, 0)},
                                      {6, 1, 0x409, block}})
                            .bytes),
              "1.0.0.0");
    EXPECT_EQ(VersionOf(BuildPeImage({}).bytes), "0.0.0.0");
}

struct LanguageCase {
    const char* name;
    std::vector<std::uint16_t> languages;
    std::uint16_t chosen;
};

class PeVersionLanguage : public ::testing::TestWithParam<LanguageCase> {};

TEST_P(PeVersionLanguage, PrefersNeutralThenUsEnglishThenTheFirst) {
    std::vector<ResourceSpec> resources;
    for (const auto language : GetParam().languages) {
        resources.push_back({RtVersion, 1, language, VersionInfoBlock(0, language)});
    }
    EXPECT_EQ(VersionOf(BuildPeImage(resources).bytes),
              "0.0.0." + std::to_string(GetParam().chosen));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, PeVersionLanguage,
    ::testing::Values(LanguageCase{"NeutralFirst", {0x407, 0x409, 0x000}, 0x000},
                      LanguageCase{"UsEnglishNext", {0x40C, 0x407, 0x409}, 0x409},
                      LanguageCase{"OtherwiseTheFirstListed", {0x40C, 0x407}, 0x407},
                      LanguageCase{"OnlyOne", {0x411}, 0x411}),
    CaseName());

// Each case damages one field of a good image; the reader must answer "no version".
struct Damage {
    const char* name;
    std::function<void(PeImage&)> apply;
};

class PeVersionDamage : public ::testing::TestWithParam<Damage> {};

TEST_P(PeVersionDamage, GivesNoVersion) {
    auto image = VersionImage();
    ASSERT_EQ(VersionOf(image.bytes), "1.2.3.4") << "the undamaged image must have a version";
    GetParam().apply(image);
    EXPECT_EQ(VersionOf(image.bytes), "0.0.0.0");
}

const Damage damages[] = {
    {"NoDosMagic", [](PeImage& i) { i.bytes[1] = 'X'; }},
    {"NtHeaderBeyondFile", [](PeImage& i) { PutU32(i.bytes, 0x3C, 0xFFFFFFF0u); }},
    {"NtHeaderAtEnd",
     [](PeImage& i) { PutU32(i.bytes, 0x3C, static_cast<std::uint32_t>(i.bytes.size() - 2)); }},
    {"NoPeSignature", [](PeImage& i) { i.bytes[i.ntHeader + 2] = 1; }},
    {"UnknownOptionalMagic", [](PeImage& i) { PutU16(i.bytes, i.optionalHeader, 0x107); }},
    {"OptionalHeaderBeyondFile", [](PeImage& i) { PutU16(i.bytes, i.ntHeader + 20, 0xFFFF); }},
    {"OptionalHeaderTooShortForTheCount", [](PeImage& i) { PutU16(i.bytes, i.ntHeader + 20, 90); }},
    {"NoResourceDirectory", [](PeImage& i) { PutU32(i.bytes, i.optionalHeader + 92, 2); }},
    {"ResourceRvaZero", [](PeImage& i) { PutU32(i.bytes, i.resourceDataDirectory, 0); }},
    {"ResourceRvaInNoSection",
     [](PeImage& i) { PutU32(i.bytes, i.resourceDataDirectory, 0x900000); }},
    {"SectionTableBeyondFile", [](PeImage& i) { PutU16(i.bytes, i.ntHeader + 6, 0xFFFF); }},
    {"NoSections", [](PeImage& i) { PutU16(i.bytes, i.ntHeader + 6, 0); }},
    {"RawDataBeyondFile", [](PeImage& i) { PutU32(i.bytes, i.sectionHeader + 20, 0xFFFFFE00u); }},
    {"RawSizeBeyondFile", [](PeImage& i) { PutU32(i.bytes, i.sectionHeader + 16, 0xFFFFFFFFu); }},
    {"SectionCutShort", [](PeImage& i) { i.bytes.resize(i.bytes.size() - 1); }},
    {"RootEntryCountBeyondSection",
     [](PeImage& i) { PutU16(i.bytes, i.resourceRoot + 14, 0xFFFF); }},
    {"NamedEntriesBeyondSection", [](PeImage& i) { PutU16(i.bytes, i.resourceRoot + 12, 0xFFFF); }},
    {"TypeDirectoryBeyondSection",
     [](PeImage& i) { PutU32(i.bytes, i.typeEntries[0] + 4, 0xFFFFFFF0u); }},
    {"TypeEntryIsData", [](PeImage& i) { i.bytes[i.typeEntries[0] + 7] &= 0x7F; }},
    {"TypeEntryIsAName",
     [](PeImage& i) { PutU32(i.bytes, i.typeEntries[0], 0x80000000u | RtVersion); }},
    {"LanguageEntryLoopsToTheRoot",
     [](PeImage& i) {
         // The language entry sits just before the data entry; make it a directory: the root.
         PutU32(i.bytes, i.dataEntries[0] - 4, 0x80000000u);
     }},
    {"DataEntryRvaBeyondSection",
     [](PeImage& i) { PutU32(i.bytes, i.dataEntries[0], 0xFFFFFFFFu); }},
    {"DataEntryRvaBelowSection", [](PeImage& i) { PutU32(i.bytes, i.dataEntries[0], 0x10); }},
    {"DataSizeBeyondSection", [](PeImage& i) { PutU32(i.bytes, i.dataEntries[0] + 4, 0x10000); }},
    {"DataSizeWraps", [](PeImage& i) { PutU32(i.bytes, i.dataEntries[0] + 4, 0xFFFFFFFFu); }},
    {"KeyMisspelt", [](PeImage& i) { i.bytes[i.data[0] + 6] = 'W'; }},
    {"RootLengthTooShort", [](PeImage& i) { PutU16(i.bytes, i.data[0], 60); }},
    {"ValueLengthBeyondBlock", [](PeImage& i) { PutU16(i.bytes, i.data[0] + 2, 0xFFFF); }},
    {"ValueShorterThanFixedInfo", [](PeImage& i) { PutU16(i.bytes, i.data[0] + 2, 51); }},
    {"WrongFixedSignature", [](PeImage& i) { i.bytes[i.data[0] + 40] ^= 1; }},
    {"EmptyFile", [](PeImage& i) { i.bytes.clear(); }},
};

INSTANTIATE_TEST_SUITE_P(Cases, PeVersionDamage, ::testing::ValuesIn(damages), CaseName());

TEST(PeVersionTruncation, EveryPrefixHasNoVersionUntilTheResourceSectionIsWhole) {
    const auto image = VersionImage();
    for (std::size_t length = 0; length < image.bytes.size(); ++length) {
        const Bytes prefix(image.bytes.begin(), image.bytes.begin() + length);
        ASSERT_EQ(VersionOf(prefix), "0.0.0.0") << "prefix of " << length << " bytes";
    }
    EXPECT_EQ(VersionOf(image.bytes), "1.2.3.4");
}

// The root block of a version resource copy, as the port's QueryRootBlock sees it.
struct RootCase {
    const char* name;
    std::function<void(Bytes&)> change;
    std::optional<std::size_t> valueSize; // none: no root block
};

class VersionRootBlock : public ::testing::TestWithParam<RootCase> {};

TEST_P(VersionRootBlock, IsFoundOnlyInsideTheCopy) {
    Bytes block = VersionInfoBlock(0x00010002, 0x00030004, 100);
    GetParam().change(block);
    const auto value = FindRootBlockValue(block);
    ASSERT_EQ(value.has_value(), GetParam().valueSize.has_value());
    if (value) {
        EXPECT_EQ(value->size(), *GetParam().valueSize);
        EXPECT_EQ(value->data(), block.data() + 40);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, VersionRootBlock,
    ::testing::Values(
        RootCase{"WellFormed", [](Bytes&) {}, 52},
        RootCase{"CopyWithOneByteMore", [](Bytes& b) { b.push_back(0); }, 52},
        RootCase{"CopyCutAfterTheValue", [](Bytes& b) { b.resize(92); }, 52},
        RootCase{"CopyCutInsideTheValue", [](Bytes& b) { b.resize(91); }, std::nullopt},
        RootCase{"CopyCutInsideTheKey", [](Bytes& b) { b.resize(20); }, std::nullopt},
        RootCase{"LengthLargerThanCopy", [](Bytes& b) { PutU16(b, 0, 0xFFFF); }, 52},
        RootCase{"LengthEndsInsideValue", [](Bytes& b) { PutU16(b, 0, 91); }, std::nullopt},
        RootCase{"LengthZero", [](Bytes& b) { PutU16(b, 0, 0); }, std::nullopt},
        RootCase{"EmptyValue", [](Bytes& b) { PutU16(b, 2, 0); }, 0},
        RootCase{"ShortValue", [](Bytes& b) { PutU16(b, 2, 20); }, 20},
        RootCase{"KeyNotTerminated", [](Bytes& b) { PutU16(b, 36, u'X'); }, std::nullopt},
        RootCase{"OtherKey", [](Bytes& b) { PutU16(b, 6, u'W'); }, std::nullopt},
        RootCase{"Empty", [](Bytes& b) { b.clear(); }, std::nullopt},
        RootCase{"HeaderOnly", [](Bytes& b) { b.resize(5); }, std::nullopt}),
    CaseName());

} // namespace
} // namespace varkel
