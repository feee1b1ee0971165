#pragma once

#include "editors/TextBoxControl.h"
#include "platform/ChangeNotice.h"

#include <QRect>
#include <QSize>
#include <span>

class QComboBox;

namespace vq {

template <typename Control>
struct PersistedNote;

// A single-line text box with a drop-down list at its right. The host fills the list and hears
// when the user picks another item; the first pick after the control starts is only recorded.
class TxtComboControl : public TextBoxControl {
    Q_OBJECT
    Q_PROPERTY(qint16 ComboWidth READ ComboWidth WRITE SetComboWidth NOTIFY ComboWidthChanged)
    Q_PROPERTY(qint16 ListIndex READ ListIndex WRITE SetListIndex NOTIFY ListIndexChanged STORED false)
    Q_PROPERTY(QString ComboText READ ComboText NOTIFY ListIndexChanged STORED false)
    Q_PROPERTY(qint16 DefaultComboWidth READ DefaultComboWidth CONSTANT STORED false)

public:
    static constexpr int16_t kDefaultComboWidth = 1155;
    static constexpr int16_t kHeight = 315;

    // The control's forced size and its children's rectangles, in twips.
    struct Layout {
        QSize control;
        QRect frame;  // the sunken field the borderless text box sits in
        QRect text;
        QRect combo;
    };
    static Layout layoutFor(QSize size, int16_t comboWidth);

    explicit TxtComboControl(QWidget* parent = nullptr);

    int16_t DefaultComboWidth() const { return kDefaultComboWidth; }
    int16_t ComboWidth() const { return m_ComboWidth; }
    void SetComboWidth(int16_t width);
    int16_t ListIndex() const;
    void SetListIndex(int16_t index);  // error 380 outside -1 .. item count - 1
    QString ComboText() const;
    void AddItem(const QString& text);
    void ComboClear();
    QStringList items() const;

    void InitProperties();
    void ReadProperties(const PropertyBag& bag);
    void WriteProperties(PropertyBag& bag) const;

    QSize sizeHint() const override;

Q_SIGNALS:
    // Property notifications: each goes out once per real change of what its getter reads.
    void ComboWidthChanged();
    void ListIndexChanged();
    void OnListIndexChange();
    void TextLostFocus();

protected:
    void showForeColor() override;
    void showBackColor() override;
    void textFocusLost() override;
    void layoutChildren() override;
    void paintEvent(QPaintEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    static std::span<const PersistedNote<TxtComboControl>> persistedNotes();
    void comboSelected();

    QComboBox* m_Combo1;
    int16_t m_ComboWidth = kDefaultComboWidth;
    int16_t m_LastIndex = -1;
};

}  // namespace vq
