#include "editors/SecurityStringParser.h"

#include "ErrorNumber.h"

#include <QStringList>

#include <gtest/gtest.h>

#include <vector>

using namespace Qt::StringLiterals;
using vq::SecurityStringParser;

namespace {

struct IndexRow {
    QString security;
    std::vector<int32_t> levels;  // at positions 0, 1, ...
};

}  // namespace

// Tokens read by position, whatever their case or scope letter; unreadable tokens read as None.
TEST(SecurityStringParserTest, ReadsTheLevelOfEachToken) {
    const std::vector<IndexRow> rows = {
        {u"o:rw g:r w:"_s, {3, 1, 0}},      {u"O:RW G:R W:"_s, {3, 1, 0}},
        {u"o:rw  g:r w:r"_s, {3, 0, 1, 1}}, {u"o:wr g:w w:rw"_s, {0, 2, 3}},
        {u"w:rw o:r g:w"_s, {3, 1, 2}},     {u"x:rw orw o:rwx"_s, {0, 0, 0}},
        {u"o:r g:r w:r "_s, {1, 1, 1, 0}},  {u""_s, {0}},
    };
    for (const IndexRow& row : rows)
        for (int position = 0; position < int(row.levels.size()); ++position)
            EXPECT_EQ(SecurityStringParser::GetIndex(row.security, position), row.levels[position])
                << row.security.toStdString() << " @" << position;
}

// A position past the last token is error 9 for GetIndex and None for GetIndexOrNone.
TEST(SecurityStringParserTest, MissingTokensFailOrReadAsNone) {
    const std::vector<std::pair<QString, int32_t>> missing = {
        {u"o:rw g:r w:"_s, 3}, {u"o:rw"_s, 1}, {u""_s, 2}, {u"o:rw g:r w:"_s, -1}};
    for (const auto& [security, position] : missing) {
        EXPECT_EQ(vq::test::errorNumberOf([&] { SecurityStringParser::GetIndex(security, position); }),
                  vq::errc::SubscriptOutOfRange)
            << security.toStdString() << " @" << position;
        EXPECT_EQ(SecurityStringParser::GetIndexOrNone(security, position), 0);
    }
    EXPECT_EQ(SecurityStringParser::GetIndexOrNone(u"o:w"_s, 0), 2);
}

TEST(SecurityStringParserTest, NamesAndBuiltStrings) {
    const QStringList longNames = {u""_s, u"None"_s, u"Read Only"_s, u"Write Only"_s, u"Read/Write"_s, u""_s};
    const QStringList shortNames = {u""_s, u""_s, u"r"_s, u"w"_s, u"rw"_s, u""_s};
    for (int16_t level = -1; level <= 4; ++level) {
        EXPECT_EQ(SecurityStringParser::GetLongName(level), longNames[level + 1]) << level;
        EXPECT_EQ(SecurityStringParser::GetShortName(level), shortNames[level + 1]) << level;
    }
    EXPECT_EQ(SecurityStringParser::BuildSecurityString({3, 1, 0}), u"o:rw g:r w:"_s);
    EXPECT_EQ(SecurityStringParser::BuildSecurityString({-1, 2, 65537}), u"o: g:w w:"_s);
}
