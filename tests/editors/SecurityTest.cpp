#include "EditorTestWindow.h"

#include "editors/SecurityStringParser.h"

using namespace vq;
using namespace vq::test;
using namespace Qt::Literals::StringLiterals;

namespace {

// Tokens read by position, whatever their case or scope letter; unreadable tokens read as None. A
// position past the last token is error 9 for GetIndex and None for GetIndexOrNone.
TEST(SecurityStringParserTest, ReadsTheLevelOfEachTokenFailsPastTheLastAndNamesTheLevels) {
    const std::pair<QString, std::vector<int32_t>> rows[] = {
        {u"o:rw g:r w:"_s, {3, 1, 0}},      {u"O:RW G:R W:"_s, {3, 1, 0}},
        {u"o:rw  g:r w:r"_s, {3, 0, 1, 1}}, {u"o:wr g:w w:rw"_s, {0, 2, 3}},
        {u"w:rw o:r g:w"_s, {3, 1, 2}},     {u"x:rw orw o:rwx"_s, {0, 0, 0}},
        {u"o:r g:r w:r "_s, {1, 1, 1, 0}},  {u""_s, {0}}};
    for (const auto& [security, levels] : rows) {
        for (int position = -1; position <= int(levels.size()); ++position) {
            SCOPED_TRACE(security.toStdString() + " @" + std::to_string(position));
            const bool missing = position < 0 || position == int(levels.size());
            EXPECT_EQ(SecurityStringParser::GetIndexOrNone(security, position),
                      missing ? 0 : levels[position]);
            EXPECT_EQ(errorNumberOf([&] { SecurityStringParser::GetIndex(security, position); }),
                      missing ? errc::SubscriptOutOfRange : 0);
        }
    }
    // Strings built from levels in range are the controls' tables'; out of range, a level reads None.
    QStringList names;  // long/short for the levels -1 to 4
    for (int16_t level = -1; level <= 4; ++level)
        names << SecurityStringParser::GetLongName(level) + u'/' + SecurityStringParser::GetShortName(level);
    EXPECT_EQ(names.join(u", "_s), u"/, None/, Read Only/r, Write Only/w, Read/Write/rw, /"_s);
    EXPECT_EQ(SecurityStringParser::BuildSecurityString({-1, 2, 65537}), u"o: g:w w:"_s);
}

// A new control lists every level, selects nothing and reads as the bare prefixes. Writes are shown
// in canonical form and never raise OnListIndexChange; a string that lacks a token fails with
// error 9 and leaves the lists as they were.
TEST(SecurityControlTest, NewControlSelectsNothingAndWritesNeverRaiseAnEvent) {
    EditorTestWindow<SecurityControl> window(QSize(3000, 315));
    for (const char* name : {"cboOwner", "cboGroup", "cboWorld"}) {
        QComboBox* list = window.child<QComboBox>(name);
        const QChar scope = QChar::fromLatin1(name[3]);
        EXPECT_EQ(listed(list), u"%1:|%1:r|%1:w|%1:rw"_s.arg(scope));  // none selected
        EXPECT_FALSE(list->isEditable());
    }
    QSignalSpy changes(window.editor, &SecurityControl::OnListIndexChange);
    // How tokens are read is the parser's; here, that what it reads is shown and read back.
    window.editor->SetSecurity(u"O:R G:R W:R extra"_s);
    EXPECT_EQ(window.editor->Security(), u"o:r g:r w:r"_s);
    EXPECT_EQ(errorNumberOf([&] { window.editor->SetSecurity(u"o:w g:w"_s); }), errc::SubscriptOutOfRange);
    EXPECT_TRUE(window.editor->Security() == u"o:r g:r w:r"_s && changes.count() == 0);
}

// One scope's list, a step at a time: the first write raises nothing; a later write raises the
// event and canonicalises the string only when it changes the shown level; the user's choice raises
// it and rebuilds the string, tokens missing there read as None. A token missing at the scope fails
// the write and changes nothing; a scope past the world token edits no token.
TEST(SecurityControlIndTest, WritesRaiseOnlyWhenTheLevelChangesAndTheUsersChoiceAlways) {
    // The scope, what is written or the key pressed in the list; then the events raised so far, the
    // error, the string read back and the level shown.
    const std::tuple<int32_t, QString, QString> steps[] = {
        {1, u"O:R G:W W:RW"_s, u"0 0 O:R G:W W:RW|Write Only"_s},  // first write
        {1, u"O:W G:W W:"_s, u"0 0 O:W G:W W:|Write Only"_s},      // same level
        {1, u"O:W G:RW W:"_s, u"1 0 o:w g:rw w:|Read/Write"_s},
        {1, u"o:r  w:rw"_s, u"2 0 o:r g: w:rw|None"_s},  // the empty token reads None
        {1, u"<Down>"_s, u"3 0 o:r g:r w:rw|Read Only"_s},
        {0, u"o:w"_s, u"4 0 o:w g: w:|Write Only"_s},
        {2, u"o:rw"_s, u"4 9 o:w g: w:|Write Only"_s},  // no world token
        {0, u"<Up>"_s, u"5 0 o:r g: w:|Read Only"_s},
        {3, u"o:rw g:r w: o:w"_s, u"6 0 o:rw g:r w:|Write Only"_s},
        {3, u"<Up>"_s, u"7 0 o:rw g:r w:|Read Only"_s},
    };
    EditorTestWindow<SecurityControlInd> window(QSize(1500, 315));
    auto* list = window.child<QComboBox>("Combo1");
    EXPECT_EQ(listed(list), u"None|Read Only|Write Only|Read/Write"_s);
    QSignalSpy changes(window.editor, &SecurityControlInd::OnListIndexChange);
    for (const auto& [scope, step, expected] : steps) {
        window.editor->SetSecurityScope(scope);
        int32_t error = 0;
        if (step.startsWith(u'<')) {
            list->setFocus();
            QTest::keyClick(list, step == u"<Up>" ? Qt::Key_Up : Qt::Key_Down);
        } else {
            error = errorNumberOf([&] { window.editor->SetSecurity(step); });
        }
        EXPECT_EQ(u"%1 %2 %3|%4"_s.arg(changes.count())
                      .arg(error)
                      .arg(window.editor->Security(), list->currentText()),
                  expected)
            << scope << ' ' << step.toStdString();
    }
}

}  // namespace
