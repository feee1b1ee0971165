#pragma once

#include "editors/AttributeChild.h"
#include "platform/ChangeNotice.h"

#include "editors/SecurityStringParser.h"

#include <QRect>
#include <QWidget>

#include <array>
#include <span>

class QComboBox;

namespace vq {

class PropertyBag;
template <typename Control>
struct PersistedNote;

// Edits a whole security string in three drop-down lists: owner ("O:" ...), group ("G:" ...) and
// world ("W:" ...). Writing Security never raises OnListIndexChange: the event always means a
// choice of the user.
class SecurityControl : public QWidget, public AttributeChild {
    Q_OBJECT
    Q_PROPERTY(bool Enabled READ Enabled WRITE SetEnabled NOTIFY EnabledChanged)
    Q_PROPERTY(QString Security READ Security WRITE SetSecurity NOTIFY SecurityChanged USER true STORED false)

public:
    static constexpr int kHeight = 315;
    static constexpr int kNarrowWidth = 2250;

    // The control's forced size and its lists' rectangles, in twips, for a control of `size`.
    struct Layout {
        QSize control;
        QRect owner;
        QRect group;
        QRect world;
    };
    static Layout layoutFor(QSize size);

    explicit SecurityControl(QWidget* parent = nullptr);

    bool Enabled() const;
    void SetEnabled(bool enabled) override;
    // "o:rw g:r w:" form; "" while a write is under way. Writing a string with fewer than three
    // tokens throws vq::Error 9 and leaves the lists as they were.
    QString Security() const;
    void SetSecurity(const QString& security);

    void InitProperties();
    void ReadProperties(const PropertyBag& bag);
    void WriteProperties(PropertyBag& bag) const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

Q_SIGNALS:
    // Property notifications: each goes out once per real change of what its getter reads.
    void EnabledChanged();
    void SecurityChanged();
    void OnListIndexChange();
    void OnEnterKeyPress();
    void PropertyChanged(const QString& name);

protected:
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    static std::span<const PersistedNote<SecurityControl>> persistedNotes();
    void listSelected(int scope);

    std::array<QComboBox*, SecurityStringParser::kScopeCount> m_lists{};
    // m_LastOwnerIndex, m_LastGroupIndex, m_LastWorldIndex: -1 while Security is being written.
    std::array<int16_t, SecurityStringParser::kScopeCount> m_lastIndex{0, 0, 0};
};

}  // namespace vq
