#pragma once

#include "core/Variant.h"
#include "editors/enumVQCompressionSpecsStyle.h"

#include <QSize>
#include <QString>
#include <QWidget>

#include <array>
#include <cstdint>
#include <memory>
#include <span>

class QFrame;
class QLabel;

namespace vq {

class PropertyBag;
template <typename Control>
struct PersistedProperty;
class PropSheetEntries;
class PropSheetEntry;
class TimeDivisionControl;
class VQPointAttributeEdit;

// Edits one group of a point's data-reduction settings in a compact panel: the compression
// settings (CompDev, CompMin, CompMax) or the exception settings (ExcDev, ExcMin, ExcMax). The
// deviation is edited in an embedded attribute editor, in engineering units or per cent of span,
// with the other unit shown beside it; the two times in time division editors. Everything is read
// from and written to the bound entry collection, whose events keep the panel in step.
class VQCompressionSpecs : public QWidget {
    Q_OBJECT
    Q_PROPERTY(bool Enabled READ Enabled WRITE SetEnabled NOTIFY EnabledChanged)
    Q_PROPERTY(qint32 DisplayStyle READ DisplayStyle WRITE SetDisplayStyle NOTIFY DisplayStyleChanged)

public:
    static constexpr int kWidth = 2595;
    static constexpr int kHeight = 1635;
    static constexpr int kDigitalHeight = 800;
    // The deviation row and the space above the headings go above the top edge, so that the last
    // time row ends at the bottom edge.
    static constexpr int kDigitalFrameTop = -735;

    // The control's size and Frame1's top, in twips. A digital point has no deviation: its row is
    // pushed above the control's top edge and only the time rows stay visible.
    struct Layout {
        QSize control;
        int frameTop;
    };
    static Layout layoutFor(bool bound, const Variant& pointType);

    // The attributes a style edits; all empty for a style that has none.
    struct AttributeNames {
        QString deviation;  // in engineering units
        QString percent;    // in per cent of span
        QString minimum;
        QString maximum;
    };
    static AttributeNames attributeNamesFor(int32_t style);

    explicit VQCompressionSpecs(QWidget* parent = nullptr);
    ~VQCompressionSpecs() override;

    bool Enabled() const;
    void SetEnabled(bool enabled);
    int32_t DisplayStyle() const;
    // Error 380 for a value that is no `enumVQCompressionSpecsStyle`.
    void SetDisplayStyle(int32_t style);
    const std::shared_ptr<vq::PropSheetEntries>& PropSheetEntries() const;
    // Null unbinds and clears the panel.
    void SetPropSheetEntries(std::shared_ptr<vq::PropSheetEntries> entries);
    void SetHelpContextID(int32_t helpContextID);

    void InitProperties();
    void ReadProperties(const PropertyBag& bag);
    void WriteProperties(PropertyBag& bag) const;

    QSize sizeHint() const override;

Q_SIGNALS:
    // Property notifications: each goes out once per real change of what its getter reads.
    void EnabledChanged();
    void DisplayStyleChanged();
    // Part of the public event interface; nothing raises it.
    void Change();
    void PropertyChanged(const QString& name);

protected:
    void changeEvent(QEvent* event) override;

private:
    static std::span<const PersistedProperty<VQCompressionSpecs>> persistedProperties();
    enum TimeRow { MinimumTime = 0, MaximumTime = 1 };
    using TimeAction = void (VQCompressionSpecs::*)(TimeRow);

    void buildChildren();
    void fitCaptionFont();
    bool captionsFit(const QFont& font) const;
    void connectTimeControl(TimeRow row);
    void connectEntries();
    void disconnectEntries();
    void RefreshDisplay();
    void ClearDisplay();
    void ShowTimes();
    void ShowDeviationLabels();
    void OnEntryChanged(PropSheetEntry* entry);
    void applyLayout();
    void timeFocusChanged(QWidget* old, QWidget* now);
    void handleTimeEvent(TimeRow row, const QString& event, TimeAction action);
    PropSheetEntry* timeEntry(TimeRow row) const;
    void CommitTime(TimeRow row);
    void PassPendingTime(TimeRow row);

    std::unique_ptr<class VQCompressionSpecsPrivate> const d;
};

}  // namespace vq
