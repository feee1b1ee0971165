#pragma once

#include <QRect>
#include <QSize>
#include <QWidget>
#include "platform/ChangeNotice.h"

#include <cstdint>
#include <span>

class QComboBox;
class QPushButton;

namespace vq {

class PropertyBag;
template <typename Control>
struct PersistedNote;

// A drop-down list of recently entered texts, newest first below a blank item, with a "..."
// button beside it.
class ComboButton : public QWidget {
    Q_OBJECT
    Q_PROPERTY(bool Enabled READ Enabled WRITE SetEnabled NOTIFY EnabledChanged)
    Q_PROPERTY(quint32 ForeColor READ ForeColor WRITE SetForeColor NOTIFY ForeColorChanged)
    Q_PROPERTY(quint32 BackColor READ BackColor WRITE SetBackColor NOTIFY BackColorChanged)
    Q_PROPERTY(
        qint16 ListIndex READ ListIndex WRITE SetListIndex NOTIFY ListIndexChanged USER true STORED false)
    Q_PROPERTY(QString ComboText READ ComboText NOTIFY ListIndexChanged STORED false)

public:
    static constexpr int kMaxItems = 8;  // the blank item and seven recent entries
    static constexpr int16_t kHeight = 315;

    // The control's forced size and its children's rectangles, in twips.
    struct Layout {
        QSize control;
        QRect combo;
        QRect button;
    };
    static Layout layoutFor(QSize size);

    explicit ComboButton(QWidget* parent = nullptr);

    bool Enabled() const;
    void SetEnabled(bool enabled);
    uint32_t ForeColor() const { return m_ForeColor; }
    void SetForeColor(uint32_t color);
    uint32_t BackColor() const { return m_BackColor; }
    void SetBackColor(uint32_t color);
    int16_t ListIndex() const;
    void SetListIndex(int16_t index);  // error 380 outside -1 .. item count - 1
    QString ComboText() const;
    // Puts `text` at the top of the recent entries and selects it; an entry equal to it without
    // regard to case and surrounding blanks is replaced, the oldest falls off past the limit.
    void AddItem(const QString& text);
    // Empties the recent entries; the blank item stays.
    void ComboClear();

    void InitProperties();
    void ReadProperties(const PropertyBag& bag);
    void WriteProperties(PropertyBag& bag) const;

    QSize sizeHint() const override;

Q_SIGNALS:
    // Property notifications: each goes out once per real change of what its getter reads.
    void EnabledChanged();
    void ForeColorChanged();
    void BackColorChanged();
    void ListIndexChanged();
    void PropertyChanged(const QString& name);
    void OnEnterKeyPress();
    void ButtonClick();

protected:
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    static std::span<const PersistedNote<ComboButton>> persistedNotes();

    QComboBox* m_Combo1;
    QPushButton* m_Command1;
    uint32_t m_ForeColor = 0;
    uint32_t m_BackColor = 0xFFFFFF;
};

}  // namespace vq
