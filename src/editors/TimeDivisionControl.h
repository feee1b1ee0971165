#pragma once

#include "core/Variant.h"
#include "platform/ChangeNotice.h"

#include <QRect>
#include <QVariant>
#include <QWidget>

#include <array>
#include <span>

class QLineEdit;

namespace vq {

class PropertyBag;
template <typename Control>
struct PersistedNote;

// Edits a time span in seconds as days, hours, minutes and seconds. A field is committed on Enter
// or when it loses the focus: the four fields are folded into seconds and shown split again, so
// overflowing fields carry into the next larger unit (90 s show as 1 min 30 s).
class TimeDivisionControl : public QWidget {
    Q_OBJECT
    Q_PROPERTY(bool Enabled READ Enabled WRITE SetEnabled NOTIFY EnabledChanged)
    Q_PROPERTY(QVariant Time READ timeValue WRITE setTimeValue NOTIFY TimeChanged USER true)
    Q_PROPERTY(quint32 ForeColor READ ForeColor WRITE SetForeColor NOTIFY ForeColorChanged)
    Q_PROPERTY(quint32 BackColor READ BackColor WRITE SetBackColor NOTIFY BackColorChanged)

public:
    // Field indices: txtTime(0) seconds ... txtTime(3) days.
    enum Unit { Seconds = 0, Minutes = 1, Hours = 2, Days = 3 };
    static constexpr int kUnitCount = 4;
    static constexpr QSize kSize{1745, 315};

    // The control's size (fixed, whatever `size` asks) and the fields' rectangles indexed by unit,
    // in twips.
    struct Layout {
        QSize control;
        std::array<QRect, kUnitCount> fields;
    };
    static Layout layoutFor(QSize size);

    // The fields' texts (indexed by unit) folded into seconds, or "?" when one does not read as a
    // number (an empty field included).
    static Variant ComputeTime(const std::array<QString, kUnitCount>& texts);
    // A time in seconds split into the fields' texts; a non-numeric time shows 0, 0, 0 and "?".
    static std::array<QString, kUnitCount> DisplayTexts(const Variant& time);

    explicit TimeDivisionControl(QWidget* parent = nullptr);
    ~TimeDivisionControl() override;

    bool Enabled() const;
    void SetEnabled(bool enabled);
    // Reading folds the fields into m_Time first.
    Variant Time();
    void SetTime(const Variant& time);
    uint32_t ForeColor() const { return m_ForeColor; }
    void SetForeColor(uint32_t color);
    uint32_t BackColor() const { return m_BackColor; }
    void SetBackColor(uint32_t color);
    void SetHelpContextID(int32_t helpContextId);

    void InitProperties();
    void ReadProperties(const PropertyBag& bag);
    void WriteProperties(PropertyBag& bag) const;

    QSize sizeHint() const override;
    // What a screen reader says before each field's unit ("Max. Time, hours"); empty: the unit only.
    void setAccessibleCaption(const QString& caption);

Q_SIGNALS:
    // Property notifications: each goes out once per real change of what its getter reads.
    void EnabledChanged();
    void TimeChanged();
    void ForeColorChanged();
    void BackColorChanged();
    void OnEnterKeyPress();
    void OnPendingChange();
    void PropertyChanged(const QString& name);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    static std::span<const PersistedNote<TimeDivisionControl>> persistedNotes();
    QVariant timeValue();
    void noteTime();
    void setTimeValue(const QVariant& time);
    std::array<QString, kUnitCount> fieldTexts() const;
    void DisplayTime();
    void ValidateField(int index);
    void CommitField(int index);
    int indexOf(QObject* field) const;

    std::array<QLineEdit*, kUnitCount> m_txtTime{};
    Variant m_Time = int32_t(0);
    uint32_t m_ForeColor = 0x000000;
    uint32_t m_BackColor = 0xFFFFFF;
    ValueWatch<QVariant> m_shownTime;
    bool m_displaying = false;  // the fields are rewritten one by one: no time in between is shown
};

}  // namespace vq
