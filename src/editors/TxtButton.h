#pragma once

#include "editors/TextBoxControl.h"
#include "platform/ChangeNotice.h"

#include <QRect>
#include <QSize>
#include <span>

class QPushButton;

namespace vq {

template <typename Control>
struct PersistedNote;

// A single-line text box with a narrow "..." button at its right; the host decides what the button
// does (picking a tag or a digital set, for example).
class TxtButton : public TextBoxControl {
    Q_OBJECT
    Q_PROPERTY(qint16 ButtonWidth READ ButtonWidth WRITE SetButtonWidth NOTIFY ButtonWidthChanged)
    Q_PROPERTY(qint16 BorderStyle READ BorderStyle WRITE SetBorderStyle NOTIFY BorderStyleChanged)

public:
    static constexpr int16_t kDefaultButtonWidth = 315;

    // Child rectangles in twips for a control of `size` twips.
    struct Layout {
        QRect text;
        QRect button;
    };
    static Layout layoutFor(QSize size, int16_t buttonWidth);

    explicit TxtButton(QWidget* parent = nullptr);

    int16_t ButtonWidth() const { return m_ButtonWidth; }
    void SetButtonWidth(int16_t width);
    int16_t BorderStyle() const { return m_BorderStyle; }
    void SetBorderStyle(int16_t style);  // 0 none, 1 fixed single; error 380 otherwise

    void InitProperties();
    void ReadProperties(const PropertyBag& bag);
    void WriteProperties(PropertyBag& bag) const;

    QSize sizeHint() const override;

Q_SIGNALS:
    // Property notifications: each goes out once per real change of what its getter reads.
    void ButtonWidthChanged();
    void BorderStyleChanged();
    void OnButtonClick();

protected:
    void textFocusLost() override;
    void layoutChildren() override;

private:
    static std::span<const PersistedNote<TxtButton>> persistedNotes();
    QPushButton* m_Command1;
    int16_t m_ButtonWidth = kDefaultButtonWidth;
    int16_t m_BorderStyle = 1;
};

}  // namespace vq
