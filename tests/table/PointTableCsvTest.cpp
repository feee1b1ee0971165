#include "table/PointTableCsv.h"

#include "core/Error.h"

#include <gtest/gtest.h>

namespace vq {
namespace {

using namespace Qt::Literals::StringLiterals;

// "columns | line:tag@server[class]cells | refused line:tag:reason", or "error: ..." for a file
// refused as a whole.
std::string readBack(QString text) {
    const QStringList known = {u"Tag"_s, u"Descriptor"_s, u"EngUnits"_s, u"CreationDate"_s, u"PointID"_s};
    QTextStream in(&text);
    try {
        const PointTableCsvFile file = PointTableCsv::read(
            in, [&](const QString& column) { return known.contains(column, Qt::CaseInsensitive); });
        QStringList parts{file.columns.join(u',')};
        for (const PointTableCsvRow& row : file.rows) {
            QString cells;
            for (const auto& [name, value] : row.cells) cells += u' ' + name + u'=' + value;
            parts << u"%1:%2@%3[%4]%5"_s.arg(row.line).arg(row.tag, row.server, row.className, cells);
        }
        for (const PointTableCsvRefusal& refusal : file.refused)
            parts << u"refused %1:%2:%3"_s.arg(refusal.line).arg(refusal.tag, refusal.reason);
        return parts.join(u" | "_s).toStdString();
    } catch (const Error& error) {
        return "error: " + error.description().toStdString();
    }
}

TEST(PointTableCsv, ReadsAsTheArchiveImportDoesWithAServerColumn) {
    const std::pair<QString, const char*> cases[] = {
        // header trimmed, system attributes and empty cells left out, the class and server kept apart
        {u" Tag , Server,PtClassName, Descriptor ,CreationDate,PointID\r\nA,s1,classic,,2020,7\nB,,,x,,\n"_s,
         "PtClassName,Descriptor,CreationDate,PointID | 2:A@s1[classic] | 3:B@[] Descriptor=x"},
        // row refusals; the same tag on another server or spelt alike again is another row
        {u"Tag,Server,EngUnits\nA,s1,degC\nB,s1\nC,s1,bad\uFFFD\nD,s1,a\0b\n,s1,x\na,s1,K\na,s2,K\nA,s1,F\n"_s,
         "EngUnits | 2:A@s1[] EngUnits=degC | 8:a@s2[] EngUnits=K | 9:A@s1[] EngUnits=F"
         " | refused 3:B:the row has 2 fields, the header has 3"
         " | refused 4:C:EngUnits (column 3) is not valid UTF-8 text (it reads as U+FFFD)"
         " | refused 5:D:EngUnits (column 3) holds a NUL character (\\0), which an archive does not store"
         " | refused 6::Tag: the row has no tag"
         " | refused 7:a:Tag: a duplicate of the tag \"A\" on line 2 (tags do not differ by case)"},
        {u"Tag,EngUnits\nA,\"open\n"_s, "EngUnits | refused 2::Line 2: quoted field is not closed"},
        // files refused as a whole
        {u""_s, "error: The file is empty: a header row of attribute names is needed"},
        {u"Descriptor,EngUnits\nx,y\n"_s, "error: The header row has no \"Tag\" column"},
        {u"Tag,EngUnits,engunits\n"_s,
         "error: The header row names the column \"engunits\" twice (columns 2 and 3); column names do not "
         "differ by case"},
        {u"Tag,Server,server\n"_s,
         "error: The header row names the column \"server\" twice (columns 2 and 3); column names do not "
         "differ by case"},
        {u"Tag,Colour\n"_s,
         "error: The column \"Colour\" is not an attribute of any point class of these servers"},
    };
    for (const auto& [text, expected] : cases) EXPECT_EQ(readBack(text), expected) << text.toStdString();
}

}  // namespace
}  // namespace vq
