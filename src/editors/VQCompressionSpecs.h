#pragma once

#include "editors/EditorsExport.h"

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
class PropSheetEntries;
class PropSheetEntry;
class TimeDivisionControl;
class VQPointAttributeEdit;

/// Edits one group of a point's data-reduction settings in a compact panel: the compression
/// settings (CompDev, CompMin, CompMax) or the exception settings (ExcDev, ExcMin, ExcMax). The
/// deviation is edited in an embedded attribute editor, in engineering units or per cent of span,
/// with the other unit shown beside it; the two times in time division editors. Everything is read
/// from and written to the bound entry collection, whose events keep the panel in step.
class VQ_EDITORS_EXPORT VQCompressionSpecs : public QWidget {
    Q_OBJECT
    /// Whether the user may edit the deviation and the two times.
    Q_PROPERTY(bool Enabled READ Enabled WRITE SetEnabled NOTIFY EnabledChanged)
    /// An enumVQCompressionSpecsStyle: the compression settings or the exception settings.
    Q_PROPERTY(qint32 DisplayStyle READ DisplayStyle WRITE SetDisplayStyle NOTIFY DisplayStyleChanged)

public:
    /// The panel's width in twips.
    static constexpr int kWidth = 2595;
    /// The panel's height in twips, with the deviation row.
    static constexpr int kHeight = 1635;
    /// The panel's height in twips for a digital point: the time rows only.
    static constexpr int kDigitalHeight = 800;
    /// The deviation row and the space above the headings go above the top edge, so that the last
    /// time row ends at the bottom edge.
    static constexpr int kDigitalFrameTop = -735;

    /// The control's size and Frame1's top, in twips. A digital point has no deviation: its row is
    /// pushed above the control's top edge and only the time rows stay visible.
    struct Layout {
        QSize control;  ///< the panel's fixed size
        int frameTop;   ///< where the frame holding the rows starts; negative for a digital point
    };
    /// The layout of a panel, bound to a collection or not, for a point of `pointType` (its code,
    /// as the PointType attribute holds it).
    static Layout layoutFor(bool bound, const Variant& pointType);

    /// The attributes a style edits; all empty for a style that has none.
    struct AttributeNames {
        QString deviation;  ///< in engineering units
        QString percent;    ///< in per cent of span
        QString minimum;    ///< the minimum time
        QString maximum;    ///< the maximum time
    };
    /// The attributes an enumVQCompressionSpecsStyle edits.
    static AttributeNames attributeNamesFor(int32_t style);

    /// An unbound panel for the compression settings.
    explicit VQCompressionSpecs(QWidget* parent = nullptr);
    ~VQCompressionSpecs() override;

    /// @{
    /// Enabled; setting it enables or disables the deviation editor and both time editors.
    bool Enabled() const;
    void SetEnabled(bool enabled);
    /// @}
    /// DisplayStyle.
    int32_t DisplayStyle() const;
    /// Error 380 for a value that is no `enumVQCompressionSpecsStyle`. Another style edits its own
    /// attributes and, when bound, shows their values.
    void SetDisplayStyle(int32_t style);
    /// The bound collection, or null.
    const std::shared_ptr<vq::PropSheetEntries>& PropSheetEntries() const;
    /// Binds the panel to `entries` and shows their values; null unbinds and clears the panel.
    void SetPropSheetEntries(std::shared_ptr<vq::PropSheetEntries> entries);
    /// Stores the help topic number as the dynamic property "HelpContextID" of the panel and of
    /// its three editors; errors are ignored.
    void SetHelpContextID(int32_t helpContextID);

    /// Gives both saved properties their defaults.
    void InitProperties();
    /// Takes the saved properties from `bag` through their setters.
    void ReadProperties(const PropertyBag& bag);
    /// Saves the properties that differ from their defaults into `bag`.
    void WriteProperties(PropertyBag& bag) const;

    /// The unbound size, kWidth by kHeight.
    QSize sizeHint() const override;

Q_SIGNALS:
    /// @{
    /// Property notifications: each goes out once per real change of what its getter reads.
    void EnabledChanged();
    void DisplayStyleChanged();
    /// @}
    /// Part of the public event interface; nothing raises it.
    void Change();
    /// Enabled was set or DisplayStyle changed: the host's cue that the saved properties are out
    /// of date.
    void PropertyChanged(const QString& name);

protected:
    /// Fits the captions again after a font change.
    void changeEvent(QEvent* event) override;

private:
    friend class VQCompressionSpecsPrivate;
    std::unique_ptr<class VQCompressionSpecsPrivate> const d;
};

}  // namespace vq
