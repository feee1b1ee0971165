#pragma once

#include "QtPrinters.h"
#include "WidgetDriving.h"
#include "platform/PropertyBag.h"
#include "platform/ServicesContext.h"
#include "platform/Twips.h"

#include <QColor>
#include <QJsonDocument>
#include <QStringList>
#include <QTest>
#include <QWidget>

#include <gtest/gtest.h>

#include <ostream>

inline void PrintTo(const QColor& color, std::ostream* out) {
    *out << color.name().toStdString();
}

namespace vq::test {

// Pins 96 DPI, 15 twips to the pixel, so the twip figures land on whole pixels.
struct PinnedDpi {
    ScopedServices services{&ServicesContext::logicalDpi, 96.0};
};

// Keys sent here go to whichever widget has the focus at that moment, press and release alike.
inline QWidget* const kFocused = nullptr;

// Counts the key presses that reach the form, that is, keys a child did not swallow.
class FormKeyCounter : public QObject {
public:
    int presses = 0;
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::KeyPress) ++presses;
        return false;
    }
};

// An editor of type T on an active form, sized in twips, so that focus and keys behave as on a
// desktop.
template <typename T>
class EditorTestWindow {
public:
    explicit EditorTestWindow(QSize twips) : editor(new T(&form)) {
        editor->setGeometry(QRect(QPoint(0, 0), twipsToPixels(twips)));
        form.resize(twipsToPixels(twips) + QSize(40, 40));
        form.installEventFilter(&formKeys);
        EXPECT_TRUE(vq::test::showActive(form));
    }

    template <typename Child>
    Child* child(const char* name) const {
        auto* found = editor->template findChild<Child*>(QString::fromLatin1(name));
        EXPECT_NE(found, nullptr) << name;
        return found;
    }

    PinnedDpi dpi;
    QWidget form;
    FormKeyCounter formKeys;
    T* editor;
};

// A bag as compact JSON, for comparisons that print what differs.
inline std::string bagText(const PropertyBag& bag) {
    return QJsonDocument(bag.toJson()).toJson(QJsonDocument::Compact).toStdString();
}

// What a control saves, as compact JSON ("{}" when it holds only defaults).
template <typename Control>
std::string savedText(Control& control) {
    PropertyBag bag;
    control.WriteProperties(bag);
    return bagText(bag);
}

// A control's events in the order they came, as one compact string ("Enter KeyUp Button").
class SignalLog {
public:
    template <typename Sender, typename Signal>
    void record(Sender* sender, Signal signal, const char* name) {
        QObject::connect(sender, signal, [this, name] { m_entries << QString::fromLatin1(name); });
    }
    QString text() const { return m_entries.join(QLatin1Char(' ')); }
    void clear() { m_entries.clear(); }

private:
    QStringList m_entries;
};

}  // namespace vq::test
