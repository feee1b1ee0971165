#include "archive/data/CsvCodec.h"

#include <QBuffer>

#include <gtest/gtest.h>

using namespace vq;
using namespace Qt::Literals::StringLiterals;

namespace {

QString write(const QList<QStringList>& rows) {
    QString text;
    QTextStream out(&text);
    CsvWriter writer(out);
    for (const QStringList& row : rows) writer.writeRow(row);
    out.flush();
    return text;
}

// Rows as "<a>,<b>" lines, with the first line of each row in front: "1:<a>,<b>".
QString readAll(QString text, QString* error = nullptr) {
    QTextStream in(&text);
    CsvReader reader(in);
    QStringList lines;
    QStringList fields;
    while (reader.readRow(&fields)) {
        QStringList wrapped;
        for (const QString& f : fields) wrapped << u'<' + f + u'>';
        lines << QString::number(reader.lineNumber()) + u':' + wrapped.join(u',');
    }
    if (error) *error = reader.error();
    return lines.join(u'\n');
}

}  // namespace

TEST(CsvCodec, WriterQuotesOnlyWhatNeedsIt) {
    struct Case {
        QStringList row;
        QString text;
    };
    const Case cases[] = {
        {{u"a"_s, u"b c"_s, u" d"_s}, u"a,b c,\" d\"\r\n"_s},
        {{u"say \"hi\""_s}, u"\"say \"\"hi\"\"\"\r\n"_s},
        {{u"x\ny"_s, u"1,5"_s}, u"\"x\ny\",\"1,5\"\r\n"_s},
        {{QString()}, u"\"\"\r\n"_s},  // else it would read back as a blank line
        {{QString(), QString()}, u",\r\n"_s},
        {{u"cr\ronly"_s, u"\""_s, u"end "_s, u"\tt"_s}, u"\"cr\ronly\",\"\"\"\",\"end \",\"\tt\"\r\n"_s},
    };
    for (const Case& c : cases) EXPECT_EQ(write({c.row}), c.text) << qPrintable(c.row.join(u'|'));
}

TEST(CsvCodec, ReaderAcceptsCommonLayouts) {
    struct Case {
        const char* name;
        QString input;
        QString rows;
    };
    const Case cases[] = {
        {"lf", u"a,b\nc,d\n"_s, u"1:<a>,<b>\n2:<c>,<d>"_s},
        {"crlf, no final line end", u"a,b\r\nc,d"_s, u"1:<a>,<b>\n2:<c>,<d>"_s},
        {"empty lines skipped", u"\n\r\na\n\n\r\nb\n\n"_s, u"3:<a>\n6:<b>"_s},
        {"bom", u"\ufeffTag,Descriptor\n"_s, u"1:<Tag>,<Descriptor>"_s},
        {"quoted line breaks counted", u"\"a\nb\",\"c\r\n\r\nd\"\ne\n"_s, u"1:<a\nb>,<c\r\n\r\nd>\n5:<e>"_s},
        {"doubled quotes", u"\"say \"\"hi\"\"\",\"\"\"\"\n"_s, u"1:<say \"hi\">,<\">"_s},
        {"lone cr", u"\"a\rb\"\rc\rd"_s, u"1:<a\rb>\n3:<c>\n4:<d>"_s},
        {"trailing comma", u"a,\n,\n"_s, u"1:<a>,<>\n2:<>,<>"_s},
        {"quote inside unquoted field", u"5\" pipe,x\n"_s, u"1:<5\" pipe>,<x>"_s},
        {"text after closing quote", u"\"ab\"c,d\n"_s, u"1:<abc>,<d>"_s},
        {"blanks are a field", u"  \n"_s, u"1:<  >"_s},
        {"empty quoted field", u"\"\"\n"_s, u"1:<>"_s},
    };
    for (const Case& c : cases) {
        QString error;
        EXPECT_EQ(readAll(c.input, &error), c.rows) << c.name;
        EXPECT_TRUE(error.isEmpty()) << c.name;
    }
}

TEST(CsvCodec, UnterminatedQuoteNamesItsLine) {
    QString error;
    EXPECT_EQ(readAll(u"a,b\n\nc,\"d\ne,f\n"_s, &error), u"1:<a>,<b>"_s);
    EXPECT_TRUE(error.contains(u"3"_s)) << qPrintable(error);

    QString text = u"\"open"_s;
    QTextStream in(&text);
    CsvReader reader(in);
    QStringList fields{u"stale"_s};
    EXPECT_FALSE(reader.readRow(&fields));
    EXPECT_TRUE(fields.isEmpty());
    EXPECT_TRUE(reader.error().contains(u"1"_s)) << qPrintable(reader.error());
    EXPECT_FALSE(reader.readRow(&fields)) << "an error ends the input";
}

TEST(CsvCodec, LineEndSplitAcrossBufferRefillsCountsOnce) {
    // Pads put the CR of a CR LF on the last character of any power-of-two read buffer, or just past it.
    for (int size : {4096, 16384, 65536}) {
        for (int shift : {-1, 0, 1, 5}) {
            for (bool quoted : {false, true}) {
                const int pad = size - 2 + shift - (quoted ? 1 : 0);
                QString text = quoted ? u'"' + QString(pad, u'x') + u"\r\ny\"\r\nb\r\n"_s
                                      : QString(pad, u'x') + u"\r\nb\r\n"_s;
                QByteArray bytes = text.toUtf8();
                QBuffer buffer(&bytes);
                buffer.open(QIODevice::ReadOnly);
                QTextStream in(&buffer);
                CsvReader reader(in);
                QStringList fields;
                ASSERT_TRUE(reader.readRow(&fields));
                EXPECT_EQ(fields.front().size(), pad + (quoted ? 3 : 0));
                ASSERT_TRUE(reader.readRow(&fields));
                EXPECT_EQ(fields, QStringList{u"b"_s});
                EXPECT_EQ(reader.lineNumber(), quoted ? 3 : 2) << size << " " << shift << " " << quoted;
            }
        }
    }
}
