#include "EditorTestWindow.h"

#include "editors/VQPointAttributeEdit.h"
#include "platform/AccessibleNames.h"

#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

using namespace vq;
using namespace vq::test;
using namespace Qt::Literals::StringLiterals;

namespace {

// Name and description as a reader would say them, "Descriptor | Value of the Descriptor attribute".
QString spoken(const QWidget* widget) {
    return widget->accessibleName() + u" | "_s + widget->accessibleDescription();
}

TEST(AccessibleNames, CaptionsAreSpokenWithoutMnemonicOrColon) {
    EXPECT_EQ(spokenCaption(u"&Tag Mask:"_s), u"Tag Mask"_s);
    EXPECT_EQ(spokenCaption(u"R&&D units: "_s), u"R&D units"_s);
    EXPECT_EQ(spokenCaption(u"Max. Time"_s), u"Max. Time"_s);
}

// The attribute editor names its child after the attribute, and names it again when the same
// child is kept for another attribute; parts with names of their own keep them.
TEST(AccessibleNames, TheAttributeEditorsChildSpeaksForTheCurrentAttribute) {
    EditorTestWindow<VQPointAttributeEdit> window(QSize(2400, 315));
    VQPointAttributeEdit& edit = *window.editor;
    edit.SetAttributeName(u"Descriptor"_s);
    QWidget* text = edit.currentChild()->findChild<QLineEdit*>(u"Text1"_s);
    EXPECT_EQ(spoken(text), u"Descriptor | Value of the Descriptor attribute"_s);
    edit.SetAttributeName(u"EngUnits"_s);
    ASSERT_EQ(edit.currentChild()->findChild<QLineEdit*>(u"Text1"_s), text) << "the text box is kept";
    EXPECT_EQ(spoken(text), u"EngUnits | Value of the EngUnits attribute"_s);

    edit.SetAttributeName(u"SourceTag"_s);
    EXPECT_EQ(spoken(edit.currentChild()->findChild<QPushButton*>(u"Command1"_s)),
              u"Search | Opens a search that fills in the value"_s);
    edit.SetAttributeName(u"Archiving"_s);
    EXPECT_EQ(spoken(edit.currentChild()->findChild<QRadioButton*>(u"optOff"_s)),
              u" | Turns the setting off"_s)
        << "a captioned option is named by its caption";
}

}  // namespace
