#include "core/Error.h"
#include "core/ErrorContexts.h"
#include "core/RecordingMessageService.h"

#include <gtest/gtest.h>

#include <new>
#include <stdexcept>

using namespace Qt::StringLiterals;
using namespace vq;

namespace {

int innermost() {
    throw Error(11, u"VQSDK"_s, u"Division by zero"_s, u"vq.chm"_s, 1234);
}
int middle() {
    return reraising(u"PropSheetEntry:SetValue"_s, [] { return innermost(); });
}
int outer() {
    return reraising(u"PropSheetEntries:SaveEdits"_s, [] { return middle(); });
}

template <typename Body>
Error caught(Body&& body) {
    try {
        body();
    } catch (...) {
        return currentError();
    }
    ADD_FAILURE() << "nothing was raised";
    return Error(0, {}, {});
}

}  // namespace

TEST(ErrorTest, ReraisingPutsTheCallPathInFrontInnermostLast) {
    const Error e = caught([] { outer(); });
    EXPECT_EQ(
        u"%1|%2|%3|%4|%5"_s.arg(e.number())
            .arg(e.source(), e.description(), e.helpFile())
            .arg(e.helpContext()),
        u"11|PropSheetEntries:SaveEdits\r\nPropSheetEntry:SetValue\r\nVQSDK|Division by zero|vq.chm|1234"_s);
    EXPECT_NE(std::string(e.what()).find("Division by zero"), std::string::npos);

    // Without an error the body's result passes through.
    EXPECT_EQ(reraising(u"X:Y"_s, [] { return 42; }), 42);
}

// In the number-first layout; the long and short ones are the reporting test's.
TEST(ErrorTest, ReportShowsWhatReportTextSaysInAnOkOnlyBoxWithTheDefaultTitle) {
    const Error error(errc::NamedValueAbsent, u"VQSDK.NamedValues"_s, u"No such name"_s);
    ScopedMessageRecorder recorder;
    report(error, u"Ctl:Proc"_s, ReportLayout::NumberFirst);
    ASSERT_EQ(recorder->messages().size(), 1);
    const auto& message = recorder->messages().first();
    EXPECT_EQ(message.text, u"Ctl:Proc\r\n-2147220446\r\nNo such name"_s);
    EXPECT_EQ(message.text, reportText(error, u"Ctl:Proc"_s, ReportLayout::NumberFirst));
    EXPECT_TRUE(message.buttons == MessageButtons::Ok && message.title.isEmpty());
}

TEST(ErrorTest, ReportingReturnsTheFallbackAndSilentlySwallows) {
    ScopedMessageRecorder recorder;
    EXPECT_EQ(reporting(u"A:B"_s, ReportLayout::Short, 0, [] { return innermost(); }), 0);
    EXPECT_EQ(reporting(u"A:B"_s, ReportLayout::Short, 0, [] { return 5; }), 5);
    bool ran = false;
    reporting(u"A:C"_s, ReportLayout::Long, [&] {
        ran = true;
        outer();
    });
    EXPECT_TRUE(ran);
    EXPECT_EQ(recorder->texts(),
              QStringList({u"A:B\r\nDivision by zero\r\n11"_s,
                           u"A:C\r\nPropSheetEntries:SaveEdits\r\nPropSheetEntry:SetValue\r\nVQSDK\r\n"
                           u"Division by zero\r\n11"_s}));

    recorder->clear();
    EXPECT_EQ(silently(-1, [] { return innermost(); }), -1);
    EXPECT_EQ(silently(QString(), [] { return u"x"_s; }), u"x"_s);
    EXPECT_TRUE(recorder->messages().isEmpty());
}

TEST(ErrorTest, CurrentErrorWrapsForeignExceptions) {
    const auto said = [](const Error& e) {
        return u"%1 %2"_s.arg(e.number()).arg(e.source() + u'|' + e.description());
    };
    EXPECT_EQ(said(caught([] { throw std::runtime_error("disk on fire"); })),
              u"%1 |disk on fire"_s.arg(errc::Unexpected));
    EXPECT_EQ(caught([] { throw std::bad_alloc(); }).number(), 7);
    EXPECT_EQ(caught([] { throw 3; }).number(), errc::Unexpected);
    // A foreign exception re-raised keeps the context as its whole source.
    EXPECT_EQ(said(caught([] { reraising(u"A:B"_s, [] { throw std::logic_error("bad"); }); })),
              u"%1 A:B\r\n|bad"_s.arg(errc::Unexpected));
}

// A control's contexts: "<control>:<procedure>", except the texts saved logs know in another spelling.
TEST(ErrorContextsTest, HistoricSpellingsWinOverThePrefix) {
    const ErrorContexts context("VQDigSetSearch", {{"Click", "DigsetSearch:Click"}});
    EXPECT_EQ(context("Click") + u' ' + context("click"), u"DigsetSearch:Click VQDigSetSearch:click"_s);
}
