#pragma once

#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QPointer>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>

namespace vq::test {

// Runs `act` on the modal dialog or pop-up menu that `open` shows, once it is up.
inline void whileShown(const std::function<void()>& open, const std::function<void(QWidget*)>& act) {
    bool acted = false;
    QTimer::singleShot(0, [&] {
        QWidget* shown = QApplication::activePopupWidget();
        if (!shown) shown = QApplication::activeModalWidget();
        ASSERT_NE(shown, nullptr);
        acted = true;
        act(shown);
    });
    open();
    EXPECT_TRUE(acted);
}

// Hands each modal window that exec() opens to the next queued step, from that window's own event
// loop; a window of another name than the step expects, one without a step, or one left open by
// its step, is closed and counted, never hung on. faults() says what went wrong, "" when nothing.
class ModalDriver : public QObject {
public:
    ModalDriver() { poll(); }
    void then(std::function<void(QWidget*)> step) { then(QString(), std::move(step)); }
    // A step for the dialog whose object name is `form`.
    void then(const QString& form, std::function<void(QWidget*)> step) {
        m_steps.push_back({form, std::move(step)});
    }
    std::string faults() const {
        return (m_faults.join(u' ') + (m_steps.empty() ? QString() : QStringLiteral(" step not run")))
            .toStdString();
    }

private:
    struct Step {
        QString form;
        std::function<void(QWidget*)> run;
    };
    void poll() {
        QTimer::singleShot(10, this, [this] { poll(); });  // booked first: a step may block in exec()
        // A dialog kept for reuse and shown again is a new one to drive.
        m_driven.removeIf([](const QPointer<QWidget>& driven) { return !driven || !driven->isVisible(); });
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal) return;
        if (m_driven.contains(modal)) {
            if (m_idle.elapsed() > 5000) close(modal, QStringLiteral("left open "));
            return;
        }
        if (m_steps.empty()) return close(modal, QStringLiteral("unplanned "));
        const Step step = m_steps.takeFirst();
        if (!step.form.isEmpty() && step.form != modal->objectName())
            return close(modal, QStringLiteral("not ") + step.form + u' ');
        // Driven while its step runs: the step may spin the event loop, and this poll with it.
        const QPointer<QWidget> shown(modal);
        m_driven.append(shown);
        m_idle.start();
        step.run(modal);
        m_idle.start();
        if (!shown || !shown->isVisible()) m_driven.removeAll(shown);
    }
    void close(QWidget* modal, const QString& fault) {
        m_faults << fault + modal->objectName();
        if (auto* dialog = qobject_cast<QDialog*>(modal)) dialog->reject();
    }

    QList<Step> m_steps;
    QList<QPointer<QWidget>> m_driven;
    QElapsedTimer m_idle;
    QStringList m_faults;
};

}  // namespace vq::test
