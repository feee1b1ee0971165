#include "platform/FormRegistry.h"

#include <QPointer>
#include <QWidget>

#include <gtest/gtest.h>

#include <thread>

using namespace Qt::StringLiterals;
using vq::FormRegistry;

// Loaded once, found whatever the case of the name, deleted on unload; a form that someone else
// deleted counts as unloaded and is made afresh on the next load.
TEST(FormRegistryTest, LoadsOnceFindsIgnoringCaseAndUnloads) {
    FormRegistry registry;
    int made = 0;
    const auto make = [&made] {
        ++made;
        return std::make_unique<QWidget>();
    };
    QObject* first = registry.load(u"frmTagSearch"_s, make);
    EXPECT_TRUE(registry.load(u"FRMTAGSEARCH"_s, make) == first && registry.find(u"frmtagsearch"_s) == first);
    EXPECT_EQ(made, 1);
    EXPECT_EQ(registry.names(), QStringList{u"frmTagSearch"_s});

    QPointer<QObject> watch(first);
    EXPECT_TRUE(registry.unload(u"FrmTagSearch"_s));
    EXPECT_TRUE(watch.isNull());
    EXPECT_FALSE(registry.unload(u"frmTagSearch"_s));

    delete registry.load(u"frmDigSet"_s, make);
    EXPECT_EQ(registry.find(u"frmDigSet"_s), nullptr);
    EXPECT_TRUE(registry.names().isEmpty());
    EXPECT_NE(registry.load<QWidget>(u"frmDigSet"_s), nullptr);
    EXPECT_EQ(made, 2);
}

// Each thread sees only the forms it loaded itself.
TEST(FormRegistryTest, EachThreadHasItsOwnForms) {
    QObject* mine = FormRegistry::current().load<QObject>(u"frmShared"_s);
    QObject* seenThere = mine;
    QObject* loadedThere = nullptr;
    std::thread other([&] {
        seenThere = FormRegistry::current().find(u"frmShared"_s);
        loadedThere = FormRegistry::current().load<QObject>(u"frmShared"_s);
        FormRegistry::current().unload(u"frmShared"_s);
    });
    other.join();
    EXPECT_TRUE(seenThere == nullptr && loadedThere != mine);
    EXPECT_EQ(FormRegistry::current().find(u"FRMSHARED"_s), mine);
    EXPECT_TRUE(FormRegistry::current().unload(u"frmShared"_s));
}
