#pragma once

#include "ErrorNumber.h"
#include "QtPrinters.h"
#include "archive/ArchiveApplication.h"
#include "archive/ArchiveServer.h"
#include "core/RecordingMessageService.h"
#include "sdk/SdkApplication.h"
#include "sdk/SdkErrors.h"
#include "sdk/SdkServer.h"
#include "sdk/SdkServers.h"

#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QPointer>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <deque>
#include <functional>

namespace vq::test {

using namespace Qt::Literals::StringLiterals;

// Drives the modal windows that code under test opens with exec(): each new modal window gets the
// next queued step, run from the event loop that the window runs. A window nobody queued a step
// for, and a window its step left open for five seconds, is closed and counted as a fault, so a
// broken step fails the test instead of hanging it.
class ModalDriver : public QObject {
public:
    ModalDriver() { schedule(); }

    // The next modal window to open is handed to `step`, which must close it.
    void then(std::function<void(QWidget*)> step) { m_steps.push_back(std::move(step)); }
    // Every queued step ran and no window went unplanned or stayed open.
    std::string faults() const {
        QStringList out = m_faults;
        if (!m_steps.empty()) out << QString::number(m_steps.size()) + u" step(s) never ran"_s;
        return out.join(u"; "_s).toStdString();
    }

private:
    void schedule() {
        QTimer::singleShot(10, this, [this] { poll(); });
    }
    void poll() {
        // The next look is booked first: a step may block in a nested window's event loop.
        schedule();
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal || !modal->isVisible()) return;
        if (m_driven.contains(modal)) {
            if (m_idle.elapsed() > 5000) close(modal, u"left open: "_s);
            return;
        }
        if (m_steps.empty()) return close(modal, u"unplanned: "_s);
        m_driven.append(modal);
        const std::function<void(QWidget*)> step = std::move(m_steps.front());
        m_steps.pop_front();
        m_idle.start();
        step(modal);
        m_idle.start();
    }
    void close(QWidget* modal, const QString& fault) {
        m_faults << fault + modal->objectName();
        if (auto* dialog = qobject_cast<QDialog*>(modal))
            dialog->reject();
        else
            modal->close();
    }

    std::deque<std::function<void(QWidget*)>> m_steps;
    QList<QPointer<QWidget>> m_driven;
    QElapsedTimer m_idle;
    QStringList m_faults;
};

template <typename Child>
Child* child(QWidget* parent, const char* name) {
    auto* found = parent->findChild<Child*>(QString::fromLatin1(name));
    if (!found) ADD_FAILURE() << "no child " << name << " in " << parent->objectName().toStdString();
    return found;
}

inline void click(QWidget* widget) {
    if (widget) QTest::mouseClick(widget, Qt::LeftButton);
}

// Archives in a temporary folder, known through the installed archive library; every message
// recorded; modal windows driven.
class ServerWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_dir.isValid());
        ArchiveApplication::install(registryPath());
    }
    void TearDown() override { SdkApplication::reset(); }

    // A new archive file `name` with the users vqadmin (no password) and engineer ("secret").
    void createArchive(const QString& name, const QString& kind = u"VQ3"_s,
                       const QString& version = u"VQ 3.4.1"_s) {
        ArchiveServer::create(path(name), name, kind, version)->addUser(u"engineer"_s, u"secret"_s, {});
    }
    // The same, known to the server library.
    SdkServerPtr addArchive(const QString& name, const QString& kind = u"VQ3"_s,
                            const QString& version = u"VQ 3.4.1"_s, bool isDefault = false) {
        createArchive(name, kind, version);
        return servers()->Add(name, path(name), isDefault);
    }
    SdkServersPtr servers() const { return SdkApplication::instance()->Servers(); }
    QString path(const QString& name) const { return m_dir.filePath(name + u".vqa"_s); }
    QString registryPath() const { return m_dir.filePath(u"servers.json"_s); }

    QTemporaryDir m_dir;
    ScopedMessageRecorder m_messages;
    ModalDriver m_modals;
};

}  // namespace vq::test
