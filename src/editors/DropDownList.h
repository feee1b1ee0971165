#pragma once

#include "editors/AttributeChild.h"
#include "platform/ChangeNotice.h"

#include <QFont>
#include <QRect>
#include <QSize>
#include <QWidget>

#include <cstdint>
#include <optional>

class QComboBox;
class QKeyEvent;

namespace vq {

class PropertyBag;

// One drop-down list `Combo1` behind a control boundary. Its properties and its click and key
// events pass through unchanged; key handlers get the codes by reference, so changing `KeyAscii`
// or `KeyCode` (0 swallows the key) changes what the list receives.
class DropDownList : public QWidget, public AttributeChild {
    Q_OBJECT
    Q_PROPERTY(quint32 BackColor READ BackColor WRITE SetBackColor NOTIFY BackColorChanged)
    Q_PROPERTY(quint32 ForeColor READ ForeColor WRITE SetForeColor NOTIFY ForeColorChanged)
    Q_PROPERTY(bool Enabled READ Enabled WRITE SetEnabled NOTIFY EnabledChanged)
    Q_PROPERTY(QFont Font READ Font WRITE SetFont NOTIFY FontChanged)
    Q_PROPERTY(qint16 ListIndex READ ListIndex WRITE SetListIndex NOTIFY ListIndexChanged USER true)
    Q_PROPERTY(QString Text READ Text NOTIFY ListIndexChanged)

public:
    static constexpr uint32_t kDefaultBackColor = 0x80000005u;  // the theme's window background
    static constexpr uint32_t kDefaultForeColor = 0x80000008u;  // the theme's window text
    static constexpr int16_t kComboHeight = 315;

    // Only the list's width follows the control.
    static QRect layoutFor(QSize size);

    explicit DropDownList(QWidget* parent = nullptr);

    uint32_t BackColor() const { return m_BackColor; }
    void SetBackColor(uint32_t color);
    uint32_t ForeColor() const { return m_ForeColor; }
    void SetForeColor(uint32_t color) override;
    bool Enabled() const;
    void SetEnabled(bool enabled) override;
    QFont Font() const;
    void SetFont(const QFont& font);
    int16_t ListIndex() const;
    void SetListIndex(int16_t index);  // error 380 outside -1 .. item count - 1
    QString Text() const override;
    // Appends, or inserts at `position` (error 5 past the end).
    void AddItem(const QString& text, std::optional<int16_t> position = std::nullopt);
    void Clear();

    void InitProperties() {}
    void ReadProperties(const PropertyBag& bag);
    void WriteProperties(PropertyBag& bag) const;

    QSize sizeHint() const override;

Q_SIGNALS:
    // Property notifications: each goes out once per real change of what its getter reads.
    void BackColorChanged();
    void ForeColorChanged();
    void EnabledChanged();
    void FontChanged();
    void ListIndexChanged();
    void PropertyChanged(const QString& name);
    void Click();
    void KeyDown(int16_t& KeyCode, int16_t& Shift);
    void KeyPress(int16_t& KeyAscii);
    void KeyUp(int16_t& KeyCode, int16_t& Shift);

protected:
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void markChanged(const QString& name) { Q_EMIT PropertyChanged(name); }
    void applyColors();
    QFont containerFont() const;
    bool forwardKeyPress(QKeyEvent* event);
    bool forwardKeyRelease(QKeyEvent* event);
    void resend(const QKeyEvent& original, int qtKey, const QString& text);

    QComboBox* m_Combo1;
    // The list's colours as persisted values, so a theme colour stays a theme colour.
    uint32_t m_BackColor = kDefaultBackColor;
    uint32_t m_ForeColor = kDefaultForeColor;
    bool m_Resending = false;
};

}  // namespace vq
