#include "archive/data/CsvCodec.h"

#include <QBuffer>

#include <gtest/gtest.h>

using namespace vq;

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
        {{QStringLiteral("a"), QStringLiteral("b c"), QStringLiteral(" d")},
         QStringLiteral("a,b c,\" d\"\r\n")},
        {{QStringLiteral("say \"hi\"")}, QStringLiteral("\"say \"\"hi\"\"\"\r\n")},
        {{QStringLiteral("x\ny"), QStringLiteral("1,5")}, QStringLiteral("\"x\ny\",\"1,5\"\r\n")},
        {{QString()}, QStringLiteral("\"\"\r\n")},  // else it would read back as a blank line
        {{QString(), QString()}, QStringLiteral(",\r\n")},
        {{QStringLiteral("cr\ronly"), QStringLiteral("\""), QStringLiteral("end "), QStringLiteral("\tt")},
         QStringLiteral("\"cr\ronly\",\"\"\"\",\"end \",\"\tt\"\r\n")},
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
        {"lf", QStringLiteral("a,b\nc,d\n"), QStringLiteral("1:<a>,<b>\n2:<c>,<d>")},
        {"crlf, no final line end", QStringLiteral("a,b\r\nc,d"), QStringLiteral("1:<a>,<b>\n2:<c>,<d>")},
        {"empty lines skipped", QStringLiteral("\n\r\na\n\n\r\nb\n\n"), QStringLiteral("3:<a>\n6:<b>")},
        {"bom", QStringLiteral("\ufeffTag,Descriptor\n"), QStringLiteral("1:<Tag>,<Descriptor>")},
        {"quoted line breaks counted", QStringLiteral("\"a\nb\",\"c\r\n\r\nd\"\ne\n"),
         QStringLiteral("1:<a\nb>,<c\r\n\r\nd>\n5:<e>")},
        {"doubled quotes", QStringLiteral("\"say \"\"hi\"\"\",\"\"\"\"\n"),
         QStringLiteral("1:<say \"hi\">,<\">")},
        {"lone cr", QStringLiteral("\"a\rb\"\rc\rd"), QStringLiteral("1:<a\rb>\n3:<c>\n4:<d>")},
        {"trailing comma", QStringLiteral("a,\n,\n"), QStringLiteral("1:<a>,<>\n2:<>,<>")},
        {"quote inside unquoted field", QStringLiteral("5\" pipe,x\n"), QStringLiteral("1:<5\" pipe>,<x>")},
        {"text after closing quote", QStringLiteral("\"ab\"c,d\n"), QStringLiteral("1:<abc>,<d>")},
        {"blanks are a field", QStringLiteral("  \n"), QStringLiteral("1:<  >")},
        {"empty quoted field", QStringLiteral("\"\"\n"), QStringLiteral("1:<>")},
    };
    for (const Case& c : cases) {
        QString error;
        EXPECT_EQ(readAll(c.input, &error), c.rows) << c.name;
        EXPECT_TRUE(error.isEmpty()) << c.name;
    }
}

TEST(CsvCodec, UnterminatedQuoteNamesItsLine) {
    QString error;
    EXPECT_EQ(readAll(QStringLiteral("a,b\n\nc,\"d\ne,f\n"), &error), QStringLiteral("1:<a>,<b>"));
    EXPECT_TRUE(error.contains(QStringLiteral("3"))) << qPrintable(error);

    QString text = QStringLiteral("\"open");
    QTextStream in(&text);
    CsvReader reader(in);
    QStringList fields{QStringLiteral("stale")};
    EXPECT_FALSE(reader.readRow(&fields));
    EXPECT_TRUE(fields.isEmpty());
    EXPECT_TRUE(reader.error().contains(QStringLiteral("1"))) << qPrintable(reader.error());
    EXPECT_FALSE(reader.readRow(&fields)) << "an error ends the input";
}

TEST(CsvCodec, LineEndSplitAcrossBufferRefillsCountsOnce) {
    // Pads put the CR of a CR LF on the last character of any power-of-two read buffer, or just past it.
    for (int size : {4096, 16384, 65536}) {
        for (int shift : {-1, 0, 1, 5}) {
            for (bool quoted : {false, true}) {
                const int pad = size - 2 + shift - (quoted ? 1 : 0);
                QString text = quoted ? u'"' + QString(pad, u'x') + QStringLiteral("\r\ny\"\r\nb\r\n")
                                      : QString(pad, u'x') + QStringLiteral("\r\nb\r\n");
                QByteArray bytes = text.toUtf8();
                QBuffer buffer(&bytes);
                buffer.open(QIODevice::ReadOnly);
                QTextStream in(&buffer);
                CsvReader reader(in);
                QStringList fields;
                ASSERT_TRUE(reader.readRow(&fields));
                EXPECT_EQ(fields.front().size(), pad + (quoted ? 3 : 0));
                ASSERT_TRUE(reader.readRow(&fields));
                EXPECT_EQ(fields, QStringList{QStringLiteral("b")});
                EXPECT_EQ(reader.lineNumber(), quoted ? 3 : 2) << size << " " << shift << " " << quoted;
            }
        }
    }
}
