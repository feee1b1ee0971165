#pragma once

#include "editors/AttributeChild.h"
#include "platform/ChangeNotice.h"

#include <QString>
#include <QWidget>

#include <cstdint>
#include <span>

class QLineEdit;

namespace vq {

class PropertyBag;
template <typename Control>
struct PersistedNote;

// The part that TxtButton and TxtComboControl share: a single-line text box `Text1` whose usual
// properties the control forwards, whose Enter key and key releases it reports, and a second child
// beside it that follows the control's enabled state.
class TextBoxControl : public QWidget, public AttributeChild {
    Q_OBJECT
    Q_PROPERTY(bool Enabled READ Enabled WRITE SetEnabled NOTIFY EnabledChanged)
    Q_PROPERTY(QString Text READ Text WRITE SetText NOTIFY TextChanged USER true)
    Q_PROPERTY(QString SelText READ SelText WRITE SetSelText NOTIFY SelectionChanged STORED false)
    Q_PROPERTY(qint32 SelStart READ SelStart WRITE SetSelStart NOTIFY SelectionChanged STORED false)
    Q_PROPERTY(qint32 SelLength READ SelLength WRITE SetSelLength NOTIFY SelectionChanged STORED false)
    Q_PROPERTY(qint32 Alignment READ Alignment WRITE SetAlignment NOTIFY AlignmentChanged)
    Q_PROPERTY(quint32 ForeColor READ ForeColor WRITE SetForeColor NOTIFY ForeColorChanged)
    Q_PROPERTY(quint32 BackColor READ BackColor WRITE SetBackColor NOTIFY BackColorChanged)

public:
    bool Enabled() const;
    void SetEnabled(bool enabled) override;
    // The text box's current text; writing also remembers it as the text to persist.
    QString Text() const override;
    void SetText(const QString& text);
    QString SelText() const override;
    void SetSelText(const QString& text) override;
    int32_t SelStart() const override;
    void SetSelStart(int32_t start) override;  // error 380 when negative
    int32_t SelLength() const override;
    void SetSelLength(int32_t length) override;  // error 380 when negative
    int32_t Alignment() const { return m_Alignment; }
    void SetAlignment(int32_t alignment);  // 0 left, 1 right, 2 centre; error 380 otherwise
    uint32_t ForeColor() const { return m_ForeColor; }
    void SetForeColor(uint32_t color) override;
    uint32_t BackColor() const { return m_BackColor; }
    void SetBackColor(uint32_t color);
    // The key whose release was reported last by OnKeyUp.
    int lastReleasedKey() const { return m_lastReleasedKey; }

Q_SIGNALS:
    void PropertyChanged(const QString& name);
    void OnKeyUp();
    void OnEnterKeyPress();
    // Property notifications: each goes out once per real change of what its getter reads.
    void EnabledChanged();
    void TextChanged();
    void SelectionChanged();
    void AlignmentChanged();
    void ForeColorChanged();
    void BackColorChanged();

protected:
    explicit TextBoxControl(QWidget* parent);

    QLineEdit* textBox() const { return m_Text1; }
    // The child beside the text box; set once by the subclass's constructor.
    void setSideControl(QWidget* side) { m_Side = side; }
    // Where the text stands in a text box taller than its line; the horizontal part is Alignment.
    void setVerticalTextAlignment(Qt::Alignment vertical);

    void initTextBoxProperties();
    void readTextBoxProperties(const PropertyBag& bag);
    void writeTextBoxProperties(PropertyBag& bag) const;
    void markChanged(const QString& name) { Q_EMIT PropertyChanged(name); }

    // Each colour setter shows its own colour only; a saved colour stays unshown until written.
    virtual void showForeColor();
    virtual void showBackColor();
    virtual void textFocusLost() = 0;
    virtual void layoutChildren() = 0;

    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    static std::span<const PersistedNote<TextBoxControl>> persistedNotes();
    QLineEdit* m_Text1;
    QWidget* m_Side = nullptr;
    QString m_Text;
    uint32_t m_ForeColor = 0;
    uint32_t m_BackColor = 0xFFFFFF;
    int32_t m_Alignment = 0;
    Qt::Alignment m_Vertical = Qt::AlignVCenter;
    int m_lastReleasedKey = 0;
    struct Selection {
        int32_t start;
        int32_t length;
        QString text;
        bool operator==(const Selection&) const = default;
    };
    ValueWatch<Selection> m_selection{Selection{0, 0, QString()}};
    void noteSelection();
};

}  // namespace vq
