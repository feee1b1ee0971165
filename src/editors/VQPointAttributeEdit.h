#pragma once

#include "editors/EditorsExport.h"

#include "editors/enumBorderStyle.h"
#include "editors/enumPointAttributeOnOffViewStyle.h"
#include "editors/enumPointAttributeSecurityStyle.h"

#include <QRect>
#include <QSize>
#include <QString>
#include <QVariant>
#include <QWidget>

#include <cstdint>
#include <functional>
#include <memory>
#include <span>

namespace vq {

class AttributeChild;
class PropertyBag;
class PropSheetEntries;
class PropSheetEntry;
class DropDownList;
class TextBoxControl;
class Variant;

/// Edits the value of one named attribute of a bound entry collection. It holds one child editor
/// at a time, chosen by the attribute's display style, hands typed text to the entry as a pending
/// value on every key release, commits on Enter or focus loss, and follows the collection's events
/// so that it always shows the entry's current value.
class VQ_EDITORS_EXPORT VQPointAttributeEdit : public QWidget {
    Q_OBJECT
    /// How a text child aligns its text: 0 left, 1 right, 2 centred.
    Q_PROPERTY(qint32 Alignment READ Alignment WRITE SetAlignment NOTIFY AlignmentChanged)
    /// The attribute edited; its display style chooses the child editor.
    Q_PROPERTY(QString AttributeName READ AttributeName WRITE SetAttributeName NOTIFY AttributeNameChanged)
    /// An enumBorderStyle: a sunken border or none.
    Q_PROPERTY(qint32 BorderStyle READ BorderStyle WRITE SetBorderStyle NOTIFY BorderStyleChanged)
    /// The width in twips of the unit list beside a twin attribute's text box.
    Q_PROPERTY(qint16 ComboWidth READ ComboWidth WRITE SetComboWidth NOTIFY ComboWidthChanged)
    /// Whether the user may edit; a read-only entry keeps the child disabled regardless.
    Q_PROPERTY(bool Enabled READ Enabled WRITE SetEnabled NOTIFY EnabledChanged)
    /// An enumPointAttributeOnOffViewStyle: how an on/off attribute is shown.
    Q_PROPERTY(qint32 OnOffStyle READ OnOffStyle WRITE SetOnOffStyle NOTIFY OnOffStyleChanged)
    /// An enumPointAttributeSecurityStyle: which part of an access string is edited.
    Q_PROPERTY(qint32 SecurityStyle READ SecurityStyle WRITE SetSecurityStyle NOTIFY SecurityStyleChanged)
    /// Where the child's selection starts, counted from 0.
    Q_PROPERTY(qint32 SelStart READ SelStart WRITE SetSelStart NOTIFY SelectionChanged STORED false)
    /// The number of characters the child has selected.
    Q_PROPERTY(qint32 SelLength READ SelLength WRITE SetSelLength NOTIFY SelectionChanged STORED false)
    /// The selected text of the child; writing it replaces the selection.
    Q_PROPERTY(QString SelText READ SelText WRITE SetSelText NOTIFY SelectionChanged STORED false)
    /// The text the child shows, as the user typed or picked it.
    Q_PROPERTY(QString Text READ Text NOTIFY TextChanged USER true STORED false)

public:
    /// ComboWidth of a new control, in twips.
    static constexpr int16_t kDefaultComboWidth = 1155;

    /// The control's height and its child's rectangle, in twips, for a control `width` twips wide.
    struct Layout {
        int controlHeight;  ///< the control's fixed height
        QRect child;        ///< the child's place, its own border hidden behind the control's edge
    };
    /// The layout for a control `width` twips wide with that border style.
    static Layout layoutFor(int width, int32_t borderStyle);

    /// An unbound control with the default properties and no attribute.
    explicit VQPointAttributeEdit(QWidget* parent = nullptr);
    ~VQPointAttributeEdit() override;

    /// What a layout gives an editor it is not told otherwise: kDefaultWidth wide, at its fixed height.
    QSize sizeHint() const override;
    /// The width a new editor asks a layout for, in twips.
    static constexpr int kDefaultWidth = 2400;

    /// @{
    /// Alignment. A value the text child refuses leaves it as it was; the on/off, list and
    /// security children have no alignment.
    int32_t Alignment() const;
    void SetAlignment(int32_t alignment);
    /// @}
    /// @{
    /// AttributeName. Setting it builds the child its display style needs and shows the bound
    /// entry's value; a name the bound collection does not hold raises the collection's error.
    QString AttributeName() const;
    void SetAttributeName(const QString& name);
    /// @}
    /// @{
    /// BorderStyle; anything but NoBorder or FixedBorder raises error 380.
    int32_t BorderStyle() const;
    void SetBorderStyle(int32_t style);
    /// @}
    /// @{
    /// ComboWidth. Once bound, a twin attribute's list is as wide as its widest unit name instead.
    int16_t ComboWidth() const;
    void SetComboWidth(int16_t width);
    /// @}
    /// @{
    /// Enabled; a read-only entry keeps the child disabled while this is true.
    bool Enabled() const;
    void SetEnabled(bool enabled);
    /// @}
    /// @{
    /// OnOffStyle; setting it rebuilds the child of an on/off attribute.
    int32_t OnOffStyle() const;
    void SetOnOffStyle(int32_t style);
    /// @}
    /// @{
    /// SecurityStyle; setting it rebuilds the child of an access-string attribute.
    int32_t SecurityStyle() const;
    void SetSecurityStyle(int32_t style);
    /// @}

    /// The bound collection, or null.
    const std::shared_ptr<vq::PropSheetEntries>& PropSheetEntries() const;
    /// Binds the control to `entries` (null unbinds) and shows the attribute's value there; the
    /// control then follows the collection's value and display events.
    void SetPropSheetEntries(std::shared_ptr<vq::PropSheetEntries> entries);

    /// @{
    /// The child's selection. Without a child, or with one that has no text, reads give 0 or
    /// an empty text and writes do nothing.
    int32_t SelStart() const;
    void SetSelStart(int32_t start);
    int32_t SelLength() const;
    void SetSelLength(int32_t length);
    QString SelText() const;
    void SetSelText(const QString& text);
    /// @}
    /// The child's text; empty without a child.
    QString Text() const;

    /// Stores the help topic number as the dynamic property "HelpContextID" of the control and of
    /// its child, where the host's help looks for it.
    void SetHelpContextID(int32_t helpContextID);
    /// The help topic number last set; 0 until one is.
    int32_t HelpContextID() const;
    /// Gives the keyboard focus to the child.
    void SetInternalFocus();
    /// Drops what the user typed since the last commit: the child shows the entry's value again,
    /// and that is what the next commit (Enter, or the focus leaving) hands to the entry.
    void CancelEdit();

    /// Gives every saved property but Alignment its default and builds the child.
    void InitProperties();
    /// Takes the saved properties from `bag`, then builds the child once.
    void ReadProperties(const PropertyBag& bag);
    /// Saves the properties that differ from their defaults into `bag`.
    void WriteProperties(PropertyBag& bag) const;

    /// The one child editor, or null before the first one is built.
    QWidget* currentChild() const;

Q_SIGNALS:
    /// Enter was pressed in the child and the value it shows has been committed.
    void OnEnterKeyPress();
    /// A search button's search is over; a point or set the user chose is already shown and committed.
    void OnSearchResults();
    /// The user picked an option, a list item, a unit or an access level in the child.
    void Click();
    /// A key was released in a text child; its text went to the bound entry as a pending value.
    void Change();
    /// A property was set through its setter, even to the value it had: the host's cue that the
    /// saved properties are out of date.
    void PropertyChanged(const QString& name);
    /// The focus moved from this control or its child to a widget outside it.
    void focusLeft();
    /// @{
    /// Property notifications: each goes out once per real change of what its getter reads. The
    /// text and the selection are the child's, so they follow the user's typing too.
    void AlignmentChanged();
    void AttributeNameChanged();
    void BorderStyleChanged();
    void ComboWidthChanged();
    void EnabledChanged();
    void OnOffStyleChanged();
    void SecurityStyleChanged();
    void SelectionChanged();
    void TextChanged();
    /// @}

protected:
    /// Lays the child out again for the new width.
    void resizeEvent(QResizeEvent* event) override;
    /// Draws the sunken border when BorderStyle is FixedBorder.
    void paintEvent(QPaintEvent* event) override;
    /// A host's setEnabled() on the control itself sets Enabled.
    void changeEvent(QEvent* event) override;

private Q_SLOTS:
    // Connected by meta-method to whatever notify signal the current child has.
    void noteChild();

private:
    friend class VQPointAttributeEditPrivate;
    std::unique_ptr<class VQPointAttributeEditPrivate> const d;
};

}  // namespace vq
