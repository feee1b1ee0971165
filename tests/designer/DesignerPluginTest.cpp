// The plugin is loaded as Designer loads it, with its own copy of the controls; the test's own
// copy makes the reference controls. The two meet only through Qt's meta-objects, as in Designer.
#include "QtPrinters.h"
#include "editors/VQCompressionSpecs.h"
#include "editors/VQPointAttributeEdit.h"
#include "platform/PropertyBag.h"
#include "propsheet/VQPointPropSheet.h"
#include "servers/MultiServerPickList.h"

#include <gtest/gtest.h>

#include <QIcon>
#include <QListWidget>
#include <QMetaProperty>
#include <QPluginLoader>
#include <QSet>
#include <QVBoxLayout>
#include <QWidget>
#include <QXmlStreamReader>
#include <QtUiPlugin/QDesignerCustomWidgetCollectionInterface>

#include <memory>

inline void PrintTo(const QVariant& value, std::ostream* out) {
    *out << value.typeName() << ' ' << value.toString().toStdString();
}

using namespace vq;
using namespace Qt::Literals::StringLiterals;

namespace {

QList<QDesignerCustomWidgetInterface*> loadPlugin() {
    static QPluginLoader loader(QStringLiteral(VQ_DESIGNER_PLUGIN));
    auto* collection = qobject_cast<QDesignerCustomWidgetCollectionInterface*>(loader.instance());
    if (!collection) ADD_FAILURE() << "cannot load the plugin: " << loader.errorString().toStdString();
    return collection ? collection->customWidgets() : QList<QDesignerCustomWidgetInterface*>();
}

// What the test's own copy of a control reads for `property`: by default (its persisted properties
// read from an empty bag), and in a control loaded from what one persisted after `changed` was set.
struct Reading {
    QVariant byDefault, loaded;
    bool persisted;
};
template <typename Control>
Reading readReference(const QMetaProperty& property, const QString& name, const QVariant& changed) {
    Control set, loaded;
    set.ReadProperties(PropertyBag());
    const QVariant byDefault = property.read(&set);
    property.write(&set, changed);
    PropertyBag bag;
    set.WriteProperties(bag);
    loaded.ReadProperties(bag);
    return {byDefault, property.read(&loaded), bag.contains(name)};
}

using ReadReference = Reading (*)(const QMetaProperty&, const QString&, const QVariant&);

const auto sheet = &readReference<VQPointPropSheet>, edit = &readReference<VQPointAttributeEdit>;
// Class, persisted name, a valid value other than the default, how the test's own control reads it.
const std::tuple<const char*, const char*, QVariant, ReadReference> kPersisted[] = {
    {"vq::VQPointPropSheet", "View", 2, sheet},
    {"vq::VQPointPropSheet", "ReadOnly", true, sheet},
    {"vq::VQPointAttributeEdit", "Alignment", 2, edit},
    {"vq::VQPointAttributeEdit", "AttributeName", QStringLiteral("Descriptor"), edit},
    {"vq::VQPointAttributeEdit", "BorderStyle", 0, edit},
    {"vq::VQPointAttributeEdit", "ComboWidth", 2000, edit},
    {"vq::VQPointAttributeEdit", "Enabled", false, edit},
    {"vq::VQPointAttributeEdit", "OnOffStyle", 1, edit},
    {"vq::VQPointAttributeEdit", "SecurityStyle", 0, edit},
    {"vq::VQCompressionSpecs", "DisplayStyle", 2, &readReference<VQCompressionSpecs>},
    {"vq::VQCompressionSpecs", "Enabled", false, &readReference<VQCompressionSpecs>},
    {"vq::MultiServerPickList", "Enabled", true, &readReference<MultiServerPickList>},
};

// Laid out beside a list that takes every pixel it can, with no stretch between them, a control
// still gets the size Designer drops it at: a control without a size hint shrinks to its minimum.
void expectKeepsItsSizeInALayout(QDesignerCustomWidgetInterface* plugin, const QSize& dropped) {
    QWidget form;
    auto* layout = new QVBoxLayout(&form);
    QWidget* control = plugin->createWidget(&form);
    layout->addWidget(control);
    auto* greedy = new QListWidget(&form);
    greedy->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    layout->addWidget(greedy);
    form.resize(dropped.width() + 40, dropped.height() + 300);
    form.show();
    EXPECT_TRUE(control->sizeHint().isValid());
    EXPECT_GE(control->height(), dropped.height()) << "collapsed in a layout";
}

// The public controls in one group, each with a header an installed tree has (a form's generated
// code includes it), and created at the size domXml gives, which it keeps: a control that then
// set another size of its own would jump under the user's mouse.
TEST(DesignerPluginTest, OffersThePublicControlsWithTheirHeadersAtADefaultSizeTheyKeep) {
    const QStringList publicHeaders = QStringLiteral(VQ_PUBLIC_HEADERS).split(u',');
    QStringList names;
    QSet<QString> groups;
    for (QDesignerCustomWidgetInterface* plugin : loadPlugin()) {
        SCOPED_TRACE(plugin->name().toStdString());
        names << plugin->name();
        groups << plugin->group();
        EXPECT_TRUE(publicHeaders.contains(plugin->includeFile())) << plugin->includeFile().toStdString();
        EXPECT_FALSE(plugin->toolTip().isEmpty() || plugin->whatsThis().isEmpty() || plugin->isContainer());
        EXPECT_FALSE(plugin->icon().pixmap(16).isNull());
        QXmlStreamReader xml(plugin->domXml());
        QString widgetClass;
        QSize size;
        while (!xml.atEnd()) {
            if (xml.readNext() != QXmlStreamReader::StartElement) continue;
            if (xml.name() == u"widget") widgetClass = xml.attributes().value(u"class"_s).toString();
            if (xml.name() == u"width") size.setWidth(xml.readElementText().toInt());
            if (xml.name() == u"height") size.setHeight(xml.readElementText().toInt());
        }
        ASSERT_TRUE(!xml.hasError() && size.isValid()) << xml.errorString().toStdString();
        EXPECT_EQ(widgetClass, plugin->name());
        QWidget form;
        QWidget* control = plugin->createWidget(&form);
        ASSERT_NE(control, nullptr);
        EXPECT_EQ(QString::fromLatin1(control->metaObject()->className()), plugin->name());
        control->resize(size);
        form.show();
        EXPECT_EQ(control->size(), size);
        expectKeepsItsSizeInALayout(plugin, size);
    }
    names.sort();
    EXPECT_EQ(names.join(u' '),
              u"vq::MultiServerPickList vq::VQCompressionSpecs vq::VQDigSetSearch vq::VQPointAttributeEdit "
              "vq::VQPointPropSheet vq::VQTagSearch"_s);
    EXPECT_TRUE(groups.size() == 1 && !groups.begin()->isEmpty());
}

TEST(DesignerPluginTest, PersistedPropertiesAreDesignerPropertiesShowingTheirDefaults) {
    for (const auto& [classText, nameText, changed, read] : kPersisted) {
        const QString className = QString::fromLatin1(classText), name = QString::fromLatin1(nameText);
        SCOPED_TRACE((className + u'.' + name).toStdString());
        QDesignerCustomWidgetInterface* plugin = nullptr;
        for (QDesignerCustomWidgetInterface* offered : loadPlugin())
            if (offered->name() == className) plugin = offered;
        ASSERT_NE(plugin, nullptr) << "the plugin offers no such control";
        const std::unique_ptr<QWidget> designed(plugin->createWidget(nullptr));
        const QMetaObject* meta = designed->metaObject();
        QMetaProperty property;
        // Persisted names are compared without regard to case ("ReadOnly" is shown as "Readonly"); a
        // control's own property wins over QWidget's "enabled".
        for (int i = meta->propertyCount() - 1; i >= 0 && !property.isValid(); --i)
            if (QString::fromLatin1(meta->property(i).name()).compare(name, Qt::CaseInsensitive) == 0)
                property = meta->property(i);
        ASSERT_TRUE(property.isValid()) << "no Designer property";
        EXPECT_TRUE(property.isDesignable() && property.isWritable());
        EXPECT_GE(property.propertyIndex(), QWidget::staticMetaObject.propertyCount())
            << "QWidget's, not the control's";

        // A value set in Designer is the one the control persists.
        const Reading reference = read(property, name, changed);
        EXPECT_EQ(property.read(designed.get()), reference.byDefault);
        EXPECT_NE(reference.byDefault, changed) << "the table's changed value is the default";
        EXPECT_TRUE(reference.persisted) << "not persisted under " << nameText;
        EXPECT_EQ(reference.loaded, changed);
    }
}

}  // namespace
