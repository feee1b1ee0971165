#pragma once

#include "ControlCatalog.h"

#include <QObject>
#include <QtUiPlugin/QDesignerCustomWidgetInterface>

namespace vq {

// Offers one control of the catalogue to Designer.
class ControlPlugin : public QObject, public QDesignerCustomWidgetInterface {
    Q_OBJECT
    Q_INTERFACES(QDesignerCustomWidgetInterface)

public:
    ControlPlugin(const ControlDescription& control, QObject* parent);

    QString name() const override;
    QString group() const override;
    QString toolTip() const override;
    QString whatsThis() const override;
    QString includeFile() const override;
    QIcon icon() const override;
    bool isContainer() const override;
    QWidget* createWidget(QWidget* parent) override;
    bool isInitialized() const override;
    void initialize(QDesignerFormEditorInterface* core) override;
    QString domXml() const override;

    static QString groupName();

private:
    const ControlDescription& m_control;
    bool m_initialized = false;
};

}  // namespace vq
