#include "editors/SecurityControl.h"
#include "editors/SecurityControlInd.h"

#include "EditorTestWindow.h"
#include "ErrorNumber.h"
#include "platform/PropertyBag.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QSignalSpy>

#include <vector>

using namespace Qt::StringLiterals;
using vq::PropertyBag;
using vq::SecurityControl;
using vq::SecurityControlInd;
using vq::test::EditorTestWindow;

namespace {

// Opens the list with a click and picks the item with the arrow keys and Enter, as a user does.
void chooseFromPopup(QComboBox* list, int index) {
    QTest::mouseClick(list, Qt::LeftButton);
    QAbstractItemView* view = list->view();
    ASSERT_TRUE(QTest::qWaitFor([view] { return view->isVisible(); }));
    QTest::keyClick(view, Qt::Key_Home);
    for (int i = 0; i < index; ++i) QTest::keyClick(view, Qt::Key_Down);
    QTest::keyClick(view, Qt::Key_Return);
    ASSERT_TRUE(QTest::qWaitFor([view] { return !view->isVisible(); }));
}

QStringList itemsOf(const QComboBox* list) {
    QStringList items;
    for (int i = 0; i < list->count(); ++i) items << list->itemText(i);
    return items;
}

struct Lists {
    QComboBox* owner;
    QComboBox* group;
    QComboBox* world;
};

Lists listsOf(const EditorTestWindow<SecurityControl>& window) {
    return {window.child<QComboBox>("cboOwner"), window.child<QComboBox>("cboGroup"),
            window.child<QComboBox>("cboWorld")};
}

}  // namespace

// A new control lists every level, selects nothing and reads as the bare prefixes. Writes are shown
// in canonical form and never raise OnListIndexChange; a string that lacks a token fails with
// error 9 and leaves the lists as they were.
TEST(SecurityControlTest, NewControlSelectsNothingAndWritesNeverRaiseAnEvent) {
    EditorTestWindow<SecurityControl> window(QSize(3000, 315));
    const Lists lists = listsOf(window);
    EXPECT_EQ(itemsOf(lists.owner), (QStringList{u"O:"_s, u"O:r"_s, u"O:w"_s, u"O:rw"_s}));
    EXPECT_EQ(itemsOf(lists.group), (QStringList{u"G:"_s, u"G:r"_s, u"G:w"_s, u"G:rw"_s}));
    EXPECT_EQ(itemsOf(lists.world), (QStringList{u"W:"_s, u"W:r"_s, u"W:w"_s, u"W:rw"_s}));
    for (QComboBox* list : {lists.owner, lists.group, lists.world}) {
        EXPECT_EQ(list->currentIndex(), -1);
        EXPECT_FALSE(list->isEditable());
    }
    EXPECT_EQ(window.editor->Security(), u"o: g: w:"_s);

    QSignalSpy changes(window.editor, &SecurityControl::OnListIndexChange);
    // How tokens are read is the parser's; here, that what it reads is shown and read back.
    const std::vector<std::pair<QString, QString>> writes = {
        {u"w:w x:r o:wr"_s, u"o:w g: w:"_s},
        {u"O:R G:R W:R extra"_s, u"o:r g:r w:r"_s},
    };
    for (const auto& [written, read] : writes) {
        window.editor->SetSecurity(written);
        EXPECT_EQ(window.editor->Security(), read) << written.toStdString();
    }
    EXPECT_EQ(vq::test::errorNumberOf([&] { window.editor->SetSecurity(u"o:w g:w"_s); }),
              vq::errc::SubscriptOutOfRange);
    EXPECT_EQ(window.editor->Security(), u"o:r g:r w:r"_s);
    EXPECT_EQ(changes.count(), 0);
}

// A different choice of the user, from the popup or with a key, raises one event.
TEST(SecurityControlTest, UserChoiceRaisesOneEvent) {
    EditorTestWindow<SecurityControl> window(QSize(3000, 315));
    const Lists lists = listsOf(window);
    window.editor->SetSecurity(u"o:rw g:r w:"_s);
    QSignalSpy changes(window.editor, &SecurityControl::OnListIndexChange);

    chooseFromPopup(lists.group, 3);
    EXPECT_EQ(changes.count(), 1);
    EXPECT_EQ(window.editor->Security(), u"o:rw g:rw w:"_s);

    lists.world->setFocus();
    QTest::keyClick(lists.world, Qt::Key_Down);
    EXPECT_EQ(changes.count(), 2);
    EXPECT_EQ(window.editor->Security(), u"o:rw g:rw w:r"_s);
}

// Up to the narrow width the lists keep their designed width; wider, each takes a third and
// overlaps its neighbour by 50.
TEST(SecurityControlTest, LayoutInTwips) {
    const SecurityControl::Layout narrow = SecurityControl::layoutFor(QSize(1000, 1000));
    EXPECT_EQ(narrow.control, QSize(1000, 315));
    EXPECT_EQ(narrow.world, QRect(1500, 0, 800, 315));
    const SecurityControl::Layout wide = SecurityControl::layoutFor(QSize(3000, 1000));
    EXPECT_EQ(wide.owner, QRect(0, 0, 1050, 315));
    EXPECT_EQ(wide.group, QRect(1000, 0, 1050, 315));
    EXPECT_EQ(wide.world, QRect(2000, 0, 1050, 315));

    EditorTestWindow<SecurityControl> window(QSize(3000, 600));
    EXPECT_EQ(listsOf(window).group->geometry(), vq::twipsToPixels(wide.group));
}

// One scope's list: the first write raises nothing; a later write raises the event and
// canonicalises the string only when it changes the shown level; the user's choice raises it and
// rebuilds the string.
TEST(SecurityControlIndTest, WritesRaiseOnlyWhenTheLevelChangesAndTheUsersChoiceAlways) {
    struct Row {
        QString written;
        int events;
        QString read;
        QString shown;
    };
    const std::vector<Row> rows = {
        {u"O:R G:W W:RW"_s, 0, u"O:R G:W W:RW"_s, u"Write Only"_s},  // first write
        {u"O:W G:W W:"_s, 0, u"O:W G:W W:"_s, u"Write Only"_s},      // same level
        {u"O:W G:RW W:"_s, 1, u"o:w g:rw w:"_s, u"Read/Write"_s},
        {u"o:r  w:rw"_s, 2, u"o:r g: w:rw"_s, u"None"_s},  // the empty token reads None
    };
    EditorTestWindow<SecurityControlInd> window(QSize(1500, 315));
    auto* list = window.child<QComboBox>("Combo1");
    EXPECT_EQ(itemsOf(list), (QStringList{u"None"_s, u"Read Only"_s, u"Write Only"_s, u"Read/Write"_s}));
    window.editor->SetSecurityScope(1);
    QSignalSpy changes(window.editor, &SecurityControlInd::OnListIndexChange);
    for (const Row& row : rows) {
        window.editor->SetSecurity(row.written);
        EXPECT_EQ(changes.count(), row.events) << row.written.toStdString();
        EXPECT_EQ(window.editor->Security(), row.read) << row.written.toStdString();
        EXPECT_EQ(list->currentText(), row.shown) << row.written.toStdString();
    }
    chooseFromPopup(list, 1);
    EXPECT_EQ(changes.count(), 3);
    EXPECT_EQ(window.editor->Security(), u"o:r g:r w:rw"_s);
}

// A token missing at the scope fails the write and changes nothing; other missing tokens read
// as None when the user's choice rebuilds the string.
TEST(SecurityControlIndTest, ShortStrings) {
    EditorTestWindow<SecurityControlInd> window(QSize(1500, 315));
    auto* list = window.child<QComboBox>("Combo1");
    window.editor->SetSecurity(u"o:w"_s);
    EXPECT_EQ(list->currentIndex(), 2);

    window.editor->SetSecurityScope(2);
    EXPECT_EQ(vq::test::errorNumberOf([&] { window.editor->SetSecurity(u"o:rw"_s); }),
              vq::errc::SubscriptOutOfRange);
    EXPECT_EQ(window.editor->Security(), u"o:w"_s);
    EXPECT_EQ(list->currentIndex(), 2);

    window.editor->SetSecurityScope(0);
    list->setFocus();
    QTest::keyClick(list, Qt::Key_Up);
    EXPECT_EQ(window.editor->Security(), u"o:r g: w:"_s);

    // A scope past the world token edits no token: the rebuild keeps the three it has.
    window.editor->SetSecurityScope(3);
    window.editor->SetSecurity(u"o:rw g:r w: o:w"_s);
    QTest::keyClick(list, Qt::Key_Up);
    EXPECT_EQ(window.editor->Security(), u"o:rw g:r w:"_s);
}
