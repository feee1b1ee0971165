#pragma once

#include "ErrorNumber.h"
#include "QtPrinters.h"
#include "WidgetDriving.h"
#include "editors/ComboButton.h"
#include "editors/DropDownList.h"
#include "editors/OptOnOff.h"
#include "editors/SecurityControl.h"
#include "editors/SecurityControlInd.h"
#include "editors/TimeDivisionControl.h"
#include "editors/TxtButton.h"
#include "editors/TxtComboControl.h"
#include "platform/PropertyBag.h"
#include "platform/ServicesContext.h"
#include "platform/Twips.h"

#include <QComboBox>
#include <QJsonDocument>
#include <QLineEdit>
#include <QMetaMethod>
#include <QMetaProperty>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <ostream>
#include <tuple>
#include <vector>

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

// Records, in order, the events a control raises (its signals other than notifications), the keys
// that reach its form, and any Return that a text box of the control sees for itself.
class EventRecorder : public QObject {
    Q_OBJECT
public:
    QStringList log;
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::KeyPress) log << QStringLiteral("form");
        return false;
    }
public Q_SLOTS:
    void raised() { log << QString::fromLatin1(sender()->metaObject()->method(senderSignalIndex()).name()); }
};

inline void connectEvents(QWidget* control, EventRecorder& recorder) {
    const QMetaMethod slot = recorder.metaObject()->method(recorder.metaObject()->indexOfSlot("raised()"));
    for (const QMetaObject* meta = control->metaObject(); meta != &QWidget::staticMetaObject;
         meta = meta->superClass())
        for (int i = meta->methodOffset(); i < meta->methodCount(); ++i)
            if (meta->method(i).methodType() == QMetaMethod::Signal &&
                !meta->method(i).name().endsWith("Changed"))
                QObject::connect(control, meta->method(i), &recorder, slot);
    for (QLineEdit* text : control->findChildren<QLineEdit*>(Qt::FindDirectChildrenOnly))
        QObject::connect(text, &QLineEdit::returnPressed, &recorder, &EventRecorder::raised);
}

// An editor of type T on an active form, sized in twips, so that focus and keys behave as on a
// desktop.
template <typename T>
class EditorTestWindow {
public:
    explicit EditorTestWindow(QSize twips) : editor(new T(&form)) {
        editor->setGeometry(QRect(QPoint(0, 0), twipsToPixels(twips)));
        form.resize(twipsToPixels(twips) + QSize(40, 40));
        form.installEventFilter(&events);
        EXPECT_TRUE(vq::test::showActive(form));
    }

    template <typename Child>
    Child* child(const char* name) const {
        return vq::test::child<Child>(editor, name);
    }

    PinnedDpi dpi;
    QWidget form;
    EventRecorder events;  // keys that reach the form, as "form"
    T* editor;
};

// Makes a control on `parent` (null: a window of its own); the filled kind lists three items.
using Maker = QWidget* (*)(QWidget* parent);
template <typename T>
QWidget* makeIn(QWidget* parent) {
    return new T(parent);
}
template <typename T>
QWidget* makeFilledIn(QWidget* parent) {
    auto* list = new T(parent);
    for (const char* item : {"One", "Two", "Three"}) list->AddItem(QString::fromLatin1(item));
    return list;
}

// What the control shows: its main value (and list index), its text boxes' texts (left to right) and
// checked options.
inline QString shownState(QWidget* control) {
    const QMetaProperty user = control->metaObject()->userProperty();
    QStringList shown{user.read(control).toString()};
    if (qstrcmp(user.name(), "ListIndex") != 0 && control->property("ListIndex").isValid())
        shown << QStringLiteral("#") + control->property("ListIndex").toString();
    QList<QLineEdit*> texts = control->findChildren<QLineEdit*>(Qt::FindDirectChildrenOnly);
    std::sort(texts.begin(), texts.end(), [](auto* a, auto* b) { return a->objectName() > b->objectName(); });
    for (QLineEdit* text : texts) shown << text->text();
    for (QRadioButton* option : control->findChildren<QRadioButton*>())
        if (option->isChecked()) shown << option->objectName();
    return shown.join(u' ');
}

// A list's items as "a|b|[c]": the selected one in brackets, a blank one as "_".
inline QString listed(const QComboBox* list) {
    QStringList texts =
        comboItems(list).replaceInStrings(QRegularExpression(QStringLiteral("^ $")), QStringLiteral("_"));
    if (list->currentIndex() >= 0) texts[list->currentIndex()] = u'[' + texts[list->currentIndex()] + u']';
    return texts.join(u'|');
}

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

}  // namespace vq::test
