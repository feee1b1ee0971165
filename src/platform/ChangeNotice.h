#pragma once

#include <exception>
#include <functional>
#include <type_traits>
#include <utility>

namespace vq {

// Emits a property's NOTIFY signal when a setter really changed what the property's getter reads:
// the getter is read when the notice is made and again when it goes out of scope. A setter that
// raises notifies nothing, and one that writes the value it already had stays silent, so bindings
// are not re-evaluated for nothing. PropertyChanged(name) keeps its own rule and is not involved.
template <typename Object, typename Getter, typename Signal>
class ChangeNotice {
public:
    using Value = std::decay_t<std::invoke_result_t<Getter, Object*>>;

    ChangeNotice(Object* object, Getter getter, Signal signal)
        : m_object(object),
          m_getter(getter),
          m_signal(signal),
          m_before(std::invoke(getter, object)),
          m_exceptions(std::uncaught_exceptions()) {}
    ~ChangeNotice() {
        if (std::uncaught_exceptions() != m_exceptions) return;
        if (!(std::invoke(m_getter, m_object) == m_before)) std::invoke(m_signal, m_object);
    }
    ChangeNotice(const ChangeNotice&) = delete;
    ChangeNotice& operator=(const ChangeNotice&) = delete;

private:
    Object* m_object;
    Getter m_getter;
    Signal m_signal;
    Value m_before;
    int m_exceptions;
};

// A value that several child signals can change, so that its NOTIFY signal goes out once per real
// change whichever child signal reported it (a selection moves the cursor and the selection).
template <typename Value>
class ValueWatch {
public:
    explicit ValueWatch(Value initial = Value()) : m_seen(std::move(initial)) {}
    // True when `now` differs from the value last seen, which it then becomes.
    bool changed(const Value& now) {
        if (now == m_seen) return false;
        m_seen = now;
        return true;
    }

private:
    Value m_seen;
};

}  // namespace vq
