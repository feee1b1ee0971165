#pragma once

#include "editors/AttributeChild.h"
#include "platform/ChangeNotice.h"

#include <QRect>
#include <QWidget>

#include <cstdint>
#include <span>

class QComboBox;

namespace vq {

class PropertyBag;
template <typename Control>
struct PersistedNote;

// Edits one token of a security string (the owner's, the group's or the world's, chosen by
// SecurityScope) in one drop-down list of level names, carrying the other two tokens along.
class SecurityControlInd : public QWidget, public AttributeChild {
    Q_OBJECT
    Q_PROPERTY(bool Enabled READ Enabled WRITE SetEnabled NOTIFY EnabledChanged)
    Q_PROPERTY(qint32 SecurityScope READ SecurityScope WRITE SetSecurityScope NOTIFY SecurityScopeChanged)
    Q_PROPERTY(QString Security READ Security WRITE SetSecurity NOTIFY SecurityChanged USER true STORED false)
    Q_PROPERTY(quint32 ForeColor READ ForeColor WRITE SetForeColor NOTIFY ForeColorChanged)
    Q_PROPERTY(quint32 BackColor READ BackColor WRITE SetBackColor NOTIFY BackColorChanged)

public:
    static constexpr int kHeight = 315;

    // The control's forced size and the list's rectangle, in twips, for a control of `size`.
    struct Layout {
        QSize control;
        QRect list;
    };
    static Layout layoutFor(QSize size);

    explicit SecurityControlInd(QWidget* parent = nullptr);

    bool Enabled() const;
    void SetEnabled(bool enabled) override;
    int32_t SecurityScope() const { return m_SecurityScope; }
    void SetSecurityScope(int32_t scope);  // 0 owner, 1 group, 2 world; the list is not re-read
    // The string as written, rebuilt in canonical form after a change of the level. Writing a
    // string without a token at SecurityScope throws vq::Error 9 and changes nothing.
    QString Security() const { return m_Security; }
    void SetSecurity(const QString& security);
    uint32_t ForeColor() const { return m_ForeColor; }
    void SetForeColor(uint32_t color) override;
    uint32_t BackColor() const { return m_BackColor; }
    void SetBackColor(uint32_t color);

    void InitProperties();
    void ReadProperties(const PropertyBag& bag);
    void WriteProperties(PropertyBag& bag) const;

    QSize sizeHint() const override;

Q_SIGNALS:
    // Property notifications: each goes out once per real change of what its getter reads.
    void EnabledChanged();
    void SecurityScopeChanged();
    void SecurityChanged();
    void ForeColorChanged();
    void BackColorChanged();
    void OnEnterKeyPress();
    void OnListIndexChange();
    void PropertyChanged(const QString& name);

protected:
    void focusInEvent(QFocusEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    static std::span<const PersistedNote<SecurityControlInd>> persistedNotes();
    void listSelected();
    QString BuildSecurityString() const;

    QComboBox* m_Combo1;
    int32_t m_SecurityScope = 0;
    QString m_Security;
    uint32_t m_ForeColor = 0x000000;
    uint32_t m_BackColor = 0xFFFFFF;
    int16_t m_LastIndex = -1;  // -1 until the first Security is shown
};

}  // namespace vq
