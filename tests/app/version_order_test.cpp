// The fallback order in which a version text is looked for, and the query
// path of a text value.
#include <gtest/gtest.h>

#include <set>

#include "app/version_info_order.h"

namespace kolt::version {
namespace {

std::size_t IndexOf(Translation t) {
    for (std::size_t i = 0; i < kFallbackCount; ++i) {
        if (FallbackTranslation(i) == t) return i;
    }
    return kFallbackCount;
}

TEST(VersionFallbackOrder, CodePagesOuterLanguagesInner) {
    ASSERT_EQ(kFallbackCount, 540u);
    EXPECT_EQ(FallbackTranslation(0), (Translation{0x0401, 0}));
    EXPECT_EQ(FallbackTranslation(32), (Translation{0x0421, 0}));
    EXPECT_EQ(FallbackTranslation(33), (Translation{0x0804, 0}));
    EXPECT_EQ(FallbackTranslation(44), (Translation{0x100C, 0}));
    EXPECT_EQ(FallbackTranslation(45), (Translation{0x0401, 932}));
    EXPECT_EQ(FallbackTranslation(539), (Translation{0x100C, 1256}));

    // Every pair once; the code page decides before the language does.
    std::set<std::pair<int, int>> seen;
    for (std::size_t i = 0; i < kFallbackCount; ++i) {
        const Translation t = FallbackTranslation(i);
        EXPECT_TRUE(seen.emplace(t.language, t.codePage).second) << i;
    }
    EXPECT_LT(IndexOf({0x0416, 1200}), IndexOf({0x0409, 1252}));
    EXPECT_LT(IndexOf({0x0416, 1200}), IndexOf({0x0804, 1200}));
    EXPECT_LT(IndexOf({0x0411, 932}), IndexOf({0x0409, 1200}));
}

TEST(VersionFallbackOrder, TablesHoldExactlyTheListedValues) {
    EXPECT_EQ(kFallbackCodePages,
              (std::array<std::uint16_t, 12>{0, 932, 949, 950, 1200, 1250, 1251, 1252, 1253, 1254, 1255, 1256}));
    EXPECT_EQ(kFallbackLanguages[0], 0x0401);
    EXPECT_EQ(kFallbackLanguages[16], 0x0411);
    EXPECT_EQ(kFallbackLanguages[32], 0x0421);
    const std::array<std::uint16_t, 12> variants = {0x0804, 0x0807, 0x0809, 0x080A, 0x080C, 0x0810,
                                                    0x0813, 0x0814, 0x0816, 0x081A, 0x0C0C, 0x100C};
    for (std::size_t i = 0; i < variants.size(); ++i)
        EXPECT_EQ(kFallbackLanguages[33 + i], variants[i]) << i;
    // Languages a record might well use but the table lacks.
    EXPECT_EQ(IndexOf({0x0C04, 932}), kFallbackCount);
    EXPECT_EQ(IndexOf({0x0411, 874}), kFallbackCount);
}

TEST(VersionQueryPath, FourLowerCaseHexDigitsEach) {
    EXPECT_EQ(StringValuePath({0x0411, 932}, "ProductName"), "\\StringFileInfo\\041103a4\\ProductName");
    EXPECT_EQ(StringValuePath({0x0C0C, 0xFDE9}, "FileVersion"), "\\StringFileInfo\\0c0cfde9\\FileVersion");
    EXPECT_EQ(StringValuePath({0, 0}, ""), "\\StringFileInfo\\00000000\\");
}

}  // namespace
}  // namespace kolt::version
