#include "EditorTestWindow.h"
#include "ErrorNumber.h"

#include "archive/ArchiveApplication.h"
#include "archive/ArchiveServer.h"
#include "editors/VQPointAttributeEdit.h"
#include "model/PropSheetEntries.h"
#include "sdk/SdkApplication.h"

#include <QApplication>
#include <QLineEdit>
#include <QTemporaryDir>

using namespace vq;
using namespace vq::test;
using namespace Qt::Literals::StringLiterals;

namespace {

// A new "classic" point of a real archive in a temporary folder, and an attribute editor on an
// active form; the collection's events are logged as "pending:Name value:Name display:Name".
class AttributeEditTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_dir.isValid());
        ArchiveApplication::install(m_dir.filePath(u"servers.json"_s));
        m_server = ArchiveServer::create(m_dir.filePath(u"plant.vqa"_s), u"plant"_s, u"VQ3"_s, u"VQ 3.4.1"_s);
        m_server->Open(u"vqadmin"_s, QString());
        entries->AddDefaultAttributes(m_server, u"classic"_s);
        for (auto signal : {&PropSheetEntries::OnPendingChange, &PropSheetEntries::OnValueEdit,
                            &PropSheetEntries::OnDisplayEdit}) {
            const char* kind = signal == &PropSheetEntries::OnPendingChange ? "pending:"
                               : signal == &PropSheetEntries::OnValueEdit   ? "value:"
                                                                            : "display:";
            QObject::connect(entries.get(), signal, &m_context, [this, kind](PropSheetEntry* entry) {
                m_events << QString::fromLatin1(kind) + entry->PrimaryAttributeName();
            });
        }
    }
    void TearDown() override { SdkApplication::reset(); }

    // The editor bound to `attribute`, with its own events logged.
    VQPointAttributeEdit& bind(const QString& attribute) {
        VQPointAttributeEdit& edit = *window.editor;
        edit.SetAttributeName(attribute);
        edit.SetPropSheetEntries(entries);
        log.record(&edit, &VQPointAttributeEdit::OnEnterKeyPress, "Enter");
        log.record(&edit, &VQPointAttributeEdit::Change, "Change");
        log.record(&edit, &VQPointAttributeEdit::Click, "Click");
        log.record(&edit, &VQPointAttributeEdit::OnSearchResults, "Search");
        log.record(&edit, &VQPointAttributeEdit::focusLeft, "Left");
        m_events.clear();
        return edit;
    }
    QString events() { return std::exchange(m_events, {}).join(u' '); }
    QString value(const QString& name) const { return entries->GetValue(name).toString(); }

    QTemporaryDir m_dir;
    std::shared_ptr<ArchiveServer> m_server;
    std::shared_ptr<PropSheetEntries> entries = std::make_shared<PropSheetEntries>();
    EditorTestWindow<VQPointAttributeEdit> window{QSize(2400, 315)};
    vq::test::EventLog log;
    QObject m_context;
    QStringList m_events;
};

TEST_F(AttributeEditTest, TypedTextIsPendingOnEveryKeyReleaseAndCommittedOnEnter) {
    VQPointAttributeEdit& edit = bind(u"Descriptor"_s);
    auto* box = window.child<QLineEdit>("Text1");
    box->setFocus();

    QTest::keyClicks(kFocused, u"Pump"_s);
    EXPECT_EQ(events(), u"pending:Descriptor pending:Descriptor pending:Descriptor pending:Descriptor"_s);
    EXPECT_EQ(log.text(), u"Change Change Change Change"_s);
    EXPECT_EQ(value(u"Descriptor"_s), u""_s);

    log.clear();
    QTest::keyClick(kFocused, Qt::Key_Return);
    EXPECT_EQ(value(u"Descriptor"_s), u"Pump"_s);
    EXPECT_TRUE(events().startsWith(u"value:Descriptor"_s));
    EXPECT_EQ(log.text().section(u' ', 0, 0), u"Enter"_s);
    EXPECT_EQ(window.formKeys.presses, 0) << "the Enter character is discarded";
    EXPECT_EQ(edit.Text(), u"Pump"_s);
}

}  // namespace
