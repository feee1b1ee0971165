#pragma once

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
template <typename Control>
struct PersistedProperty;
class PropertyBag;
class PropSheetEntries;
class PropSheetEntry;
class DropDownList;
class TextBoxControl;
class Variant;

// Edits the value of one named attribute of a bound entry collection. It holds one child editor
// at a time, chosen by the attribute's display style, hands typed text to the entry as a pending
// value on every key release, commits on Enter or focus loss, and follows the collection's events
// so that it always shows the entry's current value.
class VQPointAttributeEdit : public QWidget {
    Q_OBJECT
    Q_PROPERTY(qint32 Alignment READ Alignment WRITE SetAlignment NOTIFY AlignmentChanged)
    Q_PROPERTY(QString AttributeName READ AttributeName WRITE SetAttributeName NOTIFY AttributeNameChanged)
    Q_PROPERTY(qint32 BorderStyle READ BorderStyle WRITE SetBorderStyle NOTIFY BorderStyleChanged)
    Q_PROPERTY(qint16 ComboWidth READ ComboWidth WRITE SetComboWidth NOTIFY ComboWidthChanged)
    Q_PROPERTY(bool Enabled READ Enabled WRITE SetEnabled NOTIFY EnabledChanged)
    Q_PROPERTY(qint32 OnOffStyle READ OnOffStyle WRITE SetOnOffStyle NOTIFY OnOffStyleChanged)
    Q_PROPERTY(qint32 SecurityStyle READ SecurityStyle WRITE SetSecurityStyle NOTIFY SecurityStyleChanged)
    Q_PROPERTY(qint32 SelStart READ SelStart WRITE SetSelStart NOTIFY SelectionChanged)
    Q_PROPERTY(qint32 SelLength READ SelLength WRITE SetSelLength NOTIFY SelectionChanged)
    Q_PROPERTY(QString SelText READ SelText WRITE SetSelText NOTIFY SelectionChanged)
    Q_PROPERTY(QString Text READ Text NOTIFY TextChanged USER true)

public:
    static constexpr int16_t kDefaultComboWidth = 1155;

    // The control's height and its child's rectangle, in twips, for a control `width` twips wide.
    struct Layout {
        int controlHeight;
        QRect child;
    };
    static Layout layoutFor(int width, int32_t borderStyle);

    explicit VQPointAttributeEdit(QWidget* parent = nullptr);
    ~VQPointAttributeEdit() override;

    int32_t Alignment() const;
    void SetAlignment(int32_t alignment);
    QString AttributeName() const;
    void SetAttributeName(const QString& name);
    int32_t BorderStyle() const;
    void SetBorderStyle(int32_t style);
    int16_t ComboWidth() const;
    void SetComboWidth(int16_t width);
    bool Enabled() const;
    void SetEnabled(bool enabled);
    int32_t OnOffStyle() const;
    void SetOnOffStyle(int32_t style);
    int32_t SecurityStyle() const;
    void SetSecurityStyle(int32_t style);

    const std::shared_ptr<vq::PropSheetEntries>& PropSheetEntries() const;
    void SetPropSheetEntries(std::shared_ptr<vq::PropSheetEntries> entries);

    int32_t SelStart() const;
    void SetSelStart(int32_t start);
    int32_t SelLength() const;
    void SetSelLength(int32_t length);
    QString SelText() const;
    void SetSelText(const QString& text);
    QString Text() const;

    void SetHelpContextID(int32_t helpContextID);
    int32_t HelpContextID() const;
    void SetInternalFocus();

    void InitProperties();
    void ReadProperties(const PropertyBag& bag);
    void WriteProperties(PropertyBag& bag) const;

    // The one child editor, or null before the first one is built.
    QWidget* currentChild() const;

Q_SIGNALS:
    void OnEnterKeyPress();
    void OnSearchResults();
    void Click();
    void Change();
    void PropertyChanged(const QString& name);
    // The focus moved from this control or its child to a widget outside it.
    void focusLeft();
    // Property notifications: each goes out once per real change of what its getter reads. The
    // text and the selection are the child's, so they follow the user's typing too.
    void AlignmentChanged();
    void AttributeNameChanged();
    void BorderStyleChanged();
    void ComboWidthChanged();
    void EnabledChanged();
    void OnOffStyleChanged();
    void SecurityStyleChanged();
    void SelectionChanged();
    void TextChanged();

protected:
    void resizeEvent(QResizeEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private Q_SLOTS:
    void noteChild();

private:
    friend class VQPointAttributeEditPrivate;
    enum class ChildKind { None, TextBox, DropDown, OnOff, TxtButton, TxtCombo, Security, SecurityInd };

    static std::span<const PersistedProperty<VQPointAttributeEdit>> persistedProperties();
    void BuildChild();
    void createChild(ChildKind kind);
    void attachEvents(ChildKind kind);
    using Step = void (VQPointAttributeEdit::*)();
    using Event = void (VQPointAttributeEdit::*)();
    std::function<void()> relay(Step step, Event event = nullptr, bool userOnly = false);
    void attachTextLikeEvents(TextBoxControl* box, Step pending, Step commitStep);
    void attachDropDownEvents(DropDownList* list);
    template <typename SecurityEditor>
    void attachSecurityEvents(SecurityEditor* editor);
    void configureChild();
    void nameChild();
    void applyLayout();
    void markChanged(const QString& name) { Q_EMIT PropertyChanged(name); }
    void CommitEntries();
    void UpdateEntries(const QString& name);
    void showValue(PropSheetEntry& entry, const Variant& value);
    void FillDropDown(PropSheetEntry& entry);
    int16_t FillTwinList(PropSheetEntry& entry);
    void ApplyEnabled();
    void ApplyValidityColour(PropSheetEntry& entry);
    PropSheetEntry& entry() const;
    void commit(const Variant& value);
    void passPendingText();
    void commitText();
    void commitOnOff();
    void commitSecurity();
    void CommitDropDown();
    void DropDownClick();
    void TwinPending();
    void CommitTwin();
    void handTwin(bool commitIt);
    void SearchButton();
    QString searchedName(int32_t displayStyle) const;
    void focusMoved(QWidget* from, QWidget* to);
    bool holds(const QWidget* widget) const;
    // The current child through the part all seven kinds share; raises without a child.
    AttributeChild& child() const;
    template <typename Write>
    void writeSelection(const QString& name, Write&& write);
    void setChildAlignment();
    template <typename T>
    T& childAs() const;

    std::unique_ptr<class VQPointAttributeEditPrivate> const d;
};

}  // namespace vq
